#include <Pegasus/Common/CIMDateTime.h>
#include <Pegasus/Common/Exception.h>

#include <gtest/gtest.h>

#include <string>

using Pegasus::CIMDateTime;
using Pegasus::DateTimeOutOfRangeException;
using Pegasus::InvalidDateTimeFormatException;
using Pegasus::String;
using Pegasus::TypeMismatchException;
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

TEST(CIMDateTimeTest, ComparesInstantsAndRejectsMixedKinds)
{
    const CIMDateTime noonUtc = dt("20240101120000.000000+000");
    EXPECT_TRUE(noonUtc == dt("20240101133000.000000+090"));
    EXPECT_TRUE(noonUtc.equal(dt("20240101070000.000000-300")));
    EXPECT_TRUE(noonUtc < dt("20240101120000.000001+000"));
    EXPECT_TRUE(noonUtc > dt("20240101125959.999999+060"));
    EXPECT_TRUE(noonUtc <= noonUtc && noonUtc >= noonUtc && !(noonUtc != noonUtc));
    EXPECT_TRUE(dt("00000001000000.000000:000") > dt("00000000235959.999999:000"));

    // Wildcarded digits are ignored on both sides.
    const CIMDateTime someSecond = dt("20240315235959.******+000");
    EXPECT_TRUE(someSecond == dt("20240315235959.999999+000"));
    EXPECT_TRUE(someSecond < dt("20240316000000.000000+000"));
    EXPECT_TRUE(dt("20240315******.******+000") == dt("20240315235959.999999+000"));
    EXPECT_TRUE(dt("202403********.******+000") > dt("20240229235959.999999+000"));

    const CIMDateTime interval = dt("00000000120000.000000:000");
    EXPECT_THROW(noonUtc == interval, TypeMismatchException);
    EXPECT_THROW((void)(interval < noonUtc), TypeMismatchException);
    EXPECT_THROW((void)noonUtc.equal(interval), TypeMismatchException);

    EXPECT_EQ(CIMDateTime::getDifference(noonUtc, dt("20240101120000.000000-060")), 3600000000LL);
    EXPECT_EQ(CIMDateTime::getDifference(dt("20240102000000.000000+000"), noonUtc), -43200000000LL);
    EXPECT_THROW(CIMDateTime::getDifference(noonUtc, interval), InvalidDateTimeFormatException);
}

TEST(CIMDateTimeTest, ArithmeticFollowsKindRules)
{
    const CIMDateTime oneDay = dt("00000001000000.000000:000");
    EXPECT_EQ(text(dt("20240228120000.000000-060") + oneDay), "20240229120000.000000-060");
    EXPECT_EQ(text(dt("20231231235959.999999+000") + CIMDateTime(1, true)), "20240101000000.000000+000");
    EXPECT_EQ(text(dt("20240301000000.000000+060") - dt("20240228000000.000000+000")),
              "00000001230000.000000:000");
    EXPECT_EQ(text(dt("20240101123456.7*****+000") + CIMDateTime(250000, true)), "20240101123456.9*****+000");
    EXPECT_THROW(dt("99991231000000.000000+000") + oneDay, DateTimeOutOfRangeException);
    EXPECT_THROW(dt("20240101000000.000000+000") - dt("20240102000000.000000+000"),
                 DateTimeOutOfRangeException);

    const CIMDateTime stamp = dt("20240101000000.000000+000");
    CIMDateTime target = stamp;
    EXPECT_THROW(oneDay + stamp, TypeMismatchException);
    EXPECT_THROW(target += stamp, TypeMismatchException);
    EXPECT_THROW(stamp * 2, TypeMismatchException);
    EXPECT_THROW((void)(oneDay / stamp), TypeMismatchException);
    EXPECT_EQ(text(target), "20240101000000.000000+000");

    CIMDateTime span = oneDay;
    span *= 3;
    EXPECT_EQ(text(span), "00000003000000.000000:000");
    span /= 7;
    EXPECT_EQ(text(span), "00000000101708.571428:000");
    EXPECT_EQ(dt("00000001000000.000000:000") / dt("00000000070000.000000:000"), 3u);
    EXPECT_THROW(oneDay / Uint64(0), DateTimeOutOfRangeException);
    EXPECT_THROW(oneDay * 100000000, DateTimeOutOfRangeException);
    EXPECT_THROW(oneDay * (Uint64(1) << 63), DateTimeOutOfRangeException);
}

TEST(CIMDateTimeTest, CopiesAreIndependentValues)
{
    const CIMDateTime original = dt("20240101000000.000000+000");
    CIMDateTime copy(original), assigned;
    copy += CIMDateTime(1, true);
    assigned = original;
    assigned.clear();
    EXPECT_EQ(text(original), "20240101000000.000000+000");
    EXPECT_EQ(text(copy), "20240101000000.000001+000");
    EXPECT_EQ(text(assigned), "00000000000000.000000:000");
}
