// What the two stress tests share: a cimhost child process on a loopback port, a kept-alive
// CIM-XML client with request pieces, the requests both send, an answer reader (pugixml), and a
// tally of outcomes by operation.
#ifndef STRESS_StressSupport_h
#define STRESS_StressSupport_h

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <pugixml.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "../support/HttpClient.h"

extern char** environ;

namespace stress
{

// An instance path; every key of the array's paths is a string.
struct Path
{
    std::string className;
    std::vector<std::pair<std::string, std::string>> keys;

    std::string key(const std::string& name) const
    {
        for (const auto& binding : keys)
            if (binding.first == name) return binding.second;
        return "";
    }
    std::string xml() const // INSTANCENAME
    {
        std::string xml = "<INSTANCENAME CLASSNAME=\"" + className + "\">";
        for (const auto& binding : keys)
            xml += "<KEYBINDING NAME=\"" + binding.first + "\"><KEYVALUE VALUETYPE=\"string\">" +
                   binding.second + "</KEYVALUE></KEYBINDING>";
        return xml + "</INSTANCENAME>";
    }
    std::string text() const // Class.Key="value",...
    {
        std::string text = className;
        for (size_t i = 0; i < keys.size(); ++i)
            text += (i ? "," : ".") + keys[i].first + "=\"" + keys[i].second + "\"";
        return text;
    }
};

// The first INSTANCENAME in the node, itself included.
inline Path pathOf(pugi::xml_node node)
{
    if (std::string(node.name()) != "INSTANCENAME")
        node = node.find_node([](pugi::xml_node n) { return std::string(n.name()) == "INSTANCENAME"; });
    Path path{node.attribute("CLASSNAME").value(), {}};
    for (pugi::xml_node binding : node.children("KEYBINDING"))
        path.keys.emplace_back(binding.attribute("NAME").value(), binding.child_value("KEYVALUE"));
    return path;
}

inline Path idPath(const std::string& className, const std::string& instanceID)
{
    return Path{className, {{"InstanceID", instanceID}}};
}
inline const Path BASE_POOL = idPath("CIM_StoragePool", "37000004");
inline const Path BASE_CAPABILITIES = idPath("CIM_StorageCapabilities", "37000004");
inline const Path SERVICE = {"Zarvo_StorageConfigurationService",
                             {{"CreationClassName", "Zarvo_StorageConfigurationService"},
                              {"Name", "ZARVO-0001"},
                              {"SystemCreationClassName", "CIM_ComputerSystem"},
                              {"SystemName", "ZARVO-0001"}}};

inline Path volumePath(const std::string& deviceID)
{
    return Path{"CIM_StorageVolume",
                {{"CreationClassName", "CIM_StorageVolume"},
                 {"DeviceID", deviceID},
                 {"SystemCreationClassName", "CIM_ComputerSystem"},
                 {"SystemName", "ZARVO-0001"}}};
}

// ---- request pieces -------------------------------------------------------------------------------

inline std::string param(const std::string& name, const std::string& value)
{
    return "<PARAMVALUE NAME=\"" + name + "\"><VALUE>" + value + "</VALUE></PARAMVALUE>";
}

inline std::string param(const std::string& name, const std::vector<Path>& references, bool array = true)
{
    std::string xml;
    for (const Path& reference : references)
        xml += "<VALUE.REFERENCE>" + reference.xml() + "</VALUE.REFERENCE>";
    return "<PARAMVALUE NAME=\"" + name + "\">" +
           (array ? "<VALUE.REFARRAY>" + xml + "</VALUE.REFARRAY>" : xml) + "</PARAMVALUE>";
}
inline std::string param(const std::string& name, const Path& reference)
{
    return param(name, {reference}, false);
}

inline std::string iparam(const std::string& name, const std::string& xml)
{
    return "<IPARAMVALUE NAME=\"" + name + "\">" + xml + "</IPARAMVALUE>";
}

inline std::string classNamed(const std::string& name)
{
    return "<CLASSNAME NAME=\"" + name + "\"/>";
}

// A random block of persistence data, 1 to `maxBytes` bytes as upper-case hexadecimal.
inline std::string hexBlock(std::mt19937& random, size_t maxBytes)
{
    std::string hex;
    for (size_t i = 0, bytes = 1 + random() % maxBytes; i < 2 * bytes; ++i)
        hex += "0123456789ABCDEF"[random() % 16];
    return hex;
}

// ---- answers --------------------------------------------------------------------------------------

struct Answer
{
    int http = 0;     // 0: no answer (refused, reset or closed connection)
    int cimError = 0; // CODE of an ERROR
    std::string description;
    std::shared_ptr<pugi::xml_document> doc = std::make_shared<pugi::xml_document>();

    bool ok() const { return http == 200 && cimError == 0; }
    long long returnValue() const // -1: none
    {
        const std::string text = doc->select_node("//RETURNVALUE/VALUE").node().child_value();
        return text.empty() ? -1 : std::stoll(text);
    }
    std::string out(const std::string& name) const
    {
        return doc->select_node(("//PARAMVALUE[@NAME='" + name + "']/VALUE").c_str()).node().child_value();
    }
    Path outRef(const std::string& name) const
    {
        return pathOf(doc->select_node(("//PARAMVALUE[@NAME='" + name + "']").c_str()).node());
    }
    std::vector<pugi::xml_node> all(const char* element) const
    {
        std::vector<pugi::xml_node> nodes;
        for (const pugi::xpath_node& found : doc->select_nodes((std::string("//") + element).c_str()))
            nodes.push_back(found.node());
        return nodes;
    }
    std::string summary() const
    {
        if (http != 200) return http ? "HTTP " + std::to_string(http) : "no answer";
        if (cimError) return "CIM error " + std::to_string(cimError) + " (" + description + ")";
        return "return value " + std::to_string(returnValue());
    }
};

// A property's value; those of an array joined by ','.
inline std::string property(pugi::xml_node instance, const std::string& name)
{
    std::string joined;
    for (const pugi::xpath_node& value :
         instance.find_child_by_attribute("NAME", name.c_str()).select_nodes(".//VALUE"))
        joined += (joined.empty() ? "" : ",") + std::string(value.node().child_value());
    return joined;
}

inline unsigned long long number(const std::string& text)
{
    return text.empty() ? 0 : std::stoull(text);
}

// ---- client ---------------------------------------------------------------------------------------

// One kept-alive connection, opened again on the call after a failure.
class Client
{
public:
    explicit Client(int port) : _port(port) {}

    Answer intrinsic(const std::string& method, const std::string& params)
    {
        return post(method, "root%2Fsnia",
                    "<IMETHODCALL NAME=\"" + method + "\">" + testhttp::localNamespace("snia") + params +
                        "</IMETHODCALL>");
    }
    Answer invoke(const Path& target, const std::string& method, const std::string& params = "")
    {
        std::string object; // "root/snia:" and the path, URI-encoded
        for (unsigned char c : "root/snia:" + target.text())
        {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            object += std::isalnum(c) || c == '-' || c == '_' || c == '.' ? std::string(1, char(c)) : hex;
        }
        return post(method, object,
                    "<METHODCALL NAME=\"" + method + "\"><LOCALINSTANCEPATH>" +
                        testhttp::localNamespace("snia") + target.xml() + "</LOCALINSTANCEPATH>" + params +
                        "</METHODCALL>");
    }

    // The requests both tests send.
    Answer enumerate(const std::string& className, const char* operation = "EnumerateInstances")
    {
        return intrinsic(operation, iparam("ClassName", classNamed(className)));
    }
    Answer createSetting() { return invoke(BASE_CAPABILITIES, "CreateSetting", param("SettingType", "2")); }
    // A ModifyInstance that sets uint16 properties.
    Answer modify(const Path& path, const std::vector<std::pair<std::string, unsigned>>& properties)
    {
        std::string xml =
            "<VALUE.NAMEDINSTANCE>" + path.xml() + "<INSTANCE CLASSNAME=\"" + path.className + "\">";
        for (const auto& property : properties)
            xml += "<PROPERTY NAME=\"" + property.first + "\" TYPE=\"uint16\"><VALUE>" +
                   std::to_string(property.second) + "</VALUE></PROPERTY>";
        return intrinsic("ModifyInstance",
                         iparam("ModifiedInstance", xml + "</INSTANCE></VALUE.NAMEDINSTANCE>"));
    }
    // ReadPersistenceData; `data` gets the block in upper case.
    Answer readBlock(std::string& data)
    {
        Answer answer = invoke(SERVICE, "ReadPersistenceData");
        data = answer.out("Data");
        std::transform(data.begin(), data.end(), data.begin(), ::toupper);
        return answer;
    }

private:
    Answer post(const std::string& method, const std::string& object, const std::string& call)
    {
        const testhttp::Headers headers = {{"Content-Type", "application/xml; charset=\"utf-8\""},
                                           {"CIMOperation", "MethodCall"},
                                           {"CIMMethod", method},
                                           {"CIMObject", object}};
        if (!_connection) _connection = std::make_unique<testhttp::Connection>(_port, 600);
        const testhttp::Reply reply =
            _connection->exchange(testhttp::request(testhttp::message("1", call), headers));
        if (!reply.status || reply.header("Connection") == "close") _connection.reset();
        Answer answer;
        answer.http = reply.status;
        if (!answer.doc->load_string(reply.body.c_str()) && answer.http == 200) answer.http = -200; // not XML
        const pugi::xml_node fault = answer.doc->select_node("//ERROR").node();
        answer.cimError = fault.attribute("CODE").as_int();
        answer.description = fault.attribute("DESCRIPTION").value();
        return answer;
    }

    int _port;
    std::unique_ptr<testhttp::Connection> _connection;
};

// ---- host -----------------------------------------------------------------------------------------

// cimhost with the real schema, module and inventory module, its files in `dir`.
class Host
{
public:
    explicit Host(std::string dir) : _dir(std::move(dir)) {}
    ~Host()
    {
        if (_pid > 0) kill();
    }

    // Waits for the listening line (up to 120 s, for sanitizer builds); false with the reason.
    bool start(const std::vector<std::string>& extra, std::string& problem)
    {
        const std::string errors = _dir + "/stderr." + std::to_string(++_starts);
        std::vector<std::string> args = {SCS_CIMHOST,    "--port",      "any",           "--schema",
                                         SCS_SCHEMA_DIR, "--providers", SCS_PROVIDER_DIR};
        for (const auto& [option, file] : {std::pair("--state", "state.json"),
                                           {"--event-file", "events.jsonl"},
                                           {"--trace-file", "trace.log"}})
            args.insert(args.end(), {option, _dir + "/" + file});
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(&arg[0]);
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&files, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&_pid, argv[0], &files, nullptr, argv.data(), environ) != 0) _pid = -1;
        posix_spawn_file_actions_destroy(&files);
        const std::string listening = "cimhost: listening on http://127.0.0.1:";
        for (int waited = 0; _pid > 0 && waited < 6000; ++waited)
        {
            const std::string text = log();
            if (text.find(listening) != std::string::npos)
                return _port = std::atoi(text.c_str() + text.find(listening) + listening.size()), true;
            if (waitpid(_pid, nullptr, WNOHANG) == _pid) _pid = -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        problem = "cimhost did not start:\n" + log();
        if (_pid > 0) kill();
        return false;
    }
    int port() const { return _port; }
    // SIGTERM and wait (a host that hangs runs into the test's time limit): the exit status.
    int terminate() { return stop(SIGTERM); }
    void kill() { stop(SIGKILL); }
    // The end of the last start's standard error (the access log).
    std::string log() const
    {
        std::ifstream in(_dir + "/stderr." + std::to_string(_starts));
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return text.substr(text.size() > 3000 ? text.size() - 3000 : 0);
    }

private:
    int stop(int signal)
    {
        if (_pid <= 0) return -1; // kill(-1) would signal every process of the user
        ::kill(_pid, signal);
        int status = 0;
        waitpid(_pid, &status, 0);
        _pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    std::string _dir;
    pid_t _pid = -1;
    int _port = 0, _starts = 0;
};

// ---- tally ----------------------------------------------------------------------------------------

// Outcomes by operation; the failures are printed and fail the test.
class Tally
{
public:
    enum Outcome
    {
        Ok,
        Refused,
        Failed
    };

    // Success: a return value among `good` (any when empty). A refusal the array may give under
    // contention: CIM_ERR_FAILED with the engine's text for a busy object, a full task table or a
    // full pool, or a return value among `refusals`. Anything else fails.
    Outcome classify(const std::string& operation, const Answer& answer,
                     const std::vector<long long>& good = {}, const std::vector<long long>& refusals = {})
    {
        static const char* const CONTENTION[] = {"a task is already working on the object",
                                                 "the task table is full", "insufficient free capacity"};
        const long long value = answer.returnValue();
        Outcome result = Failed;
        std::string outcome = "FAILED";
        if (answer.ok() && (good.empty() || std::count(good.begin(), good.end(), value)))
            result = Ok, outcome = good.empty() ? "ok" : "ok " + std::to_string(value);
        else if (answer.ok() && std::count(refusals.begin(), refusals.end(), value))
            result = Refused, outcome = "refused " + std::to_string(value);
        for (const char* text : CONTENTION)
            if (answer.http == 200 && answer.cimError == 1 &&
                answer.description.find(text) != std::string::npos)
                result = Refused, outcome = "refused: " + std::string(text);
        count(operation, outcome);
        if (result == Failed) fail(operation + ": " + answer.summary());
        return result;
    }
    void count(const std::string& operation, const std::string& outcome)
    {
        std::lock_guard<std::mutex> lock(_mutex);
        ++_counts[operation][outcome];
    }
    void fail(const std::string& what)
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _failures.push_back(what);
    }
    int failures() const
    {
        std::lock_guard<std::mutex> lock(_mutex);
        return int(_failures.size());
    }
    void print() const
    {
        std::lock_guard<std::mutex> lock(_mutex);
        for (const auto& [operation, outcomes] : _counts)
        {
            std::cout << "  " << operation << ":";
            for (const auto& [outcome, times] : outcomes)
                std::cout << "  " << outcome << " x" << times;
            std::cout << "\n";
        }
        for (size_t i = 0; i < _failures.size() && i < 40; ++i)
            std::cout << "FAIL: " << _failures[i] << "\n";
    }

private:
    mutable std::mutex _mutex;
    std::map<std::string, std::map<std::string, int>> _counts;
    std::vector<std::string> _failures;
};

// A number from the environment, else the fallback.
inline long knob(const char* variable, long fallback)
{
    const char* value = std::getenv(variable);
    return value && *value ? std::atol(value) : fallback;
}

// The two tests; `dir` holds the host's files and the engine's transfer folder "ramdisk".
void runConcurrent(const std::string& dir, std::mt19937& random, Tally& tally);
void runCrashes(const std::string& dir, std::mt19937& random, Tally& tally);

} // namespace stress

#endif
