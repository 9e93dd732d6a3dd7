// The text scsctl reads from people and from class declarations: sizes both ways, and the
// ValueMap text of a method's return value.
#include <gtest/gtest.h>

#include <Pegasus/Common/CIMMethod.h>
#include <Pegasus/Common/CIMQualifier.h>

#include "MethodResult.h"
#include "SizeText.h"

using namespace scsctl;
using namespace Pegasus;

TEST(SizeText, ParsesBinaryDecimalAndPlainSizes)
{
    const struct
    {
        const char* text;
        std::optional<std::uint64_t> bytes;
    } cases[] = {
        {"4GiB", 4ULL << 30},
        {"500MiB", 500ULL << 20},
        {"2TB", 2000000000000ULL},
        {"1048576", 1048576},
        {"1048576B", 1048576},
        {"1.5GiB", 3ULL << 29},
        {"4g", 4ULL << 30},
        {"10 kb", 10000},
        {"1PiB", 1ULL << 50},
        {"18446744073709551615", ~0ULL},
        {"18446744073709551616", {}},
        {"16384PiB", {}},
        {"0", {}},
        {"0.0001B", {}},
        {"", {}},
        {"GiB", {}},
        {"4XB", {}},
        {"1.2.3GiB", {}},
        {"-4GiB", {}},
        {"4GiBs", {}},
        {"4 GiB ", {}},
    };
    for (const auto& test : cases)
        EXPECT_EQ(test.bytes, parseSize(test.text)) << test.text;
}

TEST(SizeText, FormatsInTheLargestBinaryUnit)
{
    EXPECT_EQ("0 B", formatSize(0));
    EXPECT_EQ("1023 B", formatSize(1023));
    EXPECT_EQ("1.5 KiB", formatSize(1536));
    EXPECT_EQ("4 GiB", formatSize(4ULL << 30));
    EXPECT_EQ("6.99 TiB", formatSize(7690854771200ULL));
    EXPECT_EQ("16 EiB", formatSize(~0ULL));
}

TEST(MethodResult, ReturnValuesReadTheirValueMapRangesIncluded)
{
    CIMClass service(CIMName("X_Service"));
    CIMMethod method(CIMName("CreateVolume"), CIMTYPE_UINT32);
    Array<String> map, values;
    for (const char* entry : {"0", "4", "..", "4096", "4097..32767", "32768.."})
        map.append(entry);
    for (const char* entry :
         {"Done", "Failed", "Reserved", "Job Started", "Method Reserved", "Vendor Specific"})
        values.append(entry);
    method.addQualifier(CIMQualifier(CIMName("ValueMap"), CIMValue(map)));
    method.addQualifier(CIMQualifier(CIMName("Values"), CIMValue(values)));
    service.addMethod(method);
    EXPECT_EQ("Failed", returnValueText(service, "CreateVolume", 4));
    EXPECT_EQ("Job Started", returnValueText(service, "createvolume", 4096));
    EXPECT_EQ("Method Reserved", returnValueText(service, "CreateVolume", 4097));
    EXPECT_EQ("Vendor Specific", returnValueText(service, "CreateVolume", 40000));
    EXPECT_EQ("", returnValueText(service, "CreateVolume", 5));
    EXPECT_EQ("", returnValueText(service, "DeleteVolume", 4));
}
