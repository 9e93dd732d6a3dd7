// String, Array, CIMName and CIMNamespaceName.
#include <Pegasus/Common/String.h>
#include <Pegasus/Common/Array.h>
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/Exception.h>

#include <gtest/gtest.h>
#include <cstring>
#include <sstream>
#include <thread>
#include <vector>

using namespace Pegasus;

namespace
{
std::string utf8(const String& s)
{
    return std::string(static_cast<const char*>(s.getCString()));
}
} // namespace

TEST(String, Utf8DecodesToUtf16AndBack)
{
    // "é" is one unit, "€" one unit, U+1F600 a surrogate pair.
    const char* text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    String s(text);
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(Uint16(s[1]), 0xE9);
    EXPECT_EQ(Uint16(s[2]), 0x20AC);
    EXPECT_EQ(Uint16(s[3]), 0xD83D);
    EXPECT_EQ(Uint16(s[4]), 0xDE00);
    EXPECT_EQ(utf8(s), text);
    EXPECT_EQ(Uint16(s.getChar16Data()[5]), 0); // zero-terminated
    EXPECT_EQ(String("abcdef", 3), String("abc"));
}

TEST(String, MalformedUtf8Throws)
{
    EXPECT_THROW(String("\xC3"), Exception);             // truncated
    EXPECT_THROW(String("\x80"), Exception);             // stray continuation byte
    EXPECT_THROW(String("\xC0\xAF"), Exception);         // overlong '/'
    EXPECT_THROW(String("\xED\xA0\x80"), Exception);     // encoded surrogate
    EXPECT_THROW(String("\xF4\x90\x80\x80"), Exception); // beyond U+10FFFF
}

TEST(String, CopiesAreIndependent)
{
    String a("shared");
    String b(a);
    b[0] = Char16('S');
    EXPECT_EQ(a, String("shared"));
    a.append(a); // appending itself
    EXPECT_EQ(a, String("sharedshared"));
    a.append(a.getChar16Data() + 6, 3); // a part of itself, growing past its buffer
    EXPECT_EQ(a, String("sharedsharedsha"));

    // Empty strings share one representation: writing to one leaves every other empty.
    String empty1, empty2;
    String emptied("x");
    emptied.clear();
    empty1.append(Char16('e'));
    emptied.append(Char16('f'));
    EXPECT_EQ(empty1, String("e"));
    EXPECT_EQ(emptied, String("f"));
    EXPECT_EQ(empty2.size(), 0u);
    EXPECT_EQ(String().size(), 0u);
}

// Short strings are copied rather than shared when another thread copies them; long ones and the
// empty one are shared. Either way a copy is independent and every count ends right (a wrong one
// frees twice or leaks, which the sanitizer builds report).
TEST(String, CopiesMadeInOtherThreads)
{
    const String shortOne("ElementName");
    const String longOne(std::string(200, 'v').c_str());
    const String empty;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back(
            [&]
            {
                for (int i = 0; i < 1000; ++i)
                {
                    String a(shortOne), b(longOne), c(empty);
                    String d;
                    d = a;
                    b[0] = Char16('w');
                    c.append(Char16('x'));
                    d.append(Char16('!'));
                    ASSERT_EQ(a, shortOne);
                    ASSERT_EQ(b.size(), 200u);
                    ASSERT_EQ(Uint16(b[0]), Uint16('w'));
                    ASSERT_EQ(c, String("x"));
                    ASSERT_EQ(d, String("ElementName!"));
                }
            });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(shortOne, String("ElementName"));
    EXPECT_EQ(Uint16(longOne[0]), Uint16('v'));
    EXPECT_EQ(empty.size(), 0u);
}

TEST(String, CaseRulesFoldOnlyBelow256)
{
    EXPECT_FALSE(String::equal("Name", "name"));
    EXPECT_TRUE(String("Name") != String("name"));
    EXPECT_TRUE(String::equalNoCase("NAME", "name"));
    EXPECT_TRUE(String::equalNoCase("\xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\x89")); // Latin-1 É/é fold
    EXPECT_FALSE(String::equalNoCase("\xCE\xA3", "\xCF\x83")); // Greek sigma: no folding without ICU
    EXPECT_FALSE(String::equalNoCase("ab", "abc"));
    EXPECT_GT(String::compare("apple", "BANANA"), 0); // 'a' > 'B' in code units
    EXPECT_EQ(String::compare("abcX", "abcY", 3), 0);
    EXPECT_TRUE(String("a") < String("b"));
    EXPECT_TRUE(String("ab") >= String("ab"));
}

TEST(String, SearchAndBoundaries)
{
    String s("a.b.c");
    EXPECT_EQ(s.find('.'), 1u);
    EXPECT_EQ(s.find(2, '.'), 3u);
    EXPECT_EQ(s.find('x'), PEG_NOT_FOUND);
    EXPECT_EQ(s.find(String("b.c")), 2u);
    EXPECT_EQ(s.find(String("c.d")), PEG_NOT_FOUND);
    EXPECT_EQ(s.find(5, '.'), PEG_NOT_FOUND);
    EXPECT_THROW(s.find(6, '.'), IndexOutOfBoundsException);
    EXPECT_EQ(s.subString(2), String("b.c"));
    EXPECT_EQ(s.subString(4, 100), String("c"));
    EXPECT_EQ(s.subString(99).size(), 0u); // clamps, never throws
    EXPECT_THROW(s[6], IndexOutOfBoundsException);
    EXPECT_THROW(String(s, 6), IndexOutOfBoundsException);
    String r(s);
    EXPECT_THROW(r.remove(3, 3), IndexOutOfBoundsException);
    r.remove(1);
    EXPECT_EQ(r, String("a"));
}

TEST(String, PrintfAndStreamOutput)
{
    String s("n=");
    s.appendPrintf("%u/%s", 42u, "x");
    EXPECT_EQ(s, String("n=42/x"));
    std::string longText(1000, 'z');
    String t;
    t.appendPrintf("%s", longText.c_str());
    EXPECT_EQ(t.size(), 1000u);

    std::ostringstream os;
    os << String("A\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(os.str(), std::string("A\xE9\\x20AC")); // Latin-1 as a byte, others escaped
}

TEST(Array, BoundsAndAppendingAnElementOfItself)
{
    Array<Uint32> a(5, 1u);
    EXPECT_THROW(a[5], IndexOutOfBoundsException);
    EXPECT_THROW(a.remove(4, 2), IndexOutOfBoundsException);
    Array<String> s(3);
    s.append(String("x"));
    s.append(s[3]); // element of itself, storage may move
    EXPECT_EQ(s[4], String("x"));
}

TEST(CIMName, LegalNamesAndCaseInsensitiveEquality)
{
    EXPECT_TRUE(CIMName::legal("CIM_StorageVolume"));
    EXPECT_TRUE(CIMName::legal("_x1"));
    EXPECT_TRUE(CIMName::legal("\xC3\xA9l\xC3\xA9ment")); // units >= 0x80 are letters
    EXPECT_FALSE(CIMName::legal("1abc"));
    EXPECT_FALSE(CIMName::legal("a-b"));
    EXPECT_FALSE(CIMName::legal("a b"));
    EXPECT_FALSE(CIMName::legal(""));
    EXPECT_THROW(CIMName(""), InvalidNameException);
    EXPECT_THROW(CIMName("x.y"), InvalidNameException);

    CIMName n("StorageVolume");
    EXPECT_EQ(n, CIMName("STORAGEvolume"));
    EXPECT_EQ(n.getString(), String("StorageVolume")); // case is kept
    EXPECT_NE(n, CIMName("StorageVolumes"));
    EXPECT_TRUE(CIMName().isNull());
    n.clear();
    EXPECT_TRUE(n.isNull());
    CIMName copy;
    EXPECT_THROW(copy = String("9lives"), InvalidNameException);
    EXPECT_TRUE(copy.isNull());
}

TEST(CIMNamespaceName, ElementsLeadingSlashAndCase)
{
    CIMNamespaceName ns("/root/SNIA");
    EXPECT_EQ(ns.getString(), String("root/SNIA"));
    EXPECT_EQ(ns, CIMNamespaceName("root/snia"));
    EXPECT_NE(ns, CIMNamespaceName("root/snia2"));
    EXPECT_TRUE(CIMNamespaceName::legal("root"));
    EXPECT_FALSE(CIMNamespaceName::legal("root//snia"));
    EXPECT_FALSE(CIMNamespaceName::legal("root/"));
    EXPECT_FALSE(CIMNamespaceName::legal("//root"));
    EXPECT_FALSE(CIMNamespaceName::legal("root/1x"));
    EXPECT_THROW(CIMNamespaceName("root:snia"), InvalidNamespaceNameException);
    EXPECT_TRUE(CIMNamespaceName().isNull());
}
