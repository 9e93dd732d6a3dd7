// "GetMaxiumumVolumeSize", "CreateVolume", "ReconfigureVolume", "ReturnToStoragePool".
#include "ServiceHarness.h"

namespace scs_test
{
namespace
{

class VolumeMethodsTest : public ServiceMethodTest
{
protected:
    Array<CIMParamValue> layout(Uint32 chunkBytes, Uint8 stripe, Uint8 mirror, Uint16 organization,
                                Uint32 pool = KVELPool::BASE_POOL_ID)
    {
        return params({param("ChunkSize", chunkBytes), param("StripeWidth", stripe),
                       param("MirrorCount", mirror), param("Pool", poolRef(pool)),
                       param("VolumeOrganization", organization)});
    }
    static Array<CIMParamValue> with(Array<CIMParamValue> in, std::initializer_list<CIMParamValue> more)
    {
        for (const CIMParamValue& value : more)
            in.append(value);
        return in;
    }
};

TEST_F(VolumeMethodsTest, MaximumSizeIsTheEnginesBlocksTimes512)
{
    Uint64 expected = 0;
    ASSERT_EQ(engine().getMaxVolumeSizeBlocks(128, 4, 1, KVELVolume::VOLUME_ORGANIZATION_STRIPED,
                                              KVELPool::BASE_POOL_ID, std::vector<Uint32>(), expected),
              Uint32(KVEL_RC_SUCCESS));
    MethodRecorder result =
        call("GetMaxiumumVolumeSize", layout(64 * 1024, 4, 1, KVELVolume::VOLUME_ORGANIZATION_STRIPED));
    EXPECT_EQ(result.outputNames(), std::vector<std::string>{"MaxVolumeSize"});
    EXPECT_EQ(outputSize(result, "MaxVolumeSize"), expected * 512);
    EXPECT_EQ(answer(result), 0u);

    // A pool the engine does not know: result 17, reported as an exception.
    MethodRecorder unknownPool;
    CIMException e =
        callFailing("GetMaxiumumVolumeSize",
                    layout(512, 4, 1, KVELVolume::VOLUME_ORGANIZATION_STRIPED, 0x37000099), unknownPool);
    EXPECT_EQ(e.getCode(), CIM_ERR_FAILED);
    EXPECT_TRUE(unknownPool.outputs.size() == 0 && unknownPool.returnValues.empty());
}

TEST_F(VolumeMethodsTest, CreateVolumeRoundsSizesAndChunksAndPassesTheDrivesInOrder)
{
    std::vector<Uint32> drives = drivesInPool(KVELPool::BASE_POOL_ID);
    const size_t order[] = {3, 1, 2};
    Array<CIMObjectPath> refs;
    for (size_t i : order)
        refs.append(driveRef(drives[i]));
    MethodRecorder result =
        call("CreateVolume", with(layout(64 * 1024, 3, 1, KVELVolume::VOLUME_ORGANIZATION_STRIPED),
                                  {param("ElementName", String("direct")),
                                   param("Size", Uint64(1024 * 1024 + 1)), param("StorageDevice", refs)}));
    EXPECT_EQ(result.outputNames(), (std::vector<std::string>{"Job", "StorageVolume", "Size"}));
    EXPECT_EQ(answer(result), 4096u);
    Uint32 created = volumes().back();
    std::unique_ptr<KVELVolume> record = volume(created);
    EXPECT_EQ(record->Name, "direct");
    EXPECT_EQ(record->Size, 2049u) << "1 MiB + 1 byte is 2049 blocks";
    EXPECT_EQ(record->ChunkSize, 128u) << "64 KiB chunks are 128 blocks";
    EXPECT_EQ(record->getDriveCount(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(record->DriveIDs[i], drives[order[i]]);
    EXPECT_EQ(keyOf(outputPath(result, "StorageVolume"), "DeviceID"), hex(created)) << "the engine's ID";
    EXPECT_EQ(outputSize(result), Uint64(2049) * 512);
    EXPECT_EQ(task(jobTask(result))->TargetObjectPtr, created);
}

TEST_F(VolumeMethodsTest, AVolumeWhoseJobIsGoneBeforeTheAnswerIsMadeWithoutAJob)
{
    // A month passes at one reading of the clock after another during the call: when it comes
    // after the volume's initialisation was started and before its job's path is built, the job
    // has ended and is gone, and the volume is answered as made without a job.
    int withoutJob = 0;
    for (int reading = 1; reading <= 8; ++reading)
    {
        jumpClockAt(reading, MPU_TIME(30) * 24 * 3600 * 1000000);
        MethodRecorder result = call(
            "CreateVolume", with(layout(64 * 1024, 3, 1, KVELVolume::VOLUME_ORGANIZATION_STRIPED),
                                 {param("ElementName", String("quick")), param("Size", Uint64(1024 * 1024))}));
        jumpClockAt(0, 0);
        const bool hasJob = result.hasOutput("Job");
        withoutJob += !hasJob;
        EXPECT_EQ(answer(result), hasJob ? 4096u : 0u) << reading;
        EXPECT_EQ(keyOf(outputPath(result, "StorageVolume"), "DeviceID"), hex(volumes().back())) << reading;
    }
    EXPECT_GT(withoutJob, 0);
}

TEST_F(VolumeMethodsTest, CreateVolumeFailuresBelowTenReturnAndAboveThrow)
{
    // Too large: result 13 is an exception, with nothing delivered.
    MethodRecorder tooBig;
    CIMException e = callFailing("CreateVolume",
                                 with(layout(64 * 1024, 4, 1, KVELVolume::VOLUME_ORGANIZATION_STRIPED),
                                      {param("ElementName", String("huge")), param("Size", Uint64(1) << 52)}),
                                 tooBig);
    EXPECT_EQ(e.getCode(), CIM_ERR_FAILED);
    EXPECT_EQ(tooBig.outputs.size() + tooBig.returnValues.size(), 0u);

    // A full task table: result 8 is returned as 2, with no output parameters.
    fillTaskTable();
    MethodRecorder full =
        call("CreateVolume", with(layout(64 * 1024, 4, 1, KVELVolume::VOLUME_ORGANIZATION_STRIPED),
                                  {param("ElementName", String("late")), param("Size", Uint64(1) << 20)}));
    EXPECT_EQ(full.outputs.size(), 0u);
    EXPECT_EQ(answer(full), 2u);

    // A parameter of the wrong CIM type leaves through the catch ladder.
    EXPECT_THROW(call("CreateVolume", with(layout(64 * 1024, 4, 1, 0),
                                           {param("ElementName", String("x")), param("Size", Uint32(512))})),
                 CIMException);
}

TEST_F(VolumeMethodsTest, ReconfigureVolumeAnswersTheShadowVolume)
{
    Uint32 volumeID = volumes()[2];
    std::unique_ptr<KVELVolume> before = volume(volumeID);
    MethodRecorder result = call(
        "ReconfigureVolume", with(layout(64 * 1024, 2, 2, KVELVolume::VOLUME_ORGANIZATION_MIRRORED),
                                  {param("Volume", volumeRef(volumeID)), param("Size", before->Size * 512)}));
    EXPECT_EQ(result.outputNames(), (std::vector<std::string>{"Job", "ShadowVolume", "Size"}));
    EXPECT_EQ(answer(result), 4096u);
    Uint32 shadow = 0;
    std::string deviceID = keyOf(outputPath(result, "ShadowVolume"), "DeviceID");
    for (Uint32 id : volumes())
        if (hex(id) == deviceID) shadow = id;
    ASSERT_NE(shadow, 0u) << deviceID;
    EXPECT_EQ(outputSize(result), volume(shadow)->Size * 512);
}

TEST_F(VolumeMethodsTest, ReturnToStoragePoolChecksTheClassAndReportsTheJob)
{
    Uint32 volumeID = volumes()[3];
    CIMObjectPath lowerCase = volumeRef(volumeID);
    lowerCase.setClassName("cim_storagevolume");
    EXPECT_EQ(uint32Of("ReturnToStoragePool", {param("TheElement", lowerCase)}), 4096u);

    EXPECT_EQ(uint32Of("ReturnToStoragePool", {param("TheElement", poolRef(KVELPool::BASE_POOL_ID))}), 5u);
    EXPECT_EQ(uint32Of("ReturnToStoragePool", {}), 5u);

    // An unknown volume: result 15 maps to 5 and is returned, never thrown.
    MethodRecorder unknown =
        call("ReturnToStoragePool", params({param("TheElement", volumeRef(0x3a00ffff))}));
    EXPECT_EQ(answer(unknown), 5u);
    EXPECT_EQ(unknown.outputs.size(), 0u);
}

} // namespace
} // namespace scs_test
