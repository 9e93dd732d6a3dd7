#include <gtest/gtest.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMValue.h>
#include <Pegasus/Common/Exception.h>

using namespace Pegasus;

TEST(CIMValue, NullValuesKeepTheirTypeAndLeaveGetArgumentsAlone)
{
    CIMValue v;
    EXPECT_TRUE(v.isNull() && !v.isArray() && v.getType() == CIMTYPE_BOOLEAN);
    EXPECT_EQ(v.toString(), String());

    CIMValue typed(CIMTYPE_UINT32, true, 3);
    EXPECT_TRUE(typed.isNull() && typed.isArray() && typed.getType() == CIMTYPE_UINT32);
    EXPECT_EQ(typed.getArraySize(), 3u);
    Array<Uint32> untouched(1, 42);
    typed.get(untouched);
    ASSERT_EQ(untouched.size(), 1u);
    EXPECT_EQ(untouched[0], 42u);
    Uint32 scalar = 0;
    EXPECT_THROW(typed.get(scalar), TypeMismatchException);

    typed.set(String("x"));
    EXPECT_TRUE(!typed.isNull() && !typed.isArray() && typed.getType() == CIMTYPE_STRING);
    EXPECT_EQ(typed.getArraySize(), 0u);
    typed.clear();
    EXPECT_TRUE(typed.isNull() && typed.typeCompatible(CIMValue()));
}

TEST(CIMValue, GetRequiresTheExactTypeAndArrayFlag)
{
    Uint32 u32 = 0;
    EXPECT_THROW(CIMValue(Uint16(7)).get(u32), TypeMismatchException);
    EXPECT_THROW(CIMValue(Sint32(-1)).get(u32), TypeMismatchException);
    Boolean flag = false;
    EXPECT_THROW(CIMValue(Uint8(1)).get(flag), TypeMismatchException);
    Real64 r64 = 0;
    EXPECT_THROW(CIMValue(Real32(1)).get(r64), TypeMismatchException);
    Uint8 u8 = 0;
    EXPECT_THROW(CIMValue(Array<Uint8>(2)).get(u8), TypeMismatchException);

    // No const char* overload: a literal converts to the Boolean true.
    CIMValue literal("abc");
    EXPECT_EQ(literal.getType(), CIMTYPE_BOOLEAN);
    literal.get(flag);
    EXPECT_TRUE(flag);
    EXPECT_EQ(CIMValue(5).getType(), CIMTYPE_SINT32);
}

TEST(CIMValue, ObjectsAreClonedOnTheWayInAndOut)
{
    EXPECT_THROW(CIMValue{CIMInstance()}, UninitializedObjectException);
    CIMValue kept(Uint8(9));
    EXPECT_THROW(kept.set(Array<CIMObject>(1)), UninitializedObjectException);
    EXPECT_EQ(kept.getType(), CIMTYPE_UINT8);

    CIMInstance inst(CIMName("Test_Thing"));
    inst.addProperty(CIMProperty(CIMName("Name"), CIMValue(String("a"))));
    CIMValue v(inst);
    EXPECT_EQ(v.getType(), CIMTYPE_INSTANCE);
    EXPECT_EQ(CIMValue(CIMObject(inst)).getType(), CIMTYPE_OBJECT);
    EXPECT_TRUE(v == CIMValue(inst));

    inst.addProperty(CIMProperty(CIMName("Extra"), CIMValue(Uint32(1))));
    CIMInstance out;
    v.get(out);
    EXPECT_EQ(out.getPropertyCount(), 1u);
    out.addProperty(CIMProperty(CIMName("Other"), CIMValue(Uint32(2))));
    v.get(out);
    EXPECT_EQ(out.getPropertyCount(), 1u);
    CIMObject asObject;
    EXPECT_THROW(v.get(asObject), TypeMismatchException);
}

TEST(CIMValue, EqualityNeedsSameTypeArrayFlagAndNullState)
{
    EXPECT_TRUE(CIMValue(Uint8(5)) != CIMValue(Uint16(5)));
    EXPECT_TRUE(CIMValue(CIMTYPE_UINT32, false) != CIMValue(Uint32(0)));
    EXPECT_TRUE(CIMValue(CIMTYPE_UINT32, false) == CIMValue(CIMTYPE_UINT32, false));
    EXPECT_TRUE(CIMValue(String("a")) != CIMValue(String("A")));

    Array<Sint32> two(2, 7);
    Array<Sint32> three(3, 7);
    EXPECT_TRUE(CIMValue(two) == CIMValue(Array<Sint32>(two.getData(), 2)));
    EXPECT_TRUE(CIMValue(two) != CIMValue(three));
    EXPECT_TRUE(CIMValue(Array<Sint32>(1, 7)) != CIMValue(Sint32(7)));

    // Interval against timestamp is a plain mismatch, not a throw.
    Uint64 oneDay = 86400000000ULL;
    EXPECT_TRUE(CIMValue(CIMDateTime(oneDay, true)) != CIMValue(CIMDateTime(oneDay, false)));
    EXPECT_TRUE(CIMValue(CIMObjectPath("//h/root/cimv2:C.Id=1")) ==
                CIMValue(CIMObjectPath("//H/root/cimv2:c.id=1")));
}

// Beyond the method trace, the provider registry reads registered profile numbers through it.
TEST(CIMValue, ToStringOfNumbersBooleansAndArrays)
{
    EXPECT_EQ(CIMValue(true).toString(), "TRUE");
    EXPECT_EQ(CIMValue(Sint8(-5)).toString(), "-5");
    EXPECT_EQ(CIMValue(Uint64(18446744073709551615ULL)).toString(), "18446744073709551615");
    EXPECT_EQ(CIMValue(Array<Boolean>(2, false)).toString(), "FALSE FALSE ");
}
