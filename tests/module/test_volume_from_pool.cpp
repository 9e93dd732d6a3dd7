// "CreateOrModifyElementFromStoragePool": grow, reconfigure, no change, and every parameter check in
// its order. Sizes round up to whole blocks here for a grow and in the concurrent stress test for
// every grow, which also reads back the engine's figure; sizes beyond 32 bits of blocks are the
// engine failures' test's and the stress test's.
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
};

// Which check refused shows only in the trace; a client sees 5, and nothing reaches the engine.
TEST_F(VolumeFromPoolTest, EachMissingParameterIsRefusedBeforeTheEngine)
{
    Uint32 settingID = settings()[0];
    CIMParamValue size = param("Size", Uint64(1 << 20));
    CIMParamValue name = param("ElementName", String("v"));
    CIMParamValue emptyName = param("ElementName", String(""));
    CIMParamValue goal = param("Goal", settingRef(settingID));
    CIMParamValue pool = param("InPool", poolRef(KVELPool::BASE_POOL_ID));
    CIMParamValue keylessGoal = param("Goal", CIMObjectPath("root/snia:CIM_StorageSetting"));
    for (const Array<CIMParamValue>& in :
         {params({name, goal, pool}), params({size, goal, pool}), params({size, emptyName, goal, pool}),
          params({size, name}), params({size, name, goal}), params({size, name, keylessGoal, pool})})
    {
        MethodRecorder result = call(METHOD, in);
        EXPECT_EQ(answer(result), 5u);
        EXPECT_EQ(result.outputs.size(), 0u);
    }
    EXPECT_TRUE(objects(CLASSID_TASK).empty());
    // A name given once stays given even when a later one is empty.
    EXPECT_EQ(answer(call(METHOD, params({size, name, emptyName, goal, pool}))), 4096u);
}

TEST_F(VolumeFromPoolTest, ModificationNoOpsOrRefusesBySizeOrPool)
{
    Uint32 volumeID = volumes()[2];
    const Uint64 current = volume(volumeID)->Size;
    CIMParamValue element = param("TheElement", volumeRef(volumeID));
    EXPECT_EQ(answer(call(METHOD, params({element, param("Size", (current - 1) * 512)}))), 5u);
    EXPECT_EQ(answer(call(METHOD, params({element, param("Size", current * 512),
                                          param("InPool", poolRef(KVELPool::AVAILABLE_POOL_ID))}))),
              5u)
        << "another pool";
    MethodRecorder same = call(METHOD, params({element, param("Size", current * 512)}));
    EXPECT_EQ(answer(same), 0u);
    EXPECT_EQ(same.outputNames(), (std::vector<std::string>{"TheElement", "Size"}));
    EXPECT_EQ(keyOf(outputPath(same, "TheElement"), "DeviceID"), hex(volumeID));
    EXPECT_EQ(outputSize(same), current * 512);
    EXPECT_TRUE(objects(CLASSID_TASK).empty()) << "no engine call";
    MethodRecorder grown = call(METHOD, params({element, param("Size", current * 512 + 1)}));
    EXPECT_EQ(volume(volumeID)->Size, current + 1) << "one byte more is one block more";
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
    EXPECT_EQ(answer(result), 0u);
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
    EXPECT_EQ(answer(result), 4096u);
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
        EXPECT_EQ(answer(result), 2u);
        EXPECT_EQ(result.outputs.size(), 0u);
    }
    MethodRecorder both = call(METHOD, params({param("TheElement", volumeRef(0x3a00ffff))}));
    EXPECT_EQ(answer(both), 5u);

    MethodRecorder noSetting = call(METHOD, create(512, "ghost", 0x3a00fffe));
    EXPECT_EQ(answer(noSetting), 5u) << "a Goal that names no setting record";
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
    EXPECT_EQ(answer(full), 2u);
}

} // namespace
} // namespace scs_test
