// volume create, grow and delete: a setting made through the pool's capabilities, then the
// storage configuration service's CreateOrModifyElementFromStoragePool and ReturnToStoragePool.
#include <cstdio>

#include "Commands.h"
#include "Confirm.h"
#include "InstanceFields.h"
#include "InterruptFlag.h"
#include "JobWatch.h"
#include "LayoutRules.h"
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

std::string describePool(const CIMInstance& pool)
{
    return stringField(pool, "ElementName").value_or("") + " (" +
           stringField(pool, "InstanceID").value_or("") + ")";
}

// Names the array takes: 1 to 64 characters, none a control character.
void checkVolumeName(const std::string& name)
{
    const size_t longest = 64;
    if (name.empty())
        throw Failure(ExitUsage, "a volume needs a name: 1 to " + std::to_string(longest) + " characters");
    if (name.size() > longest)
        throw Failure(ExitUsage, "a volume name has at most " + std::to_string(longest) +
                                     " characters; this one has " + std::to_string(name.size()));
    for (const unsigned char c : name)
        if (c < 0x20 || c == 0x7f) throw Failure(ExitUsage, "a volume name cannot hold control characters");
}

// The array allows two volumes of one name; scsctl does not make them, since a name that fits two
// volumes no longer names either.
void refuseTakenName(CimClient& client, const std::string& name)
{
    const Array<CIMInstance> volumes = client.enumerateInstances("CIM_StorageVolume");
    for (Uint32 i = 0; i < volumes.size(); ++i)
        if (stringField(volumes[i], "ElementName") == name)
            throw Failure(ExitRefused, "volume " + name + " exists already (" +
                                           stringField(volumes[i], "DeviceID").value_or("") +
                                           "); choose another name");
}

// Pools that are not for general use (sparing, the array's own, failed drives) take volumes only
// when the operator insists.
void refuseReservedPool(const CIMInstance& pool, bool force)
{
    const auto usage = numberField(pool, "Usage");
    if (force || !usage || *usage == 2) return;
    throw Failure(ExitRefused, "pool " + describePool(pool) + " is " + poolUsageText(pool) +
                                   ", not for volumes; --force makes the volume there all the same");
}

unsigned drivesIn(CimClient& client, const CIMInstance& pool)
{
    return client.associatorNames(pool.getPath(), "CIM_ConcreteComponent").size();
}

void checkDrives(const VolumeRequest& request, const CIMInstance& pool, unsigned poolDrives)
{
    if (request.drives == 0) return;
    const std::string layout = request.layout.empty() ? "stripe" : request.layout;
    const DriveRange range = drivesAllowed(layout, poolDrives);
    if (request.layout.empty() ? request.drives <= range.highest
                               : request.drives >= range.lowest && request.drives <= range.highest)
        return;
    throw Failure(ExitRefused, "pool " + describePool(pool) + " has " + std::to_string(poolDrives) +
                                   " drives, so --drives " + std::to_string(request.drives) +
                                   (request.layout.empty() ? "" : " with " + request.layout) +
                                   " is not possible; its layouts: " + layoutsAllowed(poolDrives));
}

LayoutShape shapeOf(const CIMInstance& instance, const char* copies, const char* parity)
{
    LayoutShape shape;
    shape.copies = numberField(instance, copies).value_or(1);
    shape.parity = numberField(instance, parity).value_or(0);
    shape.drives = numberField(instance, "ExtentStripeLength").value_or(1);
    return shape;
}

// "a 4 GiB volume (double-parity over 6 drives) takes 6 GiB of pool Base (37000004), which has
// 2 GiB free": the figures, or empty when the pool has room.
std::string capacityShortfall(const CIMInstance& pool, const LayoutShape& shape, std::uint64_t bytes,
                              const std::string& what)
{
    const std::uint64_t needed = rawBytesFor(shape, bytes);
    const std::uint64_t free = numberField(pool, "RemainingManagedSpace").value_or(0);
    if (needed <= free) return std::string();
    const std::string layout = shape.copies >= 2
                                   ? "mirror, " + std::to_string(shape.copies) + " copies of " +
                                         std::to_string(shape.drives) + " drives each"
                                   : layoutName(shape) + " over " + std::to_string(shape.drives) + " drives";
    return what + " (" + layout + ") takes " + formatSize(needed) + " of pool " + describePool(pool) +
           ", which has " + formatSize(free) + " free";
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
        try
        {
            client.modifyInstance(goals, changed);
        }
        catch (const Failure& failure)
        {
            const std::string layout = request.layout.empty() ? "the pool's layout" : request.layout;
            const std::string drives =
                request.drives ? " over " + std::to_string(request.drives) + " drives" : std::string();
            throw explained(failure,
                            "the array refused " + layout + drives + " in pool " + describePool(pool));
        }
    }
    return setting;
}

// A setting made for a volume that was not made is deleted again, also when the command fails
// or is interrupted on the way; kept once the volume is asked for.
class SettingUndo
{
public:
    SettingUndo(CimClient& client, CIMObjectPath setting) : _client(client), _setting(std::move(setting)) {}
    ~SettingUndo()
    {
        if (_kept) return;
        try
        {
            _client.deleteInstance(_setting);
        }
        catch (...)
        {
            // The original failure is what the operator needs to see; a setting left over is
            // listed by "scsctl settings".
        }
    }
    SettingUndo(const SettingUndo&) = delete;
    SettingUndo& operator=(const SettingUndo&) = delete;
    const CIMObjectPath& path() const { return _setting; }
    void keep() { _kept = true; }

private:
    CimClient& _client;
    CIMObjectPath _setting;
    bool _kept = false;
};

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
    if (wait)
        return watchJob(session.client, job, session.resumeCommand, session.json ? stderr : stdout,
                        &session.connection);
    if (!session.json) std::printf("to watch it: %s %s\n", session.resumeCommand.c_str(), job.c_str());
    return ExitOk;
}

ExitStatus createVolume(Session& session, const VolumeRequest& request)
{
    CimClient& client = session.client;
    checkVolumeName(request.name);
    refuseTakenName(client, request.name);
    const CIMInstance pool = request.pool.empty() ? basePool(client) : findPool(client, request.pool);
    refuseReservedPool(pool, request.force);
    checkDrives(request, pool, drivesIn(client, pool));

    InterruptFlag interrupt;
    SettingUndo setting(client, makeSetting(client, pool, request));
    const LayoutShape shape =
        shapeOf(client.getInstance(setting.path()), "DataRedundancyGoal", "PackageRedundancyGoal");
    const std::string what = "a " + formatSize(request.size) + " volume";
    std::string shortfall = capacityShortfall(pool, shape, request.size, what);
    if (!shortfall.empty()) throw Failure(ExitRefused, shortfall);
    if (interrupt.raised())
        throw Failure(ExitInterrupted,
                      "interrupted before volume " + request.name + " was asked for; nothing made");

    const CIMObjectPath service = configurationService(client);
    Array<CIMParamValue> in;
    in.append(CIMParamValue("ElementName", CIMValue(String(request.name.c_str())), true));
    in.append(CIMParamValue("ElementType", CIMValue(Uint16(2)), true));
    in.append(CIMParamValue("Goal", CIMValue(setting.path()), true));
    in.append(CIMParamValue("InPool", CIMValue(client.local(pool.getPath())), true));
    in.append(CIMParamValue("Size", CIMValue(Uint64(request.size)), true));
    const MethodAnswer answer = client.invokeMethod(service, "CreateOrModifyElementFromStoragePool", in);
    try
    {
        judgeReturn(client, service, "CreateOrModifyElementFromStoragePool", answer);
    }
    catch (const Failure& failure)
    {
        // The pool as it is now: another client may have taken the space meanwhile.
        shortfall = capacityShortfall(client.getInstance(pool.getPath()), shape, request.size, what);
        throw explained(failure, "the array refused to create volume " + request.name +
                                     (shortfall.empty() ? "" : ": " + shortfall));
    }
    setting.keep();
    const std::string job = startedJob(answer);
    printStarted(session, "creation", keyOf(referenceOut(answer, "TheElement"), "DeviceID"), request.name,
                 job);
    return followJob(session, job, request.wait);
}

ExitStatus growVolume(Session& session, const std::string& volume, std::uint64_t size, bool wait)
{
    CimClient& client = session.client;
    const CIMInstance instance = findVolume(client, volume);
    const std::string name = stringField(instance, "ElementName").value_or("");
    const std::uint64_t blockSize = numberField(instance, "BlockSize").value_or(ARRAY_BLOCK_BYTES);
    const std::uint64_t current = numberField(instance, "NumberOfBlocks").value_or(0) * blockSize;
    if ((size + blockSize - 1) / blockSize * blockSize <= current)
        throw Failure(ExitRefused, "volume " + name + " is " + formatSize(current) +
                                       (size < current ? "; a volume can grow but not shrink" : " already") +
                                       " (asked for " + formatSize(size) + ")");
    const Array<CIMObjectPath> pools =
        client.associatorNames(instance.getPath(), "CIM_AllocatedFromStoragePool");
    const LayoutShape shape = shapeOf(instance, "DataRedundancy", "PackageRedundancy");
    const std::string what = "growing volume " + name + " by " + formatSize(size - current);
    if (pools.size() > 0)
    {
        const std::string shortfall =
            capacityShortfall(client.getInstance(pools[0]), shape, size - current, what);
        if (!shortfall.empty()) throw Failure(ExitRefused, shortfall);
    }
    const CIMObjectPath service = configurationService(client);
    Array<CIMParamValue> in;
    in.append(CIMParamValue("TheElement", CIMValue(client.local(instance.getPath())), true));
    in.append(CIMParamValue("Size", CIMValue(Uint64(size)), true));
    const MethodAnswer answer = client.invokeMethod(service, "CreateOrModifyElementFromStoragePool", in);
    try
    {
        judgeReturn(client, service, "CreateOrModifyElementFromStoragePool", answer);
    }
    catch (const Failure& failure)
    {
        throw explained(failure, "the array refused to grow volume " + name + " to " + formatSize(size) +
                                     " (a task may be working on it: scsctl jobs)");
    }
    const std::string job = startedJob(answer);
    printStarted(session, "growth to " + formatSize(size), stringField(instance, "DeviceID").value_or(""),
                 name, job);
    return followJob(session, job, wait);
}

ExitStatus deleteVolume(Session& session, const std::string& volume, bool confirmed, bool wait)
{
    CimClient& client = session.client;
    const CIMInstance instance = findVolume(client, volume);
    const std::string id = stringField(instance, "DeviceID").value_or("");
    const std::string name = stringField(instance, "ElementName").value_or("");
    confirmOrRefuse(confirmed, "deleting volume " + name + " (" + id + ")",
                    "Delete volume " + name + " (" + id + ") and all its data?");
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
