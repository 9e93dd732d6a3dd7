// scsctl: the storage administrator's command line for the array, over CIM-XML.
#include <cstdio>
#include <functional>

#include <CLI/CLI.hpp>

#include <Pegasus/Common/Exception.h>

#include "Commands.h"
#include "InstanceFields.h"
#include "Password.h"
#include "SizeText.h"

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
    const auto size = parseSize(text);
    if (!size) throw Failure(ExitUsage, "not a size: \"" + text + "\" (for example 4GiB, 500MiB, 2TB or bytes)");
    return *size;
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

void addReadingCommands(CLI::App& app, Action& action)
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
        app.add_subcommand(list.name, std::string("List ") + list.help)->callback([&action, kind] {
            action = [kind](Session& session) { return listObjects(session, *kind); };
        });
    }
}

void addVolumeCommands(CLI::App& app, Action& action)
{
    CLI::App* volume = app.add_subcommand("volume", "Create, grow, delete or show a volume");
    volume->require_subcommand(1);

    static VolumeRequest create;
    static std::string size;
    CLI::App* createCommand = volume->add_subcommand("create", "Create a volume");
    createCommand->add_option("NAME", create.name, "the new volume's name")->required();
    createCommand->add_option("SIZE", size, "its size: 4GiB, 500MiB, 2TB or bytes")->required();
    createCommand->add_option("--pool", create.pool, "pool ID or name (default: the base pool)");
    createCommand->add_option("--layout", create.layout, "data layout")
        ->check(CLI::IsMember({"mirror", "stripe", "parity", "double-parity"}));
    createCommand->add_option("--drives", create.drives, "drives a stripe spans")->check(CLI::Range(1, 255));
    createCommand->add_flag("--wait", create.wait, "watch the job to its end");
    createCommand->callback([&action] {
        action = [](Session& session)
        {
            create.size = sizeArgument(size);
            return createVolume(session, create);
        };
    });

    static std::string target;
    static bool wait = false, yes = false;
    CLI::App* grow = volume->add_subcommand("grow", "Grow a volume to a new size");
    grow->add_option("VOLUME", target, "volume ID or name")->required();
    grow->add_option("SIZE", size, "the new size")->required();
    grow->add_flag("--wait", wait, "watch the job to its end");
    grow->callback([&action] {
        action = [](Session& session) { return growVolume(session, target, sizeArgument(size), wait); };
    });

    CLI::App* remove = volume->add_subcommand("delete", "Delete a volume, giving its space back to its pool");
    remove->add_option("VOLUME", target, "volume ID or name")->required();
    remove->add_flag("--yes", yes, "do not ask (needed when not on a terminal)");
    remove->add_flag("--wait", wait, "watch the job to its end");
    remove->callback([&action] {
        action = [](Session& session) { return deleteVolume(session, target, yes, wait); };
    });

    CLI::App* show = volume->add_subcommand("show", "Show a volume");
    show->add_option("VOLUME", target, "volume ID or name")->required();
    show->callback([&action] { action = [](Session& session) { return showVolume(session, target); }; });
}

void addJobCommands(CLI::App& app, Action& action)
{
    CLI::App* job = app.add_subcommand("job", "Show, watch or control a job");
    job->require_subcommand(1);
    static std::string id;
    job->add_subcommand("show", "Show a job")->callback([&action] {
        action = [](Session& session) { return showJob(session, id); };
    });
    job->add_subcommand("wait", "Watch a job to its end")->callback([&action] {
        action = [](Session& session) { return waitJob(session, id); };
    });
    for (const char* control : {"suspend", "resume", "abort", "delete"})
    {
        const std::string name = control;
        job->add_subcommand(name, "Ask the array to " + name + " a job")->callback([&action, name] {
            action = [name](Session& session) { return controlJob(session, name, id); };
        });
    }
    for (CLI::App* command : job->get_subcommands({}))
        command->add_option("JOB", id, "job ID")->required();

    static ScanRequest scan;
    static std::vector<std::string> every;
    CLI::App* scanCommand = app.add_subcommand("scan", "Scan a volume now, later, or periodically");
    scanCommand->add_option("VOLUME", scan.volume, "volume ID or name")->required();
    scanCommand->add_option("--at", scan.at, "UTC start time: YYYY-MM-DD HH:MM[:SS]");
    scanCommand->add_option("--every", every, "repeat: N minutes|hours|days|weeks|months")->expected(2);
    scanCommand->add_flag("--parity", scan.parity, "a parity scan (default: a media scan)");
    scanCommand->add_flag("--wait", scan.wait, "watch a scan that runs once to its end");
    scanCommand->callback([&action] {
        action = [](Session& session)
        {
            if (!every.empty())
            {
                const std::string& count = every[0];
                std::string unit = every[1];
                if (!unit.empty() && unit.back() != 's') unit += 's'; // "1 week"
                if (count.empty() || count.size() > 5 || count.find_first_not_of("0123456789") != std::string::npos ||
                    std::stoul(count) == 0 || std::stoul(count) > 65535 ||
                    (unit != "minutes" && unit != "hours" && unit != "days" && unit != "weeks" && unit != "months"))
                    throw Failure(ExitUsage, "--every takes N and minutes, hours, days, weeks or months");
                scan.every = unsigned(std::stoul(count));
                scan.unit = unit;
            }
            return scanVolume(session, scan);
        };
    });
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"scsctl: the storage administrator's command line for the array"};
    app.require_subcommand(1);
    app.fallthrough();
    Connection connection;
    bool json = false;
    app.add_option("--url", connection.url, "CIM server, http:// or https://")->capture_default_str();
    app.add_option("--user", connection.user, "user name; the password comes from SCSCTL_PASSWORD or is asked");
    app.add_option("--namespace", connection.nameSpace, "CIM namespace")->capture_default_str();
    app.add_option("--cacert", connection.caFile, "https: the certificates to trust")->check(CLI::ExistingFile);
    app.add_flag("--insecure", connection.insecure, "https: trust any certificate");
    app.add_option("--timeout", connection.timeout, "seconds to wait for an answer")
        ->capture_default_str()
        ->check(CLI::Range(1, 3600));
    app.add_flag("--json", json, "print JSON for scripts");

    Action action;
    addReadingCommands(app, action);
    addVolumeCommands(app, action);
    addJobCommands(app, action);
    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::ParseError& error)
    {
        const int status = app.exit(error);
        return status == 0 ? ExitOk : ExitUsage;
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
        Session session{client, json, resumeCommand(argv[0], connection)};
        return action(session);
    }
    catch (const Failure& failure)
    {
        std::fprintf(stderr, "scsctl: %s\n", failure.what());
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
