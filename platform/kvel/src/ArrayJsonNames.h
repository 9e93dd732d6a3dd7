// The words by which the array's JSON names enum values.
#ifndef KVEL_ArrayJsonNames_h
#define KVEL_ArrayJsonNames_h

#include <cstdio>
#include <string>
#include <KVELController.h>
#include <KVELDrive.h>
#include <KVELTask.h>
#include <KVELVolume.h>

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

template <typename E> struct NamedValue
{
    E value;
    const char* name;
};

const NamedValue<KVELVolume::VolumeOrganizationEnum> ORGANIZATION_NAMES[] = {
    {KVELVolume::VOLUME_ORGANIZATION_STRIPED, "striped"},
    {KVELVolume::VOLUME_ORGANIZATION_MIRRORED, "mirrored"},
    {KVELVolume::VOLUME_ORGANIZATION_PARITY, "parity"},
    {KVELVolume::VOLUME_ORGANIZATION_DOUBLE_PARITY, "double-parity"}};

const NamedValue<KVELVolume::VolumeStateEnum> VOLUME_STATE_NAMES[] = {
    {KVELVolume::VOLUME_STATE_OK, "ok"},
    {KVELVolume::VOLUME_STATE_INITIALIZING, "initializing"},
    {KVELVolume::VOLUME_STATE_DEGRADED, "degraded"},
    {KVELVolume::VOLUME_STATE_REBUILDING, "rebuilding"},
    {KVELVolume::VOLUME_STATE_DELETING, "deleting"},
    {KVELVolume::VOLUME_STATE_FAILED, "failed"}};

const NamedValue<KVELDrive::DriveStateEnum> DRIVE_STATE_NAMES[] = {
    {KVELDrive::DRIVE_STATE_ONLINE, "online"},
    {KVELDrive::DRIVE_STATE_DOWN, "down"},
    {KVELDrive::DRIVE_STATE_INITIALIZING, "initializing"},
    {KVELDrive::DRIVE_STATE_FAILED, "failed"}};

const NamedValue<Uint32> POOL_NAMES[] = {{KVELPool::UNAVAILABLE_POOL_ID, "unavailable"},
                                         {KVELPool::SPARE_POOL_ID, "spare"},
                                         {KVELPool::AVAILABLE_POOL_ID, "available"},
                                         {KVELPool::BASE_POOL_ID, "base"}};

const NamedValue<KVELRedundantPair::DiskLineModeEnum> DISK_LINE_MODE_NAMES[] = {
    {KVELRedundantPair::DISK_LINE_MODE_SINGLE, "single"},
    {KVELRedundantPair::DISK_LINE_MODE_SHARED, "shared"},
    {KVELRedundantPair::DISK_LINE_MODE_SPLIT, "split"}};

const NamedValue<KVELTask::TaskTypeEnum> TASK_TYPE_NAMES[] = {
    {KVELTask::TASK_TYPE_NONE, "none"},
    {KVELTask::TASK_TYPE_CREATE_VOLUME, "create-volume"},
    {KVELTask::TASK_TYPE_GROW_VOLUME, "grow-volume"},
    {KVELTask::TASK_TYPE_RECONFIGURE_VOLUME, "reconfigure-volume"},
    {KVELTask::TASK_TYPE_DELETE_VOLUME, "delete-volume"},
    {KVELTask::TASK_TYPE_SCAN_VOLUME, "scan-volume"},
    {KVELTask::TASK_TYPE_REBUILD_VOLUME, "rebuild-volume"},
    {KVELTask::TASK_TYPE_INITIALIZE_DRIVE, "initialize-drive"},
    {KVELTask::TASK_TYPE_DOWN_DRIVE, "down-drive"}};

const NamedValue<KVELTask::TaskStateEnum> TASK_STATE_NAMES[] = {
    {KVELTask::TASK_STATE_QUEUED, "queued"},       {KVELTask::TASK_STATE_RUNNING, "running"},
    {KVELTask::TASK_STATE_SUSPENDED, "suspended"}, {KVELTask::TASK_STATE_COMPLETED, "completed"},
    {KVELTask::TASK_STATE_ABORTED, "aborted"},     {KVELTask::TASK_STATE_FAILED, "failed"}};

const NamedValue<KVELTask::TaskSchedulingPeriodicityUnitsEnum> PERIODICITY_NAMES[] = {
    {KVELTask::PERIODICITY_NONE, "none"},       {KVELTask::PERIODICITY_ONCE, "once"},
    {KVELTask::PERIODICITY_MINUTES, "minutes"}, {KVELTask::PERIODICITY_HOURS, "hours"},
    {KVELTask::PERIODICITY_DAYS, "days"},       {KVELTask::PERIODICITY_WEEKS, "weeks"},
    {KVELTask::PERIODICITY_MONTHS, "months"}};

template <typename E, size_t N> const char* nameOf(const NamedValue<E> (&table)[N], E value)
{
    for (const auto& entry : table)
        if (entry.value == value) return entry.name;
    return "?";
}

// Object IDs are written as KVELiPtr writes them: upper-case hexadecimal without leading zeros.
inline std::string idText(Uint32 id)
{
    char text[16];
    std::snprintf(text, sizeof text, "%X", id);
    return text;
}

} // namespace kvelsim

PEGASUS_NAMESPACE_END

#endif
