#include "ArrayModel.h"
#include "ArrayState.h"

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

namespace
{
const Uint32 NUMBER_MASK = 0x00FFFFFF;

template <typename Map> Uint32 allocate(const Map& used, CLASSID_e classID, Uint32& next, Uint32 limit)
{
    for (Uint32 tries = 0; tries < limit; ++tries)
    {
        if (next == 0 || next > limit) next = 1;
        Uint32 number = next;
        next = next >= limit ? 1 : next + 1;
        Uint32 id = kvelMakeObjectID(classID, number);
        if (used.count(id) == 0) return id;
    }
    return KVEL_NULL_OBJECT_ID;
}
} // namespace

KVELVolume* ArrayModel::findVolume(Uint32 id)
{
    auto it = volumes.find(id);
    return it == volumes.end() ? nullptr : &it->second;
}

KVELVolume* ArrayModel::findRealVolume(Uint32 id)
{
    KVELVolume* volume = findVolume(id);
    return volume && !volume->IsSetting ? volume : nullptr;
}

KVELDrive* ArrayModel::findDrive(Uint32 id)
{
    auto it = drives.find(id);
    return it == drives.end() ? nullptr : &it->second;
}

TaskEntry* ArrayModel::findTask(Uint32 id)
{
    auto it = tasks.find(id);
    return it == tasks.end() ? nullptr : &it->second;
}

Uint32 ArrayModel::allocateVolumeID()
{
    return allocate(volumes, CLASSID_VOLUME, nextVolumeNumber, NUMBER_MASK);
}

Uint32 ArrayModel::allocateTaskID()
{
    return allocate(tasks, CLASSID_TASK, nextTaskNumber, NUMBER_MASK - 1);
}

void ArrayModel::addStandardPools()
{
    poolNames[KVELPool::UNAVAILABLE_POOL_ID] = "Unavailable";
    poolNames[KVELPool::SPARE_POOL_ID] = "Spare";
    poolNames[KVELPool::AVAILABLE_POOL_ID] = "Available";
    poolNames[KVELPool::BASE_POOL_ID] = "Base";
}

void assignObjectID(ManagedObject& record, Uint32 objectID)
{
    KVELArrayState::assignObjectID(record, objectID);
}

} // namespace kvelsim

PEGASUS_NAMESPACE_END
