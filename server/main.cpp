// cimhost: serves the provider modules that the schema registers to CIM-XML clients over HTTP.
//
// Standard output belongs to the modules (their trace lines; --trace sends it to a file or turns
// it off), so everything cimhost itself says - the listening line, errors, the access log - goes
// to standard error.
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include <CLI/CLI.hpp>
#include <Pegasus/Common/Exception.h>
#include <boost/asio/ip/address.hpp>

#include "BasicAuthenticator.h"
#include "CimHttpServer.h"
#include "ClassRepository.h"
#include "Dispatcher.h"
#include "IndicationService.h"
#include "IndicationServiceProvider.h"
#include "InstalledPaths.h"
#include "InteropProvider.h"
#include "SchemaManifest.h"
#include "ProviderManager.h"
#include "ProviderRegistry.h"
#include "TraceOutput.h"
#include "UserFile.h"

#ifndef CIMHOST_DEFAULT_SCHEMA_DIR
#define CIMHOST_DEFAULT_SCHEMA_DIR "schema"
#endif
#ifndef CIMHOST_DEFAULT_PROVIDER_DIR
#define CIMHOST_DEFAULT_PROVIDER_DIR "lib"
#endif
#ifndef CIMHOST_INSTALLED_SCHEMA_DIR
#define CIMHOST_INSTALLED_SCHEMA_DIR "share/cimhost/schema"
#define CIMHOST_INSTALLED_PROVIDER_DIR "lib/cimhost"
#endif

// jemalloc's settings (read by jemalloc alone; MALLOC_CONF in the environment still overrides
// them). By default it keeps freed pages until later allocations touch it, so the start-up's
// passing peak (reading the array, writing its state) and the buffers of a burst of large answers
// stayed resident: 57 MiB idle with an array of 10,000 volumes. A background thread now returns
// pages unused for about a second: 17 MiB idle with that array.
extern "C" const char* malloc_conf;
const char* malloc_conf = "background_thread:true,dirty_decay_ms:1000,muzzy_decay_ms:0";

namespace
{

#ifndef CIMHOST_VERSION
#define CIMHOST_VERSION "1.0.0"
#endif
const char VERSION_NUMBER[] = CIMHOST_VERSION;
const char VERSION[] = "cimhost " CIMHOST_VERSION;

struct Options
{
    cimhost::HttpServerOptions http;
    std::string schemaDirectory = CIMHOST_DEFAULT_SCHEMA_DIR;
    std::string providerDirectory = CIMHOST_DEFAULT_PROVIDER_DIR;
    std::string trace; // "off", "stdout", a file, or empty: as SMIMO_TRACE says
    std::string eventFile;
    std::string stateFile;
    std::string arrayFile;
    unsigned timeScale = 0; // 0: real time
    std::string usersFile;
    cimhost::PullLimits pull;
    std::string subscriptionsFile; // empty: beside the state file, or none without one
    cimhost::DeliverySettings delivery;
    size_t maxSubscriptions = 10000;
    bool allowAnonymous = false;
    std::string hostName; // empty: the machine's
};

// A host name as paths carry it: letters, digits, '.', '-' and '_', at most 255 of them.
std::string checkHostName(const std::string& text)
{
    if (text.empty() || text.size() > 255 ||
        text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.-_") !=
            std::string::npos)
        return "a host name is 1 to 255 letters, digits, '.', '-' or '_'";
    return std::string();
}

// "N" (1-65535), "0" for none, or "any" for a free port the listening line names.
std::string parsePort(int& port, const std::string& text)
{
    if (text == "any")
    {
        port = cimhost::ANY_PORT;
        return std::string();
    }
    unsigned long value = 0;
    size_t used = 0;
    try
    {
        value = std::stoul(text, &used);
    }
    catch (const std::exception&)
    {
        used = 0;
    }
    if (used == 0 || used != text.size() || value > 65535 || text[0] == '-' || text[0] == '+')
        return "a port is a number from 0 to 65535, or 'any'";
    port = static_cast<int>(value);
    return std::string();
}

void addSeconds(CLI::App& app, const std::string& name, std::chrono::milliseconds& target,
                const std::string& description, const std::string& group)
{
    app.add_option_function<double>(
           name,
           [&target](double seconds) { target = std::chrono::milliseconds(std::llround(seconds * 1000)); },
           description + " (" + std::to_string(target.count() / 1000) + ")")
        ->type_name("SECONDS")
        ->default_str(std::to_string(target.count() / 1000))
        ->check(CLI::Range(0.01, 86400.0).description(""))
        ->group(group);
}

// Options that are valid alone but not together: 2 (a usage error), or -1.
int checkCombination(const Options& options)
{
    const cimhost::HttpServerOptions& http = options.http;
    const auto refuse = [](const std::string& why)
    {
        std::cerr << "cimhost: " << why << "\n";
        return 2;
    };
    if (http.port == 0 && http.httpsPort == 0)
        return refuse("nothing to serve: --port 0 and no --https-port");
    if (http.httpsPort != 0 &&
        (http.transport.certificateFile.empty() || http.transport.privateKeyFile.empty()))
        return refuse("--https-port needs --cert FILE and --key FILE (PEM)");
    boost::system::error_code ec;
    const boost::asio::ip::address address = boost::asio::ip::make_address(http.bindAddress, ec);
    if (ec) return refuse("--bind takes an IP address, not '" + http.bindAddress + "'");
    if (!address.is_loopback() && options.usersFile.empty() && !options.allowAnonymous)
        return refuse("refusing to serve " + http.bindAddress +
                      " without authentication: anyone who reaches it could change the array. Give --users "
                      "FILE (see cimhost-passwd), or --allow-anonymous to accept that.");
    return -1;
}

// An option naming a file or directory.
void addPath(CLI::App& app, const std::string& name, std::string& target, const std::string& kind,
             const std::string& description, const std::string& group)
{
    app.add_option(name, target, description)->type_name(kind)->group(group);
}

// -1 to go on serving, otherwise the exit code.
int parseOptions(int argc, char** argv, Options& options)
{
    CLI::App app("Serves the provider modules registered in the schema to CIM-XML clients (POST /cimom).\n"
                 "The listening addresses, errors and one access-log line per request go to standard error;\n"
                 "SIGINT or SIGTERM stops serving once the requests in progress are answered.",
                 "cimhost");
    app.set_version_flag("--version", VERSION);
    // As with getopt, an option given twice takes its last value. Defaults are kept as text, so
    // that --print-config writes every option with the value in effect.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)->always_capture_default();
    // Every option can be set in the file as "name = value" (TOML or INI); the command line wins.
    app.set_config("--config", "", "read options from FILE: one 'name = value' line an option (TOML or INI)")
        ->type_name("FILE")
        ->group("Configuration");
    app.allow_config_extras(CLI::config_extras_mode::error); // a mistyped name is not silently ignored
    bool printConfig = false;
    app.add_flag("--print-config", printConfig,
                 "print the options in effect (file and command line) as a configuration file, and exit")
        ->configurable(false)
        ->group("Configuration");
    app.get_formatter()->column_width(34);
    cimhost::HttpServerOptions& http = options.http;
    cimhost::TransportOptions& transport = http.transport;

    const std::string serving = "Serving";
    app.add_option("--bind", http.bindAddress, "IP address to listen on (127.0.0.1)")
        ->type_name("ADDR")
        ->group(serving);
    app.add_option_function<std::string>(
           "--port", [&](const std::string& text) { parsePort(http.port, text); },
           "plain HTTP port; 0: no plain HTTP; any: a free port (5988)")
        ->type_name("N")
        ->default_str(std::to_string(http.port))
        ->check([&](const std::string& text) { return parsePort(http.port, text); })
        ->group(serving);
    app.add_option_function<std::string>(
           "--https-port", [&](const std::string& text) { parsePort(http.httpsPort, text); },
           "HTTPS port, 5989 by convention; needs --cert and --key (0: none)")
        ->type_name("N")
        ->default_str(std::to_string(http.httpsPort))
        ->check([&](const std::string& text) { return parsePort(http.httpsPort, text); })
        ->group(serving);
    app.add_option("--host-name", options.hostName,
                   "the host name in every path served, the array's included (the machine's: " +
                       cimhost::machineHostName() + ")")
        ->type_name("NAME")
        ->check(checkHostName)
        ->group(serving);
    app.add_option("--threads", transport.workers,
                   "workers running requests at once (twice the cores, at least 4: " +
                       std::to_string(cimhost::defaultWorkerCount()) + ")")
        ->type_name("N")
        ->default_str("") // chosen at start-up unless set
        ->check(CLI::Range(1, 1024).description(""))
        ->group(serving);

    const std::string security = "Security";
    addPath(app, "--cert", transport.certificateFile, "FILE", "the HTTPS certificate chain (PEM)", security);
    addPath(app, "--key", transport.privateKeyFile, "FILE", "the HTTPS private key (PEM)", security);
    addPath(app, "--users", options.usersFile, "FILE",
            "require HTTP Basic authentication by the users of FILE (made with cimhost-passwd)", security);
    app.add_flag("--allow-anonymous", options.allowAnonymous,
                 "serve an address other than loopback without --users (anyone who reaches it can change the "
                 "array)")
        ->group(security);

    const std::string limits = "Limits";
    addSeconds(app, "--header-timeout", transport.headerTimeout, "a request head must arrive within", limits);
    addSeconds(app, "--body-timeout", transport.bodyTimeout, "a request body must arrive within", limits);
    addSeconds(app, "--idle-timeout", transport.idleTimeout, "an idle kept-alive connection closes after",
               limits);
    addSeconds(app, "--request-timeout", transport.requestTimeout, "at stop, requests in progress may take",
               limits);
    app.add_option("--max-connections", transport.maxConnections,
                   "open connections at most; more are answered 503 and closed (1000)")
        ->type_name("N")
        ->check(CLI::Range(1, 1000000).description(""))
        ->group(limits);
    app.add_option("--max-request-bytes", transport.maxRequestBytes,
                   "larger request bodies are refused with 413 (16777216)")
        ->type_name("N")
        ->check(CLI::Range(1024ULL, 1ULL << 32).description(""))
        ->group(limits);
    app.add_option("--pull-timeout", options.pull.defaultTimeoutSeconds,
                   "an open enumeration of a client that gives no OperationTimeout expires after (30)")
        ->type_name("SECONDS")
        ->check(CLI::Range(1, 86400).description(""))
        ->group(limits);
    app.add_option("--pull-max-timeout", options.pull.maxTimeoutSeconds,
                   "larger OperationTimeouts, and 0 (none), are refused with error 22 (300)")
        ->type_name("SECONDS")
        ->check(CLI::Range(1, 86400).description(""))
        ->group(limits);
    app.add_option("--max-enumerations", options.pull.maxContexts,
                   "open enumerations of the pull operations at most; more are refused with error 27 (64)")
        ->type_name("N")
        ->check(CLI::Range(1, 100000).description(""))
        ->group(limits);
    app.add_option(
           "--max-enumeration-objects", options.pull.maxHeldObjects,
           "objects waiting in open enumerations at most, all together; an enumeration past it fails with "
           "error 27 (200000)")
        ->type_name("N")
        ->check(CLI::Range(1, 100000000).description(""))
        ->group(limits);

    const std::string array = "Array";
    addPath(app, "--schema", options.schemaDirectory, "DIR",
            "schema folder: manifest.txt names its MOF files and their namespaces (" +
                options.schemaDirectory + ")",
            array);
    addPath(app, "--providers", options.providerDirectory, "DIR",
            "directory of the provider modules (" + options.providerDirectory + ")", array);
    addPath(app, "--state", options.stateFile, "FILE", "the simulated array's durable state (KVEL_STATE)",
            array);
    addPath(app, "--array", options.arrayFile, "FILE", "the simulated array's description (KVEL_ARRAY)",
            array);
    // The engine's own limit, so that a bad factor is a usage error rather than a module that
    // fails to load.
    app.add_option("--time-scale", options.timeScale,
                   "the simulated array's clock runs N times as fast (KVEL_TIME_SCALE)")
        ->type_name("N")
        ->default_str("") // the engine's own unless set
        ->check(CLI::Range(1, 10000).description(""))
        ->group(array);
    addPath(app, "--event-file", options.eventFile, "FILE",
            "record the array's events in FILE (SMIMO_EVENT_LOG)", array);

    const std::string indications = "Indications";
    addPath(app, "--subscriptions", options.subscriptionsFile, "FILE",
            "keep the indication subscriptions in FILE (STATE.subscriptions beside --state or KVEL_STATE; "
            "none without a state file: they last until cimhost stops)",
            indications);
    app.add_option("--delivery-retry-attempts", options.delivery.retryAttempts,
                   "times an indication a listener did not take is tried again (3)")
        ->type_name("N")
        ->check(CLI::Range(0, 1000).description(""))
        ->group(indications);
    addSeconds(app, "--delivery-retry-interval", options.delivery.retryInterval,
               "seconds between two tries of an indication", indications);
    app.add_option("--listener-queue", options.delivery.queueLimit,
                   "indications waiting for one listener; more drop the oldest (10000)")
        ->type_name("N")
        ->check(CLI::Range(1, 10000000).description(""))
        ->group(indications);
    addSeconds(app, "--listener-timeout", options.delivery.timeout,
               "seconds a listener has to accept a connection, and to answer", indications);
    addPath(app, "--listener-ca", options.delivery.certificateAuthorities, "FILE",
            "PEM certificates that https listeners' certificates must chain to (not checked without)",
            indications);
    app.add_option("--max-subscriptions", options.maxSubscriptions,
                   "filters, listener destinations and subscriptions, each, a client may create (10000)")
        ->type_name("N")
        ->check(CLI::Range(1, 1000000).description(""))
        ->group(indications);

    // --trace-file FILE is the older spelling of --trace FILE; the last of the two given counts.
    app.add_option("--trace,--trace-file", options.trace,
                   "the modules' trace lines: off, stdout, or FILE to append them to (stdout, or off when "
                   "SMIMO_TRACE=off)")
        ->type_name("off|stdout|FILE")
        ->default_str("") // as SMIMO_TRACE says unless set
        ->check([](const std::string& text) { return text.empty() ? "a file name cannot be empty" : ""; })
        ->group("Tracing");

    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::CallForHelp&)
    {
        std::cout << app.help();
        return 0;
    }
    catch (const CLI::CallForVersion&)
    {
        std::cout << VERSION << "\n";
        return 0;
    }
    catch (const CLI::ParseError& error)
    {
        std::cerr << "cimhost: " << error.what() << "\nTry 'cimhost --help' for more information.\n";
        return 2;
    }
    if (printConfig)
    {
        // An option not set prints as name="": it goes out as a comment, so that the file read back
        // leaves it unset rather than set to nothing.
        std::istringstream lines(app.config_to_str(true, true));
        for (std::string line; std::getline(lines, line);)
        {
            const bool unset = line.size() > 3 && line.compare(line.size() - 3, 3, "=\"\"") == 0;
            std::cout << (unset ? "# " : "") << line << "\n";
        }
        return 0;
    }
    return checkCombination(options);
}

void redirectStandardOutput(const std::string& file)
{
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (descriptor < 0)
        throw cimhost::StartupError("cannot open trace file " + file + ": " + std::strerror(errno));
    std::fflush(stdout);
    const bool redirected = ::dup2(descriptor, STDOUT_FILENO) >= 0;
    const int error = errno;
    ::close(descriptor);
    if (!redirected) throw cimhost::StartupError("cannot redirect to " + file + ": " + std::strerror(error));
}

void exportSetting(const char* variable, const std::string& value)
{
    if (!value.empty()) ::setenv(variable, value.c_str(), 1);
}

cimhost::Authenticate authenticateWith(cimhost::BasicAuthenticator& users)
{
    return [&users](const std::string* authorization)
    {
        cimhost::AuthenticationVerdict verdict;
        if (!authorization)
        {
            verdict.reason = "no credentials";
            return verdict;
        }
        const auto credentials = cimhost::parseBasicAuthorization(*authorization);
        if (!credentials)
        {
            verdict.reason = "malformed Basic credentials";
            return verdict;
        }
        verdict.user = credentials->user;
        verdict.accepted = users.verify(credentials->user, credentials->password);
        if (!verdict.accepted) verdict.reason = "unknown user or wrong password";
        return verdict;
    };
}

std::string displayAddress(const std::string& address)
{
    return address.find(':') == std::string::npos ? address : "[" + address + "]";
}

cimhost::IndicationServiceSettings indicationSettings(const Options& options, const std::string& hostName)
{
    cimhost::IndicationServiceSettings settings;
    settings.hostName = hostName;
    settings.delivery = options.delivery;
    settings.maxInstances = options.maxSubscriptions;
    settings.storeFile = options.subscriptionsFile;
    if (settings.storeFile.empty())
    {
        const char* state = std::getenv("KVEL_STATE");
        if (state && *state) settings.storeFile = std::string(state) + ".subscriptions";
    }
    return settings;
}

// Serves until SIGINT or SIGTERM (blocked in every thread; a watcher thread waits for them).
int serve(const Options& options, const sigset_t& stopSignals)
{
    // The modules read these as they load; a --trace given overrides SMIMO_TRACE.
    std::unique_ptr<cimhost::TraceOutput> traceOutput;
    if (options.trace == "off")
        ::setenv("SMIMO_TRACE", "off", 1);
    else
    {
        if (!options.trace.empty()) ::setenv("SMIMO_TRACE", "on", 1);
        if (!options.trace.empty() && options.trace != "stdout") redirectStandardOutput(options.trace);
        traceOutput = std::make_unique<cimhost::TraceOutput>(STDOUT_FILENO);
    }
    exportSetting("SMIMO_EVENT_LOG", options.eventFile);
    exportSetting("KVEL_STATE", options.stateFile);
    exportSetting("KVEL_ARRAY", options.arrayFile);
    if (options.timeScale != 0) exportSetting("KVEL_TIME_SCALE", std::to_string(options.timeScale));
    // One host name for the paths the array's modules build and those this host completes.
    const std::string hostName = options.hostName.empty() ? cimhost::machineHostName() : options.hostName;
    exportSetting("KVEL_HOST_NAME", hostName);

    // Before anything loads: a users file that cannot be trusted stops start-up.
    std::unique_ptr<cimhost::BasicAuthenticator> users;
    if (!options.usersFile.empty())
    {
        const cimhost::UserFile file = cimhost::UserFile::load(options.usersFile);
        if (file.userNames().empty())
            throw cimhost::StartupError("users file " + options.usersFile + " names no user");
        users = std::make_unique<cimhost::BasicAuthenticator>(file);
        std::cerr << "cimhost: HTTP Basic authentication required; " << file.userNames().size()
                  << " user(s) in " << options.usersFile << std::endl;
    }
    else if (options.allowAnonymous)
    {
        std::cerr << "cimhost: WARNING: --allow-anonymous: serving " << options.http.bindAddress
                  << " WITHOUT AUTHENTICATION; anyone who reaches it can change the array" << std::endl;
    }

    cimhost::ClassRepository repository;
    cimhost::loadSchema(repository, options.schemaDirectory);
    const cimhost::ProviderRegistry registry = cimhost::ProviderRegistry::fromRepository(repository);
    cimhost::ProviderManager providers(registry, options.providerDirectory);
    cimhost::Dispatcher dispatcher(repository, providers, hostName, options.pull);
    auto interop = std::make_unique<cimhost::InteropProvider>(repository, registry.profiles());
    cimhost::InteropProvider& interopProvider = *interop;
    providers.addBuiltIn(std::move(interop), interopProvider.capabilities());
    cimhost::IndicationService indicationService(repository, providers,
                                                 indicationSettings(options, dispatcher.hostName()));
    std::vector<Pegasus::CIMNamespaceName> interopNamespaces;
    for (const char* name : cimhost::InteropProvider::NAMESPACES)
        interopNamespaces.emplace_back(name);
    providers.addBuiltIn(std::make_unique<cimhost::IndicationServiceProvider>(
                             indicationService, repository, options.delivery, dispatcher.hostName()),
                         cimhost::IndicationServiceProvider::capabilities(interopNamespaces));
    providers.loadAll(dispatcher.makeHandle());
    indicationService.start();

    cimhost::CimHttpServer server(options.http, dispatcher,
                                  users ? authenticateWith(*users) : cimhost::Authenticate());
    const cimhost::CimHttpServer::Ports ports = server.bind();
    cimhost::ObjectManagerFacts facts{dispatcher.hostName(), VERSION_NUMBER, users != nullptr, {}};
    if (ports.http != 0) facts.schemes.push_back("http");
    if (ports.https != 0) facts.schemes.push_back("https");
    interopProvider.setObjectManager(facts);
    const std::string address = displayAddress(options.http.bindAddress);
    if (ports.http != 0)
        // One write each: scripts wait for these lines and must never read half of one.
        std::cerr << ("cimhost: listening on http://" + address + ":" + std::to_string(ports.http) + "\n")
                  << std::flush;
    if (ports.https != 0)
        std::cerr << ("cimhost: listening on https://" + address + ":" + std::to_string(ports.https) + "\n")
                  << std::flush;

    std::atomic<bool> signalled{false};
    std::atomic<bool> finished{false};
    std::thread watcher(
        [&]
        {
            int signal = 0;
            if (sigwait(&stopSignals, &signal) != 0 || finished) return;
            signalled = true;
            std::cerr << "cimhost: stopping (" << ::strsignal(signal) << ")" << std::endl;
            dispatcher.shutDown(); // pull operations still arriving answer 28
            server.stop();
        });
    bool drained = false;
    try
    {
        drained = server.serve();
    }
    catch (...)
    {
        // Reported below as serving that ended by itself; the watcher must be joined.
    }
    if (!signalled)
    {
        finished = true;
        pthread_kill(watcher.native_handle(), SIGTERM);
    }
    watcher.join();
    if (!signalled)
    {
        std::cerr << "cimhost: serving failed" << std::endl;
        return 1;
    }
    // The providers of the enumerations dropped at the signal return at their next delivery.
    if (drained) drained = dispatcher.awaitEnumerations(options.http.transport.requestTimeout);
    if (!drained)
    {
        // A provider call still runs: terminating the providers under it is not safe. The
        // engine has saved every change it made, so nothing acknowledged is lost.
        std::cerr << "cimhost: requests or enumerations still running after --request-timeout; exiting "
                     "without terminating the providers"
                  << std::endl;
        if (traceOutput) traceOutput->flush();
        std::_Exit(1);
    }

    indicationService.stop();
    providers.terminateAll();
    traceOutput.reset();
    std::cerr << "cimhost: stopped" << std::endl;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    const cimhost::SearchPaths paths = cimhost::defaultSearchPaths(
        cimhost::runningExecutable(), {CIMHOST_INSTALLED_SCHEMA_DIR, CIMHOST_INSTALLED_PROVIDER_DIR},
        {options.schemaDirectory, options.providerDirectory});
    options.schemaDirectory = paths.schemaDirectory;
    options.providerDirectory = paths.providerDirectory;
    const int exitCode = parseOptions(argc, argv, options);
    if (exitCode >= 0) return exitCode;

    // Before any thread exists, so that every thread (the modules' too) inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    try
    {
        return serve(options, stopSignals);
    }
    catch (const std::exception& error)
    {
        // MofError reads "<file>:<line>: <message>"; the others name what failed.
        std::cerr << "cimhost: " << error.what() << std::endl;
    }
    catch (const Pegasus::Exception& error)
    {
        std::cerr << "cimhost: " << static_cast<const char*>(error.getMessage().getCString()) << std::endl;
    }
    catch (...)
    {
        std::cerr << "cimhost: unexpected error" << std::endl;
    }
    return 1;
}
