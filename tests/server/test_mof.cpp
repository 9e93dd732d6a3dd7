// The MOF compiler: literals and their typing, qualifiers and flavors, includes, namespaces and the
// manifest, and the file:line of every kind of error. The shipped schema (test_schema.cpp) is the
// rest: methods and parameters of every kind, registration instances.
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include <Pegasus/Common/CIMDateTime.h>
#include <Pegasus/Common/CIMObjectPath.h>

#include "ClassRepository.h"
#include "MofCompiler.h"
#include "SchemaManifest.h"

using namespace Pegasus;
using cimhost::ClassRepository;
using cimhost::MofCompiler;
using cimhost::MofError;

namespace
{

const CIMNamespaceName NS("root/test");

std::string str(const String& s)
{
    return std::string(s.getCString());
}

CIMConstQualifier qualifierOf(const CIMClass& cls, const char* name)
{
    const Uint32 index = cls.findQualifier(CIMName(name));
    EXPECT_NE(index, PEG_NOT_FOUND) << name;
    return cls.getQualifier(index);
}

// What compiling throws, "<file>:<line>: <message>"; empty when it compiles.
template <class Compile> std::string errorOf(Compile&& compile)
{
    try
    {
        compile();
    }
    catch (const MofError& e)
    {
        return e.what();
    }
    return "";
}

::testing::AssertionResult failsAt(const std::string& error, const std::string& where,
                                   const std::string& fragment)
{
    if (error.rfind(where + ": ", 0) == 0 && error.find(fragment) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "'" << error << "' is not at " << where << " about '" << fragment << "'";
}

class MofCompilerTest : public ::testing::Test
{
protected:
    void compile(const std::string& text) { compiler.compileText(text, "test.mof", NS); }

    ClassRepository repository;
    MofCompiler compiler{repository};
};

TEST_F(MofCompilerTest, EveryLiteralKindConvertsToItsDeclaredType)
{
    compile(R"MOF(
// line comment
/* block
   comment */ class Lit {
  string S = "a\tb\"c\\d\x41\X263A" " and more";
  char16 C = '\n';
  char16 Plain = 'x';
  uint8 Hex = 0xFF;
  sint8 Neg = -128;
  uint16 Oct = 017;
  uint32 Bin = 101b;
  sint64 Min = -9223372036854775808;
  uint64 Max = 18446744073709551615;
  real64 R = -1.5e3;
  real32 F = .25;
  real64 FromInt = 3;
  boolean T = TRUE;
  boolean Off = false;
  datetime When = "20240102030405.000000+060";
  string Nothing = null;
  uint16 List[] = {1, 2, 0x3};
  string Fixed[2] = {"a", "b"};
  string Empty[] = {};
};)MOF");
    const CIMClass cls = repository.declaredClass(NS, "Lit");
    ASSERT_FALSE(cls.isUninitialized());
    String text("a\tb\"c\\dA");
    text.append(Char16(0x263A));
    text.append(String(" and more"));
    Uint16 list[] = {1, 2, 3};
    String fixed[] = {"a", "b"};
    // A value of the declared type: CIMValue equality compares the type too.
    const std::pair<const char*, CIMValue> expected[] = {
        {"S", CIMValue(text)},
        {"C", CIMValue(Char16('\n'))},
        {"Plain", CIMValue(Char16('x'))},
        {"Hex", CIMValue(Uint8(255))},
        {"Neg", CIMValue(Sint8(-128))},
        {"Oct", CIMValue(Uint16(15))},
        {"Bin", CIMValue(Uint32(5))},
        {"Min", CIMValue(Sint64(INT64_MIN))},
        {"Max", CIMValue(Uint64(UINT64_MAX))},
        {"R", CIMValue(Real64(-1500.0))},
        {"F", CIMValue(Real32(0.25f))},
        {"FromInt", CIMValue(Real64(3.0))},
        {"T", CIMValue(true)},
        {"Off", CIMValue(false)},
        {"When", CIMValue(CIMDateTime("20240102030405.000000+060"))},
        {"Nothing", CIMValue(CIMTYPE_STRING, false)},
        {"List", CIMValue(Array<Uint16>(list, 3))},
        {"Fixed", CIMValue(Array<String>(fixed, 2))},
        {"Empty", CIMValue(Array<String>())},
    };
    for (const auto& [name, value] : expected)
        EXPECT_TRUE(cls.getProperty(cls.findProperty(name)).getValue() == value) << name;
    EXPECT_EQ(cls.getProperty(cls.findProperty("Fixed")).getArraySize(), 2u);
}

TEST_F(MofCompilerTest, ErrorsNameFileLineAndWhatWasExpected)
{
    const std::tuple<const char*, int, const char*> cases[] = {
        {"class A {\n uint32 X\n uint32 Y;\n};", 2, "expected ';' after property declaration"},
        {"class A : CIM_X {\n};", 1, "unknown superclass 'CIM_X'"},
        {"\ninstance of Y { X = 1; };", 2, "unknown class 'Y' for instance"},
        {"class A {\n string S = \"open\n};", 2, "unterminated string literal"},
        {"class A {};\n/* never closed", 2, "unterminated comment"},
        {"class A { string S = \"\\q\"; };", 1, "unknown escape sequence"},
        {"class A { uint8 X = 09; };", 1, "invalid octal number"},
        {"class A { uint8 X = 12abc; };", 1, "malformed number"},
        {"class A { uint8 X = 256; };", 1, "does not fit type uint8"},
        {"class A { sint8 X = -129; };", 1, "does not fit type sint8"},
        {"class A { uint32 X = -1; };", 1, "does not fit type uint32"},
        {"class A { uint64 X = 18446744073709551616; };", 1, "integer out of range"},
        {"class A { boolean X = 1; };", 1, "does not fit type boolean"},
        {"class A { string X = 5; };", 1, "does not fit type string"},
        {"class A { datetime X = \"yesterday\"; };", 1, "invalid datetime value"},
        {"class A { uint8 X[] = {1, {2}}; };", 1, "nested arrays are not allowed"},
        {"class A { uint8 X = {1}; };", 1, "expected a single value"},
        {"class A { uint8 X[] = 1; };", 1, "expected an array value"},
        {"class A { string X[2] = {\"a\"}; };", 1, "declared with 2"},
        {"class A {\n uint32 X;\n string X;\n};", 3, "property 'X' is declared twice"},
        {"class A { integer X; };", 1, "unknown data type 'integer'"},
        {"class A { };\nclass B {\n A REF Other;\n};", 3, "which is not an association"},
        {"[Association] class L { Missing REF Other; };", 1, "unknown class 'Missing'"},
        {"class A { };\ninstance of A {\n Nope = 1;\n};", 3, "class 'A' has no property 'Nope'"},
        {"class A { uint16 T[]; };\ninstance of A {\n T = {\"2\"};\n};", 3, "property 'T'"},
        {"[Description(\"a\"), Description(\"b\")] class A { };", 1,
         "qualifier 'Description' is given twice"},
        {"[Key : EnableOverride DisableOverride] class A { };", 1, "conflicting flavors"},
        {"[Key : Sometimes] class A { };", 1, "unknown flavor 'Sometimes'"},
        {"class A { };\ninstance of A as $a { };", 2, "aliases are not supported"},
        {"class A { };\nclass a { };", 2, "already declared"},
        {"class A {\n uint32 M(string P;\n};", 2, "expected ')' after the parameters of method 'M'"},
        {"\n\n#pragma include (\"missing.mof\")", 3, "cannot open MOF file"},
        {"class A { @ };", 1, "unexpected character '@'"},
        {"Qualifier Q : string, Scope(galaxy);", 1, "expected a scope"},
        {"class A { }", 1, "expected ';' after class declaration"},
    };
    for (const auto& [text, line, fragment] : cases)
    {
        ClassRepository fresh;
        MofCompiler freshCompiler(fresh);
        EXPECT_TRUE(failsAt(errorOf([&] { freshCompiler.compileText(text, "dir/case.mof", NS); }),
                            "dir/case.mof:" + std::to_string(line), fragment))
            << text;
    }
}

TEST_F(MofCompilerTest, QualifiersTakeTypeAndFlavorFromDeclarationStandardTableOrValue)
{
    compile(R"MOF(
Qualifier Color : string = "red", Scope(class), Flavor(DisableOverride, Restricted);
Qualifier Sizes : uint32[], Scope(property);
[Color, Vendor(5), Tags{"a", "b"}, Flag, Ratio(0.5), Big(18446744073709551615)]
class A {
  [Key, MaxLen(256), ValueMap("1"), Sizes{1, 2}, Description("d") : Restricted] string Id;
};
[Color("blue") : EnableOverride ToSubclass, Abstract]
class B { };)MOF");
    const CIMClass a = repository.declaredClass(NS, "A");
    const CIMConstQualifier color = qualifierOf(a, "Color");
    EXPECT_EQ(str(color.getValue().toString()), "red");
    EXPECT_TRUE(color.getFlavor().hasFlavor(CIMFlavor::DISABLEOVERRIDE));
    EXPECT_TRUE(color.getFlavor().hasFlavor(CIMFlavor::RESTRICTED));
    EXPECT_FALSE(color.getFlavor().hasFlavor(CIMFlavor::TOSUBCLASS));

    // Undeclared qualifiers take the type of their value.
    EXPECT_EQ(qualifierOf(a, "Vendor").getType(), CIMTYPE_SINT64);
    EXPECT_EQ(qualifierOf(a, "Tags").getType(), CIMTYPE_STRING);
    EXPECT_TRUE(qualifierOf(a, "Tags").isArray());
    EXPECT_TRUE(qualifierOf(a, "Flag").getValue() == CIMValue(true));
    EXPECT_EQ(qualifierOf(a, "Ratio").getType(), CIMTYPE_REAL64);
    EXPECT_EQ(qualifierOf(a, "Big").getType(), CIMTYPE_UINT64);
    EXPECT_TRUE(qualifierOf(a, "Vendor").getFlavor().hasFlavor(CIMFlavor::TOSUBCLASS));

    const CIMConstProperty id = a.getProperty(a.findProperty("Id"));
    auto propertyQualifier = [&](const char* name) { return id.getQualifier(id.findQualifier(name)); };
    EXPECT_TRUE(propertyQualifier("Key").getFlavor().hasFlavor(CIMFlavor::DISABLEOVERRIDE));
    EXPECT_EQ(propertyQualifier("MaxLen").getType(), CIMTYPE_UINT32);
    EXPECT_TRUE(propertyQualifier("ValueMap").isArray()); // a single value where an array is declared
    EXPECT_EQ(propertyQualifier("ValueMap").getValue().getArraySize(), 1u);
    EXPECT_EQ(propertyQualifier("Sizes").getType(), CIMTYPE_UINT32);
    const CIMFlavor description = propertyQualifier("Description").getFlavor();
    EXPECT_TRUE(description.hasFlavor(CIMFlavor::RESTRICTED));
    EXPECT_TRUE(description.hasFlavor(CIMFlavor::TRANSLATABLE));

    const CIMClass b = repository.declaredClass(NS, "B");
    EXPECT_EQ(str(qualifierOf(b, "Color").getValue().toString()), "blue");
    EXPECT_TRUE(
        qualifierOf(b, "Color").getFlavor().hasFlavor(CIMFlavor::OVERRIDABLE + CIMFlavor::TOSUBCLASS));
    EXPECT_TRUE(qualifierOf(b, "Abstract").getFlavor().hasFlavor(CIMFlavor::RESTRICTED));
    EXPECT_TRUE(b.isAbstract());
}

class MofFilesTest : public MofCompilerTest
{
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() /
              ("mof_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir / "sub");
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    void write(const std::string& name, const std::string& text) { std::ofstream(dir / name) << text; }

    std::filesystem::path dir;
};

TEST_F(MofFilesTest, IncludeErrorsPointAtTheFileAndLineOfTheProblem)
{
    write("loop.mof", "class L { };\n#pragma include (\"sub/back.mof\")\n");
    write("sub/back.mof", "\n\n#pragma include (\"../loop.mof\")\n");
    EXPECT_TRUE(failsAt(errorOf([&] { compiler.compileFile((dir / "loop.mof").string(), NS); }),
                        (dir / "sub/back.mof").string() + ":3", "recursive include"));
    write("broken.mof", "class Fine { };\n\nclass Broken { uint8 X = 300; };\n");
    write("top.mof", "#pragma include (\"broken.mof\")\n");
    EXPECT_TRUE(failsAt(errorOf([&] { compiler.compileFile((dir / "top.mof").string(), "root/fresh"); }),
                        (dir / "broken.mof").string() + ":3", "uint8"));
    EXPECT_THROW(compiler.compileFile((dir / "absent.mof").string(), NS), MofError);
}

// The shipped schema declares its qualifiers in the file that uses them; nothing else would notice a
// compiler that forgot them between files.
TEST_F(MofFilesTest, QualifierDeclarationsStayKnownToLaterFiles)
{
    write("qualifiers.mof", "Qualifier Secret : boolean = false, Scope(property), Flavor(Restricted);\n");
    write("classes.mof", "class S { [Secret] string Pin; };\n");
    compiler.compileFile((dir / "qualifiers.mof").string(), NS);
    compiler.compileFile((dir / "classes.mof").string(), NS);
    const CIMClass s = repository.declaredClass(NS, "S");
    const CIMConstProperty pin = s.getProperty(s.findProperty("Pin"));
    EXPECT_TRUE(pin.getQualifier(pin.findQualifier("Secret")).getFlavor().hasFlavor(CIMFlavor::RESTRICTED));
}

TEST_F(MofFilesTest, TheManifestPutsEachFileInItsNamespaceAndNamesTheLineItCannotRead)
{
    write("sub/one.mof", "class One { };\n");
    write("two.mof", "class Two { };\n");
    write("manifest.txt", "# namespace file\n\nroot/first  sub/one.mof\n  root/second two.mof  \n");
    loadSchema(repository, dir.string());
    EXPECT_NO_THROW(repository.declaredClass("root/first", "One"));
    EXPECT_NO_THROW(repository.declaredClass("root/second", "Two"));
    EXPECT_FALSE(repository.hasNamespace("root/snia"));

    const std::tuple<const char*, int, const char*> broken[] = {
        {"root/x one.mof\nroot/y\n", 2, "expected"},
        {"root/x one.mof extra\n", 1, "expected"},
        {"#only a comment\n", 0, "names no MOF file"},
        {"root//x one.mof\n", 1, "not a namespace name"},
    };
    for (const auto& [manifest, line, message] : broken)
    {
        write("manifest.txt", manifest);
        EXPECT_TRUE(failsAt(errorOf([&] { loadSchema(repository, dir.string()); }),
                            (dir / "manifest.txt").string() + ":" + std::to_string(line), message))
            << manifest;
    }
}

} // namespace
