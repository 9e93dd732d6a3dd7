// Failure injection: drives and tasks made to fail, by call and by the array description.
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <unistd.h>
#include <Pegasus/Common/Exception.h>
#include "KvelTestSupport.h"

using namespace Pegasus;
using namespace kveltest;

namespace
{
class kvelFaults : public KvelEngineTest
{
protected:
    // An engine on the demo array with the faults added to its description.
    void loadWithFaults(const nlohmann::json& faults)
    {
        nlohmann::json description = nlohmann::json::parse(engine->describe());
        description["faults"] = faults;
        std::ofstream(descriptionFile) << description.dump();
        KVELEngineConfig config;
        config.arrayDescriptionFile = descriptionFile;
        engine = makeEngine(config);
    }
    std::string refusal(const nlohmann::json& faults)
    {
        try
        {
            loadWithFaults(faults);
        }
        catch (const Exception& e)
        {
            return static_cast<const char*>(e.getMessage().getCString());
        }
        return "(accepted)";
    }
    void TearDown() override { std::remove(descriptionFile.c_str()); }

    std::string descriptionFile =
        ::testing::TempDir() + "kvel-faults-" + std::to_string(::getpid()) + ".json";
};

TEST_F(kvelFaults, AFailedDriveDegradesRedundantVolumesAndFailsTheOthersAndTheirTasks)
{
    const Uint32 shared = drive(0); // the demo volumes are spread over the base pool
    const Uint64 freeBefore = poolFree(BASE);
    // A job running on the mirrored volume when its drive fails.
    KVELTask scan;
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->scanVolume(DB_MIRROR, &scan));

    ASSERT_EQ(KVEL_RC_SUCCESS, engine->failDrive(shared));
    EXPECT_EQ(KVELDrive::DRIVE_STATE_FAILED, driveRecord(shared)->State);
    EXPECT_EQ(KVELVolume::VOLUME_STATE_DEGRADED, volume(DB_MIRROR)->State);
    EXPECT_EQ(KVELTask::TASK_STATE_FAILED, task(scan.getTaskID())->State);
    EXPECT_EQ(Uint32(KVEL_RC_DRIVE_FAILED), task(scan.getTaskID())->ErrorCode);
    EXPECT_LT(poolFree(BASE), freeBefore) << "a failed drive no longer counts in its pool";

    EXPECT_EQ(KVELVolume::VOLUME_STATE_DEGRADED, volume(ARCHIVE)->State) << "parity";
    EXPECT_EQ(KVELVolume::VOLUME_STATE_FAILED, volume(SCRATCH)->State) << "striped: its data is lost";
    EXPECT_TRUE(volume(STRIPED_4)->IsSetting) << "settings hold no data";

    EXPECT_EQ(KVEL_RC_SUCCESS_NO_CHANGE, engine->failDrive(shared));
    EXPECT_EQ(KVEL_RC_NO_SUCH_DRIVE, engine->failDrive(drive(40)));
}

TEST_F(kvelFaults, AFailedTaskIsUndoneAndKeepsItsResultCode)
{
    KVELTask job;
    const Uint32 id = makeVolume(20 * GIB, KVELVolume::VOLUME_ORGANIZATION_STRIPED, 1, 1, &job);
    ASSERT_NE(0u, id);
    advance(3);
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->failTask(job.getTaskID(), KVEL_RC_OPERATION_FAILED));
    auto failed = task(job.getTaskID());
    EXPECT_EQ(KVELTask::TASK_STATE_FAILED, failed->State);
    EXPECT_EQ(Uint32(KVEL_RC_OPERATION_FAILED), failed->ErrorCode);
    EXPECT_FALSE(volume(id)) << "the creation is undone";
    EXPECT_EQ(KVEL_RC_TASK_FINISHED, engine->failTask(job.getTaskID(), KVEL_RC_OPERATION_FAILED));
    EXPECT_EQ(KVEL_RC_NO_SUCH_TASK, engine->failTask(0x36FFFFFE, KVEL_RC_OPERATION_FAILED));
}

TEST_F(kvelFaults, TheDescriptionsFaultsComeDueWithEngineTime)
{
    const Uint32 spare = drive(12);
    loadWithFaults({{{"afterSeconds", 10}, {"drive", "3800000D"}},
                    {{"afterSeconds", 5}, {"job", "running"}, {"errorCode", KVEL_RC_OPERATION_FAILED}}});
    EXPECT_NE(std::string::npos, engine->describe().find("\"faults\"")) << "pending faults are kept";

    MPU_TIME next = 0;
    ASSERT_TRUE(engine->nextTaskEvent(next)) << "a drive's fault is due without any task";
    EXPECT_EQ(T0 + 10 * SECOND, next);
    advance(3);
    KVELTask job;
    ASSERT_NE(0u, makeVolume(20 * GIB, KVELVolume::VOLUME_ORGANIZATION_STRIPED, 1, 1, &job));
    EXPECT_EQ(KVELTask::TASK_STATE_RUNNING, task(job.getTaskID())->State);
    advance(3);
    EXPECT_EQ(KVELTask::TASK_STATE_FAILED, task(job.getTaskID())->State);
    EXPECT_EQ(Uint32(KVEL_RC_OPERATION_FAILED), task(job.getTaskID())->ErrorCode);
    EXPECT_EQ(KVELDrive::DRIVE_STATE_ONLINE, driveRecord(spare)->State);
    advance(4);
    EXPECT_EQ(KVELDrive::DRIVE_STATE_FAILED, driveRecord(spare)->State);
    EXPECT_EQ(std::string::npos, engine->describe().find("\"faults\"")) << "applied faults are gone";
}

// A restart on the state file keeps a fault not yet applied, at the same engine time.
TEST_F(kvelFaults, APendingFaultSurvivesARestart)
{
    const std::string stateFile = descriptionFile + ".state";
    std::remove(stateFile.c_str());
    loadWithFaults({{{"afterSeconds", 10}, {"drive", "3800000D"}}});
    std::ofstream(stateFile) << engine->describe();
    KVELEngineConfig config;
    config.stateFile = stateFile;
    engine = makeEngine(config);
    advance(9);
    EXPECT_EQ(KVELDrive::DRIVE_STATE_ONLINE, driveRecord(drive(12))->State);
    advance(1);
    EXPECT_EQ(KVELDrive::DRIVE_STATE_FAILED, driveRecord(drive(12))->State);
    std::remove(stateFile.c_str());
}

TEST_F(kvelFaults, UnusableFaultsAreRefusedNamingTheField)
{
    const struct
    {
        nlohmann::json fault;
        const char* problem;
    } cases[] = {
        {{{"afterSeconds", 1}, {"drive", "38000099"}}, "faults[0].drive: names no drive"},
        {{{"afterSeconds", 1}, {"job", "queued"}}, "faults[0].job: must be \"running\""},
        {{{"afterSeconds", -1}, {"drive", "38000001"}}, "faults[0].afterSeconds: must not be negative"},
        {{{"drive", "38000001"}}, "faults[0].afterSeconds: is missing"},
    };
    for (const auto& c : cases)
    {
        const std::string message = refusal(nlohmann::json::array({c.fault}));
        EXPECT_NE(std::string::npos, message.find(c.problem)) << message;
    }
}
} // namespace
