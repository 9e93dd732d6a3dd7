// The job provider and the two job associations, driven through the loaded module.
#include "ModuleHarness.h"

#include <ProviderTraceServices.h>

namespace scs_test
{
namespace
{

class JobsTest : public ModuleTest
{
protected:
    Uint32 startScan(Uint32 volumeID)
    {
        KVELTask record;
        EXPECT_EQ(engine().scanVolume(volumeID, &record), Uint32(KVEL_RC_SUCCESS));
        return record.getTaskID();
    }
    // A drive outside the base pool, which may be initialised.
    Uint32 spareDrive()
    {
        std::vector<Uint32> spares = drivesInPool(KVELPool::SPARE_POOL_ID);
        std::vector<Uint32> available = drivesInPool(KVELPool::AVAILABLE_POOL_ID);
        spares.insert(spares.end(), available.begin(), available.end());
        EXPECT_FALSE(spares.empty()) << "the demo array has spare or available drives";
        return spares.empty() ? 0 : spares[0];
    }
    Uint32 startInitialize(Uint32 driveID)
    {
        KVELTask record;
        EXPECT_EQ(engine().initializeDrive(driveID, &record), Uint32(KVEL_RC_SUCCESS));
        return record.getTaskID();
    }
    static std::string instanceID(const CIMObjectPath& path)
    {
        const Array<CIMKeyBinding>& keys = path.getKeyBindings();
        return keys.size() == 1 ? str(keys[0].getValue()) : "<keys>";
    }
};

TEST_F(JobsTest, EnumerationsListEveryTaskInEngineOrderWhateverTheClass)
{
    CIMInstanceProvider* jobs = provider<CIMInstanceProvider>("ConcreteJobProvider");
    PathRecorder none;
    jobs->enumerateInstanceNames(context, CIMObjectPath("root/snia:CIM_ConcreteJob"), none);
    EXPECT_EQ(none.calls, (std::vector<std::string>{"processing", "complete"}));

    std::vector<Uint32> vols = volumes();
    ASSERT_GE(vols.size(), 2u);
    startScan(vols[1]);
    startScan(vols[0]);
    startScan(vols[1]);
    std::vector<Uint32> tasks = objects(CLASSID_TASK);
    ASSERT_EQ(tasks.size(), 3u);

    PathRecorder names;
    jobs->enumerateInstanceNames(context, CIMObjectPath("root/snia:Some_OtherClass"), names);
    ASSERT_EQ(names.delivered.size(), 3u);
    InstanceRecorder instances;
    jobs->enumerateInstances(context, CIMObjectPath("root/snia:CIM_ConcreteJob"), false, false,
                             CIMPropertyList(), instances);
    ASSERT_EQ(instances.delivered.size(), 3u);
    for (size_t i = 0; i < tasks.size(); ++i)
    {
        std::string expected = str(ManagedObject::binToHex(task(tasks[i])->Key));
        EXPECT_EQ(str(names.delivered[i].getClassName().getString()), "CIM_ConcreteJob");
        EXPECT_EQ(instanceID(names.delivered[i]), expected);
        EXPECT_EQ(instanceID(instances.delivered[i].getPath()), expected);
        // The job identity back: the key text decodes to the task.
        EXPECT_EQ(engine().getObjectIDByKey(CLASSID_TASK, ManagedObject::hexToBin(expected.c_str())),
                  tasks[i]);
    }
}

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

        InstanceRecorder missing;
        CIMObjectPath unknown("root/snia:CIM_ConcreteJob.InstanceID=\"00FF00FF00FF00FF\"");
        try
        {
            jobs->getInstance(context, unknown, false, false, CIMPropertyList(), missing);
            ADD_FAILURE() << "an unknown job was found";
        }
        catch (const CIMException& e)
        {
            EXPECT_EQ(e.getCode(), CIM_ERR_NOT_FOUND);
        }
        EXPECT_EQ(ProviderTraceServices::ptsGetTraceSuppressForPid(), before);
        EXPECT_TRUE(trace.containing("WARNING").empty()) << trace.raw();
    }
}

TEST_F(JobsTest, ModifyInstanceWritesOnlyThePriorityTruncatedTo16Bits)
{
    CIMInstanceProvider* jobs = provider<CIMInstanceProvider>("ConcreteJobProvider");
    Uint32 taskID = startScan(volumes()[0]);
    std::string name = task(taskID)->Name;
    for (Uint32 priority : {65537u, 65535u, 0u, 70000u})
    {
        TraceCapture trace;
        CIMInstance changed("CIM_ConcreteJob");
        changed.addProperty(CIMProperty("Priority", CIMValue(priority)));
        changed.addProperty(CIMProperty("Name", CIMValue(String("renamed"))));
        PlainRecorder handler;
        jobs->modifyInstance(context, jobRef(taskID), changed, false, CIMPropertyList(), handler);
        EXPECT_EQ(handler.calls, (std::vector<std::string>{"processing", "complete"}));
        EXPECT_EQ(task(taskID)->Priority, priority & 0xFFFF) << priority;
        EXPECT_EQ(task(taskID)->Name, name) << "only the priority is taken";
        EXPECT_EQ(trace.find("Task ID is: " + std::to_string(taskID)).size(), 1u) << trace.raw();
    }

    // Without an admitted "Priority" nothing changes, and the client is told.
    CIMInstance changed("CIM_ConcreteJob");
    changed.addProperty(CIMProperty("Priority", CIMValue(Uint32(7))));
    Array<CIMName> otherProperty;
    otherProperty.append("Name");
    PlainRecorder handler;
    EXPECT_THROW(jobs->modifyInstance(context, jobRef(taskID), changed, false, CIMPropertyList(otherProperty),
                                      handler),
                 CIMException);
    EXPECT_EQ(task(taskID)->Priority, 70000u & 0xFFFF);

    // A priority of the wrong CIM type is a type mismatch; the task stays as it was.
    CIMInstance wrongType("CIM_ConcreteJob");
    wrongType.addProperty(CIMProperty("Priority", CIMValue(Uint16(9))));
    try
    {
        jobs->modifyInstance(context, jobRef(taskID), wrongType, false, CIMPropertyList(), handler);
        ADD_FAILURE() << "a uint16 priority was accepted";
    }
    catch (const CIMException& e)
    {
        EXPECT_EQ(e.getCode(), CIM_ERR_FAILED);
    }
    EXPECT_EQ(task(taskID)->Priority, 70000u & 0xFFFF);
}

TEST_F(JobsTest, RefusedOperationsNameThemselvesAndLeaveTheHandlerAlone)
{
    CIMInstanceProvider* jobs = provider<CIMInstanceProvider>("ConcreteJobProvider");
    CIMInstanceProvider* affected = provider<CIMInstanceProvider>("AffectedJobElementProvider");
    CIMAssociationProvider* affectedAssoc = dynamic_cast<CIMAssociationProvider*>(affected);
    CIMAssociationProvider* owning = provider<CIMAssociationProvider>("OwningJobElementProvider");
    CIMObjectPath path("root/snia:CIM_ConcreteJob.InstanceID=\"00\"");

    struct Refusal
    {
        std::string name;
        std::function<void(PlainRecorder&)> call;
    };
    PathRecorder paths;
    InstanceRecorder instances;
    ObjectRecorder objects;
    std::vector<Refusal> refusals = {
        {"ConcreteJobProvider::createInstance",
         [&](PlainRecorder&) { jobs->createInstance(context, path, CIMInstance("CIM_ConcreteJob"), paths); }},
        {"ConcreteJobProvider::deleteInstance",
         [&](PlainRecorder& h) { jobs->deleteInstance(context, path, h); }},
        {"AffectedJobElementProvider::getInstance", [&](PlainRecorder&)
         { affected->getInstance(context, path, true, false, CIMPropertyList(), instances); }},
        {"AffectedJobElementProvider::referenceNames", [&](PlainRecorder&)
         { affectedAssoc->referenceNames(context, path, "CIM_StorageVolume", "", paths); }},
        {"AffectedJobElementProvider::references",
         [&](PlainRecorder&) {
             affectedAssoc->references(context, path, CIMName(), "", false, false, CIMPropertyList(),
                                       objects);
         }},
        {"OwningJobElementProvider::associatorNames", [&](PlainRecorder&)
         { owning->associatorNames(context, path, CIMName(), "CIM_ConcreteJob", "", "", paths); }},
        {"OwningJobElementProvider::deleteInstance", [&](PlainRecorder& h)
         { dynamic_cast<CIMInstanceProvider*>(owning)->deleteInstance(context, path, h); }},
    };
    for (Refusal& refusal : refusals)
    {
        TraceCapture trace;
        PlainRecorder handler;
        try
        {
            refusal.call(handler);
            ADD_FAILURE() << refusal.name << " was served";
        }
        catch (const CIMException& e)
        {
            EXPECT_EQ(e.getCode(), CIM_ERR_NOT_SUPPORTED) << refusal.name;
            EXPECT_EQ(str(e.getMessage()), refusal.name);
        }
        std::vector<TraceLine> errors = trace.find("ERROR: CIMException - : '" + refusal.name + "'");
        ASSERT_EQ(errors.size(), 1u) << trace.raw();
        EXPECT_EQ(errors[0].marker, ":ERR!");
        EXPECT_EQ(trace.containing("CIMObjectPath=root/snia:CIM_ConcreteJob").size(), 1u) << trace.raw();
        EXPECT_TRUE(handler.calls.empty());
    }
    EXPECT_TRUE(paths.calls.empty() && instances.calls.empty() && objects.calls.empty());
    EXPECT_TRUE(SMIEventServices::recordedEvents().empty());
}

TEST_F(JobsTest, AffectedElementLeadsFromElementsToAllTheirJobsAndBack)
{
    CIMAssociationProvider* affected = provider<CIMAssociationProvider>("AffectedJobElementProvider");
    std::vector<Uint32> vols = volumes();
    Uint32 first = startScan(vols[0]);
    Uint32 other = startScan(vols[1]);
    Uint32 third = startScan(vols[0]);
    Uint32 driveID = spareDrive();
    Uint32 driveTask = startInitialize(driveID);

    PathRecorder jobsOfVolume;
    affected->associatorNames(context, volumeRef(vols[0]), "CIM_AffectedJobElement", "CIM_ConcreteJob", "",
                              "", jobsOfVolume);
    ASSERT_EQ(jobsOfVolume.delivered.size(), 2u);
    EXPECT_EQ(instanceID(jobsOfVolume.delivered[0]), instanceID(jobRef(first)));
    EXPECT_EQ(instanceID(jobsOfVolume.delivered[1]), instanceID(jobRef(third)));

    ObjectRecorder jobInstances;
    Array<CIMName> onlyName;
    onlyName.append("Name");
    affected->associators(context, volumeRef(vols[0]), "cim_affectedjobelement", "CIM_ConcreteJob", "", "",
                          false, false, CIMPropertyList(onlyName), jobInstances);
    ASSERT_EQ(jobInstances.delivered.size(), 2u);
    EXPECT_NE(jobInstances.delivered[0].findProperty("PercentComplete"), PEG_NOT_FOUND)
        << "jobs of an element are built without the property list";

    PathRecorder jobsOfDrive;
    affected->associatorNames(context, driveRef(driveID), "CIM_AffectedJobElement", "CIM_ConcreteJob", "", "",
                              jobsOfDrive);
    ASSERT_EQ(jobsOfDrive.delivered.size(), 1u);
    EXPECT_EQ(instanceID(jobsOfDrive.delivered[0]), instanceID(jobRef(driveTask)));

    PathRecorder volumeOfJob;
    affected->associatorNames(context, jobRef(other), "CIM_AffectedJobElement", "CIM_StorageVolume", "", "",
                              volumeOfJob);
    ASSERT_EQ(volumeOfJob.delivered.size(), 1u);
    bool namesVolume = false;
    const Array<CIMKeyBinding>& keys = volumeOfJob.delivered[0].getKeyBindings();
    for (Uint32 i = 0; i < keys.size(); ++i)
        namesVolume |= keys[i].getName() == CIMName("DeviceID") && str(keys[i].getValue()) == hex(vols[1]);
    EXPECT_TRUE(namesVolume) << volumeOfJob.delivered[0].toString();

    ObjectRecorder driveOfJob;
    affected->associators(context, jobRef(driveTask), "CIM_AffectedJobElement", "CIM_DiskDrive", "", "",
                          false, false, CIMPropertyList(onlyName), driveOfJob);
    ASSERT_EQ(driveOfJob.delivered.size(), 1u);
    EXPECT_EQ(driveOfJob.delivered[0].findProperty("OperationalStatus"), PEG_NOT_FOUND)
        << "the element is built with the property list";

    // A job asked for the other kind of element answers nothing, completely.
    PathRecorder mismatch;
    affected->associatorNames(context, jobRef(driveTask), "CIM_AffectedJobElement", "CIM_StorageVolume", "",
                              "", mismatch);
    EXPECT_EQ(mismatch.calls, (std::vector<std::string>{"processing", "complete"}));
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
        TraceCapture trace;
        PathRecorder handler;
        CIMName associationClass = *query.associationClass ? CIMName(query.associationClass) : CIMName();
        CIMName resultClass = *query.resultClass ? CIMName(query.resultClass) : CIMName();
        try
        {
            affected->associatorNames(context, query.source, associationClass, resultClass, "", "", handler);
            ADD_FAILURE() << "served " << str(query.source.toString());
        }
        catch (const CIMException& e)
        {
            EXPECT_EQ(e.getCode(), CIM_ERR_NOT_SUPPORTED);
            EXPECT_EQ(str(e.getMessage()), "AffectedJobElementProvider::associatorNames");
        }
        EXPECT_EQ(handler.calls, std::vector<std::string>{"processing"});
        // The association line ends with a blank, and empty roles leave nothing between the quotes.
        std::vector<TraceLine> lines = trace.containing("associationClass='");
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_TRUE(lines[0].hasText(std::string("..associationClass='") + query.associationClass +
                                     "' resultClass='" + query.resultClass + "' role='' resultRole='' "))
            << lines[0].rest;
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

    Array<CIMName> names;
    names.append("InstanceID");
    ObjectRecorder handler;
    owning->associators(context, volumeRef(1), "Anything_AtAll", "CIM_ConcreteJob", "r", "rr", true, true,
                        CIMPropertyList(names), handler);
    ASSERT_EQ(handler.delivered.size(), 2u);
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"processing", "deliver", "deliver", "complete"}));
    EXPECT_EQ(handler.delivered[0].getProperty(0).getValue().toString(), String("A"));
    EXPECT_EQ(handler.delivered[1].getProperty(0).getValue().toString(), String("B"));
    ASSERT_EQ(enumerateCalls.size(), 1u);
    const TestCimomRep::EnumerateCall& call = enumerateCalls[0];
    EXPECT_EQ(str(call.nameSpace.getString()), "root/snia");
    EXPECT_EQ(str(call.className.getString()), "CIM_ConcreteJob");
    EXPECT_TRUE(call.deepInheritance);
    EXPECT_FALSE(call.localOnly);
    EXPECT_TRUE(call.includeQualifiers);
    EXPECT_TRUE(call.includeClassOrigin);
    ASSERT_EQ(call.propertyList.size(), 1u);
    EXPECT_EQ(str(call.propertyList[0].getString()), "InstanceID");

    cimomRep()->instances.clear();
    ObjectRecorder empty;
    owning->associators(context, servicePath(), CIMName(), "CIM_StoragePool", "", "", false, false,
                        CIMPropertyList(), empty);
    EXPECT_EQ(empty.calls, (std::vector<std::string>{"processing", "complete"}));
}

} // namespace
} // namespace scs_test
