// scsctl: the storage administrator's command line for the array, over CIM-XML.
#include <cstdio>
#include <functional>

#include <CLI/CLI.hpp>

#include <Pegasus/Common/Exception.h>

#include "Commands.h"
#include "InstanceFields.h"
#include "Password.h"

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
    CLI::App* volume = app.add_subcommand("volume", "Show a volume");
    volume->require_subcommand(1);

    static std::string target;
    CLI::App* show = volume->add_subcommand("show", "Show a volume");
    show->add_option("VOLUME", target, "volume ID or name")->required();
    show->callback([&action] { action = [](Session& session) { return showVolume(session, target); }; });
}

void addJobCommands(CLI::App& app, Action& action)
{
    CLI::App* job = app.add_subcommand("job", "Show a job");
    job->require_subcommand(1);
    static std::string id;
    job->add_subcommand("show", "Show a job")->callback([&action] {
        action = [](Session& session) { return showJob(session, id); };
    });
    for (CLI::App* command : job->get_subcommands({}))
        command->add_option("JOB", id, "job ID")->required();
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
        Session session{client, json};
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
