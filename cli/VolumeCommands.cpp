// volume create, grow and delete: a setting made through the pool's capabilities, then the
// storage configuration service's CreateOrModifyElementFromStoragePool and ReturnToStoragePool.
#include <cstdio>
#include <iostream>

#include <unistd.h>

#include "Commands.h"
#include "InstanceFields.h"
#include "JobWatch.h"
#include "Lookup.h"
#include "MethodResult.h"
#include "SizeText.h"

namespace scsctl
{

using namespace Pegasus;

namespace
{

CIMObjectPath referenceOut(const MethodAnswer& answer, const char* name)
{
    const CIMValue value = answer.out(name);
    CIMObjectPath path;
    if (!value.isNull() && !value.isArray() && value.getType() == CIMTYPE_REFERENCE) value.get(path);
    return path;
}

std::string keyOf(const CIMObjectPath& path, const char* key)
{
    const Array<CIMKeyBinding> keys = path.getKeyBindings();
    for (Uint32 i = 0; i < keys.size(); ++i)
        if (keys[i].getName().equal(CIMName(key))) return utf8(keys[i].getValue());
    return "";
}

// The goals that make a layout; see the setting rules in the README.
struct LayoutGoals
{
    Uint16 copies;
    Uint16 parity;
};

LayoutGoals layoutGoals(const std::string& layout)
{
    if (layout == "mirror") return {2, 1};
    if (layout == "stripe") return {1, 0};
    if (layout == "parity") return {1, 1};
    return {1, 2}; // double-parity; the command line admits no other
}

// A new setting from the pool's capabilities, changed to the layout and drive count asked for.
CIMObjectPath makeSetting(CimClient& client, const CIMInstance& pool, const VolumeRequest& request)
{
    const Array<CIMObjectPath> capabilities =
        client.associatorNames(pool.getPath(), "CIM_ElementCapabilities");
    if (capabilities.size() == 0)
        throw Failure(ExitRefused, "pool " + stringField(pool, "InstanceID").value_or("") +
                                       " has no capabilities to make a volume setting from");
    Array<CIMParamValue> in;
    in.append(CIMParamValue("SettingType", CIMValue(Uint16(2)), true));
    const MethodAnswer answer = client.invokeMethod(capabilities[0], "CreateSetting", in);
    judgeReturn(client, capabilities[0], "CreateSetting", answer);
    const CIMObjectPath setting = client.local(referenceOut(answer, "NewSetting"));
    if (setting.getClassName().isNull()) throw Failure(ExitRefused, "CreateSetting returned no setting");

    CIMInstance goals(setting.getClassName());
    std::vector<std::string> changed;
    if (!request.layout.empty())
    {
        const LayoutGoals layout = layoutGoals(request.layout);
        goals.addProperty(CIMProperty(CIMName("DataRedundancyGoal"), CIMValue(layout.copies)));
        goals.addProperty(CIMProperty(CIMName("PackageRedundancyGoal"), CIMValue(layout.parity)));
        changed = {"DataRedundancyGoal", "PackageRedundancyGoal"};
    }
    if (request.drives > 0)
    {
        goals.addProperty(CIMProperty(CIMName("ExtentStripeLength"), CIMValue(Uint16(request.drives))));
        changed.push_back("ExtentStripeLength");
    }
    if (!changed.empty())
    {
        goals.setPath(setting);
        client.modifyInstance(goals, changed);
    }
    return setting;
}

void printStarted(Session& session, const std::string& what, const std::string& volumeId,
                  const std::string& name, const std::string& job)
{
    if (session.json)
    {
        const Record record = {
            {"id", volumeId}, {"name", name}, {"job", job.empty() ? Record() : Record(job)}};
        std::printf("%s\n", record.dump(2).c_str());
    }
    else if (job.empty())
        std::printf("volume %s (%s): %s done\n", name.c_str(), volumeId.c_str(), what.c_str());
    else
        std::printf("volume %s (%s): %s started as job %s\n", name.c_str(), volumeId.c_str(), what.c_str(),
                    job.c_str());
    std::fflush(stdout);
}

} // namespace

std::string startedJob(const MethodAnswer& answer)
{
    return keyOf(referenceOut(answer, "Job"), "InstanceID");
}

ExitStatus followJob(Session& session, const std::string& job, bool wait)
{
    if (job.empty()) return ExitOk;
    if (wait) return watchJob(session.client, job, session.resumeCommand, session.json ? stderr : stdout);
    if (!session.json) std::printf("to watch it: %s %s\n", session.resumeCommand.c_str(), job.c_str());
    return ExitOk;
}

ExitStatus createVolume(Session& session, const VolumeRequest& request)
{
    CimClient& client = session.client;
    const CIMInstance pool = request.pool.empty() ? basePool(client) : findPool(client, request.pool);
    const CIMObjectPath setting = makeSetting(client, pool, request);
    const CIMObjectPath service = configurationService(client);
    Array<CIMParamValue> in;
    in.append(CIMParamValue("ElementName", CIMValue(String(request.name.c_str())), true));
    in.append(CIMParamValue("ElementType", CIMValue(Uint16(2)), true));
    in.append(CIMParamValue("Goal", CIMValue(setting), true));
    in.append(CIMParamValue("InPool", CIMValue(client.local(pool.getPath())), true));
    in.append(CIMParamValue("Size", CIMValue(Uint64(request.size)), true));
    const MethodAnswer answer = client.invokeMethod(service, "CreateOrModifyElementFromStoragePool", in);
    judgeReturn(client, service, "CreateOrModifyElementFromStoragePool", answer);
    const std::string job = startedJob(answer);
    printStarted(session, "creation", keyOf(referenceOut(answer, "TheElement"), "DeviceID"), request.name,
                 job);
    return followJob(session, job, request.wait);
}

ExitStatus growVolume(Session& session, const std::string& volume, std::uint64_t size, bool wait)
{
    CimClient& client = session.client;
    const CIMInstance instance = findVolume(client, volume);
    const CIMObjectPath service = configurationService(client);
    Array<CIMParamValue> in;
    in.append(CIMParamValue("TheElement", CIMValue(client.local(instance.getPath())), true));
    in.append(CIMParamValue("Size", CIMValue(Uint64(size)), true));
    const MethodAnswer answer = client.invokeMethod(service, "CreateOrModifyElementFromStoragePool", in);
    judgeReturn(client, service, "CreateOrModifyElementFromStoragePool", answer);
    const std::string job = startedJob(answer);
    printStarted(session, "growth to " + formatSize(size), stringField(instance, "DeviceID").value_or(""),
                 stringField(instance, "ElementName").value_or(""), job);
    return followJob(session, job, wait);
}

ExitStatus deleteVolume(Session& session, const std::string& volume, bool confirmed, bool wait)
{
    CimClient& client = session.client;
    const CIMInstance instance = findVolume(client, volume);
    const std::string id = stringField(instance, "DeviceID").value_or("");
    const std::string name = stringField(instance, "ElementName").value_or("");
    if (!confirmed)
    {
        if (!isatty(STDIN_FILENO))
            throw Failure(ExitRefused, "deleting volume " + name + " (" + id +
                                           ") needs --yes when not asked on a terminal");
        std::fprintf(stderr, "Delete volume %s (%s) and all its data? [y/N] ", name.c_str(), id.c_str());
        std::string answer;
        std::getline(std::cin, answer);
        if (answer != "y" && answer != "Y" && answer != "yes")
            throw Failure(ExitRefused, "volume " + name + " kept");
    }
    const CIMObjectPath service = configurationService(client);
    Array<CIMParamValue> in;
    in.append(CIMParamValue("TheElement", CIMValue(client.local(instance.getPath())), true));
    const MethodAnswer answer = client.invokeMethod(service, "ReturnToStoragePool", in);
    judgeReturn(client, service, "ReturnToStoragePool", answer);
    const std::string job = startedJob(answer);
    printStarted(session, "deletion", id, name, job);
    return followJob(session, job, wait);
}

} // namespace scsctl
