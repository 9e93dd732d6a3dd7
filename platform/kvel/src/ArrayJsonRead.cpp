#include "ArrayJson.h"

#include <algorithm>
#include <optional>
#include <set>
#include <nlohmann/json.hpp>
#include <KVELiPtr.h>
#include "ArrayJsonNames.h"
#include "Capacity.h"
#include "PersistenceFile.h"
#include "TaskEffects.h"
#include "TaskTiming.h"

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

namespace
{
typedef nlohmann::ordered_json Json;

const Uint64 BLOCKS_PER_GIB = 2 * 1024 * 1024;
const Uint64 MAX_UINT16 = 0xFFFF;
const Uint64 MAX_UINT32 = 0xFFFFFFFF;
const Uint64 MAX_UINT64 = ~Uint64(0);

[[noreturn]] void fail(const std::string& where, const std::string& problem)
{
    throw FormatError(where.empty() ? problem : where + ": " + problem);
}

std::string indexed(const std::string& path, size_t index)
{
    return path + "[" + std::to_string(index) + "]";
}

// The fields of one JSON object: typed access with the field's path in every error, and a
// check that no field is left that the format does not know.
class Fields
{
public:
    Fields(const Json& value, std::string path) : _value(value), _path(std::move(path))
    {
        if (!value.is_object())
            fail(_path.empty() ? "the top level" : _path,
                 std::string("must be an object, not ") + value.type_name());
    }

    std::string at(const std::string& name) const { return _path.empty() ? name : _path + "." + name; }

    const Json* find(const char* name)
    {
        auto it = _value.find(name);
        if (it == _value.end()) return nullptr;
        _used.insert(name);
        return &*it;
    }

    const Json& need(const char* name)
    {
        const Json* value = find(name);
        if (!value) fail(at(name), "is missing");
        return *value;
    }

    void finish() const
    {
        for (auto it = _value.begin(); it != _value.end(); ++it)
            if (_used.count(it.key()) == 0) fail(at(it.key()), "unknown field");
    }

    std::string text(const char* name, const std::optional<std::string>& fallback)
    {
        const Json* value = fallback ? find(name) : &need(name);
        if (!value) return *fallback;
        if (!value->is_string()) fail(at(name), std::string("must be a string, not ") + value->type_name());
        return value->get<std::string>();
    }

    Uint64 number(const char* name, std::optional<Uint64> fallback, Uint64 max)
    {
        const Json* value = fallback ? find(name) : &need(name);
        if (!value) return *fallback;
        return checkedNumber(*value, at(name), max);
    }

    bool flag(const char* name, bool fallback)
    {
        const Json* value = find(name);
        if (!value) return fallback;
        if (!value->is_boolean())
            fail(at(name), std::string("must be true or false, not ") + value->type_name());
        return value->get<bool>();
    }

    template <typename E, size_t N>
    E choice(const char* name, const NamedValue<E> (&table)[N], std::optional<E> fallback)
    {
        std::string word =
            text(name, fallback ? std::optional<std::string>(nameOf(table, *fallback)) : std::nullopt);
        for (const auto& entry : table)
            if (word == entry.name) return entry.value;
        std::string known;
        for (const auto& entry : table)
            known += std::string(known.empty() ? "" : ", ") + entry.name;
        fail(at(name), "unknown value '" + word + "' (known: " + known + ")");
    }

    const Json* list(const char* name)
    {
        const Json* value = find(name);
        if (value && !value->is_array())
            fail(at(name), std::string("must be an array, not ") + value->type_name());
        return value;
    }

    static Uint64 checkedNumber(const Json& value, const std::string& where, Uint64 max)
    {
        if (!value.is_number()) fail(where, std::string("must be a number, not ") + value.type_name());
        if (value.is_number_float()) fail(where, "must be a whole number");
        if (!value.is_number_unsigned()) fail(where, "must not be negative");
        Uint64 number = value.get<Uint64>();
        if (number > max) fail(where, "must be at most " + std::to_string(max));
        return number;
    }

private:
    const Json& _value;
    std::string _path;
    std::set<std::string> _used;
};

Uint32 parseID(const Json& value, const std::string& where, CLASSID_e classID, const char* what)
{
    if (!value.is_string())
        fail(where, std::string("must be a hexadecimal ID string, not ") + value.type_name());
    std::string text = value.get<std::string>();
    Uint32 id = KVELiPtr::parse(text.c_str(), KVELiPtr::RADIX_16);
    if (id == KVEL_NULL_OBJECT_ID || (id & 0x00FFFFFF) == 0 ||
        (classID != CLASSID_NONE && kvelClassOf(id) != classID))
        fail(where, "'" + text + "' is not " + what);
    return id;
}

Uint32 parsePool(Fields& fields, const char* name, std::optional<Uint32> fallback)
{
    const Json* value = fallback ? fields.find(name) : &fields.need(name);
    if (!value) return *fallback;
    if (!value->is_string())
        fail(fields.at(name), std::string("must be a pool name or ID, not ") + value->type_name());
    std::string text = value->get<std::string>();
    for (const auto& entry : POOL_NAMES)
        if (text == entry.name) return entry.value;
    Uint32 id = KVELiPtr::parse(text.c_str(), KVELiPtr::RADIX_16);
    for (const auto& entry : POOL_NAMES)
        if (id == entry.value) return id;
    fail(fields.at(name), "unknown pool '" + text + "' (known: unavailable, spare, available, base)");
}

// A size given either in blocks or in GiB.
Uint64 parseBlocks(Fields& fields, const char* blocksName, const char* gibName, bool required)
{
    const Json* blocks = fields.find(blocksName);
    const Json* gib = fields.find(gibName);
    if (blocks && gib)
        fail(fields.at(blocksName),
             std::string("give either ") + blocksName + " or " + gibName + ", not both");
    if (blocks) return Fields::checkedNumber(*blocks, fields.at(blocksName), MAX_VOLUME_BLOCKS);
    if (gib)
        return Fields::checkedNumber(*gib, fields.at(gibName), MAX_VOLUME_BLOCKS / BLOCKS_PER_GIB) *
               BLOCKS_PER_GIB;
    if (required)
        fail(fields.at(blocksName), std::string("is missing (give ") + blocksName + " or " + gibName + ")");
    return 0;
}

std::vector<Uint8> parseHex(const Json& value, const std::string& where, size_t maxBytes)
{
    if (!value.is_string())
        fail(where, std::string("must be a hexadecimal string, not ") + value.type_name());
    std::string text = value.get<std::string>();
    if (text.size() % 2 != 0 || text.size() / 2 > maxBytes)
        fail(where,
             "must be an even number of hexadecimal digits, at most " + std::to_string(maxBytes) + " bytes");
    std::vector<Uint8> bytes;
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2)
    {
        std::string pair = text.substr(i, 2);
        if (pair.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            fail(where, "'" + pair + "' is not a hexadecimal byte");
        bytes.push_back(Uint8(std::stoul(pair, nullptr, 16)));
    }
    return bytes;
}

// Gives the records without an ID the lowest free numbers of their class, in file order.
template <typename Record>
void placeRecords(std::vector<std::pair<Record, std::string>>& parsed, std::map<Uint32, Record>& into,
                  CLASSID_e classID, const char* what)
{
    for (auto& [record, path] : parsed)
    {
        Uint32 id = record.getObjectID();
        if (id != 0 && !into.emplace(id, record).second)
            fail(path + ".id", std::string("duplicate ") + what + " ID " + idText(id));
    }
    Uint32 number = 1;
    for (auto& [record, path] : parsed)
    {
        if (record.getObjectID() != 0) continue;
        while (into.count(kvelMakeObjectID(classID, number)))
            ++number;
        assignObjectID(record, kvelMakeObjectID(classID, number));
        into.emplace(record.getObjectID(), record);
    }
}

class ArrayReader
{
public:
    ArrayReader(ArrayModel& model) : _model(model) {}

    void read(const Json& root, MPU_TIME now)
    {
        Fields top(root, "");
        if (const Json* format = top.find("format"); format && *format != "kvel-array")
            fail("format", "must be \"kvel-array\"");
        if (const Json* version = top.find("version"); version && *version != 1) fail("version", "must be 1");
        readSystem(top.need("system"));
        _model.addStandardPools();
        if (const Json* pools = top.list("pools"))
            for (size_t i = 0; i < pools->size(); ++i)
                readPool((*pools)[i], indexed("pools", i));
        readDrives(top.list("drives"));
        readVolumes(top.list("volumes"));
        if (const Json* tasks = top.list("tasks")) readTasks(*tasks);
        if (const Json* persistence = top.find("persistence")) readPersistence(*persistence);
        readEngine(top.find("engine"), now);
        if (const Json* faults = top.list("faults")) readFaults(*faults, now);
        top.finish();
        checkPools();
    }

private:
    void readSystem(const Json& value)
    {
        Fields f(value, "system");
        _model.systemName = f.text("name", std::nullopt);
        _model.hostName = f.text("host", std::string());
        if (checkName(_model.systemName) != KVEL_RC_SUCCESS ||
            _model.systemName.find(' ') != std::string::npos)
            fail("system.name", "must be 1 to 64 printable characters without blanks");
        if (!_model.hostName.empty() && checkName(_model.hostName) != KVEL_RC_SUCCESS)
            fail("system.host", "must be 1 to 64 printable characters");
        _model.firmwareVersion = f.text("firmware", std::string("3.2.0"));
        _model.diskLineMode = f.choice("diskLineMode", DISK_LINE_MODE_NAMES,
                                       std::optional(KVELRedundantPair::DISK_LINE_MODE_SHARED));
        f.finish();
    }

    void readPool(const Json& value, const std::string& path)
    {
        Fields f(value, path);
        Uint32 id = parsePool(f, "pool", std::nullopt);
        std::string name = f.text("name", std::nullopt);
        if (checkName(name) != KVEL_RC_SUCCESS) fail(f.at("name"), "must be 1 to 64 printable characters");
        _model.poolNames[id] = name;
        f.finish();
    }

    void readDrives(const Json* list)
    {
        std::vector<std::pair<KVELDrive, std::string>> parsed;
        std::map<Uint64, std::string> slots;
        for (size_t i = 0; list && i < list->size(); ++i)
        {
            std::string path = indexed("drives", i);
            Fields f((*list)[i], path);
            KVELDrive drive;
            if (const Json* id = f.find("id"))
                assignObjectID(drive, parseID(*id, f.at("id"), CLASSID_DRIVE, "a drive ID (38xxxxxx)"));
            drive.Slot = Uint16(f.number("slot", i, MAX_UINT16));
            if (!slots.emplace(drive.Slot, path).second)
                fail(f.at("slot"),
                     "slot " + std::to_string(drive.Slot) + " is taken by " + slots[drive.Slot]);
            drive.PoolObjectID = parsePool(f, "pool", std::nullopt);
            drive.CapacityBlocks = parseBlocks(f, "capacityBlocks", "capacityGiB", true);
            if (drive.CapacityBlocks == 0) fail(f.at("capacityBlocks"), "must be greater than 0");
            drive.Vendor = f.text("vendor", std::string("ZARVO"));
            drive.Model = f.text("model", std::string("ZD-1000"));
            drive.SerialNumber = f.text("serial", "ZV" + std::to_string(100000 + drive.Slot));
            drive.State = f.choice("state", DRIVE_STATE_NAMES, std::optional(KVELDrive::DRIVE_STATE_ONLINE));
            f.finish();
            parsed.emplace_back(drive, path);
        }
        placeRecords(parsed, _model.drives, CLASSID_DRIVE, "drive");
    }

    KVELVolume readVolume(const Json& value, const std::string& path, bool checkDrives)
    {
        Fields f(value, path);
        KVELVolume volume;
        if (const Json* id = f.find("id"))
            assignObjectID(volume, parseID(*id, f.at("id"), CLASSID_VOLUME, "a volume ID (3Axxxxxx)"));
        volume.Name = f.text("name", std::nullopt);
        if (checkName(volume.Name) != KVEL_RC_SUCCESS)
            fail(f.at("name"), "must be 1 to 64 printable characters");
        volume.IsSetting = f.flag("setting", false);
        volume.Size = parseBlocks(f, "sizeBlocks", "sizeGiB", !volume.IsSetting);
        if (volume.Size == 0 && !volume.IsSetting)
            fail(f.at("sizeBlocks"), "must be greater than 0 for a volume");
        volume.PoolObjectID = parsePool(f, "pool", Uint32(KVELPool::BASE_POOL_ID));
        auto organization = f.choice("organization", ORGANIZATION_NAMES,
                                     std::optional(KVELVolume::VOLUME_ORGANIZATION_STRIPED));
        Uint64 copies = f.number("dataRedundancy", 1, MAX_UINT16);
        Uint64 width = f.number("stripeWidth", 1, MAX_UINT16);
        Uint64 chunk = f.number("chunkBlocks", DEFAULT_CHUNK_BLOCKS, MAX_UINT32);
        Layout layout;
        if (makeLayout(organization, Uint32(copies), Uint32(width), Uint32(chunk), layout) != KVEL_RC_SUCCESS)
            fail(path, "organization, dataRedundancy, stripeWidth and chunkBlocks make no usable layout");
        applyLayout(layout, volume);
        volume.StorageEfficiencyHint = Uint16(f.number("storageEfficiencyHint", 0, MAX_UINT16));
        volume.AccessBandwidthWeight = Uint16(f.number("accessBandwidthWeight", 0, MAX_UINT16));
        volume.NoSinglePointOfFailure = f.flag("noSinglePointOfFailure", volume.PackageRedundancy > 0);
        volume.ManualCreate = f.flag("manualCreate", false);
        if (const Json* drives = f.list("drives"))
            setDriveList(volume, readDriveList(*drives, f.at("drives"), volume, checkDrives));
        volume.State = f.choice("state", VOLUME_STATE_NAMES, std::optional(KVELVolume::VOLUME_STATE_OK));
        volume.ConsumedBlocks = volume.IsSetting ? 0 : rawBlocks(layout, volume.Size);
        f.finish();
        return volume;
    }

    std::vector<Uint32> readDriveList(const Json& list, const std::string& path, const KVELVolume& volume,
                                      bool checkDrives)
    {
        if (list.size() > KVELVolume::MAX_DRIVES) fail(path, "lists more than 16 drives");
        std::vector<Uint32> drives;
        for (size_t i = 0; i < list.size(); ++i)
        {
            std::string where = indexed(path, i);
            Uint32 id = parseID(list[i], where, CLASSID_DRIVE, "a drive ID (38xxxxxx)");
            if (std::find(drives.begin(), drives.end(), id) != drives.end())
                fail(where, "drive " + idText(id) + " is listed twice");
            const KVELDrive* drive = _model.findDrive(id);
            if (checkDrives && !drive) fail(where, "no drive has the ID " + idText(id));
            if (checkDrives && !volume.IsSetting && drive->PoolObjectID != volume.PoolObjectID)
                fail(where, "drive " + idText(id) + " is not in the volume's pool");
            drives.push_back(id);
        }
        return drives;
    }

    void readVolumes(const Json* list)
    {
        std::vector<std::pair<KVELVolume, std::string>> parsed;
        for (size_t i = 0; list && i < list->size(); ++i)
        {
            std::string path = indexed("volumes", i);
            parsed.emplace_back(readVolume((*list)[i], path, true), path);
        }
        placeRecords(parsed, _model.volumes, CLASSID_VOLUME, "volume");
    }

    void readTasks(const Json& list)
    {
        if (list.size() > MAX_TASKS) fail("tasks", "holds more than " + std::to_string(MAX_TASKS) + " tasks");
        std::set<KVELKey> keys;
        for (size_t i = 0; i < list.size(); ++i)
        {
            std::string path = indexed("tasks", i);
            TaskEntry task = readTask(list[i], path);
            if (!keys.insert(task.record.Key).second) fail(path + ".key", "duplicate task key");
            if (!_model.tasks.emplace(task.record.getObjectID(), task).second)
                fail(path + ".id", "duplicate task ID " + idText(task.record.getObjectID()));
        }
    }

    TaskEntry readTask(const Json& value, const std::string& path)
    {
        Fields f(value, path);
        TaskEntry task;
        KVELTask& r = task.record;
        assignObjectID(r, parseID(f.need("id"), f.at("id"), CLASSID_TASK, "a task ID (36xxxxxx)"));
        r.Key = parseHex(f.need("key"), f.at("key"), 64);
        if (r.Key.empty()) fail(f.at("key"), "must not be empty");
        r.TargetObjectPtr = parseID(f.need("target"), f.at("target"), CLASSID_NONE, "an object ID");
        r.Type = f.choice("type", TASK_TYPE_NAMES, std::optional<KVELTask::TaskTypeEnum>());
        r.Name = f.text("name", std::string());
        r.Priority = Uint32(f.number("priority", DEFAULT_TASK_PRIORITY, MAX_UINT16));
        r.Scheduled = f.flag("scheduled", false);
        r.StartTime = f.number("startTime", 0, MAX_UINT64);
        r.PeriodicityUnit =
            f.choice("periodicityUnit", PERIODICITY_NAMES, std::optional(KVELTask::PERIODICITY_NONE));
        r.Periodicity = Uint16(f.number("periodicity", 0, MAX_UINT16));
        if (checkPeriodicity(r.PeriodicityUnit, r.Periodicity) != KVEL_RC_SUCCESS)
            fail(f.at("periodicity"), "must not be 0 for a recurring task");
        r.State = f.choice("state", TASK_STATE_NAMES, std::optional(KVELTask::TASK_STATE_QUEUED));
        r.PercentComplete = Uint16(f.number("percentComplete", 0, 100));
        r.TimeSubmitted = f.number("timeSubmitted", 0, MAX_UINT64);
        r.TimeStarted = f.number("timeStarted", 0, MAX_UINT64);
        r.TimeOfLastStateChange = f.number("timeOfLastStateChange", r.TimeSubmitted, MAX_UINT64);
        r.TimeFinished = f.number("timeFinished", 0, MAX_UINT64);
        r.ElapsedRunTime = f.number("elapsedRunTime", 0, MAX_UINT32 * MICROS_PER_SECOND);
        r.RetentionTime = f.number("retentionTime", TASK_RETENTION, MAX_UINT32 * MICROS_PER_SECOND);
        r.RunCount = Uint32(f.number("runCount", 0, MAX_UINT32));
        r.ErrorCode = Uint32(f.number("errorCode", 0, MAX_UINT32));
        task.sequence = f.number("sequence", 0, MAX_UINT64);
        task.duration = f.number("duration", taskDuration(r.Type, 0), MAX_UINT32 * MICROS_PER_SECOND);
        task.runAt = f.number("runAt", r.Scheduled ? r.StartTime : r.TimeSubmitted, MAX_UINT64);
        task.holdsObject = f.flag("holdsObject", r.State == KVELTask::TASK_STATE_RUNNING);
        if (const Json* shadow = f.find("shadow"))
            task.shadowID = parseID(*shadow, f.at("shadow"), CLASSID_VOLUME, "a volume ID (3Axxxxxx)");
        if (const Json* before = f.find("before")) task.before = readVolume(*before, f.at("before"), false);
        f.finish();
        if (!isFinished(r))
        {
            if (checkTarget(_model, task) != KVEL_RC_SUCCESS)
                fail(f.at("target"),
                     "the unfinished task's target " + idText(r.TargetObjectPtr) + " does not exist");
            if (task.shadowID != 0 && !_model.findRealVolume(task.shadowID))
                fail(f.at("shadow"), "no volume has the ID " + idText(task.shadowID));
        }
        return task;
    }

    void readPersistence(const Json& value)
    {
        Fields f(value, "persistence");
        for (int slot = 0; slot < 2; ++slot)
        {
            std::string name = "slot" + std::to_string(slot);
            if (const Json* block = f.find(name.c_str()))
                _model.persistence[slot] = parseHex(*block, f.at(name), MAX_PERSISTENCE_BYTES);
        }
        f.finish();
    }

    // {"afterSeconds": n, "drive": id} or {"afterSeconds": n, "job": "running", "errorCode": rc};
    // a state file records the time instead, as "at" in engine microseconds.
    void readFaults(const Json& list, MPU_TIME now)
    {
        for (size_t i = 0; i < list.size(); ++i)
        {
            Fields f(list[i], indexed("faults", i));
            ScheduledFault fault;
            if (f.find("at"))
                fault.at = f.number("at", std::nullopt, MAX_UINT64);
            else
                fault.at = now + f.number("afterSeconds", std::nullopt, 10ULL * 365 * 24 * 3600) * 1000000ULL;
            if (const Json* drive = f.find("drive"))
            {
                fault.driveID = parseID(*drive, f.at("drive"), CLASSID_DRIVE, "a drive ID (38xxxxxx)");
                if (!_model.findDrive(fault.driveID)) fail(f.at("drive"), "names no drive of the array");
            }
            else if (f.text("job", std::nullopt) != "running")
                fail(f.at("job"), "must be \"running\" (the job running at that time fails)");
            else
                fault.errorCode = Uint32(f.number("errorCode", Uint64(KVEL_RC_DRIVE_FAILED), 43));
            f.finish();
            _model.faults.push_back(fault);
        }
    }

    void readEngine(const Json* value, MPU_TIME now)
    {
        Uint32 maxVolume = 0, maxTask = 0;
        Uint64 maxSequence = 0;
        for (const auto& entry : _model.volumes)
            maxVolume = std::max(maxVolume, entry.first & 0x00FFFFFF);
        for (const auto& entry : _model.tasks)
        {
            maxTask = std::max(maxTask, entry.first & 0x00FFFFFF);
            maxSequence = std::max(maxSequence, entry.second.sequence);
        }
        _model.lastAdvanced = now;
        _model.nextVolumeNumber = maxVolume + 1;
        _model.nextTaskNumber = maxTask + 1;
        _model.taskSequence = maxSequence;
        if (!value) return;
        Fields f(*value, "engine");
        _model.lastAdvanced = f.number("time", now, MAX_UINT64);
        _model.nextVolumeNumber = Uint32(f.number("nextVolumeNumber", _model.nextVolumeNumber, 0x00FFFFFF));
        _model.nextTaskNumber = Uint32(f.number("nextTaskNumber", _model.nextTaskNumber, 0x00FFFFFF));
        _model.taskSequence = f.number("taskSequence", maxSequence, MAX_UINT64);
        if (_model.taskSequence < maxSequence)
            fail(f.at("taskSequence"), "is below a task's sequence number");
        f.finish();
    }

    void checkPools()
    {
        for (const auto& [id, name] : _model.poolNames)
        {
            Uint64 used = poolUsedBlocks(_model, id);
            Uint64 total = poolTotalBlocks(_model, id);
            if (used > total)
                fail("volumes", "pool '" + std::string(nameOf(POOL_NAMES, id)) + "' needs " +
                                    std::to_string(used) +
                                    " raw blocks for its volumes but its online drives hold only " +
                                    std::to_string(total));
        }
    }

    ArrayModel& _model;
};
} // namespace

void readArray(const std::string& text, MPU_TIME now, ArrayModel& model)
{
    Json root;
    try
    {
        root = Json::parse(text);
    }
    catch (const nlohmann::json::exception& e)
    {
        fail("", std::string("not valid JSON (") + e.what() + ")");
    }
    ArrayReader(model).read(root, now);
}

} // namespace kvelsim

PEGASUS_NAMESPACE_END
