#include <Pegasus/Common/CIMDateTime.h>
#include <Pegasus/Common/Exception.h>

#include <gtest/gtest.h>

#include <string>

using Pegasus::CIMDateTime;
using Pegasus::DateTimeOutOfRangeException;
using Pegasus::InvalidDateTimeFormatException;
using Pegasus::String;
using Pegasus::Uint64;

namespace
{

const Uint64 kDay = 86400000000ULL;
const Uint64 kPosixEpoch = 62167219200000000ULL;

std::string text(const CIMDateTime& dt)
{
    return std::string(static_cast<const char*>(dt.toString().getCString()));
}

CIMDateTime dt(const char* s)
{
    return CIMDateTime(String(s));
}

} // namespace

TEST(CIMDateTimeTest, ParsesAndFormatsBothForms)
{
    EXPECT_EQ(text(CIMDateTime()), "00000000000000.000000:000");
    EXPECT_TRUE(CIMDateTime().isInterval());
    for (const char* s :
         {"20240229235959.999999-480", "00000101000000.000000+000", "99991231235959.999999+999",
          "99999999235959.999999:000", "20000229120000.000001+060", "20240101123456.123***+060",
          "20240315******.******-300", "2024**********.******+000", "00000001******.******:000",
          "**************.******:000"})
    {
        SCOPED_TRACE(s);
        EXPECT_EQ(text(dt(s)), s);
    }
    EXPECT_FALSE(dt("20240229235959.999999-480").isInterval());
}

TEST(CIMDateTimeTest, RejectsMalformedText)
{
    for (const char* s :
         {"", "2024010112000.000000+000", "20240101120000.000000+0000", "2024O101120000.000000+000",
          "20240001120000.000000+000", "20241301120000.000000+000", "20240100120000.000000+000",
          "20240132120000.000000+000", "20240431120000.000000+000", "20230229120000.000000+000",
          "19000229120000.000000+000", "20240101240000.000000+000", "20240101126000.000000+000",
          "20240101120060.000000+000", "20240101120000,000000+000", "20240101120000.000000*000",
          "20240101120000.000000+0a0", "00000001000000.000000:001", "00000001240000.000000:000",
          "00000001006000.000000:000", "-0240101120000.000000+000",
          // wildcards must cover a run of least significant digits, in whole fields above microseconds
          "2024010112345*.******+000", "20240101**3456.000000+000", "20240101123456.*00000+000",
          "20240101120000.000000+***", "202401*1******.******+000", "20************.******+000",
          "0000001*******.******:000", "000000********.******:000", "00000*********.******:000"})
    {
        SCOPED_TRACE(s);
        EXPECT_THROW(dt(s), InvalidDateTimeFormatException);
    }
    const Pegasus::Char16 nonAscii[] = {0x0661, 0};
    EXPECT_THROW(CIMDateTime(String("2024010112000.000000+000") + String(nonAscii)),
                 InvalidDateTimeFormatException);

    // A failed set() leaves the value as it was.
    CIMDateTime kept = dt("20240101120000.000000+000");
    EXPECT_THROW(kept.set("20240101120000.000000+00"), InvalidDateTimeFormatException);
    EXPECT_EQ(text(kept), "20240101120000.000000+000");
}

TEST(CIMDateTimeTest, MicrosecondConstructorAndInverse)
{
    EXPECT_EQ(text(CIMDateTime(0, false)), "00000101000000.000000+000");
    EXPECT_EQ(text(CIMDateTime(kPosixEpoch, false)), "19700101000000.000000+000");
    EXPECT_EQ(text(CIMDateTime(3652425 * kDay - 1, false)), "99991231235959.999999+000");
    EXPECT_THROW(CIMDateTime(3652425 * kDay, false), DateTimeOutOfRangeException);
    EXPECT_EQ(text(CIMDateTime(100000000 * kDay - 1, true)), "99999999235959.999999:000");
    EXPECT_THROW(CIMDateTime(100000000 * kDay, true), DateTimeOutOfRangeException);

    // Timestamps convert to UTC using their own offset.
    EXPECT_EQ(dt("19700101013000.000000+090").toMicroSeconds(), kPosixEpoch);
    EXPECT_EQ(dt("19691231220000.000000-120").toMicroSeconds(), kPosixEpoch);
    EXPECT_EQ(dt("00000002030405.000006:000").toMicroSeconds(), 2 * kDay + 11045000006ULL);
    EXPECT_THROW(dt("00000101000000.000000+001").toMicroSeconds(), DateTimeOutOfRangeException);
}
