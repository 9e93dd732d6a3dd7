// Capacity accounting, layouts and the volume operations' refusals.
#include <KVELOperationFailedException.h>
#include "KvelTestSupport.h"

using namespace Pegasus;
using namespace kveltest;

namespace
{
class kvelCapacity : public KvelEngineTest
{
protected:
    // A copy of a setting record with a size and name filled in, as a client prepares it.
    std::unique_ptr<KVELVolume> goal(Uint32 settingID, Uint64 size, const char* name = "new-volume")
    {
        auto setting = volume(settingID);
        setting->Size = size;
        setting->Name = name;
        return setting;
    }

    // What createVolume answers: the result it returns once the volume is made, or the code of the
    // refusal it throws (a refusal is never returned).
    Uint32 create(KVELVolume* setting, KVELTask& job)
    {
        try
        {
            Uint32 rc = engine->createVolume(setting, &job);
            EXPECT_TRUE(rc == KVEL_RC_SUCCESS || rc == KVEL_RC_STATE_NOT_SAVED) << "returned " << rc;
            return rc;
        }
        catch (const KVELOperationFailedException& e)
        {
            return e.getResultCode();
        }
    }

    Uint64 maxSize(KVELVolume::VolumeOrganizationEnum organization, Uint8 width, Uint8 copies,
                   std::vector<Uint32> drives = {}, Uint32* rc = nullptr)
    {
        Uint64 max = 0;
        Uint32 result = engine->getMaxVolumeSizeBlocks(0, width, copies, organization, BASE, drives, max);
        if (rc) *rc = result;
        return max;
    }
};

TEST_F(kvelCapacity, MirrorsTakeSpaceForEachCopyUntilTheirDeletionCompletes)
{
    Uint64 used = poolUsed(BASE);
    KVELTask job, removal;
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->createVolume(goal(MIRROR_2WAY, 10 * GIB, "db2").get(), &job));
    EXPECT_EQ(used + 20 * GIB, poolUsed(BASE)); // two copies
    advance(10);
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->deleteVolume(MIRROR_2WAY, &removal));
    EXPECT_EQ(used + 20 * GIB, poolUsed(BASE)) << "space is returned when the delete completes";
    advance(3);
    EXPECT_FALSE(volume(MIRROR_2WAY));
    EXPECT_EQ(used, poolUsed(BASE));
}

TEST_F(kvelCapacity, AllTheFreeSpaceCanBeUsedAndNoMore)
{
    Uint64 free = poolFree(BASE);
    Uint32 rc = 0;
    Uint32 id = makeVolume(free, KVELVolume::VOLUME_ORGANIZATION_STRIPED, 1, 1, nullptr, &rc);
    ASSERT_EQ(KVEL_RC_SUCCESS, rc);
    EXPECT_EQ(0u, poolFree(BASE));

    advance(180);
    auto scratch = volume(SCRATCH);
    scratch->Size += 1;
    KVELTask job;
    EXPECT_EQ(KVEL_RC_INSUFFICIENT_CAPACITY, engine->growVolume(SCRATCH, scratch.get(), &job));
    EXPECT_EQ(0u, job.getTaskID());
    EXPECT_EQ(KVEL_RC_SUCCESS, engine->deleteVolume(id, &job));
    advance(3);
    EXPECT_EQ(free, poolFree(BASE));
}

TEST_F(kvelCapacity, ParityRoundsUpAndTheMaximumFitsExactly)
{
    Uint64 free = poolFree(BASE);
    Uint64 max = maxSize(KVELVolume::VOLUME_ORGANIZATION_PARITY, 5, 1);
    EXPECT_EQ(free * 4 / 5, max);
    Uint32 rc = 0;
    makeVolume(max + 1, KVELVolume::VOLUME_ORGANIZATION_PARITY, 5, 1, nullptr, &rc);
    EXPECT_EQ(KVEL_RC_INSUFFICIENT_CAPACITY, rc);
    Uint32 id = makeVolume(max, KVELVolume::VOLUME_ORGANIZATION_PARITY, 5, 1, nullptr, &rc);
    ASSERT_EQ(KVEL_RC_SUCCESS, rc);
    EXPECT_EQ((max * 5 + 3) / 4, volume(id)->ConsumedBlocks);
    EXPECT_LT(poolFree(BASE), 5u);
}

TEST_F(kvelCapacity, LayoutFactorsAndUnusableLayouts)
{
    Uint64 free = poolFree(BASE);
    EXPECT_EQ(free, maxSize(KVELVolume::VOLUME_ORGANIZATION_STRIPED, 4, 0));
    EXPECT_EQ(free / 3, maxSize(KVELVolume::VOLUME_ORGANIZATION_MIRRORED, 1, 3));
    EXPECT_EQ(free * 6 / 8, maxSize(KVELVolume::VOLUME_ORGANIZATION_DOUBLE_PARITY, 8, 1));

    struct Bad
    {
        Uint32 organization;
        Uint8 width, copies;
    } bad[] = {{5, 2, 1}, {6, 3, 1}, {1, 1, 1}, {1, 4, 5}, {0, 4, 2}, {3, 4, 1}, {0, 17, 1}};
    for (const Bad& b : bad)
    {
        Uint32 rc = 0;
        maxSize(KVELVolume::VolumeOrganizationEnum(b.organization), b.width, b.copies, {}, &rc);
        EXPECT_EQ(KVEL_RC_INVALID_LAYOUT, rc)
            << b.organization << "/" << int(b.width) << "/" << int(b.copies);
    }
    Uint64 max = 0;
    EXPECT_EQ(KVEL_RC_INVALID_LAYOUT, engine->getMaxVolumeSizeBlocks(
                                          100, 4, 1, KVELVolume::VOLUME_ORGANIZATION_STRIPED, BASE, {}, max))
        << "chunks of 100 blocks"; // an unknown pool is the module's maximum-size test's
}

TEST_F(kvelCapacity, CreateVolumeChecksItsSettingRecord)
{
    KVELTask job;
    EXPECT_EQ(KVEL_RC_INVALID_SIZE, create(goal(STRIPED_4, 0).get(), job));
    EXPECT_EQ(KVEL_RC_INVALID_NAME, create(goal(STRIPED_4, GIB, "").get(), job));
    EXPECT_EQ(KVEL_RC_INVALID_PARAMETER, create(nullptr, job));
    auto unknownPool = goal(STRIPED_4, GIB);
    unknownPool->PoolObjectID = 0x37000009;
    EXPECT_EQ(KVEL_RC_NO_SUCH_POOL, create(unknownPool.get(), job));
    auto tooWide = goal(STRIPED_4, GIB);
    tooWide->StripeWidth = 16; // the base pool has 12 drives
    EXPECT_EQ(KVEL_RC_INVALID_DRIVE_LIST, create(tooWide.get(), job));
    auto badLayout = goal(STRIPED_4, GIB);
    badLayout->VolumeOrganization = KVELVolume::VolumeOrganizationEnum(3);
    EXPECT_EQ(KVEL_RC_INVALID_LAYOUT, create(badLayout.get(), job));
    EXPECT_EQ(KVEL_RC_SETTING_IN_USE, create(volume(DB_MIRROR).get(), job));

    auto stale = goal(STRIPED_4, GIB);
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->deleteObject(CLASSID_VOLUME, STRIPED_4));
    EXPECT_EQ(KVEL_RC_NO_SUCH_OBJECT, create(stale.get(), job)) << "a setting deleted meanwhile";
    EXPECT_EQ(0u, job.getTaskID()) << "refusals start no task";
    EXPECT_TRUE(volume(PARITY_4_1)->IsSetting);
}

TEST_F(kvelCapacity, ManualCreateNeedsEnoughUsableDrivesOfThePool)
{
    auto withDrives = [&](std::vector<Uint32> drives)
    {
        auto setting = goal(MIRROR_2X4, 4 * GIB); // 2 copies x 4 wide: 8 drives
        setting->ManualCreate = true;
        for (size_t i = 0; i < drives.size(); ++i)
            setting->DriveIDs[i] = drives[i];
        KVELTask job;
        return create(setting.get(), job);
    };
    std::vector<Uint32> eight;
    for (Uint32 slot = 0; slot < 8; ++slot)
        eight.push_back(drive(slot));
    EXPECT_EQ(KVEL_RC_INVALID_DRIVE_LIST, withDrives({drive(0), drive(1), drive(2)}));
    auto twice = eight;
    twice[7] = drive(0); // one drive listed twice is too few drives
    EXPECT_EQ(KVEL_RC_INVALID_DRIVE_LIST, withDrives(twice));
    auto unknown = eight;
    unknown[7] = 0x380000FF;
    EXPECT_EQ(KVEL_RC_NO_SUCH_DRIVE, withDrives(unknown));

    ASSERT_EQ(KVEL_RC_SUCCESS, withDrives(eight));
    auto made = volume(MIRROR_2X4);
    EXPECT_EQ(8u, made->getDriveCount());
    EXPECT_EQ(drive(7), made->DriveIDs[7]);
    EXPECT_EQ(KVEL_RC_DRIVE_IN_USE, engine->transferDrive(drive(0), AVAILABLE)) << "a volume lists it";
    EXPECT_EQ(KVEL_RC_SUCCESS, engine->transferDrive(drive(11), AVAILABLE));

    // Listed drives offer their share of the pool's free space.
    Uint64 half = maxSize(KVELVolume::VOLUME_ORGANIZATION_STRIPED, 1, 1,
                          {drive(0), drive(1), drive(2), drive(3), drive(4), drive(5), drive(6), drive(7)});
    Uint64 free = poolFree(BASE);
    EXPECT_EQ(free * 8 / 11, half);
}

TEST_F(kvelCapacity, ReconfigureTakesTheSettingsLayoutAndAbortRestoresIt)
{
    Uint64 used = poolUsed(BASE);
    KVELTask job;
    auto setting = volume(PARITY_4_1);
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->reconfigureVolume(SCRATCH, setting.get(), &job));
    EXPECT_EQ(KVELTask::TASK_TYPE_RECONFIGURE_VOLUME, job.Type);
    auto changed = volume(SCRATCH);
    EXPECT_EQ(KVELVolume::VOLUME_ORGANIZATION_PARITY, changed->VolumeOrganization);
    EXPECT_EQ(1u, changed->PackageRedundancy);
    EXPECT_EQ(used + 50 * GIB, poolUsed(BASE)); // 200 GiB at 5/4
    EXPECT_TRUE(volume(PARITY_4_1)->IsSetting) << "the setting stays";
    EXPECT_EQ(KVEL_RC_OBJECT_BUSY, engine->reconfigureVolume(SCRATCH, volume(MIRROR_2WAY).get(), &job));

    ASSERT_EQ(KVEL_RC_SUCCESS, command(job.getTaskID(), KVELTask::TASK_COMMAND_ABORT));
    EXPECT_EQ(KVELVolume::VOLUME_ORGANIZATION_STRIPED, volume(SCRATCH)->VolumeOrganization);
    EXPECT_EQ(used, poolUsed(BASE));
    EXPECT_EQ(KVEL_RC_SUCCESS_NO_CHANGE, engine->reconfigureVolume(SCRATCH, volume(STRIPED_4).get(), &job));
    auto smaller = volume(PARITY_4_1);
    smaller->Size = GIB;
    EXPECT_EQ(KVEL_RC_INVALID_SIZE, engine->reconfigureVolume(SCRATCH, smaller.get(), &job));
}

TEST_F(kvelCapacity, VolumesTakeOnlyANewNameAndSettingRecordsGoAtOnce)
{
    auto renamed = volume(SCRATCH);
    renamed->Name = "scratch-2";
    renamed->Size = 1; // ignored: volumes only take a new name
    EXPECT_EQ(KVEL_RC_SUCCESS, engine->modifyObject(CLASSID_VOLUME, renamed.get()));
    EXPECT_EQ("scratch-2", volume(SCRATCH)->Name);
    EXPECT_EQ(200 * GIB, volume(SCRATCH)->Size);

    EXPECT_EQ(KVEL_RC_SETTING_IN_USE, engine->deleteObject(CLASSID_VOLUME, DB_MIRROR));
    KVELTask job;
    EXPECT_EQ(KVEL_RC_SUCCESS, engine->deleteVolume(STRIPED_4, &job));
    EXPECT_EQ(0u, job.getTaskID()) << "a setting record goes at once";
    EXPECT_FALSE(volume(STRIPED_4));
}

} // namespace
