// Manual creation on named drives, and the element and drive methods.
#include "ServiceHarness.h"

#include <JobDateTime.h>

namespace scs_test
{
namespace
{

class DeviceMethodsTest : public ServiceMethodTest
{
protected:
    Array<CIMParamValue> manual(Uint32 settingID, const std::vector<Uint32>& drives, Uint64 size = 1 << 20,
                                const char* name = "")
    {
        Array<CIMObjectPath> refs;
        for (Uint32 id : drives)
            refs.append(driveRef(id));
        return params({param("Goal", settingRef(settingID)), param("InElements", refs),
                       param("ElementName", String(name)), param("Size", size)});
    }
    std::vector<Uint32> baseDrives(size_t count)
    {
        std::vector<Uint32> drives = drivesInPool(KVELPool::BASE_POOL_ID);
        drives.resize(count);
        return drives;
    }
};

TEST_F(DeviceMethodsTest, ManualCreateBuildsOnTheNamedDrivesInTheFirstDrivesPool)
{
    Uint32 settingID = newSetting(KVELVolume::VOLUME_ORGANIZATION_MIRRORED, 2, 3);
    std::vector<Uint32> drives = baseDrives(6);
    std::reverse(drives.begin(), drives.end());
    MethodRecorder result =
        call("CreateOrModifyElementFromElements", manual(settingID, drives, 513, "manual"));
    EXPECT_EQ(result.outputNames(), (std::vector<std::string>{"Job", "TheElement", "Size"}));
    EXPECT_EQ(answer(result), 4096u);
    EXPECT_EQ(keyOf(outputPath(result, "TheElement"), "DeviceID"), hex(settingID));
    std::unique_ptr<KVELVolume> created = volume(settingID);
    EXPECT_TRUE(created->ManualCreate);
    EXPECT_EQ(created->Name, "manual");
    EXPECT_EQ(created->Size, 2u) << "513 bytes are 2 blocks";
    for (size_t i = 0; i < drives.size(); ++i)
        EXPECT_EQ(created->DriveIDs[i], drives[i]) << i;
    EXPECT_EQ(outputSize(result), created->Size * 512);
}

TEST_F(DeviceMethodsTest, ManualCreateRefusesTooFewDrivesAndMissingKeysBeforeTheEngine)
{
    Uint32 mirror = newSetting(KVELVolume::VOLUME_ORGANIZATION_MIRRORED, 2, 3);
    Uint32 wide = newSetting(KVELVolume::VOLUME_ORGANIZATION_STRIPED, 1, 2);
    // The third of four drive references has no DeviceID key.
    Array<CIMObjectPath> refs;
    for (Uint32 drive : baseDrives(4))
        refs.append(refs.size() == 2 ? CIMObjectPath("root/snia:CIM_DiskDrive.Tag=\"x\"") : driveRef(drive));
    Array<CIMParamValue> untagged =
        params({param("Goal", settingRef(wide)), param("InElements", refs), param("Size", Uint64(512))});
    Array<CIMParamValue> noSize = manual(wide, baseDrives(2));
    noSize.remove(3);
    const Array<CIMParamValue> refusals[] = {
        manual(mirror, {}),
        manual(mirror, baseDrives(5)), // fewer than copies times width
        untagged,
        params({param("InElements", Array<CIMObjectPath>())}), // no goal
        noSize,
        manual(wide, std::vector<Uint32>(17, baseDrives(1)[0])), // more than a record holds
    };
    for (const Array<CIMParamValue>& in : refusals)
        EXPECT_EQ(answer(call("CreateOrModifyElementFromElements", in)), 5u);
    EXPECT_TRUE(volume(mirror)->IsSetting && volume(wide)->IsSetting) << "nothing created";
}

using ManualCreateUnsavedTest = WithDurableState<DeviceMethodsTest>;

TEST_F(ManualCreateUnsavedTest, AVolumeMadeButNotSavedIsAnsweredAsMadeAndARefusalAsTheEngineFailure)
{
    Uint32 settingID = newSetting(KVELVolume::VOLUME_ORGANIZATION_PARITY, 1, 5);
    Uint32 refusedID = newSetting(KVELVolume::VOLUME_ORGANIZATION_PARITY, 1, 5);
    removeStateFolder();

    MethodRecorder result =
        call("CreateOrModifyElementFromElements", manual(settingID, baseDrives(5), 513, "unsaved"));
    EXPECT_EQ(result.outputNames(), (std::vector<std::string>{"Job", "TheElement", "Size"}));
    EXPECT_EQ(answer(result), 4096u);
    EXPECT_TRUE(task(jobTask(result))) << "the client can follow the job";
    EXPECT_EQ(keyOf(outputPath(result, "TheElement"), "DeviceID"), hex(settingID));
    EXPECT_FALSE(volume(settingID)->IsSetting);
    EXPECT_EQ(outputSize(result), volume(settingID)->Size * 512);

    // Four free drives and a spare: the engine's refusal reaches the client, with nothing delivered.
    std::vector<Uint32> drives = baseDrives(4);
    drives.push_back(drivesInPool(KVELPool::SPARE_POOL_ID)[0]);
    MethodRecorder refused;
    CIMException e = callFailing("CreateOrModifyElementFromElements", manual(refusedID, drives), refused);
    EXPECT_EQ(e.getCode(), CIM_ERR_FAILED);
    EXPECT_EQ(str(e.getMessage()),
              KVELErrorCodes::getTextForIndex(KVELErrorCodes::getIndex(KVEL_RC_DRIVE_NOT_AVAILABLE)));
    EXPECT_TRUE(refused.outputs.size() == 0 && refused.returnValues.empty());
    EXPECT_TRUE(volume(refusedID)->IsSetting);
}

TEST_F(DeviceMethodsTest, ElementMethodsServeOnlyTheVendorClass)
{
    Uint32 volumeID = volumes()[0];
    struct Call
    {
        const char* method;
        Array<CIMParamValue> in;
    } calls[] = {
        {"RebuildStorageElement",
         params({param("ElementType", Uint16(0)), param("StorageElement", volumeRef(volumeID))})},
        {"ScanStorageElement",
         params({param("ScanType", Uint16(2)), param("StorageElement", volumeRef(volumeID))})},
        {"InitializeStorageDevice", params({param("ElementType", Uint16(4))})},
        {"RemoveStorageDevice", params({})},
    };
    for (const Call& c : calls)
        EXPECT_EQ(answer(call(c.method, c.in, servicePath("CIM_StorageConfigurationService"))), 1u)
            << c.method;
    EXPECT_TRUE(objects(CLASSID_TASK).empty()) << "no engine work";
}

TEST_F(DeviceMethodsTest, ScansRunNowLaterOrPeriodically)
{
    Uint32 volumeID = volumes()[0];
    auto scan = [&](Uint16 scanType, std::initializer_list<CIMParamValue> schedule)
    {
        Array<CIMParamValue> in =
            params({param("ScanType", scanType), param("StorageElement", volumeRef(volumeID)),
                    param("Name", String("nightly"))});
        for (const CIMParamValue& value : schedule)
            in.append(value);
        return call("ScanStorageElement", in);
    };
    for (Uint16 bad : {Uint16(1), Uint16(4)})
        EXPECT_EQ(answer(scan(bad, {})), 5u);
    EXPECT_EQ(uint32Of("ScanStorageElement", {param("StorageElement", volumeRef(volumeID))}), 5u);
    EXPECT_TRUE(objects(CLASSID_TASK).empty());

    MethodRecorder future =
        scan(3, {param("ScheduledTaskPriority", Uint32(65536 + 7)),
                 param("ScheduledTaskStartTime", inSeconds(3600)), param("PeriodicityType", Uint16(0))});
    std::unique_ptr<KVELTask> later = task(jobTask(future));
    EXPECT_EQ(later->StartTime, START_TIME + 3600ULL * 1000000);
    EXPECT_EQ(later->Priority, 7u) << "only the low 16 bits";
    EXPECT_EQ(later->Name, "nightly");

    MethodRecorder past = scan(
        2, {param("ScheduledTaskPriority", Uint32(9)), param("ScheduledTaskStartTime", inSeconds(-3600))});
    std::unique_ptr<KVELTask> now = task(jobTask(past));
    EXPECT_FALSE(now->Scheduled) << "a past start time leaves the schedule alone";
    EXPECT_NE(now->Priority, 9u) << "and the priority is not passed";

    MethodRecorder recurring =
        scan(2, {param("ScheduledTaskPriority", Uint32(3)), param("ScheduledTaskStartTime", inSeconds(-60)),
                 param("PeriodicityType", Uint16(3)), param("Periodicity", Uint16(2))});
    std::unique_ptr<KVELTask> repeated = task(jobTask(recurring));
    EXPECT_EQ(repeated->PeriodicityUnit, KVELTask::PERIODICITY_HOURS);
    EXPECT_EQ(repeated->Periodicity, 2u);
    EXPECT_EQ(repeated->Priority, 3u);
    EXPECT_EQ(answer(scan(2, {param("PeriodicityType", Uint16(3))})), 5u)
        << "recurring without a periodicity";
}

TEST_F(DeviceMethodsTest, DriveMethodsTakeTagOrDeviceIDAndMoveDrives)
{
    std::vector<Uint32> spares = drivesInPool(KVELPool::SPARE_POOL_ID);
    ASSERT_GE(spares.size(), 2u);
    EXPECT_EQ(uint32Of("InitializeStorageDevice",
                       {param("ElementType", Uint16(2)), param("StorageDevice", driveRef(spares[0]))}),
              5u);

    CIMObjectPath byTag("root/snia:CIM_DiskDrive.Tag=\"" + String(hex(spares[0]).c_str()) + "\"");
    MethodRecorder init = call("InitializeStorageDevice",
                               params({param("ElementType", Uint16(4)), param("StorageDevice", byTag)}));
    EXPECT_EQ(answer(init), 4096u);
    EXPECT_EQ(task(jobTask(init))->TargetObjectPtr, spares[0]);

    EXPECT_EQ(uint32Of("TransferDrive",
                       {param("Pool", Uint32(KVELPool::AVAILABLE_POOL_ID)), param("Drive", spares[1])}),
              0u);
    EXPECT_EQ(drive(spares[1])->PoolObjectID, KVELPool::AVAILABLE_POOL_ID);

    for (auto missing : {params({}), params({param("Pool", poolRef(KVELPool::SPARE_POOL_ID))})})
    {
        MethodRecorder handler;
        CIMException e = callFailing("TransferDriveByRef", missing, handler);
        EXPECT_EQ(e.getCode(), CIM_ERR_INVALID_PARAMETER);
        EXPECT_EQ(str(e.getMessage()), missing.size() == 0 ? "Missing reference argument 'Pool'"
                                                           : "Missing reference argument 'Drive'");
    }
    EXPECT_EQ(uint32Of("TransferDrive", {param("Drive", spares[1])}), 5u);
}

TEST_F(DeviceMethodsTest, RebuildWarnsWithAnEventForUnknownElementTypes)
{
    auto rebuild = [&](Uint16 type, Uint32 volumeID)
    {
        return uint32Of("RebuildStorageElement",
                        {param("ElementType", type), param("StorageElement", volumeRef(volumeID))});
    };
    Uint32 mirrored = volumes()[0];
    EXPECT_EQ(rebuild(0, mirrored), 4096u);
    EXPECT_EQ(rebuild(3, mirrored), 4096u);
    EXPECT_EQ(rebuild(7, mirrored), 5u);
    std::vector<SMIEventRecord> events = SMIEventServices::recordedEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].keyValue, "elementType=7");

    // A volume without redundancy cannot be rebuilt: the engine's result 32, mapped to 4.
    EXPECT_EQ(rebuild(0, volumes()[2]), 4u);
}

TEST_F(DeviceMethodsTest, DiskLineModeAnswersTwoOnSuccess)
{
    auto setMode = [&](Uint16 mode) { return uint32Of("SetDiskLineMode", {param("DiskLineMode", mode)}); };
    EXPECT_EQ(setMode(2), 2u);
    EXPECT_EQ(setMode(2), 3u) << "unchanged is another result";
    EXPECT_EQ(setMode(9), 3u);
    EXPECT_EQ(uint32Of("SetDiskLineMode", {}), 5u);
}

} // namespace
} // namespace scs_test
