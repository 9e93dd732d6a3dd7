// Reading, changing and removing records (enumerateObjects, getObject, modifyObject,
// deleteObject, createSetting).
#include <algorithm>
#include <KVELiPtr.h>
#include "ArrayState.h"

PEGASUS_NAMESPACE_BEGIN

using namespace kvelsim;

namespace
{
bool sameFields(const KVELVolume& a, const KVELVolume& b)
{
    return a.Size == b.Size && a.Name == b.Name && a.PoolObjectID == b.PoolObjectID &&
           a.DataRedundancy == b.DataRedundancy && a.PackageRedundancy == b.PackageRedundancy &&
           a.StorageEfficiencyHint == b.StorageEfficiencyHint &&
           a.AccessBandwidthWeight == b.AccessBandwidthWeight &&
           a.NoSinglePointOfFailure == b.NoSinglePointOfFailure && a.ManualCreate == b.ManualCreate &&
           a.ChunkSize == b.ChunkSize && a.StripeWidth == b.StripeWidth &&
           a.VolumeOrganization == b.VolumeOrganization &&
           std::equal(a.DriveIDs, a.DriveIDs + KVELVolume::MAX_DRIVES, b.DriveIDs) &&
           a.IsSetting == b.IsSetting && a.State == b.State && a.ConsumedBlocks == b.ConsumedBlocks;
}

bool knownClass(CLASSID_e classID)
{
    return classID >= CLASSID_TASK && classID <= CLASSID_VOLUME;
}
} // namespace

Array<Uint32> KVELArrayState::enumerateObjects(CLASSID_e classID) const
{
    Array<Uint32> ids;
    switch (classID)
    {
    case CLASSID_TASK:
        for (const auto& entry : _model.tasks)
            ids.append(entry.first);
        break;
    case CLASSID_STORAGEPOOL:
        for (const auto& entry : _model.poolNames)
            ids.append(entry.first);
        break;
    case CLASSID_DRIVE:
        for (const auto& entry : _model.drives)
            ids.append(entry.first);
        break;
    case CLASSID_COMPUTERSYSTEM:
        ids.append(KVELiPtrComputerSystem::makeSystem().getIPtr());
        ids.append(KVELiPtrComputerSystem::makeBlade(0).getIPtr());
        ids.append(KVELiPtrComputerSystem::makeBlade(1).getIPtr());
        break;
    case CLASSID_VOLUME:
        for (const auto& entry : _model.volumes)
            ids.append(entry.first);
        break;
    default:
        break;
    }
    return ids;
}

Uint32 KVELArrayState::taskIDByKey(CLASSID_e classID, const KVELKey& key) const
{
    if (classID != CLASSID_TASK || key.empty()) return KVEL_NULL_OBJECT_ID;
    for (const auto& entry : _model.tasks)
        if (entry.second.record.Key == key) return entry.first;
    return KVEL_NULL_OBJECT_ID;
}

ManagedObject* KVELArrayState::copyOf(CLASSID_e classID, Uint32 objectID)
{
    if (kvelClassOf(objectID) != classID) return nullptr;
    switch (classID)
    {
    case CLASSID_TASK:
        if (TaskEntry* task = _model.findTask(objectID))
        {
            _scheduler.bringUp(*task);
            KVELTask* copy = new KVELTask(task->record);
            copy->CommandCode = KVELTask::TASK_COMMAND_NONE;
            return copy;
        }
        return nullptr;
    case CLASSID_STORAGEPOOL:
    {
        auto it = _model.poolNames.find(objectID);
        if (it == _model.poolNames.end()) return nullptr;
        KVELPool* pool = new KVELPool();
        assignObjectID(*pool, objectID);
        pool->Name = it->second;
        pool->TotalBlocks = poolTotalBlocks(_model, objectID);
        pool->UsedBlocks = poolUsedBlocks(_model, objectID);
        pool->Primordial = objectID != KVELPool::BASE_POOL_ID;
        return pool;
    }
    case CLASSID_DRIVE:
        if (const KVELDrive* drive = _model.findDrive(objectID)) return new KVELDrive(*drive);
        return nullptr;
    case CLASSID_VOLUME:
        if (const KVELVolume* volume = _model.findVolume(objectID)) return new KVELVolume(*volume);
        return nullptr;
    default:
        return nullptr;
    }
}

Uint32 KVELArrayState::modifyObject(CLASSID_e classID, const ManagedObject* object)
{
    if (!knownClass(classID)) return KVEL_RC_UNKNOWN_CLASS;
    if (!object) return KVEL_RC_INVALID_PARAMETER;
    if (object->getClassID() != classID || kvelClassOf(object->getObjectID()) != classID)
        return KVEL_RC_CLASS_MISMATCH;
    switch (classID)
    {
    case CLASSID_TASK:
        if (const KVELTask* task = dynamic_cast<const KVELTask*>(object))
            return _scheduler.apply(*task, now());
        return KVEL_RC_CLASS_MISMATCH;
    case CLASSID_VOLUME:
        if (const KVELVolume* volume = dynamic_cast<const KVELVolume*>(object)) return modifyVolume(*volume);
        return KVEL_RC_CLASS_MISMATCH;
    default:
        return KVEL_RC_NOT_SUPPORTED;
    }
}

// Volumes take a new name only (size and layout change through growVolume and
// reconfigureVolume); setting records take every field but State and ConsumedBlocks.
Uint32 KVELArrayState::modifyVolume(const KVELVolume& copy)
{
    if (Uint32 rc = _controller.workAllowed(); rc != KVEL_RC_SUCCESS) return rc;
    KVELVolume* stored = _model.findVolume(copy.getObjectID());
    if (!stored) return KVEL_RC_NO_SUCH_VOLUME;
    if (copy.IsSetting != stored->IsSetting) return KVEL_RC_NOT_SUPPORTED;
    if (checkName(copy.Name) != KVEL_RC_SUCCESS) return KVEL_RC_INVALID_NAME;
    KVELVolume changed = *stored;
    changed.Name = copy.Name;
    if (stored->IsSetting)
    {
        Layout layout;
        if (layoutOf(copy, layout) != KVEL_RC_SUCCESS) return KVEL_RC_INVALID_LAYOUT;
        if (copy.Size > MAX_VOLUME_BLOCKS) return KVEL_RC_INVALID_SIZE;
        if (copy.PoolObjectID != 0 && !_model.isPool(copy.PoolObjectID)) return KVEL_RC_NO_SUCH_POOL;
        changed = copy;
        changed.State = stored->State;
        changed.ConsumedBlocks = 0;
        applyLayout(layout, changed);
    }
    if (sameFields(changed, *stored)) return KVEL_RC_SUCCESS_NO_CHANGE;
    *stored = changed;
    _model.touched = true;
    return KVEL_RC_SUCCESS;
}

Uint32 KVELArrayState::deleteObject(CLASSID_e classID, Uint32 objectID)
{
    if (!knownClass(classID)) return KVEL_RC_UNKNOWN_CLASS;
    switch (classID)
    {
    case CLASSID_TASK:
        return _scheduler.remove(objectID, now());
    case CLASSID_VOLUME:
    {
        if (Uint32 rc = _controller.workAllowed(); rc != KVEL_RC_SUCCESS) return rc;
        const KVELVolume* volume = _model.findVolume(objectID);
        if (!volume) return KVEL_RC_NO_SUCH_VOLUME;
        if (!volume->IsSetting) return KVEL_RC_SETTING_IN_USE; // volumes go through deleteVolume
        _model.volumes.erase(objectID);
        _model.touched = true;
        return KVEL_RC_SUCCESS;
    }
    default:
        return KVEL_RC_NOT_SUPPORTED;
    }
}

Uint32 KVELArrayState::createSetting(const KVELVolume& layout, Uint32& objectID)
{
    objectID = KVEL_NULL_OBJECT_ID;
    if (Uint32 rc = _controller.workAllowed(); rc != KVEL_RC_SUCCESS) return rc;
    if (checkName(layout.Name) != KVEL_RC_SUCCESS) return KVEL_RC_INVALID_NAME;
    Layout checked;
    if (layoutOf(layout, checked) != KVEL_RC_SUCCESS) return KVEL_RC_INVALID_LAYOUT;
    if (layout.Size > MAX_VOLUME_BLOCKS) return KVEL_RC_INVALID_SIZE;
    if (layout.PoolObjectID != 0 && !_model.isPool(layout.PoolObjectID)) return KVEL_RC_NO_SUCH_POOL;
    Uint32 id = _model.allocateVolumeID();
    if (id == KVEL_NULL_OBJECT_ID) return KVEL_RC_OPERATION_FAILED;
    KVELVolume setting = layout;
    assignObjectID(setting, id);
    applyLayout(checked, setting);
    setting.IsSetting = true;
    setting.State = KVELVolume::VOLUME_STATE_OK;
    setting.ConsumedBlocks = 0;
    _model.volumes.emplace(id, setting);
    _model.touched = true;
    objectID = id;
    return KVEL_RC_SUCCESS;
}

PEGASUS_NAMESPACE_END
