// cimhost: serves the provider modules that the schema registers to CIM-XML clients over HTTP.
//
// Standard output belongs to the modules (their trace lines; --trace-file sends it to a file),
// so everything cimhost itself says - the listening line, errors, the access log - goes to
// standard error.
#include <fcntl.h>
#include <getopt.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>

#include <Pegasus/Common/Exception.h>

#include "CimHttpServer.h"
#include "ClassRepository.h"
#include "Dispatcher.h"
#include "MofCompiler.h"
#include "ProviderManager.h"
#include "ProviderRegistry.h"

#ifndef CIMHOST_DEFAULT_SCHEMA_DIR
#define CIMHOST_DEFAULT_SCHEMA_DIR "schema"
#endif
#ifndef CIMHOST_DEFAULT_PROVIDER_DIR
#define CIMHOST_DEFAULT_PROVIDER_DIR "lib"
#endif

namespace
{

const char VERSION[] = "cimhost 1.0";
const char DEFAULT_NAMESPACE[] = "root/snia";

struct Options
{
    cimhost::HttpServerOptions http;
    std::string schemaDirectory = CIMHOST_DEFAULT_SCHEMA_DIR;
    std::string providerDirectory = CIMHOST_DEFAULT_PROVIDER_DIR;
    std::string traceFile;
    std::string eventFile;
    std::string stateFile;
    std::string arrayFile;
    std::string timeScale;
};

void printUsage(std::ostream& out)
{
    out << "Usage: cimhost [OPTION]...\n"
           "Serves the provider modules registered in the schema to CIM-XML clients (POST /cimom).\n"
           "\n"
           "  --bind ADDR              address to listen on (127.0.0.1)\n"
           "  --port N                 port to listen on, 0 for any free one (5988)\n"
           "  --schema DIR             directory of schema.mof (" CIMHOST_DEFAULT_SCHEMA_DIR ")\n"
           "  --providers DIR          directory of the provider modules (" CIMHOST_DEFAULT_PROVIDER_DIR ")\n"
           "  --trace-file FILE        append the modules' trace lines (standard output) to FILE\n"
           "  --event-file FILE        record the array's events in FILE (SMIMO_EVENT_LOG)\n"
           "  --state FILE             the simulated array's durable state (KVEL_STATE)\n"
           "  --array FILE             the simulated array's description (KVEL_ARRAY)\n"
           "  --time-scale N           the simulated array's clock runs N times as fast (KVEL_TIME_SCALE)\n"
           "  --threads N              requests served at once (8)\n"
           "  --max-request-bytes N    larger request bodies are refused with 413 (16777216)\n"
           "  --help                   show this help\n"
           "  --version                show the version\n"
           "\n"
           "The listening address, errors and one access-log line per request go to standard error.\n"
           "SIGINT or SIGTERM stops serving once the requests in progress are answered.\n";
}

bool parseNumber(const char* text, unsigned long long minimum, unsigned long long maximum,
                 unsigned long long& value)
{
    if (!text || *text < '0' || *text > '9') return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    return errno == 0 && *end == '\0' && value >= minimum && value <= maximum;
}

// -1 to go on serving, otherwise the exit code.
int parseOptions(int argc, char** argv, Options& options)
{
    enum
    {
        BIND = 1000,
        PORT,
        SCHEMA,
        PROVIDERS,
        TRACE_FILE,
        EVENT_FILE,
        STATE,
        ARRAY,
        TIME_SCALE,
        THREADS,
        MAX_REQUEST,
        SHOW_HELP,
        SHOW_VERSION
    };
    static const option longOptions[] = {
        {"bind", required_argument, nullptr, BIND},
        {"port", required_argument, nullptr, PORT},
        {"schema", required_argument, nullptr, SCHEMA},
        {"providers", required_argument, nullptr, PROVIDERS},
        {"trace-file", required_argument, nullptr, TRACE_FILE},
        {"event-file", required_argument, nullptr, EVENT_FILE},
        {"state", required_argument, nullptr, STATE},
        {"array", required_argument, nullptr, ARRAY},
        {"time-scale", required_argument, nullptr, TIME_SCALE},
        {"threads", required_argument, nullptr, THREADS},
        {"max-request-bytes", required_argument, nullptr, MAX_REQUEST},
        {"help", no_argument, nullptr, SHOW_HELP},
        {"version", no_argument, nullptr, SHOW_VERSION},
        {nullptr, 0, nullptr, 0},
    };
    const auto badValue = [](const char* name, const char* value)
    {
        std::cerr << "cimhost: invalid value for --" << name << ": '" << value << "'\n";
        return 2;
    };
    unsigned long long number = 0;
    int code;
    while ((code = getopt_long(argc, argv, "", longOptions, nullptr)) != -1)
    {
        switch (code)
        {
        case BIND:
            options.http.bindAddress = optarg;
            break;
        case PORT:
            if (!parseNumber(optarg, 0, 65535, number)) return badValue("port", optarg);
            options.http.port = static_cast<int>(number);
            break;
        case SCHEMA:
            options.schemaDirectory = optarg;
            break;
        case PROVIDERS:
            options.providerDirectory = optarg;
            break;
        case TRACE_FILE:
            options.traceFile = optarg;
            break;
        case EVENT_FILE:
            options.eventFile = optarg;
            break;
        case STATE:
            options.stateFile = optarg;
            break;
        case ARRAY:
            options.arrayFile = optarg;
            break;
        case TIME_SCALE:
            // The engine's own limit, so that a bad factor is a usage error rather than a module
            // that fails to load.
            if (!parseNumber(optarg, 1, 10000, number)) return badValue("time-scale", optarg);
            options.timeScale = std::to_string(number);
            break;
        case THREADS:
            if (!parseNumber(optarg, 1, 1024, number)) return badValue("threads", optarg);
            options.http.threads = static_cast<size_t>(number);
            break;
        case MAX_REQUEST:
            if (!parseNumber(optarg, 1024, 1ULL << 32, number)) return badValue("max-request-bytes", optarg);
            options.http.maxRequestBytes = static_cast<size_t>(number);
            break;
        case SHOW_HELP:
            printUsage(std::cout);
            return 0;
        case SHOW_VERSION:
            std::cout << VERSION << "\n";
            return 0;
        default:
            std::cerr << "Try 'cimhost --help' for more information.\n";
            return 2;
        }
    }
    if (optind < argc)
    {
        std::cerr << "cimhost: unexpected argument '" << argv[optind] << "'\n"
                  << "Try 'cimhost --help' for more information.\n";
        return 2;
    }
    return -1;
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

std::string displayAddress(const std::string& address)
{
    return address.find(':') == std::string::npos ? address : "[" + address + "]";
}

// Serves until SIGINT or SIGTERM (blocked in every thread; a watcher thread waits for them).
int serve(const Options& options, const sigset_t& stopSignals)
{
    if (!options.traceFile.empty()) redirectStandardOutput(options.traceFile);
    // A trace line is complete when written, even when standard output is a file or a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // The modules read these as they load.
    exportSetting("SMIMO_EVENT_LOG", options.eventFile);
    exportSetting("KVEL_STATE", options.stateFile);
    exportSetting("KVEL_ARRAY", options.arrayFile);
    exportSetting("KVEL_TIME_SCALE", options.timeScale);

    cimhost::ClassRepository repository;
    cimhost::MofCompiler(repository)
        .compileFile(options.schemaDirectory + "/schema.mof", Pegasus::CIMNamespaceName(DEFAULT_NAMESPACE));
    const cimhost::ProviderRegistry registry = cimhost::ProviderRegistry::fromRepository(repository);
    cimhost::ProviderManager providers(registry, options.providerDirectory);
    cimhost::Dispatcher dispatcher(repository, providers);
    providers.loadAll(dispatcher.makeHandle());

    cimhost::CimHttpServer server(options.http, dispatcher);
    const int port = server.bind();
    std::cerr << "cimhost: listening on http://" << displayAddress(options.http.bindAddress) << ":" << port
              << std::endl;

    std::atomic<bool> signalled{false};
    std::atomic<bool> finished{false};
    std::thread watcher(
        [&]
        {
            int signal = 0;
            if (sigwait(&stopSignals, &signal) != 0 || finished) return;
            signalled = true;
            std::cerr << "cimhost: stopping (" << ::strsignal(signal) << ")" << std::endl;
            server.stop();
        });
    try
    {
        server.serve();
    }
    catch (...)
    {
        // Reported below as an accept loop that ended by itself; the watcher must be joined.
    }
    if (!signalled)
    {
        // The accept loop ended by itself: wake the watcher.
        finished = true;
        pthread_kill(watcher.native_handle(), SIGTERM);
    }
    watcher.join();

    providers.terminateAll();
    std::fflush(stdout);
    if (!signalled)
    {
        std::cerr << "cimhost: the listening socket failed" << std::endl;
        return 1;
    }
    std::cerr << "cimhost: stopped" << std::endl;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
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
