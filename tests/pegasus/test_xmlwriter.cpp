// CIM-XML rendering: embedded instances and class declarations (a reference key nested in a
// reference is read back by interop.sh through the interop namespace's associations; escaping and
// the text of a VALUE come back through the codec's round trip of every value type).
#include <Pegasus/Common/XmlWriter.h>

#include <gtest/gtest.h>
#include <pugixml.hpp>

using namespace Pegasus;

namespace
{
pugi::xml_node parse(pugi::xml_document& doc, const std::string& xml)
{
    const pugi::xml_parse_result result = doc.load_string(xml.c_str());
    EXPECT_TRUE(result) << result.description() << " in " << xml;
    return doc.first_child();
}

const char* storagePool = "//array1/root/snia:CIM_StoragePool.InstanceID=\"P&1\"";
} // namespace

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
