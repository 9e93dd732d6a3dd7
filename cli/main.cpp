// scsctl: the storage administrator's command line for the array, over CIM-XML.
#include <cstdio>
#include <functional>
#include <map>

#include <CLI/CLI.hpp>

#include <Pegasus/Common/Exception.h>

#include "Commands.h"
#include "InstanceFields.h"
#include "Password.h"
#include "SizeText.h"
#include "Suggest.h"

using namespace scsctl;

namespace
{

const char* const defaultUrl = "http://127.0.0.1:5988";
const char* const defaultNamespace = "root/snia";

struct Connection
{
    std::string url = defaultUrl;
    std::string user;
    std::string nameSpace = defaultNamespace;
    std::string caFile;
    bool insecure = false;
    unsigned timeout = 30;
};

std::uint64_t sizeArgument(const std::string& text)
{
    const VolumeSize size = readVolumeSize(text);
    if (!size.problem.empty()) throw Failure(ExitUsage, size.problem);
    return size.bytes;
}

// The command line that watches a job again, with the connection options given (no password).
std::string resumeCommand(const std::string& program, const Connection& connection)
{
    std::string line = program;
    if (connection.url != defaultUrl) line += " --url " + connection.url;
    if (!connection.user.empty()) line += " --user " + connection.user;
    if (connection.nameSpace != defaultNamespace) line += " --namespace " + connection.nameSpace;
    if (!connection.caFile.empty()) line += " --cacert " + connection.caFile;
    if (connection.insecure) line += " --insecure";
    return line + " job wait";
}

using Action = std::function<ExitStatus(Session&)>;

// What the command line gives the commands; the subcommand parsed sets the action that uses it.
struct Arguments
{
    Action action;
    VolumeRequest volume;
    std::string target; // the volume or job named
    std::string size;
    bool wait = false;
    bool yes = false;
    ScanRequest scan;
    std::vector<std::string> every; // N UNIT
    WatchRequest watch;
};

// "--every 2 weeks" (or "1 week") into the scan request.
void readPeriod(const std::vector<std::string>& every, ScanRequest& scan)
{
    if (every.empty()) return;
    const std::string& count = every[0];
    std::string unit = every[1];
    if (!unit.empty() && unit.back() != 's') unit += 's';
    const bool digits =
        !count.empty() && count.size() <= 5 && count.find_first_not_of("0123456789") == std::string::npos;
    const unsigned long number = digits ? std::stoul(count) : 0;
    if (number == 0 || number > 65535 ||
        (unit != "minutes" && unit != "hours" && unit != "days" && unit != "weeks" && unit != "months"))
        throw Failure(ExitUsage, "--every takes N and minutes, hours, days, weeks or months");
    scan.every = unsigned(number);
    scan.unit = unit;
}

void addReadingCommands(CLI::App& app, Arguments& args)
{
    const struct
    {
        const char* name;
        const char* help;
        const RecordKind& kind;
    } lists[] = {{"system", "the array and its controllers", systemKind()},
                 {"pools", "storage pools", poolKind()},
                 {"volumes", "volumes", volumeKind()},
                 {"drives", "disk drives", driveKind()},
                 {"settings", "volume settings", settingKind()},
                 {"jobs", "jobs, running, scheduled and finished", jobKind()}};
    for (const auto& list : lists)
    {
        const RecordKind* kind = &list.kind;
        app.add_subcommand(list.name, std::string("List ") + list.help)
            ->callback([&args, kind]
                       { args.action = [kind](Session& session) { return listObjects(session, *kind); }; });
    }
}

void addVolumeCommands(CLI::App& app, Arguments& args)
{
    CLI::App* volume = app.add_subcommand("volume", "Create, grow, delete or show a volume");
    volume->require_subcommand(1);

    CLI::App* create = volume->add_subcommand("create", "Create a volume");
    create->add_option("NAME", args.volume.name, "the new volume's name")->required();
    create->add_option("SIZE", args.size, "its size with a unit: 4GiB, 500MiB, 2TB")->required();
    create->add_option("--pool", args.volume.pool, "pool ID or name (default: the base pool)");
    create->add_flag("--force", args.volume.force, "make it in a pool reserved for the array's own use");
    // RAID levels are accepted as the layouts they name.
    create->add_option("--layout", args.volume.layout, "data layout: mirror, stripe, parity, double-parity")
        ->transform(CLI::Transformer(std::map<std::string, std::string>{{"raid0", "stripe"},
                                                                        {"raid1", "mirror"},
                                                                        {"raid5", "parity"},
                                                                        {"raid6", "double-parity"}},
                                     CLI::ignore_case)
                        .description(""))
        ->check(CLI::IsMember({"mirror", "stripe", "parity", "double-parity"}).description(""));
    create
        ->add_option("--drives", args.volume.drives,
                     "drives one copy's stripe spans (a mirror takes twice as many)")
        ->check(CLI::Range(1, 255));
    create->add_flag("--wait", args.volume.wait, "watch the job to its end");
    create->callback(
        [&args]
        {
            args.action = [&args](Session& session)
            {
                args.volume.size = sizeArgument(args.size);
                return createVolume(session, args.volume);
            };
        });

    CLI::App* grow = volume->add_subcommand("grow", "Grow a volume to a new size");
    grow->add_option("VOLUME", args.target, "volume ID or name")->required();
    grow->add_option("SIZE", args.size, "the new size")->required();
    grow->add_flag("--wait", args.wait, "watch the job to its end");
    grow->callback(
        [&args]
        {
            args.action = [&args](Session& session)
            { return growVolume(session, args.target, sizeArgument(args.size), args.wait); };
        });

    CLI::App* remove = volume->add_subcommand("delete", "Delete a volume, giving its space back to its pool");
    remove->add_option("VOLUME", args.target, "volume ID or name")->required();
    remove->add_flag("--yes", args.yes, "do not ask (needed when not on a terminal)");
    remove->add_flag("--wait", args.wait, "watch the job to its end");
    remove->callback(
        [&args]
        {
            args.action = [&args](Session& session)
            { return deleteVolume(session, args.target, args.yes, args.wait); };
        });

    CLI::App* show = volume->add_subcommand("show", "Show a volume");
    show->add_option("VOLUME", args.target, "volume ID or name")->required();
    show->callback([&args]
                   { args.action = [&args](Session& session) { return showVolume(session, args.target); }; });
}

void addJobCommands(CLI::App& app, Arguments& args)
{
    CLI::App* job = app.add_subcommand("job", "Show, watch or control a job");
    job->require_subcommand(1);
    job->add_subcommand("show", "Show a job")
        ->callback([&args]
                   { args.action = [&args](Session& session) { return showJob(session, args.target); }; });
    job->add_subcommand("wait", "Watch a job to its end")
        ->callback([&args]
                   { args.action = [&args](Session& session) { return waitJob(session, args.target); }; });
    for (const std::string name : {"suspend", "resume", "abort", "delete"})
    {
        CLI::App* control = job->add_subcommand(name, "Ask the array to " + name + " a job");
        control->callback(
            [&args, name]
            {
                args.action = [&args, name](Session& session)
                { return controlJob(session, name, args.target, args.yes); };
            });
        if (name == "abort" || name == "delete")
            control->add_flag("--yes", args.yes,
                              "do not ask when the job's volume would go (needed off a terminal)");
    }
    for (CLI::App* command : job->get_subcommands({}))
        command->add_option("JOB", args.target, "job ID")->required();

    CLI::App* scan = app.add_subcommand("scan", "Scan a volume now, later, or periodically");
    scan->add_option("VOLUME", args.scan.volume, "volume ID or name")->required();
    scan->add_option("--at", args.scan.at, "UTC start time: YYYY-MM-DD HH:MM[:SS]");
    scan->add_option("--every", args.every, "repeat: N minutes|hours|days|weeks|months")->expected(2);
    scan->add_flag("--parity", args.scan.parity, "a parity scan (default: a media scan)");
    scan->add_flag("--wait", args.scan.wait, "watch a scan that runs once to its end");
    scan->callback(
        [&args]
        {
            args.action = [&args](Session& session)
            {
                readPeriod(args.every, args.scan);
                return scanVolume(session, args.scan);
            };
        });
}

void addWatchCommand(CLI::App& app, Arguments& args)
{
    CLI::App* watch = app.add_subcommand("watch", "Print jobs, volume changes and alerts as they happen");
    watch->add_option(
        "--listen", args.watch.listen,
        "ADDR[:PORT] to receive indications on (default: the address the server sees, any port)");
    watch->add_flag("--jobs", args.watch.jobs, "jobs: started, progressing, ended, removed");
    watch->add_flag("--volumes", args.watch.volumes, "volumes: created, changed, deleted");
    watch->add_flag("--alerts", args.watch.alerts, "the array's alerts (failed drives, failed jobs, events)");
    watch->add_option("--count", args.watch.count, "stop after N indications")->check(CLI::PositiveNumber);
    watch->add_option("--duration", args.watch.duration, "stop after SECONDS")->check(CLI::PositiveNumber);
    watch->callback(
        [&args]
        { args.action = [&args](Session& session) { return watchIndications(session, args.watch); }; });
}

// The option of that name at this level or above; nothing when none.
const CLI::Option* findOption(const CLI::App* level, const std::string& name)
{
    for (; level; level = level->get_parent())
        if (const CLI::Option* option = level->get_option_no_throw(name)) return option;
    return nullptr;
}

// "did you mean": the first word of the command line that is no command where one was expected,
// and the command it is nearest to.
std::string didYouMean(const CLI::App& app, int argc, char** argv)
{
    const CLI::App* level = &app;
    for (int i = 1; i < argc; ++i)
    {
        const std::string word = argv[i];
        if (word.size() > 1 && word[0] == '-')
        {
            const std::string name = word.substr(0, word.find('='));
            const CLI::Option* option = findOption(level, name);
            if (option && option->get_items_expected_min() > 0 && name == word) ++i; // its value
            continue;
        }
        const auto commands = level->get_subcommands([](const CLI::App*) { return true; });
        if (commands.empty()) return std::string();
        std::vector<std::string> names;
        const CLI::App* next = nullptr;
        for (const CLI::App* command : commands)
        {
            names.push_back(command->get_name());
            if (command->get_name() == word) next = command;
        }
        if (next)
        {
            level = next;
            continue;
        }
        const auto nearest = closestWord(word, names);
        return nearest ? "did you mean \"" + *nearest + "\" instead of \"" + word + "\"?" : std::string();
    }
    return std::string();
}

void printFailure(const Failure& failure, bool verbose)
{
    std::fprintf(stderr, "scsctl: %s\n", failure.what());
    if (failure.detail.empty()) return;
    if (verbose)
    {
        // Several answers (one a line) stay under the heading.
        std::string detail = failure.detail;
        for (size_t at = detail.find('\n'); at != std::string::npos; at = detail.find('\n', at + 1))
            detail.insert(at + 1, "    ");
        std::fprintf(stderr, "  the server said: %s\n", detail.c_str());
    }
    else
        std::fprintf(stderr, "  (--verbose shows what the server said)\n");
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"scsctl: the storage administrator's command line for the array"};
    // At most one command; none is reported below, so that an unknown word is named as such rather
    // than as a missing command.
    app.require_subcommand(0, 1);
    app.fallthrough();
    Connection connection;
    bool json = false;
    bool verbose = false;
    app.set_version_flag("--version", "scsctl " SCSCTL_VERSION);
    app.add_option("--url", connection.url, "CIM server, http:// or https://")
        ->capture_default_str()
        ->envname("SCSCTL_URL");
    app.add_option("--user", connection.user,
                   "user name; the password comes from SCSCTL_PASSWORD or is asked")
        ->envname("SCSCTL_USER");
    app.add_option("--namespace", connection.nameSpace, "CIM namespace")->capture_default_str();
    app.add_option("--cacert", connection.caFile, "https: the certificates to trust")
        ->check(CLI::ExistingFile);
    app.add_flag("--insecure", connection.insecure, "https: trust any certificate");
    app.add_option("--timeout", connection.timeout, "seconds to wait for an answer")
        ->capture_default_str()
        ->check(CLI::Range(1, 3600));
    app.add_flag("--json", json, "print JSON for scripts");
    app.add_flag("--verbose", verbose,
                 "with a failure, also what the server said (CIM operation, status, path)");

    Arguments args;
    addReadingCommands(app, args);
    addVolumeCommands(app, args);
    addJobCommands(app, args);
    addWatchCommand(app, args);
    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::ParseError& error)
    {
        const int status = app.exit(error);
        if (status != 0)
        {
            const std::string suggestion = didYouMean(app, argc, argv);
            if (!suggestion.empty()) std::fprintf(stderr, "scsctl: %s\n", suggestion.c_str());
        }
        return status == 0 ? ExitOk : ExitUsage;
    }
    if (!args.action)
    {
        std::fprintf(stderr, "scsctl: a command is needed; scsctl --help lists them\n");
        return ExitUsage;
    }

    try
    {
        ConnectionOptions options;
        options.endpoint = Endpoint::parse(connection.url);
        options.user = connection.user;
        if (!options.user.empty()) options.password = passwordFor(options.user);
        options.caFile = connection.caFile;
        options.insecure = connection.insecure;
        options.timeout = std::chrono::seconds(connection.timeout);
        CimClient client(options, connection.nameSpace);
        Session session{client, json, resumeCommand(argv[0], connection), options};
        return args.action(session);
    }
    catch (const Failure& failure)
    {
        printFailure(failure, verbose);
        return failure.status;
    }
    catch (const Pegasus::Exception& error)
    {
        std::fprintf(stderr, "scsctl: %s\n", utf8(error.getMessage()).c_str());
        return ExitRefused;
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "scsctl: %s\n", error.what());
        return ExitRefused;
    }
}
