// The array's indication provider: what a server subscribed through the provider interface is
// told when volumes are made, grown and returned, when jobs progress, fail and go, when drives
// fail and when the array publishes events, and that nothing is told outside enable/disable.
#include "InventoryHarness.h"

#include <mutex>
#include <thread>

#include <Pegasus/Provider/CIMIndicationProvider.h>
#include <SMIMOBuilders.h>

namespace scs_test
{
namespace
{

class IndicationRecorder : public RecordingHandler, public IndicationResponseHandler
{
public:
    void deliver(const CIMIndication& indication) override
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _delivered.push_back(indication);
    }
    void deliver(const Array<CIMIndication>& indications) override
    {
        for (Uint32 i = 0; i < indications.size(); ++i)
            deliver(indications[i]);
    }
    void deliver(const OperationContext&, const CIMIndication& indication) override { deliver(indication); }
    void deliver(const OperationContext&, const Array<CIMIndication>& indications) override
    {
        deliver(indications);
    }
    // What was delivered since the last call.
    std::vector<CIMInstance> take()
    {
        std::lock_guard<std::mutex> lock(_mutex);
        std::vector<CIMInstance> taken;
        taken.swap(_delivered);
        return taken;
    }

private:
    std::mutex _mutex;
    std::vector<CIMInstance> _delivered;
};

class IndicationTest : public InventoryTest
{
protected:
    void SetUp() override
    {
        InventoryTest::SetUp();
        provider = dynamic_cast<CIMIndicationProvider*>(made("ArrayIndicationProvider"));
        ASSERT_NE(provider, nullptr);
        Array<CIMObjectPath> classes;
        classes.append(CIMObjectPath("//host/root/snia:CIM_InstModification"));
        provider->createSubscription(context, CIMObjectPath(), classes, CIMPropertyList(), 2);
        provider->enableIndications(recorder);
    }

    // Moves the clock on and lets the engine see it, as any client call does.
    void after(MPU_TIME micros)
    {
        advance(micros);
        engine().enumerateObjects(CLASSID_TASK);
    }

    static CIMInstance embedded(const CIMInstance& indication, const char* name)
    {
        CIMObject object;
        valueOf(indication, name).get(object);
        return CIMInstance(object);
    }
    // "<indication class> <source class> <source key>": the indication in a line.
    static std::string line(const CIMInstance& indication)
    {
        const std::string kind = str(indication.getClassName().getString());
        if (kind == "CIM_AlertIndication")
            return kind + " " + std::to_string(valueAs<Uint16>(indication, "AlertType"));
        const CIMInstance source = embedded(indication, "SourceInstance");
        return kind + " " + str(source.getClassName().getString()) + " " +
               std::to_string(idOf(source.getPath()));
    }
    static std::vector<std::string> lines(const std::vector<CIMInstance>& indications)
    {
        std::vector<std::string> result;
        for (const CIMInstance& indication : indications)
            result.push_back(line(indication));
        return result;
    }
    static std::string about(const char* indication, const char* sourceClass, Uint32 id)
    {
        return std::string(indication) + " " + sourceClass + " " + std::to_string(id);
    }
    // Whether two instances have the same path and the same properties with the same values.
    static ::testing::AssertionResult same(const CIMInstance& a, const CIMInstance& b)
    {
        if (!a.getPath().identical(b.getPath()))
            return ::testing::AssertionFailure()
                   << str(a.getPath().toString()) << " / " << str(b.getPath().toString());
        if (a.getPropertyCount() != b.getPropertyCount())
            return ::testing::AssertionFailure() << "property count";
        for (Uint32 i = 0; i < a.getPropertyCount(); ++i)
        {
            const Uint32 j = b.findProperty(a.getProperty(i).getName());
            if (j == PEG_NOT_FOUND || !(a.getProperty(i).getValue() == b.getProperty(j).getValue()))
                return ::testing::AssertionFailure()
                       << str(a.getProperty(i).getName().getString()) << " differs";
        }
        return ::testing::AssertionSuccess();
    }
    Uint32 lastTask() { return objects(CLASSID_TASK).back(); }
    CIMInstance jobNow(Uint32 taskID) { return ConcreteJobInstance(false, CIMPropertyList(), taskID); }

    CIMIndicationProvider* provider = nullptr;
    IndicationRecorder recorder;
};

TEST_F(IndicationTest, AVolumeMadeGrownAndReturnedIsToldInOrder)
{
    EXPECT_TRUE(recorder.take().empty()) << "what exists at enable is the baseline";
    const Uint32 id = settings().front();
    const CIMInstance settingBefore = get("StorageSettingProvider", hintsRef(id));
    const CIMInstance poolBefore = get("StoragePoolProvider", poolRef(BASE_POOL));

    createVolumeFrom(id, 8 * 2 * 1024 * 1024); // 8 GiB: the job runs 8 s
    const Uint32 create = lastTask();
    std::vector<CIMInstance> told = recorder.take();
    ASSERT_EQ(lines(told), (std::vector<std::string>{
                               about("CIM_InstCreation", "CIM_ConcreteJob", 0),
                               about("CIM_InstDeletion", "CIM_StorageSettingWithHints", id),
                               about("CIM_InstCreation", "CIM_StorageVolume", id),
                               about("CIM_InstModification", "CIM_StoragePool", BASE_POOL),
                           }));
    // Each embedded instance is what GetInstance gives (gave, for what went).
    EXPECT_TRUE(same(embedded(told[0], "SourceInstance"), jobNow(create)));
    EXPECT_TRUE(same(embedded(told[1], "SourceInstance"), settingBefore));
    EXPECT_TRUE(same(embedded(told[2], "SourceInstance"), get("StorageVolumeProvider", volumeRef(id))));
    EXPECT_TRUE(same(embedded(told[3], "PreviousInstance"), poolBefore));
    EXPECT_TRUE(same(embedded(told[3], "SourceInstance"), get("StoragePoolProvider", poolRef(BASE_POOL))));
    EXPECT_EQ(str(valueAs<String>(told[2], "SourceInstanceModelPath")),
              str(get("StorageVolumeProvider", volumeRef(id)).getPath().toString()));
    EXPECT_NE(str(valueAs<String>(told[0], "IndicationIdentifier")),
              str(valueAs<String>(told[1], "IndicationIdentifier")));

    // Progress: told after a second, not again within a quarter of a second.
    after(1000000);
    told = recorder.take();
    ASSERT_EQ(lines(told), std::vector<std::string>{about("CIM_InstModification", "CIM_ConcreteJob", 0)});
    EXPECT_EQ(valueAs<Uint16>(embedded(told[0], "PreviousInstance"), "PercentComplete"), 0);
    EXPECT_GT(valueAs<Uint16>(embedded(told[0], "SourceInstance"), "PercentComplete"), 0);
    after(100000);
    EXPECT_TRUE(recorder.take().empty());

    // Completion: the job (state, 100 %) and the volume (in service).
    after(10 * 1000000);
    told = recorder.take();
    ASSERT_EQ(lines(told),
              (std::vector<std::string>{about("CIM_InstModification", "CIM_ConcreteJob", 0),
                                        about("CIM_InstModification", "CIM_StorageVolume", id)}));
    const CIMInstance done = embedded(told[0], "SourceInstance");
    EXPECT_EQ(valueAs<Uint16>(done, "JobState"), 7);
    EXPECT_EQ(valueAs<Uint16>(done, "PercentComplete"), 100);
    EXPECT_EQ(valueAs<Uint16>(embedded(told[0], "PreviousInstance"), "JobState"), 4);

    // Growing: a job, the volume's new size, the pool's space.
    std::unique_ptr<KVELVolume> grown = volume(id);
    grown->Size *= 2;
    KVELTask growJob;
    ASSERT_EQ(engine().growVolume(id, grown.get(), &growJob), Uint32(KVEL_RC_SUCCESS));
    told = recorder.take();
    ASSERT_EQ(lines(told),
              (std::vector<std::string>{about("CIM_InstCreation", "CIM_ConcreteJob", 0),
                                        about("CIM_InstModification", "CIM_StorageVolume", id),
                                        about("CIM_InstModification", "CIM_StoragePool", BASE_POOL)}));
    EXPECT_EQ(valueAs<Uint64>(embedded(told[1], "SourceInstance"), "NumberOfBlocks"),
              2 * valueAs<Uint64>(embedded(told[1], "PreviousInstance"), "NumberOfBlocks"));
    after(60 * 1000000);
    recorder.take();

    // Returning it: the job and the volume going, then gone with its space back.
    KVELTask deleteJob;
    ASSERT_EQ(engine().deleteVolume(id, &deleteJob), Uint32(KVEL_RC_SUCCESS));
    EXPECT_EQ(lines(recorder.take()),
              (std::vector<std::string>{about("CIM_InstCreation", "CIM_ConcreteJob", 0),
                                        about("CIM_InstModification", "CIM_StorageVolume", id)}));
    after(5 * 1000000);
    told = recorder.take();
    EXPECT_EQ(lines(told),
              (std::vector<std::string>{about("CIM_InstModification", "CIM_ConcreteJob", 0),
                                        about("CIM_InstDeletion", "CIM_StorageVolume", id),
                                        about("CIM_InstModification", "CIM_StoragePool", BASE_POOL)}));

    // Finished jobs go after their retention time.
    after(301 * 1000000);
    EXPECT_EQ(lines(recorder.take()),
              std::vector<std::string>(3, about("CIM_InstDeletion", "CIM_ConcreteJob", 0)));
}

TEST_F(IndicationTest, FailuresAreToldAsChangesAndAlerts)
{
    // A job that fails: its modification carries the error, and an alert follows.
    createVolumeFrom(settings().front(), 8 * 2 * 1024 * 1024);
    const Uint32 create = lastTask();
    recorder.take();
    ASSERT_EQ(engine().failTask(create, KVEL_RC_OPERATION_FAILED), Uint32(KVEL_RC_SUCCESS));
    std::vector<CIMInstance> told = recorder.take();
    ASSERT_GE(told.size(), 2u);
    EXPECT_EQ(line(told[0]), about("CIM_InstModification", "CIM_ConcreteJob", 0));
    const CIMInstance failed = embedded(told[0], "SourceInstance");
    EXPECT_EQ(valueAs<Uint16>(failed, "JobState"), 10);
    EXPECT_FALSE(str(valueAs<String>(failed, "ErrorDescription")).empty());
    const CIMInstance& jobAlert = told.back();
    EXPECT_EQ(line(jobAlert), "CIM_AlertIndication 4");
    EXPECT_EQ(str(valueAs<String>(jobAlert, "AlertingManagedElement")), str(failed.getPath().toString()));
    EXPECT_EQ(keyOf(failed.getPath(), "InstanceID"), keyOf(jobRef(create), "InstanceID"));
    EXPECT_EQ(str(valueAs<String>(jobAlert, "ProbableCauseDescription")),
              str(valueAs<String>(failed, "ErrorDescription")));

    // A drive that fails: a device alert naming it and the array.
    const Uint32 drive = drivesInPool(BASE_POOL).front();
    ASSERT_EQ(engine().failDrive(drive), Uint32(KVEL_RC_SUCCESS));
    told = recorder.take();
    ASSERT_FALSE(told.empty());
    const CIMInstance& driveAlert = told.back();
    const struct
    {
        const char* property;
        std::string expected;
    } fields[] = {
        {"AlertingManagedElement", str(get("DiskDriveProvider", driveRef(drive)).getPath().toString())},
        {"SystemName", arrayName()},
        {"SystemCreationClassName", "CIM_ComputerSystem"},
    };
    EXPECT_EQ(line(driveAlert), "CIM_AlertIndication 5");
    EXPECT_EQ(valueAs<Uint16>(driveAlert, "PerceivedSeverity"), 5);
    for (const auto& field : fields)
        EXPECT_EQ(str(valueAs<String>(driveAlert, field.property)), field.expected) << field.property;

    // An event the array publishes.
    SMIEventServices::publishTextEvent(42, EMP_TYPE_ERROR, "controller lost its partner", 29, 1, "test",
                                       "test");
    told = recorder.take();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(line(told[0]), "CIM_AlertIndication 4");
    EXPECT_EQ(str(valueAs<String>(told[0], "Description")), "controller lost its partner");
    EXPECT_EQ(str(valueAs<String>(told[0], "EventID")), "42");
    EXPECT_EQ(valueAs<Uint16>(told[0], "PerceivedSeverity"), 5);
}

TEST_F(IndicationTest, NothingIsToldOnceDisabled)
{
    provider->disableIndications();
    createVolumeFrom(settings().front(), 2 * 1024 * 1024);
    after(10 * 1000000);
    SMIEventServices::publishTextEvent(1, EMP_TYPE_INFORMATION, "quiet", 29, 1, "test", "test");
    EXPECT_TRUE(recorder.take().empty());

    provider->enableIndications(recorder); // baseline again: the volume made meanwhile is not told
    EXPECT_TRUE(recorder.take().empty());
    SMIEventServices::publishTextEvent(1, EMP_TYPE_INFORMATION, "heard", 29, 1, "test", "test");
    EXPECT_EQ(recorder.take().size(), 1u);
}

// Clients changing the array from several threads while the server enables and disables
// indications (run under TSan in CI): every volume made while enabled is told exactly once.
TEST_F(IndicationTest, ThreadsChangingTheArrayWhileIndicationsComeAndGo)
{
    const std::vector<Uint32> ids = settings();
    std::vector<std::thread> clients;
    for (size_t t = 0; t < 2 && t < ids.size(); ++t)
        clients.emplace_back(
            [this, t, &ids]
            {
                for (int i = 0; i < 20; ++i)
                {
                    std::unique_ptr<KVELVolume> setting = volume(ids[t]);
                    setting->Name = "renamed-" + std::to_string(i);
                    engine().modifyObject(CLASSID_VOLUME, setting.get());
                }
            });
    for (int i = 0; i < 5; ++i)
    {
        provider->disableIndications();
        provider->enableIndications(recorder);
    }
    for (std::thread& client : clients)
        client.join();
    recorder.take();
    std::unique_ptr<KVELVolume> setting = volume(ids[0]);
    setting->Name = "last";
    ASSERT_EQ(engine().modifyObject(CLASSID_VOLUME, setting.get()), Uint32(KVEL_RC_SUCCESS));
    const std::vector<CIMInstance> told = recorder.take();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(str(valueAs<String>(embedded(told[0], "SourceInstance"), "ElementName")), "last");
}

} // namespace
} // namespace scs_test
