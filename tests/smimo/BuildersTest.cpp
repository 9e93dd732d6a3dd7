#include <vector>
#include <SMIMOBuilders.h>
#include <KVELiPtr.h>
#include <Pegasus/Common/CIMProperty.h>
#include <Pegasus/Common/CIMQualifier.h>
#include <Pegasus/Provider/ProviderException.h>
#include "SmimoTestEngine.h"

using namespace Pegasus;

namespace
{

template <class T> T get(const CIMInstance& instance, const char* name)
{
    T value{};
    const Uint32 index = instance.findProperty(CIMName(name));
    EXPECT_NE(index, PEG_NOT_FOUND) << name;
    if (index != PEG_NOT_FOUND) instance.getProperty(index).getValue().get(value);
    return value;
}

void expectState(const CIMInstance& job, Uint16 jobState, const std::vector<Uint16>& operationalStatus)
{
    const Array<Uint16> status = get<Array<Uint16>>(job, "OperationalStatus");
    EXPECT_EQ(get<Uint16>(job, "JobState"), jobState);
    EXPECT_EQ(std::vector<Uint16>(status.getData(), status.getData() + status.size()), operationalStatus);
}

String hex(Uint32 id)
{
    return KVELiPtr(id).getKeyString(KVELiPtr::RADIX_16);
}

class smimoBuilders : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        const Array<Uint32> volumes = engine->enumerateObjects(CLASSID_VOLUME);
        for (Uint32 i = 0; i < volumes.size(); i++)
            (record<KVELVolume>(CLASSID_VOLUME, volumes[i])->IsSetting ? settingID : volumeID) = volumes[i];
    }
    template <class Record> std::unique_ptr<Record> record(CLASSID_e classID, Uint32 id)
    {
        return std::unique_ptr<Record>(dynamic_cast<Record*>(engine->getObject(classID, id)));
    }
    Uint32 startScan(KVELTask task = KVELTask())
    {
        EXPECT_LE(engine->scanVolume(volumeID, &task), Uint32(KVEL_RC_SUCCESS_QUEUED));
        return task.getTaskID();
    }
    // Moves the clock on until the task is queued, running or suspended no more.
    void runToEnd(Uint32 taskID)
    {
        for (int step = 0; step < 100 && record<KVELTask>(CLASSID_TASK, taskID)->State <= 2; step++)
            clock->advance(10 * SECOND);
    }
    CIMInstance job(Uint32 taskID) { return ConcreteJobInstance(false, CIMPropertyList(), taskID); }

    Uint32 volumeID = 0, settingID = 0; // a volume and a setting record
};

} // namespace

// Clients reuse the paths as given; only these tests read every key of them.
TEST_F(smimoBuilders, PathsCarryTheArrayHostNamespaceAndKeys)
{
    const String prefix = String("//") + String(KVELEngine::_ZarvoHostNamePtr) + String("/root/snia:");
    EXPECT_EQ(StorageVolumePath(volumeID).toString(),
              prefix + "CIM_StorageVolume.CreationClassName=\"CIM_StorageVolume\",DeviceID=\"" +
                  hex(volumeID) + "\",SystemCreationClassName=\"CIM_ComputerSystem\",SystemName=\"" +
                  String(KVELEngine::_ZarvoSystemNamePtr) + "\"");
    EXPECT_EQ(StoragePoolPath(KVELPool::AVAILABLE_POOL_ID).toString(),
              prefix + "CIM_StoragePool.InstanceID=\"37000003\"");
}

// Every module that describes a volume or pool does it through these builders, so what hosts and
// clients identify it by is decided here once.
TEST_F(smimoBuilders, VolumesPoolsAndDrivesCarryTheirWholeIdentity)
{
    const StorageVolumeInstance volume(false, CIMPropertyList(), volumeID);
    const std::string name(get<String>(volume, "Name").getCString());
    EXPECT_EQ(name.size(), 16u);
    EXPECT_EQ(name.substr(8), std::string(hex(volumeID).getCString())) << "NAA type 3, array bits, object ID";
    EXPECT_EQ(get<Uint16>(volume, "NameFormat"), 9);    // NAA
    EXPECT_EQ(get<Uint16>(volume, "NameNamespace"), 2); // VPD83Type3
    EXPECT_EQ(get<Uint16>(StoragePoolInstance(false, CIMPropertyList(), KVELPool::BASE_POOL_ID), "Usage"), 2);
    EXPECT_EQ(get<Uint16>(StoragePoolInstance(false, CIMPropertyList(), KVELPool::SPARE_POOL_ID), "Usage"),
              8);
}

TEST_F(smimoBuilders, JobIdentityLeadsBackToTheTask)
{
    const Uint32 taskID = startScan();
    const std::unique_ptr<KVELTask> task = record<KVELTask>(CLASSID_TASK, taskID);
    const String instanceID = ManagedObject::binToHex(task->Key); // upper-case hexadecimal
    const ConcreteJobPath path(taskID);
    EXPECT_EQ(ConcreteJobPath(*task), path);

    // The three instance forms describe the same job under the same path.
    const ConcreteJobInstance byID(false, CIMPropertyList(), taskID);
    const ConcreteJobInstance byKey(false, CIMPropertyList(), instanceID);
    const ConcreteJobInstance byRecord(false, task.get());
    for (const CIMInstance* instance : {&byID, &byKey, &byRecord})
    {
        EXPECT_EQ(instance->getPath(), path);
        EXPECT_EQ(get<String>(*instance, "InstanceID"), instanceID);
        EXPECT_EQ(instance->getPropertyCount(), byID.getPropertyCount());
    }
    EXPECT_EQ(get<String>(byID, "Description"), String("Scan volume ") + hex(volumeID));
}

TEST_F(smimoBuilders, JobStatesFollowTheTaskLifecycle)
{
    KVELTask request;
    request.setTaskScheduling(7, START + 60 * SECOND);
    const Uint32 taskID = startScan(request);
    EXPECT_TRUE(job(taskID).getProperty(job(taskID).findProperty("StartTime")).getValue().isNull());

    clock->advance(61 * SECOND);
    expectState(job(taskID), 4, {2});
    EXPECT_EQ(get<CIMDateTime>(job(taskID), "StartTime").toString(), String("20260301120100.000000+000"));
    EXPECT_EQ(get<CIMDateTime>(job(taskID), "ElapsedTime").toString(), String("00000000000001.000000:000"));
    runToEnd(taskID);
    EXPECT_EQ(job(taskID).findProperty("ErrorCode"), PEG_NOT_FOUND);

    KVELTask failed; // the engine fails tasks only when their object vanishes; a record will do
    failed.State = KVELTask::TASK_STATE_FAILED;
    failed.ErrorCode = KVEL_RC_DRIVE_FAILED;
    const ConcreteJobInstance failedJob(false, &failed);
    expectState(failedJob, 10, {6, 17});
    EXPECT_EQ(get<Uint16>(failedJob, "ErrorCode"), Uint16(KVEL_RC_DRIVE_FAILED));
    EXPECT_EQ(get<String>(failedJob, "ErrorDescription"),
              String(KVELErrorCodes::getTextForIndex(KVELErrorCodes::getIndex(KVEL_RC_DRIVE_FAILED))));
    KVELTask recurring;
    recurring.setTaskSchedulingRecurring(3, START, KVELTask::PERIODICITY_HOURS, 2);
    EXPECT_EQ(get<Uint32>(ConcreteJobInstance(false, &recurring), "JobRunTimes"), 0u);
    EXPECT_EQ(get<Uint16>(ConcreteJobInstance(false, &recurring), "Periodicity"), 2);
}

TEST_F(smimoBuilders, PropertyListsAndKeyQualifiers)
{
    const Uint32 taskID = startScan();
    const ConcreteJobInstance qualified(true, CIMPropertyList(), taskID);
    EXPECT_EQ(qualified.getProperty(qualified.findProperty("InstanceID")).getQualifier(0).getName(),
              CIMName("Key"));
    EXPECT_EQ(qualified.getProperty(qualified.findProperty("JobState")).getQualifierCount(), 0u);
    EXPECT_EQ(job(taskID).getProperty(job(taskID).findProperty("InstanceID")).getQualifierCount(), 0u);

    Array<CIMName> names;
    names.append("jobstate");
    names.append("NoSuchProperty");
    const ConcreteJobInstance chosen(false, CIMPropertyList(names), taskID);
    ASSERT_EQ(chosen.getPropertyCount(), 1u);
    EXPECT_TRUE(chosen.getProperty(0).getName().equal("JobState"));
    EXPECT_EQ(chosen.getPath(), ConcreteJobPath(taskID));
}

TEST_F(smimoBuilders, UnknownObjectsAreNotFound)
{
    EXPECT_THROW(ConcreteJobPath{kvelMakeObjectID(CLASSID_TASK, 0xFFFF)}, CIMObjectNotFoundException);
    EXPECT_THROW(ConcreteJobPath{volumeID}, CIMObjectNotFoundException);
    for (const char* instanceID : {"", "XYZ", "ABC", "00"})
        EXPECT_THROW(ConcreteJobInstance(false, CIMPropertyList(), String(instanceID)),
                     CIMObjectNotFoundException);
    EXPECT_THROW(ConcreteJobInstance(false, static_cast<const KVELTask*>(nullptr)),
                 CIMObjectNotFoundException);
    EXPECT_THROW(DiskDrivePath{volumeID}, CIMObjectNotFoundException);
    EXPECT_THROW(StorageVolumeInstance(false, CIMPropertyList(), settingID), CIMObjectNotFoundException);
    EXPECT_THROW(StoragePoolPath{kvelMakeObjectID(CLASSID_STORAGEPOOL, 99)}, CIMObjectNotFoundException);
    EXPECT_THROW(StorageSettingInstance(false, CIMPropertyList(), volumeID), CIMObjectNotFoundException);

    // A finished job is gone once its retention has passed.
    const Uint32 taskID = startScan();
    const String instanceID = ManagedObject::binToHex(record<KVELTask>(CLASSID_TASK, taskID)->Key);
    runToEnd(taskID);
    clock->advance(record<KVELTask>(CLASSID_TASK, taskID)->RetentionTime + SECOND);
    EXPECT_THROW(ConcreteJobInstance(false, CIMPropertyList(), instanceID), CIMObjectNotFoundException);
}
