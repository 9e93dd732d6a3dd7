// "CreateOrModifyElementFromStoragePool": sizes, grow, reconfigure, no change, and every parameter
// check in its order.
#include "ServiceHarness.h"

namespace scs_test
{
namespace
{

const char* METHOD = "CreateOrModifyElementFromStoragePool";

class VolumeFromPoolTest : public ServiceMethodTest
{
protected:
    Array<CIMParamValue> create(Uint64 size, const char* name, Uint32 settingID,
                                Uint32 poolID = KVELPool::BASE_POOL_ID)
    {
        return params({param("Size", size), param("ElementName", String(name)),
                       param("Goal", settingRef(settingID)), param("InPool", poolRef(poolID))});
    }
    std::vector<std::string> errorLines(const TraceCapture& trace)
    {
        std::vector<std::string> texts;
        for (const TraceLine& line : trace.lines())
            if (line.marker == ":ERR!") texts.push_back(line.rest.substr(line.rest.find_first_not_of(' ')));
        return texts;
    }
};

TEST_F(VolumeFromPoolTest, SizesRoundUpToWholeBlocksIn64Bits)
{
    struct Case
    {
        Uint64 bytes, blocks;
    } cases[] = {{1, 1}, {512, 1}, {513, 2}, {(Uint64(1) << 40) + 1, (Uint64(1) << 31) + 1}};
    for (const Case& c : cases)
    {
        Uint32 settingID = newSetting(KVELVolume::VOLUME_ORGANIZATION_STRIPED, 1, 4);
        MethodRecorder result = call(METHOD, create(c.bytes, "sized", settingID));
        EXPECT_EQ(volume(settingID)->Size, c.blocks) << c.bytes;
        EXPECT_EQ(outputSize(result), c.blocks * 512) << "the engine's figure, not the request";
    }
}

TEST_F(VolumeFromPoolTest, ParameterChecksRunInOrderAndStopBeforeTheEngine)
{
    Uint32 settingID = settings()[0];
    CIMParamValue size = param("Size", Uint64(1 << 20));
    CIMParamValue name = param("ElementName", String("v"));
    CIMParamValue emptyName = param("ElementName", String(""));
    CIMParamValue goal = param("Goal", settingRef(settingID));
    CIMParamValue pool = param("InPool", poolRef(KVELPool::BASE_POOL_ID));
    struct Case
    {
        Array<CIMParamValue> in;
        std::string message;
    } cases[] = {
        {params({name, goal, pool}),
         "CreateOrModifyElementFromStoragePool invoked without a Volume Size value specified."},
        {params({size, goal, pool}),
         "CreateOrModifyElementFromStoragePool invoked without a Volume Name specified."},
        {params({size, emptyName, goal, pool}),
         "CreateOrModifyElementFromStoragePool invoked without a Volume Name specified."},
        {params({size, name}),
         "CreateOrModifyElementFromStoragePool invoked without a Volume Setting Object."},
        {params({size, name, goal}),
         "CreateOrModifyElementFromStoragePool invoked to auto create a Volume, but "
         "without any Pool being specified!"},
        {params({size, name, param("Goal", CIMObjectPath("root/snia:CIM_StorageSetting")), pool}),
         "CreateOrModifyElementFromStoragePool invoked with a Goal or InPool reference without keys."},
    };
    for (const Case& c : cases)
    {
        TraceCapture trace;
        MethodRecorder result = call(METHOD, c.in);
        EXPECT_EQ(uint32Result(result), 5u) << c.message;
        EXPECT_TRUE(result.outputs.size() == 0);
        EXPECT_EQ(errorLines(trace), std::vector<std::string>{c.message}) << trace.raw();
    }
    // A name given once stays given even when a later one is empty.
    MethodRecorder named = call(METHOD, params({size, name, emptyName, goal, pool}));
    EXPECT_EQ(uint32Result(named), 4096u);
    EXPECT_TRUE(volume(settingID) && !volume(settingID)->IsSetting);
    EXPECT_EQ(objects(CLASSID_TASK).size(), 1u) << "only the last call reached the engine";
}

TEST_F(VolumeFromPoolTest, ModificationNoOpsOrRefusesBySize)
{
    Uint32 volumeID = volumes()[2];
    const Uint64 current = volume(volumeID)->Size;
    CIMParamValue element = param("TheElement", volumeRef(volumeID));
    {
        TraceCapture trace;
        MethodRecorder smaller = call(METHOD, params({element, param("Size", (current - 1) * 512)}));
        EXPECT_EQ(uint32Result(smaller), 5u);
        EXPECT_EQ(errorLines(trace),
                  std::vector<std::string>{"CreateOrModifyElementFromStoragePool invoked with new "
                                           "size smaller than current size - must be equal or "
                                           "greater "});
    }
    {
        TraceCapture trace;
        MethodRecorder same = call(METHOD, params({element, param("Size", current * 512)}));
        EXPECT_EQ(uint32Result(same), 0u);
        EXPECT_EQ(same.outputNames(), (std::vector<std::string>{"TheElement", "Size"}));
        EXPECT_EQ(keyOf(outputPath(same, "TheElement"), "DeviceID"), hex(volumeID));
        EXPECT_EQ(outputSize(same), current * 512);
        EXPECT_TRUE(objects(CLASSID_TASK).empty()) << "no engine call";
        EXPECT_TRUE(trace.hasOnce(
            " size=" + std::to_string(current * 512) + " STORAGE_K_SYSTEM_BLOCK_SIZE=512 numberOfBlocks=" +
            std::to_string(current) + " currentNumberOfBlocks=" + std::to_string(current)));
    }
    MethodRecorder grown = call(METHOD, params({element, param("Size", current * 512 + 1)}));
    EXPECT_EQ(volume(volumeID)->Size, current + 1) << "one byte more is one block more";
}

TEST_F(VolumeFromPoolTest, ModificationInAnotherPoolIsRefusedWithThePoolInHex)
{
    Uint32 volumeID = volumes()[0];
    TraceCapture trace;
    MethodRecorder result = call(
        METHOD, params({param("TheElement", volumeRef(volumeID)), param("Size", volume(volumeID)->Size * 512),
                        param("InPool", poolRef(KVELPool::AVAILABLE_POOL_ID))}));
    EXPECT_EQ(uint32Result(result), 5u);
    EXPECT_EQ(errorLines(trace),
              (std::vector<std::string>{
                  "CreateOrModifyElementFromStoragePool invoked to reconfigure a Volume, but with "
                  "a different destination Pool!",
                  "The destination pool objectID is: 0x37000003"}));
}

TEST_F(VolumeFromPoolTest, AGoalThatDiffersOnlyInEfficiencyReconfigures)
{
    Uint32 volumeID = volumes()[2]; // striped, 4 wide
    std::unique_ptr<KVELVolume> before = volume(volumeID);
    KVELVolume layout = *before;
    layout.StorageEfficiencyHint = Uint16(before->StorageEfficiencyHint + 3);
    Uint32 settingID = 0;
    ASSERT_EQ(engine().createSetting(layout, settingID), Uint32(KVEL_RC_SUCCESS));

    TraceCapture trace;
    MethodRecorder result =
        call(METHOD, params({param("TheElement", volumeRef(volumeID)), param("Size", before->Size * 512),
                             param("Goal", settingRef(settingID))}));
    EXPECT_EQ(trace.containing("changing from: ").size(), 1u) << "only the hint changes";
    // A hint moves no data: the engine applies it at once, without a job.
    EXPECT_EQ(uint32Result(result), 0u);
    EXPECT_EQ(result.outputNames(), (std::vector<std::string>{"TheElement", "Size"}));
    EXPECT_EQ(volume(volumeID)->StorageEfficiencyHint, layout.StorageEfficiencyHint);
    EXPECT_TRUE(volume(settingID)) << "no setting is deleted after a reconfiguration";
    EXPECT_EQ(keyOf(outputPath(result, "TheElement"), "DeviceID"), hex(volumeID)) << "the modified volume";
}

TEST_F(VolumeFromPoolTest, AGrowWithAnUnchangedGoalDeletesTheSetting)
{
    Uint32 volumeID = volumes()[2];
    std::unique_ptr<KVELVolume> before = volume(volumeID);
    Uint32 settingID = 0;
    ASSERT_EQ(engine().createSetting(*before, settingID), Uint32(KVEL_RC_SUCCESS));
    MethodRecorder result =
        call(METHOD, params({param("TheElement", volumeRef(volumeID)),
                             param("Size", (before->Size + 8) * 512), param("Goal", settingRef(settingID))}));
    EXPECT_EQ(uint32Result(result), 4096u);
    EXPECT_EQ(volume(volumeID)->Size, before->Size + 8);
    EXPECT_FALSE(volume(settingID)) << "the setting record is deleted after the grow";
    EXPECT_EQ(outputSize(result), (before->Size + 8) * 512) << "the size of the grown volume";
}

TEST_F(VolumeFromPoolTest, UnknownVolumesAnswer2AndMissingSizeWins)
{
    CIMObjectPath noDeviceID("root/snia:CIM_StorageVolume.SystemName=\"x\"");
    for (const CIMObjectPath& element : {volumeRef(0x3a00ffff), noDeviceID})
    {
        MethodRecorder result =
            call(METHOD, params({param("TheElement", element), param("Size", Uint64(512))}));
        EXPECT_EQ(uint32Result(result), 2u);
        EXPECT_EQ(result.outputs.size(), 0u);
    }
    MethodRecorder both = call(METHOD, params({param("TheElement", volumeRef(0x3a00ffff))}));
    EXPECT_EQ(uint32Result(both), 5u);

    MethodRecorder noSetting = call(METHOD, create(512, "ghost", 0x3a00fffe));
    EXPECT_EQ(uint32Result(noSetting), 5u) << "a Goal that names no setting record";
    EXPECT_EQ(noSetting.outputs.size(), 0u);
}

TEST_F(VolumeFromPoolTest, EngineFailuresReturnBelowTenAndThrowFromTen)
{
    // Too large for the pool: engine result 13, reported as an exception after the outputs.
    MethodRecorder tooBig;
    CIMException e = callFailing(METHOD, create(Uint64(1) << 50, "huge", settings()[0]), tooBig);
    EXPECT_EQ(e.getCode(), CIM_ERR_FAILED);
    EXPECT_EQ(tooBig.outputNames(), (std::vector<std::string>{"TheElement", "Size"}));
    EXPECT_TRUE(tooBig.returnValues.empty());

    // A full task table: engine result 8, returned as its mapped code after the outputs.
    fillTaskTable();
    MethodRecorder full = call(METHOD, create(512, "one-too-many", settings()[0]));
    EXPECT_EQ(full.outputNames(), (std::vector<std::string>{"TheElement", "Size"}));
    EXPECT_EQ(uint32Result(full), 2u);
}

} // namespace
} // namespace scs_test
