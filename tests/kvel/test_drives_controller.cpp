// Drive rules, the controller's state machine, the disk line mode and persistence transfers.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include "KvelTestSupport.h"

using namespace Pegasus;
using namespace kveltest;

namespace
{
class kvelDrives : public KvelEngineTest
{
protected:
    // Leaves less than one drive's capacity free in the base pool.
    void fillBasePool()
    {
        Uint32 rc = 0;
        makeVolume(poolFree(BASE) - 100 * GIB, KVELVolume::VOLUME_ORGANIZATION_STRIPED, 1, 1, nullptr, &rc);
        ASSERT_EQ(KVEL_RC_SUCCESS, rc);
    }
};

TEST_F(kvelDrives, TransferMovesOnlineDrivesThatThePoolCanSpare)
{
    EXPECT_EQ(KVEL_RC_SUCCESS, engine->transferDrive(drive(12), AVAILABLE));
    EXPECT_EQ(KVEL_RC_SUCCESS_NO_CHANGE, engine->transferDrive(drive(12), AVAILABLE));
    EXPECT_EQ(KVEL_RC_NO_SUCH_DRIVE, engine->transferDrive(0x380000FF, AVAILABLE));
    EXPECT_EQ(KVEL_RC_NO_SUCH_POOL, engine->transferDrive(drive(12), 0x37000009));
    EXPECT_EQ(KVEL_RC_INVALID_PARAMETER, engine->transferDrive(drive(12), UNAVAILABLE));
    Uint64 total = get<KVELPool>(BASE)->TotalBlocks;
    EXPECT_EQ(KVEL_RC_SUCCESS, engine->transferDrive(drive(13), BASE));
    EXPECT_EQ(total + 1024 * GIB, get<KVELPool>(BASE)->TotalBlocks);

    fillBasePool();
    EXPECT_EQ(KVEL_RC_DRIVE_IN_USE, engine->transferDrive(drive(0), SPARE));
    EXPECT_EQ(BASE, driveRecord(drive(0))->PoolObjectID);
}

TEST_F(kvelDrives, ADownedDriveLeavesItsPoolWhenTheTaskCompletes)
{
    KVELTask job;
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->downDrive(drive(12), &job));
    EXPECT_EQ(KVELTask::TASK_TYPE_DOWN_DRIVE, job.Type);
    EXPECT_EQ(KVELDrive::DRIVE_STATE_ONLINE, driveRecord(drive(12))->State);
    KVELTask again;
    EXPECT_EQ(KVEL_RC_OBJECT_BUSY, engine->downDrive(drive(12), &again));
    EXPECT_EQ(KVEL_RC_OBJECT_BUSY, engine->transferDrive(drive(12), AVAILABLE));
    advance(5);
    EXPECT_EQ(UNAVAILABLE, driveRecord(drive(12))->PoolObjectID);
    EXPECT_EQ(KVEL_RC_SUCCESS_NO_CHANGE, engine->downDrive(drive(12), &again));
    EXPECT_EQ(KVEL_RC_DRIVE_NOT_AVAILABLE, engine->transferDrive(drive(12), SPARE));
}

TEST_F(kvelDrives, DownIsCheckedAgainWhenItCompletes)
{
    KVELTask job;
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->downDrive(drive(0), &job));
    fillBasePool(); // while the drive is still in service
    advance(5);
    auto failed = task(job.getTaskID());
    EXPECT_EQ(KVELTask::TASK_STATE_FAILED, failed->State);
    EXPECT_EQ(KVEL_RC_DRIVE_IN_USE, failed->ErrorCode);
    EXPECT_EQ(BASE, driveRecord(drive(0))->PoolObjectID);
    KVELTask second;
    EXPECT_EQ(KVEL_RC_DRIVE_IN_USE, engine->downDrive(drive(1), &second));
}

TEST_F(kvelDrives, InitialiseOnlyOutsideTheBasePool)
{
    KVELTask job;
    EXPECT_EQ(KVEL_RC_DRIVE_IN_USE, engine->initializeDrive(drive(0), &job));
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->initializeDrive(drive(12), &job));
    advance(120);
    EXPECT_EQ(AVAILABLE, driveRecord(drive(12))->PoolObjectID);

    KVELTask interrupted;
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->initializeDrive(drive(13), &interrupted));
    ASSERT_EQ(KVEL_RC_SUCCESS, command(interrupted.getTaskID(), KVELTask::TASK_COMMAND_ABORT));
    auto left = driveRecord(drive(13));
    EXPECT_EQ(KVELDrive::DRIVE_STATE_DOWN, left->State);
    EXPECT_EQ(UNAVAILABLE, left->PoolObjectID);
}

class kvelController : public KvelEngineTest
{
protected:
    Uint32 someWork()
    {
        KVELTask job;
        return engine->scanVolume(SCRATCH, &job);
    }
};

TEST_F(kvelController, ShutdownStepsComeInOrder)
{
    // The answers to the shutdown steps themselves are the module's controller tests'.
    EXPECT_EQ(KVEL_RC_SUCCESS, engine->initiateShutdown(true));
    EXPECT_EQ(KVEL_RC_CONTROLLER_STATE, engine->initiateFirmwareUpgrade(1024));
    EXPECT_EQ(KVEL_RC_SHUTTING_DOWN, someWork());
    EXPECT_TRUE(volume(SCRATCH)) << "reading goes on";
    EXPECT_EQ(KVEL_RC_SUCCESS, engine->completeShutdown());
    EXPECT_EQ(KVEL_RC_SHUTTING_DOWN, engine->initiateShutdown(false));
    EXPECT_EQ(KVEL_RC_SHUTTING_DOWN, engine->transferDrive(drive(12), AVAILABLE));
    advance(119);
    EXPECT_EQ(KVEL_RC_SHUTTING_DOWN, someWork());
    advance(1);
    EXPECT_EQ(KVEL_RC_SUCCESS, someWork());
}

TEST_F(kvelController, AShutdownWithoutRestartStaysHalted)
{
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->initiateShutdown(false));
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->completeShutdown());
    advance(86400);
    EXPECT_EQ(KVEL_RC_SHUTTING_DOWN, someWork());
    EXPECT_EQ(KVEL_RC_SHUTTING_DOWN, engine->forceLocalReset());
    engine = makeEngine(KVELEngineConfig());
    EXPECT_EQ(KVEL_RC_SUCCESS, someWork()) << "a new engine starts running";
}

TEST_F(kvelController, AForcedResetRefusesWorkForThirtySeconds)
{
    EXPECT_EQ(KVEL_RC_SUCCESS, engine->forceLocalReset());
    EXPECT_EQ(KVEL_RC_SHUTTING_DOWN, engine->forceLocalReset());
    advance(29);
    EXPECT_EQ(KVEL_RC_SHUTTING_DOWN, someWork());
    advance(1);
    EXPECT_EQ(KVEL_RC_SUCCESS, someWork());
}

class kvelPersistence : public KvelEngineTest
{
protected:
    std::string path(const char* name)
    {
        return ::testing::TempDir() + "kvel-persist-" + std::to_string(::getpid()) + "-" + name;
    }
    void write(const std::string& file, const std::string& bytes)
    {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string read(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

TEST_F(kvelPersistence, BlocksTravelThroughTransferFiles)
{
    std::string in = path("in"), out = path("out");
    std::string block("\x00\x01\xFF binary", 10);
    write(in, block);
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->setPersistenceData(KVELController::PERSISTENCE_LOCAL, in.c_str()));
    write(out, "stale content to be truncated");
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->getPersistenceData(out.c_str()));
    EXPECT_EQ(block, read(out));

    write(in, "partner only");
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->setPersistenceData(KVELController::PERSISTENCE_PARTNER, in.c_str()));
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->getPersistenceData(out.c_str()));
    EXPECT_EQ(block, read(out)) << "this controller's block is unchanged";

    EXPECT_EQ(KVEL_RC_PERSISTENCE_IO_ERROR,
              engine->setPersistenceData(KVELController::PERSISTENCE_LOCAL, path("missing").c_str()));
    write(in, std::string(16 * 1024 * 1024 + 1, 'x'));
    EXPECT_EQ(KVEL_RC_INVALID_PARAMETER,
              engine->setPersistenceData(KVELController::PERSISTENCE_LOCAL, in.c_str()));
    std::remove(in.c_str());
    std::remove(out.c_str());
}

} // namespace
