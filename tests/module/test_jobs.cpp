// The job provider and the two job associations, driven through the loaded module.
#include "ModuleHarness.h"

#include <ProviderTraceServices.h>

namespace scs_test
{
namespace
{

typedef ModuleTest JobsTest;

TEST_F(JobsTest, GetInstanceIsSilentAndLeavesSuppressionAsItWas)
{
    CIMInstanceProvider* jobs = provider<CIMInstanceProvider>("ConcreteJobProvider");
    Uint32 taskID = startScan(volumes()[0]);
    for (int before : {0, 2})
    {
        ProviderTraceServices::ptsCancelTraceSuppressForPid();
        ProviderTraceServices::ptsIncrementTraceSuppressForPid(before);
        TraceCapture trace;
        InstanceRecorder found;
        jobs->getInstance(context, jobRef(taskID), false, false, CIMPropertyList(), found);
        ASSERT_EQ(found.delivered.size(), 1u);
        EXPECT_EQ(found.calls, (std::vector<std::string>{"processing", "deliver", "complete"}));
        EXPECT_EQ(ProviderTraceServices::ptsGetTraceSuppressForPid(), before);
        EXPECT_EQ(trace.raw(), "") << "a job poll writes no trace";

        CIMObjectPath unknown("root/snia:CIM_ConcreteJob.InstanceID=\"00FF00FF00FF00FF\"");
        InstanceRecorder missing;
        EXPECT_EQ(cimExceptionFrom(
                      [&] { jobs->getInstance(context, unknown, false, false, CIMPropertyList(), missing); })
                      .getCode(),
                  CIM_ERR_NOT_FOUND);
        EXPECT_EQ(ProviderTraceServices::ptsGetTraceSuppressForPid(), before);
        EXPECT_TRUE(trace.containing("WARNING").empty()) << trace.raw();
    }
}

TEST_F(JobsTest, ModifyInstanceWritesOnlyThePriorityTruncatedTo16Bits)
{
    CIMInstanceProvider* jobs = provider<CIMInstanceProvider>("ConcreteJobProvider");
    Uint32 taskID = startScan(volumes()[0]);
    std::string name = task(taskID)->Name;
    auto modify = [&](const CIMValue& priority, const CIMPropertyList& propertyList = CIMPropertyList())
    {
        CIMInstance changed("CIM_ConcreteJob");
        changed.addProperty(CIMProperty("Priority", priority));
        changed.addProperty(CIMProperty("Name", CIMValue(String("renamed"))));
        PlainRecorder handler;
        jobs->modifyInstance(context, jobRef(taskID), changed, false, propertyList, handler);
        return handler.calls;
    };
    for (Uint32 priority : {65537u, 65535u, 0u, 70000u})
    {
        EXPECT_EQ(modify(CIMValue(priority)), (std::vector<std::string>{"processing", "complete"}));
        EXPECT_EQ(task(taskID)->Priority, priority & 0xFFFF) << priority;
        EXPECT_EQ(task(taskID)->Name, name) << "only the priority is taken";
    }

    // Refused, leaving the task as it was: no admitted "Priority", one of the wrong CIM type, and a
    // job that has finished.
    CIMPropertyList otherProperty(Array<CIMName>(1, CIMName("Name")));
    EXPECT_EQ(cimExceptionFrom([&] { modify(CIMValue(Uint32(7)), otherProperty); }).getCode(),
              CIM_ERR_INVALID_PARAMETER);
    EXPECT_EQ(cimExceptionFrom([&] { modify(CIMValue(Uint16(9))); }).getCode(), CIM_ERR_FAILED);
    advance(280ULL * 1000000); // the scan ends, and its job is kept for a while
    ASSERT_TRUE(task(taskID) && task(taskID)->State == KVELTask::TASK_STATE_COMPLETED);
    EXPECT_EQ(cimExceptionFrom([&] { modify(CIMValue(Uint32(8))); }).getCode(), CIM_ERR_FAILED);
    EXPECT_EQ(task(taskID)->Priority, 70000u & 0xFFFF);
}

TEST_F(JobsTest, RefusedOperationsNameThemselvesAndLeaveTheHandlerAlone)
{
    CIMInstanceProvider* jobs = provider<CIMInstanceProvider>("ConcreteJobProvider");
    CIMInstanceProvider* affected = provider<CIMInstanceProvider>("AffectedJobElementProvider");
    CIMAssociationProvider* affectedAssoc = dynamic_cast<CIMAssociationProvider*>(affected);
    CIMAssociationProvider* owning = provider<CIMAssociationProvider>("OwningJobElementProvider");
    CIMObjectPath path("root/snia:CIM_ConcreteJob.InstanceID=\"00\"");

    PlainRecorder plain;
    PathRecorder paths;
    InstanceRecorder instances;
    ObjectRecorder objects;
    const std::vector<std::pair<std::string, std::function<void()>>> refusals = {
        {"ConcreteJobProvider::createInstance",
         [&] { jobs->createInstance(context, path, CIMInstance("CIM_ConcreteJob"), paths); }},
        {"ConcreteJobProvider::deleteInstance", [&] { jobs->deleteInstance(context, path, plain); }},
        {"AffectedJobElementProvider::getInstance",
         [&] { affected->getInstance(context, path, true, false, CIMPropertyList(), instances); }},
        {"AffectedJobElementProvider::referenceNames",
         [&] { affectedAssoc->referenceNames(context, path, "CIM_StorageVolume", "", paths); }},
        {"AffectedJobElementProvider::references",
         [&] {
             affectedAssoc->references(context, path, CIMName(), "", false, false, CIMPropertyList(),
                                       objects);
         }},
        {"OwningJobElementProvider::associatorNames",
         [&] { owning->associatorNames(context, path, CIMName(), "CIM_ConcreteJob", "", "", paths); }},
        {"OwningJobElementProvider::deleteInstance",
         [&] { dynamic_cast<CIMInstanceProvider*>(owning)->deleteInstance(context, path, plain); }},
    };
    for (const auto& refusal : refusals)
    {
        // The ladder's line for a CIMException is the frame tests'; the refusal reaches it once.
        SCOPED_TRACE(refusal.first);
        TraceCapture trace;
        CIMException e = cimExceptionFrom(refusal.second);
        EXPECT_EQ(e.getCode(), CIM_ERR_NOT_SUPPORTED);
        EXPECT_EQ(str(e.getMessage()), refusal.first);
        EXPECT_TRUE(trace.hasOnce("ERROR: CIMException - : '" + refusal.first + "'"));
    }
    EXPECT_TRUE(plain.calls.empty() && paths.calls.empty() && instances.calls.empty() &&
                objects.calls.empty());
    EXPECT_TRUE(SMIEventServices::recordedEvents().empty());
}

TEST_F(JobsTest, AffectedElementLeadsFromElementsToAllTheirJobsAndBack)
{
    CIMAssociationProvider* affected = provider<CIMAssociationProvider>("AffectedJobElementProvider");
    std::vector<Uint32> vols = volumes();
    Uint32 first = startScan(vols[0]);
    startScan(vols[1]); // another volume's job
    Uint32 third = startScan(vols[0]);
    const Uint32 driveID = drivesInPool(KVELPool::SPARE_POOL_ID).at(0);
    KVELTask initializing;
    ASSERT_EQ(engine().initializeDrive(driveID, &initializing), Uint32(KVEL_RC_SUCCESS));
    const Uint32 driveTask = initializing.getTaskID();
    // The key `key` of each path that associatorNames delivers, in order.
    auto associatedKeys = [&](const CIMObjectPath& source, const char* resultClass, const char* key)
    {
        PathRecorder names;
        affected->associatorNames(context, source, "CIM_AffectedJobElement", resultClass, "", "", names);
        EXPECT_EQ(names.calls.back(), "complete");
        std::vector<std::string> keys;
        for (Uint32 i = 0; i < names.delivered.size(); ++i)
            keys.push_back(keyOf(names.delivered[i], key));
        return keys;
    };
    EXPECT_EQ(
        associatedKeys(volumeRef(vols[0]), "CIM_ConcreteJob", "InstanceID"),
        (std::vector<std::string>{keyOf(jobRef(first), "InstanceID"), keyOf(jobRef(third), "InstanceID")}));
    EXPECT_EQ(associatedKeys(driveRef(driveID), "CIM_ConcreteJob", "InstanceID"),
              std::vector<std::string>{keyOf(jobRef(driveTask), "InstanceID")});
    EXPECT_TRUE(associatedKeys(jobRef(driveTask), "CIM_StorageVolume", "DeviceID").empty())
        << "a job asked for the other kind of element answers nothing, completely";

    // The jobs of an element are built without the property list, the element of a job with it.
    CIMPropertyList onlyName(Array<CIMName>(1, CIMName("Name")));
    ObjectRecorder jobsOfVolume, driveOfJob;
    affected->associators(context, volumeRef(vols[0]), "cim_affectedjobelement", "CIM_ConcreteJob", "", "",
                          false, false, onlyName, jobsOfVolume);
    ASSERT_EQ(jobsOfVolume.delivered.size(), 2u);
    EXPECT_NE(jobsOfVolume.delivered[0].findProperty("PercentComplete"), PEG_NOT_FOUND);
    affected->associators(context, jobRef(driveTask), "CIM_AffectedJobElement", "CIM_DiskDrive", "", "",
                          false, false, onlyName, driveOfJob);
    ASSERT_EQ(driveOfJob.delivered.size(), 1u);
    EXPECT_EQ(driveOfJob.delivered[0].findProperty("OperationalStatus"), PEG_NOT_FOUND);
}

// The one job of a volume ends (its retention runs out) at one reading of the clock after another
// while its element's jobs are listed: whenever it ends, it is left out, never an error.
TEST_F(JobsTest, AJobThatEndsWhileItsElementsJobsAreListedIsLeftOut)
{
    CIMAssociationProvider* affected = provider<CIMAssociationProvider>("AffectedJobElementProvider");
    const Uint32 volumeID = volumes()[0];
    for (int reading = 1; reading <= 8; ++reading)
    {
        const Uint32 scan = startScan(volumeID);
        while (task(scan)->State != KVELTask::TASK_STATE_COMPLETED)
            advance(1000000);
        const MPU_TIME gone = task(scan)->TimeFinished + task(scan)->RetentionTime;
        advance(gone - 1000 - engine().clock().now());
        jumpClockAt(reading, 2000);

        PathRecorder names;
        affected->associatorNames(context, volumeRef(volumeID), "CIM_AffectedJobElement", "CIM_ConcreteJob",
                                  "", "", names);
        jumpClockAt(0, 0);
        EXPECT_EQ(names.calls.back(), "complete") << reading;
        EXPECT_LE(names.delivered.size(), 1u) << reading;
    }
}

TEST_F(JobsTest, AffectedElementRefusesOtherClassesAfterProcessing)
{
    CIMAssociationProvider* affected = provider<CIMAssociationProvider>("AffectedJobElementProvider");
    Uint32 volumeID = volumes()[0];
    struct Query
    {
        CIMObjectPath source;
        const char* associationClass;
        const char* resultClass;
    };
    CIMObjectPath ataDrive = driveRef(drivesInPool(KVELPool::BASE_POOL_ID)[0]);
    ataDrive.setClassName("Zarvo_ATADiskDrive");
    std::vector<Query> queries = {
        {volumeRef(volumeID), "CIM_OwningJobElement", "CIM_ConcreteJob"},
        {volumeRef(volumeID), "", "CIM_ConcreteJob"},
        {volumeRef(volumeID), "CIM_AffectedJobElement", ""},
        {ataDrive, "CIM_AffectedJobElement", "CIM_ConcreteJob"},
        {volumeRef(volumeID), "CIM_AffectedJobElement", "CIM_StorageVolume"},
    };
    for (const Query& query : queries)
    {
        PathRecorder handler;
        CIMName associationClass = *query.associationClass ? CIMName(query.associationClass) : CIMName();
        CIMName resultClass = *query.resultClass ? CIMName(query.resultClass) : CIMName();
        CIMException e = cimExceptionFrom(
            [&] {
                affected->associatorNames(context, query.source, associationClass, resultClass, "", "",
                                          handler);
            });
        EXPECT_EQ(e.getCode(), CIM_ERR_NOT_SUPPORTED);
        EXPECT_EQ(str(e.getMessage()), "AffectedJobElementProvider::associatorNames");
        EXPECT_EQ(handler.calls, std::vector<std::string>{"processing"}) << query.resultClass;
    }
}

TEST_F(JobsTest, OwningElementHandsBackTheServerEnumerationOfTheResultClass)
{
    CIMAssociationProvider* owning = provider<CIMAssociationProvider>("OwningJobElementProvider");
    CIMInstance one("CIM_ConcreteJob"), two("CIM_ConcreteJob");
    one.addProperty(CIMProperty("InstanceID", CIMValue(String("A"))));
    two.addProperty(CIMProperty("InstanceID", CIMValue(String("B"))));
    cimomRep()->instances.append(one);
    cimomRep()->instances.append(two);

    ObjectRecorder handler;
    owning->associators(context, volumeRef(1), "Anything_AtAll", "CIM_ConcreteJob", "r", "rr", true, true,
                        CIMPropertyList(Array<CIMName>(1, CIMName("InstanceID"))), handler);
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"processing", "deliver", "deliver", "complete"}));
    EXPECT_EQ(handler.delivered[1].getProperty(0).getValue().toString(), String("B"));
    EXPECT_EQ(cimomRep()->calls, std::vector<std::string>{"root/snia CIM_ConcreteJob 1 0 1 1 (InstanceID)"});
}

} // namespace
} // namespace scs_test
