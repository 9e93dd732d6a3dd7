#include <gtest/gtest.h>
#include <functional>
#include <SMIMO_Util.h>
#include <Pegasus/Common/Exception.h>
#include <Pegasus/Provider/ProviderException.h>

using namespace Pegasus;

namespace
{

Array<CIMParamValue> params()
{
    Array<CIMParamValue> in;
    in.append(CIMParamValue("ElementName", CIMValue(String("vol1"))));
    in.append(CIMParamValue("Size", CIMValue(Uint64(2048))));
    return in;
}

CIMObjectPath volumePath(const char* deviceID)
{
    Array<CIMKeyBinding> keys;
    keys.append(CIMKeyBinding("DeviceID", String(deviceID), CIMKeyBinding::STRING));
    keys.append(CIMKeyBinding("SystemName", String("array"), CIMKeyBinding::STRING));
    return CIMObjectPath("host", "root/snia", "CIM_StorageVolume", keys);
}

String invalidParameterMessage(const std::function<void()>& call)
{
    try
    {
        call();
    }
    catch (const CIMInvalidParameterException& e)
    {
        return e.getMessage();
    }
    return String("no CIMInvalidParameterException");
}

} // namespace

TEST(smimoUtil, ParametersAndKeys)
{
    EXPECT_EQ(SMIMO_Util::findParamIndex(params(), "size"), 1u);
    EXPECT_EQ(SMIMO_Util::findParamIndex(params(), String("ELEMENTNAME")), 0u);
    EXPECT_EQ(SMIMO_Util::findParamIndex(params(), static_cast<const char*>(nullptr)), SMIMO_Util::NOT_FOUND);
    EXPECT_EQ(SMIMO_Util::getParamValue(params(), "SIZE"), CIMValue(Uint64(2048)));
    EXPECT_EQ(invalidParameterMessage([] { SMIMO_Util::getParamValue(params(), "InPool"); }),
              String("Missing parameter 'InPool'"));

    EXPECT_EQ(SMIMO_Util::getIptrFromPath(volumePath("0x3a000005"), "deviceID"), 0x3A000005u);
    EXPECT_EQ(SMIMO_Util::getIptrFromPath(volumePath("0"), "DeviceID"), 0u);
    EXPECT_EQ(invalidParameterMessage(
                  [] { SMIMO_Util::getKeyStringValue(volumePath("1"), CIMName("InstanceID")); }),
              String("Object path has no key 'InstanceID'"));
    // Text the engine's reader gives 0 for, which is not a number of zeros (the reader's own cases are
    // the engine's tests).
    for (const char* bad : {"", "0x", "3A00000G"})
        EXPECT_THROW(SMIMO_Util::getIptrFromPath(volumePath(bad), "DeviceID"), CIMInvalidParameterException)
            << bad;
    EXPECT_THROW(SMIMO_Util::getIptrFromPath(volumePath("1"), nullptr), CIMInvalidParameterException);
}

TEST(smimoUtil, PropertyListsAndTraceTexts)
{
    CIMInstance job(CIMName("CIM_ConcreteJob"));
    job.addProperty(CIMProperty(CIMName("Name"), CIMValue(String("scan"))));
    job.addProperty(CIMProperty(CIMName("Priority"), CIMValue(Uint32(5))));
    Array<CIMName> names;
    names.append("priority");
    names.append("JobState");
    const CIMPropertyList all, some(names), empty((Array<CIMName>()));
    EXPECT_EQ(SMIMO_Util::findPropertyIndexIfQualified(job, all, "Priority"), 1u);
    EXPECT_EQ(SMIMO_Util::findPropertyIndexIfQualified(job, some, "Priority"), 1u);
    EXPECT_EQ(SMIMO_Util::findPropertyIndexIfQualified(job, some, "Name"), PEG_NOT_FOUND);
    EXPECT_EQ(SMIMO_Util::findPropertyIndexIfQualified(job, empty, "Priority"), PEG_NOT_FOUND);
    EXPECT_EQ(SMIMO_Util::findPropertyIndexIfQualified(CIMInstance(), all, "Priority"), PEG_NOT_FOUND);

    EXPECT_EQ(SMIMO_PropertyList2String(some), String("priority, JobState"));
}
