#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMValue.h>
#include <Pegasus/Common/Exception.h>
#include <gtest/gtest.h>

using namespace Pegasus;

namespace
{
std::string str(const String& s)
{
    return std::string(static_cast<const char*>(s.getCString()));
}

CIMKeyBinding key(const char* name, const char* value, CIMKeyBinding::Type type)
{
    return CIMKeyBinding(CIMName(name), String(value), type);
}
} // namespace

TEST(ObjectPathKeyBinding, TypeAndTextFromValue)
{
    CIMKeyBinding num(CIMName("N"), CIMValue(Sint32(-7)));
    EXPECT_EQ(CIMKeyBinding::NUMERIC, num.getType());
    EXPECT_EQ("-7", str(num.getValue()));
    CIMKeyBinding flag(CIMName("F"), CIMValue(true));
    EXPECT_EQ(CIMKeyBinding::BOOLEAN, flag.getType());
    EXPECT_EQ("TRUE", str(flag.getValue()));
    EXPECT_EQ(CIMKeyBinding::STRING, CIMKeyBinding(CIMName("C"), CIMValue(Char16('x'))).getType());
    CIMKeyBinding ref(CIMName("R"), CIMValue(CIMObjectPath("root:C.B=1,a=2")));
    EXPECT_EQ(CIMKeyBinding::REFERENCE, ref.getType());
    EXPECT_EQ("root:C.a=2,B=1", str(ref.getValue()));

    Array<Uint8> bytes;
    bytes.append(1);
    EXPECT_THROW(CIMKeyBinding(CIMName("A"), CIMValue(bytes)), TypeMismatchException);
    EXPECT_THROW(CIMKeyBinding(CIMName("O"), CIMValue(CIMTYPE_INSTANCE, false)), TypeMismatchException);
}

TEST(ObjectPathKeyBinding, EqualityComparesByType)
{
    using K = CIMKeyBinding;
    EXPECT_TRUE(key("id", "5", K::NUMERIC) == key("ID", "5", K::NUMERIC));
    EXPECT_FALSE(key("Id", "5", K::STRING) == key("Id", "5", K::NUMERIC));
    for (const char* same : {"+5", "05", "0x5", "0X05", "101b", "5"})
        EXPECT_TRUE(key("N", same, K::NUMERIC) == key("N", "5", K::NUMERIC)) << same;
    EXPECT_TRUE(key("N", "-0", K::NUMERIC) == key("N", "0", K::NUMERIC));
    EXPECT_FALSE(key("N", "010", K::NUMERIC) == key("N", "10", K::NUMERIC)); // octal
    EXPECT_FALSE(key("N", "18446744073709551615", K::NUMERIC) == key("N", "-1", K::NUMERIC));
    EXPECT_TRUE(key("N", "1.5", K::NUMERIC) == key("N", "1.5", K::NUMERIC)); // raw text
    EXPECT_FALSE(key("N", "1.5", K::NUMERIC) == key("N", "1.50", K::NUMERIC));
    EXPECT_TRUE(key("B", "true", K::BOOLEAN) == key("B", "TRUE", K::BOOLEAN));
    EXPECT_FALSE(key("S", "abc", K::STRING) == key("S", "ABC", K::STRING));
    EXPECT_TRUE(key("R", "//H/Root:C.b=\"x\",A=01", K::REFERENCE) ==
                key("R", "//h/root:c.a=1,B=\"x\"", K::REFERENCE));
    EXPECT_FALSE(key("R", "root:C.a=1", K::REFERENCE) == key("R", "root:C.a=2", K::REFERENCE));

    CIMKeyBinding five = key("N", "5", K::NUMERIC);
    EXPECT_TRUE(five.equal(CIMValue(Uint16(5))));
    EXPECT_FALSE(five.equal(CIMValue(Uint16(6))));
    EXPECT_FALSE(five.equal(CIMValue(String("5"))));
    EXPECT_FALSE(five.equal(CIMValue(CIMTYPE_UINT16, true, 1)));
}

TEST(ObjectPathParse, ComponentsTypesAndOrder)
{
    CIMObjectPath p("//Host.example:5988/root/cimv2:My_Class.z=\"a,b.c=d:e\\\"f\\\\\",Flag=true,"
                    "n=-0x1F,b=\"C:\\temp\"");
    EXPECT_EQ("Host.example:5988", str(p.getHost()));
    EXPECT_EQ("root/cimv2", str(p.getNameSpace().getString()));
    EXPECT_EQ("My_Class", str(p.getClassName().getString()));
    const Array<CIMKeyBinding>& keys = p.getKeyBindings();
    ASSERT_EQ(4u, keys.size());
    EXPECT_EQ("b", str(keys[0].getName().getString())); // sorted ignoring case
    EXPECT_EQ("C:\\temp", str(keys[0].getValue()));     // unknown escape kept literally
    EXPECT_EQ("Flag", str(keys[1].getName().getString()));
    EXPECT_EQ("TRUE", str(keys[1].getValue()));
    EXPECT_EQ(CIMKeyBinding::BOOLEAN, keys[1].getType());
    EXPECT_EQ(CIMKeyBinding::NUMERIC, keys[2].getType());
    EXPECT_EQ("a,b.c=d:e\"f\\", str(keys[3].getValue()));
    EXPECT_EQ(CIMKeyBinding::STRING, keys[3].getType());

    // The namespace counts only when ':' precedes the first '.'.
    CIMObjectPath noNamespace("C.k=\"x:y\"");
    EXPECT_TRUE(noNamespace.getNameSpace().isNull());
    EXPECT_EQ("C", str(noNamespace.getClassName().getString()));

    // A quoted keyed path is a reference, stored with its own keys sorted; a keyless one stays a string.
    CIMObjectPath outer("root:Outer.Ref=\"root/cimv2:Inner.Z=1,Id=\\\"a\\\\\\\"b\\\"\",Name=\"Word\"");
    EXPECT_EQ(CIMKeyBinding::STRING, outer.getKeyBindings()[0].getType());
    EXPECT_EQ(CIMKeyBinding::REFERENCE, outer.getKeyBindings()[1].getType());
    EXPECT_EQ("root/cimv2:Inner.Id=\"a\\\"b\",Z=1", str(outer.getKeyBindings()[1].getValue()));
    EXPECT_TRUE(CIMObjectPath("").identical(CIMObjectPath()));
}

TEST(ObjectPathParse, MalformedNamesThrowAndLeavePathUnchanged)
{
    const char* malformed[] = {"root:",
                               ":C",
                               "root:C.",
                               "C.k=1,",
                               "C.=1",
                               "C.k",
                               "C.k=\"abc",
                               "C.k=\"a\\\"",
                               "C.k=\"a\"x",
                               "C.k=abc",
                               "C.k=",
                               "C.k=1.5",
                               "C.k=09",
                               "C.k=1,K=2",
                               "1C",
                               "C.k y=1",
                               "//host",
                               "///root:C",
                               "//h@st/root:C",
                               "bad ns:C",
                               "C.k=0x",
                               "C.k=+-1",
                               "C.k=-9223372036854775809"};
    CIMObjectPath p("root:Kept.k=1");
    for (const char* name : malformed)
    {
        EXPECT_THROW(CIMObjectPath{String(name)}, MalformedObjectNameException) << name;
        EXPECT_THROW(p.set(name), MalformedObjectNameException) << name;
    }
    EXPECT_EQ("root:Kept.k=1", str(p.toString()));
    EXPECT_NO_THROW(CIMObjectPath("C.k=-9223372036854775808,n=18446744073709551615"));
}

TEST(ObjectPathHost, AcceptsNamesAddressesAndPorts)
{
    CIMObjectPath p;
    for (const char* good : {"localhost", "a-b.example.com", "my_host:80", "10.0.0.1", "10.0.0.1:65535",
                             "[::1]", "[fe80::1]:5989", ""})
    {
        EXPECT_NO_THROW(p.setHost(good)) << good;
        EXPECT_EQ(good, str(p.getHost()));
    }
    for (const char* bad : {"-host", "host-", "a..b", "256.1.1.1", "1.2.3", "[::1", "[::g]", "h:", "h:65536",
                            "h:8a", "h:1:2", "[::1]80", "ho st"})
    {
        EXPECT_THROW(p.setHost(bad), MalformedObjectNameException) << bad;
        EXPECT_THROW(CIMObjectPath(bad, CIMNamespaceName("root"), CIMName("C")),
                     MalformedObjectNameException);
    }
    EXPECT_EQ("", str(p.getHost()));
}

TEST(ObjectPathFormat, RendersAndRoundTrips)
{
    Array<CIMKeyBinding> keys;
    keys.append(key("Num", "5", CIMKeyBinding::NUMERIC));
    keys.append(key("Id", "a\"b", CIMKeyBinding::STRING));
    keys.append(key("Flag", "TRUE", CIMKeyBinding::BOOLEAN));
    CIMObjectPath p("h", CIMNamespaceName("root/cimv2"), CIMName("C"), keys);
    EXPECT_EQ("//h/root/cimv2:C.Flag=TRUE,Id=\"a\\\"b\",Num=5", str(p.toString()));
    EXPECT_EQ("root:C", str(CIMObjectPath("root:C").toString()));
    EXPECT_EQ("C.k=1", str(CIMObjectPath("C.k=1").toString()));

    Array<CIMKeyBinding> outerKeys;
    outerKeys.append(key("Back", "x\\y", CIMKeyBinding::STRING));
    outerKeys.append(CIMKeyBinding(CIMName("Ref"), CIMValue(p)));
    CIMObjectPath outer("[::1]:5988", CIMNamespaceName("root"), CIMName("Outer"), outerKeys);
    for (const CIMObjectPath& path : {p, outer, CIMObjectPath("//h/C.k=1"), CIMObjectPath()})
    {
        CIMObjectPath reparsed(path.toString());
        EXPECT_TRUE(reparsed.identical(path)) << str(path.toString());
        EXPECT_EQ(str(path.toString()), str(reparsed.toString()));
    }
}

TEST(ObjectPathCompare, IdenticalIgnoresCase)
{
    CIMObjectPath a("//HOST/Root/CIMV2:Disk.Id=\"x\",Ref=\"r:C.b=2,a=0x1\",Num=+5,On=true");
    CIMObjectPath b("//host/root/cimv2:DISK.num=5,on=TRUE,ref=\"R:c.A=1,B=02\",ID=\"x\"");
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(a != CIMObjectPath("//host/root/cimv2:Disk.Id=\"X\",Ref=\"r:C.a=1,b=2\",Num=5,On=TRUE"));
    EXPECT_TRUE(a != CIMObjectPath("root/cimv2:Disk.Id=\"x\",Ref=\"r:C.a=1,b=2\",Num=5,On=TRUE"));
    EXPECT_TRUE(a != CIMObjectPath("//host/root/cimv2:Disk.Id=\"x\",Num=5,On=TRUE"));

    // Copy-on-write: a mutated copy leaves the original alone.
    CIMObjectPath copy(a);
    copy.setClassName(CIMName("Other"));
    copy.setKeyBindings(Array<CIMKeyBinding>());
    EXPECT_EQ("Disk", str(a.getClassName().getString()));
    EXPECT_EQ(4u, a.getKeyBindings().size());
    EXPECT_TRUE(a == b);
}
