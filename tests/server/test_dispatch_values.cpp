// Converting client text to a declared CIM type: the bounds of every integer type, the forms a
// client may send, and what is refused.
#include <Pegasus/Common/CIMDateTime.h>

#include <gtest/gtest.h>

#include <tuple>

#include "ValueFromText.h"

using namespace Pegasus;
using cimhost::ValueConversionError;
using cimhost::valueFromText;

namespace
{

CIMValue typed(const char* text, CIMType type)
{
    return valueFromText(CIMValue(String(text)), type, false);
}

bool refused(const char* text, CIMType type)
{
    try
    {
        typed(text, type);
        return false;
    }
    catch (const ValueConversionError&)
    {
        return true;
    }
}

template <class T> T scalar(const char* text, CIMType type)
{
    T value = T();
    typed(text, type).get(value);
    return value;
}

} // namespace

TEST(DispatchValues, IntegersAreRangeCheckedPerType)
{
    // The type, its lowest and highest values, and the next values beyond them.
    const std::tuple<CIMType, const char*, const char*, const char*, const char*> bounds[] = {
        {CIMTYPE_UINT8, "0", "255", "-1", "256"},
        {CIMTYPE_SINT8, "-128", "127", "-129", "128"},
        {CIMTYPE_UINT16, "0", "65535", "-1", "65536"},
        {CIMTYPE_SINT16, "-32768", "32767", "-32769", "32768"},
        {CIMTYPE_UINT32, "0", "4294967295", "-1", "4294967296"},
        {CIMTYPE_SINT32, "-2147483648", "2147483647", "-2147483649", "2147483648"},
        {CIMTYPE_UINT64, "0", "18446744073709551615", "-1", "18446744073709551616"},
        {CIMTYPE_SINT64, "-9223372036854775808", "9223372036854775807", "-9223372036854775809",
         "9223372036854775808"},
    };
    for (const auto& [type, lowest, highest, below, above] : bounds)
    {
        EXPECT_EQ(typed(lowest, type).getType(), type);
        EXPECT_EQ(typed(highest, type).toString(), String(highest));
        EXPECT_EQ(typed(lowest, type).toString(), String(lowest));
        EXPECT_TRUE(refused(below, type)) << below;
        EXPECT_TRUE(refused(above, type)) << above;
    }
    EXPECT_EQ(scalar<Uint16>(" 0x1F\n", CIMTYPE_UINT16), 31);
    EXPECT_EQ(scalar<Sint32>("-0X10", CIMTYPE_SINT32), -16);
    EXPECT_EQ(scalar<Uint32>("+7", CIMTYPE_UINT32), 7u);
    EXPECT_EQ(scalar<Uint8>("-0", CIMTYPE_UINT8), 0);
    for (const char* bad : {"", " ", "1.5", "12a", "0x", "--1", "1 2", "0xG"})
        EXPECT_TRUE(refused(bad, CIMTYPE_UINT32)) << "'" << bad << "'";
}

TEST(DispatchValues, OtherScalarTypes)
{
    EXPECT_TRUE(scalar<Boolean>("TrUe", CIMTYPE_BOOLEAN));
    EXPECT_FALSE(scalar<Boolean>(" false ", CIMTYPE_BOOLEAN));
    EXPECT_TRUE(refused("1", CIMTYPE_BOOLEAN));

    EXPECT_DOUBLE_EQ(scalar<Real64>("-2.5e3", CIMTYPE_REAL64), -2500.0);
    EXPECT_FLOAT_EQ(scalar<Real32>("0.25", CIMTYPE_REAL32), 0.25f);
    EXPECT_TRUE(refused("1e39", CIMTYPE_REAL32));
    EXPECT_TRUE(refused("1e999", CIMTYPE_REAL64));
    EXPECT_TRUE(refused("1.5x", CIMTYPE_REAL64));

    EXPECT_EQ(Uint16(scalar<Char16>("\xc3\xa9", CIMTYPE_CHAR16)), 0xE9); // one character of two bytes
    EXPECT_TRUE(refused("ab", CIMTYPE_CHAR16));
    EXPECT_TRUE(refused("", CIMTYPE_CHAR16));

    EXPECT_TRUE(scalar<CIMDateTime>("00000001000000.000000:000", CIMTYPE_DATETIME).isInterval());
    EXPECT_TRUE(refused("2024-01-02", CIMTYPE_DATETIME));

    CIMObjectPath path = scalar<CIMObjectPath>("root/x:Test_Widget.Id=\"a\"", CIMTYPE_REFERENCE);
    EXPECT_EQ(std::string(path.getClassName().getString().getCString()), "Test_Widget");
    EXPECT_TRUE(refused("Id=", CIMTYPE_REFERENCE));

    // Strings are taken as sent, whitespace included.
    EXPECT_EQ(scalar<String>("  a b ", CIMTYPE_STRING), String("  a b "));
    EXPECT_TRUE(refused("x", CIMTYPE_INSTANCE));
}

TEST(DispatchValues, ArraysNullsAndShapes)
{
    Array<String> texts;
    texts.append("1");
    texts.append("0x2");
    Array<Sint64> numbers;
    valueFromText(CIMValue(texts), CIMTYPE_SINT64, true).get(numbers);
    ASSERT_EQ(numbers.size(), 2u);
    EXPECT_EQ(numbers[1], 2);

    CIMValue null = valueFromText(CIMValue(), CIMTYPE_UINT16, true);
    EXPECT_TRUE(null.isNull());
    EXPECT_EQ(null.getType(), CIMTYPE_UINT16);
    EXPECT_TRUE(null.isArray());

    EXPECT_THROW(valueFromText(CIMValue(texts), CIMTYPE_SINT64, false), ValueConversionError);
    EXPECT_THROW(valueFromText(CIMValue(String("1")), CIMTYPE_SINT64, true), ValueConversionError);
    EXPECT_THROW(valueFromText(CIMValue(Uint32(1)), CIMTYPE_UINT32, false), ValueConversionError);
    texts.append("x");
    EXPECT_THROW(valueFromText(CIMValue(texts), CIMTYPE_SINT64, true), ValueConversionError);
}
