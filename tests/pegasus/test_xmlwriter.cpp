// CIM-XML rendering: escaping, value text, path forms, declarations and response elements.
#include <Pegasus/Common/XmlWriter.h>

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <cstdlib>
#include <limits>

using namespace Pegasus;

namespace
{
pugi::xml_node parse(pugi::xml_document& doc, const std::string& xml)
{
    const pugi::xml_parse_result result = doc.load_string(xml.c_str());
    EXPECT_TRUE(result) << result.description() << " in " << xml;
    return doc.first_child();
}

std::string valueXml(const CIMValue& value)
{
    std::string out;
    XmlWriter::appendValueElement(out, value);
    return out;
}

const char* storagePool = "//array1/root/snia:CIM_StoragePool.InstanceID=\"P&1\"";
} // namespace

TEST(XmlWriter, EscapesMarkupQuotesAndControlCharacters)
{
    std::string out;
    XmlWriter::appendEscaped(out, String("a&b<c>\"d'e\tf\r\n\x01 \xC3\xA9"));
    EXPECT_EQ(out, "a&amp;b&lt;c&gt;&quot;d&apos;e&#9;f&#13;&#10;&#1; \xC3\xA9");

    // Whitespace in a VALUE is data: nothing is added around or inside it.
    EXPECT_EQ(valueXml(CIMValue(String("  x ]]> "))), "<VALUE>  x ]]&gt; </VALUE>");
    EXPECT_EQ(valueXml(CIMValue(String(""))), "<VALUE></VALUE>");
}

// Integer bounds, characters and date-times: the round trip of CodecEncodeRoundTrip (tests/server).
TEST(XmlWriter, ScalarTextPerType)
{
    auto text = [](const CIMValue& value) { return XmlWriter::scalarValueText(value, 0); };
    EXPECT_EQ(text(CIMValue(false)), "FALSE");
    EXPECT_EQ(text(CIMValue(Sint8(-128))), "-128"); // a number, not a char
    EXPECT_EQ(text(CIMValue(Real32(0.1f))), "0.1");
    const Real64 third = 1.0 / 3.0;
    EXPECT_EQ(std::strtod(text(CIMValue(third)).c_str(), nullptr), third);
    EXPECT_EQ(text(CIMValue(std::numeric_limits<Real64>::quiet_NaN())), "NaN");
    EXPECT_EQ(text(CIMValue(-std::numeric_limits<Real32>::infinity())), "-INF");
    EXPECT_EQ(text(CIMValue(CIMTYPE_UINT32, false)), "");

    Array<Uint16> numbers;
    numbers.append(7);
    numbers.append(65535);
    EXPECT_EQ(XmlWriter::scalarValueText(CIMValue(numbers), 1), "65535");
}

TEST(XmlWriter, NullValuesAndArrays)
{
    EXPECT_EQ(valueXml(CIMValue(CIMTYPE_STRING, false)), "");
    EXPECT_EQ(valueXml(CIMValue(CIMTYPE_REFERENCE, true)), "");
    EXPECT_EQ(valueXml(CIMValue(Array<String>())), "<VALUE.ARRAY></VALUE.ARRAY>");

    Array<String> strings;
    strings.append("a<b");
    strings.append("");
    EXPECT_EQ(valueXml(CIMValue(strings)), "<VALUE.ARRAY><VALUE>a&lt;b</VALUE><VALUE></VALUE></VALUE.ARRAY>");

    Array<Boolean> flags;
    flags.append(true);
    flags.append(false);
    EXPECT_EQ(valueXml(CIMValue(flags)),
              "<VALUE.ARRAY><VALUE>TRUE</VALUE><VALUE>FALSE</VALUE></VALUE.ARRAY>");
}

TEST(XmlWriter, ReferenceFormsFollowWhatThePathHolds)
{
    EXPECT_EQ(
        valueXml(CIMValue(CIMObjectPath("//h/root/snia:C.Id=\"x\""))),
        "<VALUE.REFERENCE><INSTANCEPATH><NAMESPACEPATH><HOST>h</HOST><LOCALNAMESPACEPATH>"
        "<NAMESPACE NAME=\"root\"></NAMESPACE><NAMESPACE NAME=\"snia\"></NAMESPACE></LOCALNAMESPACEPATH>"
        "</NAMESPACEPATH><INSTANCENAME CLASSNAME=\"C\"><KEYBINDING NAME=\"Id\">"
        "<KEYVALUE VALUETYPE=\"string\">x</KEYVALUE></KEYBINDING></INSTANCENAME></INSTANCEPATH>"
        "</VALUE.REFERENCE>");
    EXPECT_EQ(valueXml(CIMValue(CIMObjectPath("root:C.Flag=TRUE,N=-5"))),
              "<VALUE.REFERENCE><LOCALINSTANCEPATH><LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"></NAMESPACE>"
              "</LOCALNAMESPACEPATH><INSTANCENAME CLASSNAME=\"C\"><KEYBINDING NAME=\"Flag\">"
              "<KEYVALUE VALUETYPE=\"boolean\">TRUE</KEYVALUE></KEYBINDING><KEYBINDING NAME=\"N\">"
              "<KEYVALUE VALUETYPE=\"numeric\">-5</KEYVALUE></KEYBINDING></INSTANCENAME></LOCALINSTANCEPATH>"
              "</VALUE.REFERENCE>");
    EXPECT_EQ(valueXml(CIMValue(CIMObjectPath("C"))),
              "<VALUE.REFERENCE><CLASSNAME NAME=\"C\"></CLASSNAME></VALUE.REFERENCE>");

    std::string out;
    XmlWriter::appendObjectPathElement(out, CIMObjectPath("//h/root:C"));
    EXPECT_EQ(
        out,
        "<OBJECTPATH><CLASSPATH><NAMESPACEPATH><HOST>h</HOST><LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\">"
        "</NAMESPACE></LOCALNAMESPACEPATH></NAMESPACEPATH><CLASSNAME NAME=\"C\"></CLASSNAME></CLASSPATH>"
        "</OBJECTPATH>");

    Array<CIMObjectPath> refs;
    refs.append(CIMObjectPath(storagePool));
    refs.append(CIMObjectPath("C.K=1"));
    pugi::xml_document doc;
    const pugi::xml_node refArray = parse(doc, valueXml(CIMValue(refs)));
    EXPECT_STREQ(refArray.name(), "VALUE.REFARRAY");
    EXPECT_STREQ(refArray.first_child().first_child().name(), "INSTANCEPATH");
    EXPECT_STREQ(refArray.last_child().first_child().name(), "INSTANCENAME");
    EXPECT_STREQ(
        refArray.first_element_by_path("VALUE.REFERENCE/INSTANCEPATH/INSTANCENAME/KEYBINDING/KEYVALUE")
            .child_value(),
        "P&1");
}

TEST(XmlWriter, ReferenceKeyNestsAValueReference)
{
    Array<CIMKeyBinding> keys;
    keys.append(CIMKeyBinding("Antecedent", CIMValue(CIMObjectPath(storagePool))));
    keys.append(CIMKeyBinding("Name", String("q\"&<"), CIMKeyBinding::STRING));
    std::string out;
    XmlWriter::appendInstanceNameElement(out, CIMObjectPath(String(), CIMNamespaceName(), "Assoc", keys));
    EXPECT_NE(out.find("<KEYVALUE VALUETYPE=\"string\">q&quot;&amp;&lt;</KEYVALUE>"), std::string::npos);

    pugi::xml_document doc;
    const pugi::xml_node inner =
        parse(doc, out).find_child_by_attribute("KEYBINDING", "NAME", "Antecedent").child("VALUE.REFERENCE");
    EXPECT_STREQ(inner.first_element_by_path("INSTANCEPATH/NAMESPACEPATH/HOST").child_value(), "array1");
    EXPECT_STREQ(inner.first_element_by_path("INSTANCEPATH/INSTANCENAME").attribute("CLASSNAME").value(),
                 "CIM_StoragePool");
    EXPECT_STREQ(inner.first_element_by_path("INSTANCEPATH/INSTANCENAME/KEYBINDING/KEYVALUE").child_value(),
                 "P&1");
}

TEST(XmlWriter, QualifierFlavorsOnlyWhenNotDefault)
{
    auto qualifierXml = [](const CIMFlavor& flavor)
    {
        std::string out;
        XmlWriter::appendQualifierElement(out, CIMConstQualifier("Key", CIMValue(true), flavor));
        return out;
    };
    EXPECT_EQ(qualifierXml(CIMFlavor::DEFAULTS),
              "<QUALIFIER NAME=\"Key\" TYPE=\"boolean\"><VALUE>TRUE</VALUE></QUALIFIER>");
    EXPECT_EQ(qualifierXml(CIMFlavor::NONE), "<QUALIFIER NAME=\"Key\" TYPE=\"boolean\" OVERRIDABLE=\"false\" "
                                             "TOSUBCLASS=\"false\"><VALUE>TRUE</VALUE></QUALIFIER>");
    EXPECT_EQ(qualifierXml(CIMFlavor::DEFAULTS + CIMFlavor::TOINSTANCE + CIMFlavor::TRANSLATABLE),
              "<QUALIFIER NAME=\"Key\" TYPE=\"boolean\" TOINSTANCE=\"true\" TRANSLATABLE=\"true\">"
              "<VALUE>TRUE</VALUE></QUALIFIER>");
}

TEST(XmlWriter, PropertiesAndEmbeddedInstances)
{
    CIMInstance job("CIM_ConcreteJob");
    job.addProperty(CIMProperty("Name", CIMValue(String("a<b & \"c\""))));
    CIMInstance holder("Holder");
    holder.addProperty(CIMProperty("Job", CIMValue(job)));
    holder.addProperty(CIMProperty("Sizes", CIMValue(Array<Uint64>(4)), 4, CIMName(), "Base", true));
    holder.addProperty(CIMProperty("Note", CIMValue(CIMTYPE_STRING, false)));
    holder.addProperty(CIMProperty("Pool", CIMValue(CIMObjectPath(storagePool)), 0, "CIM_StoragePool"));

    std::string out;
    XmlWriter::appendInstanceElement(out, holder);
    EXPECT_NE(out.find("<PROPERTY.ARRAY NAME=\"Sizes\" TYPE=\"uint64\" ARRAYSIZE=\"4\" CLASSORIGIN=\"Base\" "
                       "PROPAGATED=\"true\"><VALUE.ARRAY><VALUE>0</VALUE>"),
              std::string::npos);
    EXPECT_NE(out.find("<PROPERTY NAME=\"Note\" TYPE=\"string\"></PROPERTY>"), std::string::npos);

    pugi::xml_document doc;
    const pugi::xml_node instance = parse(doc, out);
    const pugi::xml_node embedded = instance.find_child_by_attribute("PROPERTY", "NAME", "Job");
    EXPECT_STREQ(embedded.attribute("TYPE").value(), "string");
    EXPECT_STREQ(embedded.attribute("EmbeddedObject").value(), "instance");
    // The VALUE text is itself CIM-XML; its own escaping survives one round of unescaping.
    pugi::xml_document inner;
    const pugi::xml_node innerInstance = parse(inner, embedded.child("VALUE").child_value());
    EXPECT_STREQ(innerInstance.name(), "INSTANCE");
    EXPECT_STREQ(innerInstance.first_element_by_path("PROPERTY/VALUE").child_value(), "a<b & \"c\"");

    const pugi::xml_node pool = instance.child("PROPERTY.REFERENCE");
    EXPECT_STREQ(pool.attribute("REFERENCECLASS").value(), "CIM_StoragePool");
    EXPECT_STREQ(pool.first_element_by_path("VALUE.REFERENCE/INSTANCEPATH/NAMESPACEPATH/HOST").child_value(),
                 "array1");
}

TEST(XmlWriter, ClassMethodsWriteParametersWithEndTags)
{
    CIMMethod method("CreateOrModifyElementFromStoragePool", CIMTYPE_UINT32);
    method.addQualifier(CIMQualifier("Description", CIMValue(String("d")), CIMFlavor::DEFAULTS));
    method.addParameter(CIMParameter("Size", CIMTYPE_UINT64));
    method.addParameter(CIMParameter("InPool", CIMTYPE_REFERENCE, false, 0, "CIM_StoragePool"));
    method.addParameter(CIMParameter("Ids", CIMTYPE_STRING, true, 2));
    method.addParameter(CIMParameter("Pools", CIMTYPE_REFERENCE, true));
    method.addParameter(CIMParameter("Goal", CIMTYPE_INSTANCE));
    CIMClass cimClass("CIM_StorageConfigurationService", "CIM_Service");
    cimClass.addMethod(method);

    std::string out;
    XmlWriter::appendClassElement(out, cimClass);
    EXPECT_EQ(out.find("/>"), std::string::npos);
    EXPECT_NE(
        out.find(
            "<CLASS NAME=\"CIM_StorageConfigurationService\" SUPERCLASS=\"CIM_Service\">"
            "<METHOD NAME=\"CreateOrModifyElementFromStoragePool\" TYPE=\"uint32\">"
            "<QUALIFIER NAME=\"Description\" TYPE=\"string\"><VALUE>d</VALUE></QUALIFIER>"
            "<PARAMETER NAME=\"Size\" TYPE=\"uint64\"></PARAMETER>"
            "<PARAMETER.REFERENCE NAME=\"InPool\" REFERENCECLASS=\"CIM_StoragePool\"></PARAMETER.REFERENCE>"
            "<PARAMETER.ARRAY NAME=\"Ids\" TYPE=\"string\" ARRAYSIZE=\"2\"></PARAMETER.ARRAY>"
            "<PARAMETER.REFARRAY NAME=\"Pools\"></PARAMETER.REFARRAY>"
            "<PARAMETER NAME=\"Goal\" TYPE=\"string\"><QUALIFIER NAME=\"EmbeddedObject\" "
            "TYPE=\"boolean\"><VALUE>TRUE</VALUE></QUALIFIER></PARAMETER></METHOD></CLASS>"),
        std::string::npos)
        << out;
}

TEST(XmlWriter, ResponseElements)
{
    auto paramXml = [](const CIMParamValue& p)
    {
        std::string out;
        XmlWriter::appendParamValueElement(out, p);
        return out;
    };
    EXPECT_EQ(paramXml(CIMParamValue("Job", CIMValue(CIMObjectPath("C")))),
              "<PARAMVALUE NAME=\"Job\" PARAMTYPE=\"reference\"><VALUE.REFERENCE><CLASSNAME NAME=\"C\">"
              "</CLASSNAME></VALUE.REFERENCE></PARAMVALUE>");
    EXPECT_EQ(paramXml(CIMParamValue("Size", CIMValue(Uint64(5)), false)),
              "<PARAMVALUE NAME=\"Size\"><VALUE>5</VALUE></PARAMVALUE>");
    EXPECT_EQ(paramXml(CIMParamValue("Goal", CIMValue(CIMInstance("G")))),
              "<PARAMVALUE NAME=\"Goal\" PARAMTYPE=\"string\" EmbeddedObject=\"instance\">"
              "<VALUE>&lt;INSTANCE CLASSNAME=&quot;G&quot;&gt;&lt;/INSTANCE&gt;</VALUE></PARAMVALUE>");
    EXPECT_EQ(paramXml(CIMParamValue("Out", CIMValue(CIMTYPE_STRING, false))),
              "<PARAMVALUE NAME=\"Out\" PARAMTYPE=\"string\"></PARAMVALUE>");

    std::string out;
    XmlWriter::appendReturnValueElement(out, CIMValue(Uint32(4096)));
    EXPECT_EQ(out, "<RETURNVALUE PARAMTYPE=\"uint32\"><VALUE>4096</VALUE></RETURNVALUE>");

    CIMInstance pool("CIM_StoragePool");
    pool.addProperty(CIMProperty("InstanceID", CIMValue(String("P&1"))));
    pool.setPath(CIMObjectPath(storagePool));
    out.clear();
    XmlWriter::appendValueNamedInstanceElement(out, pool);
    XmlWriter::appendValueObjectWithPathElement(out, pool);
    pugi::xml_document doc;
    const pugi::xml_node root = parse(doc, "<R>" + out + "</R>");
    const pugi::xml_node named = root.child("VALUE.NAMEDINSTANCE");
    EXPECT_STREQ(named.first_child().name(), "INSTANCENAME");
    EXPECT_STREQ(named.last_child().name(), "INSTANCE");
    const pugi::xml_node withPath = root.child("VALUE.OBJECTWITHPATH");
    EXPECT_STREQ(withPath.first_child().name(), "INSTANCEPATH");
    EXPECT_STREQ(withPath.first_element_by_path("INSTANCE/PROPERTY/VALUE").child_value(), "P&1");
}
