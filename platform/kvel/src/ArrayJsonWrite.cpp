#include "ArrayJson.h"

#include <nlohmann/json.hpp>
#include <ManagedObject.h>
#include "ArrayJsonNames.h"

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

namespace
{
typedef nlohmann::ordered_json Json;

std::string hexBytes(const std::vector<Uint8>& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (Uint8 b : bytes)
    {
        text.push_back(digits[b >> 4]);
        text.push_back(digits[b & 0x0F]);
    }
    return text;
}

std::string poolText(Uint32 poolID)
{
    const char* name = nameOf(POOL_NAMES, poolID);
    return name[0] == '?' ? idText(poolID) : name;
}

Json volumeJson(const KVELVolume& volume)
{
    Json out;
    out["id"] = idText(volume.getObjectID());
    out["name"] = volume.Name;
    out["setting"] = volume.IsSetting;
    out["sizeBlocks"] = volume.Size;
    out["pool"] = poolText(volume.PoolObjectID);
    out["organization"] = nameOf(ORGANIZATION_NAMES, volume.VolumeOrganization);
    out["dataRedundancy"] = volume.DataRedundancy;
    out["stripeWidth"] = volume.StripeWidth;
    out["chunkBlocks"] = volume.ChunkSize;
    out["storageEfficiencyHint"] = volume.StorageEfficiencyHint;
    out["accessBandwidthWeight"] = volume.AccessBandwidthWeight;
    out["noSinglePointOfFailure"] = volume.NoSinglePointOfFailure;
    out["manualCreate"] = volume.ManualCreate;
    Json drives = Json::array();
    for (Uint32 i = 0; i < volume.getDriveCount(); ++i)
        drives.push_back(idText(volume.DriveIDs[i]));
    out["drives"] = drives;
    out["state"] = nameOf(VOLUME_STATE_NAMES, volume.State);
    return out;
}

Json driveJson(const KVELDrive& drive)
{
    Json out;
    out["id"] = idText(drive.getObjectID());
    out["slot"] = drive.Slot;
    out["pool"] = poolText(drive.PoolObjectID);
    out["capacityBlocks"] = drive.CapacityBlocks;
    out["vendor"] = drive.Vendor;
    out["model"] = drive.Model;
    out["serial"] = drive.SerialNumber;
    out["state"] = nameOf(DRIVE_STATE_NAMES, drive.State);
    return out;
}

Json taskJson(const TaskEntry& task)
{
    const KVELTask& r = task.record;
    Json out;
    out["id"] = idText(r.getObjectID());
    out["key"] = hexBytes(r.Key);
    out["target"] = idText(r.TargetObjectPtr);
    out["type"] = nameOf(TASK_TYPE_NAMES, r.Type);
    out["name"] = r.Name;
    out["priority"] = r.Priority;
    out["scheduled"] = r.Scheduled;
    out["startTime"] = r.StartTime;
    out["periodicityUnit"] = nameOf(PERIODICITY_NAMES, r.PeriodicityUnit);
    out["periodicity"] = r.Periodicity;
    out["state"] = nameOf(TASK_STATE_NAMES, r.State);
    out["percentComplete"] = r.PercentComplete;
    out["timeSubmitted"] = r.TimeSubmitted;
    out["timeStarted"] = r.TimeStarted;
    out["timeOfLastStateChange"] = r.TimeOfLastStateChange;
    out["timeFinished"] = r.TimeFinished;
    out["elapsedRunTime"] = r.ElapsedRunTime;
    out["retentionTime"] = r.RetentionTime;
    out["runCount"] = r.RunCount;
    out["errorCode"] = r.ErrorCode;
    out["sequence"] = task.sequence;
    out["duration"] = task.duration;
    out["runAt"] = task.runAt;
    out["holdsObject"] = task.holdsObject;
    if (task.shadowID != 0) out["shadow"] = idText(task.shadowID);
    if (task.before) out["before"] = volumeJson(*task.before);
    return out;
}
} // namespace

std::string writeArray(const ArrayModel& model)
{
    Json out;
    out["format"] = "kvel-array";
    out["version"] = 1;
    out["system"] = {{"name", model.systemName},
                     {"firmware", model.firmwareVersion},
                     {"diskLineMode", nameOf(DISK_LINE_MODE_NAMES, model.diskLineMode)}};
    // Only a host the description chose: otherwise the array takes the name of the machine it
    // runs on, as after a move to another one.
    if (!model.hostName.empty()) out["system"]["host"] = model.hostName;
    Json pools = Json::array();
    for (const auto& [id, name] : model.poolNames)
        pools.push_back({{"pool", poolText(id)}, {"name", name}});
    out["pools"] = pools;
    Json drives = Json::array();
    for (const auto& entry : model.drives)
        drives.push_back(driveJson(entry.second));
    out["drives"] = drives;
    Json volumes = Json::array();
    for (const auto& entry : model.volumes)
        volumes.push_back(volumeJson(entry.second));
    out["volumes"] = volumes;
    Json tasks = Json::array();
    for (const auto& entry : model.tasks)
        tasks.push_back(taskJson(entry.second));
    out["tasks"] = tasks;
    if (!model.faults.empty())
    {
        Json faults = Json::array();
        for (const ScheduledFault& fault : model.faults)
            faults.push_back(
                fault.driveID != 0
                    ? Json{{"at", fault.at}, {"drive", idText(fault.driveID)}}
                    : Json{{"at", fault.at}, {"job", "running"}, {"errorCode", fault.errorCode}});
        out["faults"] = faults;
    }
    out["persistence"] = {{"slot0", hexBytes(model.persistence[0])},
                          {"slot1", hexBytes(model.persistence[1])}};
    out["engine"] = {{"time", model.lastAdvanced},
                     {"nextVolumeNumber", model.nextVolumeNumber},
                     {"nextTaskNumber", model.nextTaskNumber},
                     {"taskSequence", model.taskSequence}};
    return out.dump(2) + "\n";
}

} // namespace kvelsim

PEGASUS_NAMESPACE_END
