// Export messages: an indication goes out in the elements DSP0201 names (read back with pugixml,
// not only with our decoder), and a listener reads what OpenPegasus sends as well as what we send.
#include <string>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <Pegasus/Common/CIMProperty.h>

#include "ExportMessages.h"
#include "RequestDecoder.h"

using namespace cimhost;
using namespace Pegasus;

namespace
{

CIMInstance jobIndication()
{
    CIMInstance job(CIMName("CIM_ConcreteJob"));
    job.addProperty(CIMProperty(CIMName("InstanceID"), CIMValue(String("3600000100000001"))));
    job.addProperty(CIMProperty(CIMName("JobState"), CIMValue(Uint16(7))));
    CIMInstance indication(CIMName("CIM_InstModification"));
    indication.addProperty(CIMProperty(CIMName("IndicationIdentifier"), CIMValue(String("42 & <more>"))));
    indication.addProperty(CIMProperty(CIMName("SourceInstance"), CIMValue(job)));
    return indication;
}

pugi::xml_node at(const pugi::xml_document& document, const char* path)
{
    return document.select_node(path).node();
}

} // namespace

TEST(CodecExport, AnIndicationGoesOutAsDsp0201NamesItAndComesBack)
{
    const std::string body = encodeExportIndication("1001", jobIndication());
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(body.c_str()));
    EXPECT_STREQ(at(document, "/CIM/MESSAGE").attribute("ID").value(), "1001");
    const pugi::xml_node instance =
        at(document, "/CIM/MESSAGE/SIMPLEEXPREQ/EXPMETHODCALL[@NAME='ExportIndication']/"
                     "EXPPARAMVALUE[@NAME='NewIndication']/INSTANCE[@CLASSNAME='CIM_InstModification']");
    ASSERT_TRUE(instance);
    const pugi::xml_node source = instance.find_child_by_attribute("PROPERTY", "NAME", "SourceInstance");
    EXPECT_STREQ(source.attribute("EmbeddedObject").value(), "instance");
    EXPECT_STREQ(source.attribute("TYPE").value(), "string");
    EXPECT_NE(std::string(source.child("VALUE").text().get()).find("<INSTANCE CLASSNAME=\"CIM_ConcreteJob\""),
              std::string::npos);

    const ExportedIndication back = decodeExportIndication(body);
    EXPECT_EQ(back.messageID, "1001");
    EXPECT_TRUE(back.indication.identical(jobIndication()));
}

// As OpenPegasus 2.14 delivers: EmbeddedObject="object", the instance without a path.
TEST(CodecExport, AListenerReadsOpenPegasusExportsAndRefusesOthers)
{
    const std::string pegasus =
        "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">\n"
        "<MESSAGE ID=\"1000003\" PROTOCOLVERSION=\"1.0\">\n<SIMPLEEXPREQ>\n"
        "<EXPMETHODCALL NAME=\"ExportIndication\">\n<EXPPARAMVALUE NAME=\"NewIndication\">\n"
        "<INSTANCE CLASSNAME=\"CIM_InstCreation\">\n"
        "<PROPERTY NAME=\"SourceInstance\" TYPE=\"string\" EmbeddedObject=\"object\">\n"
        "<VALUE>&lt;INSTANCE CLASSNAME=&quot;CIM_StorageVolume&quot;&gt;&lt;PROPERTY "
        "NAME=&quot;DeviceID&quot; "
        "TYPE=&quot;string&quot;&gt;&lt;VALUE&gt;3A00000C&lt;/VALUE&gt;&lt;/PROPERTY&gt;&lt;/INSTANCE&gt;"
        "</VALUE>\n</PROPERTY>\n</INSTANCE>\n</EXPPARAMVALUE>\n</EXPMETHODCALL>\n</SIMPLEEXPREQ>\n</"
        "MESSAGE>\n"
        "</CIM>\n";
    const ExportedIndication exported = decodeExportIndication(pegasus);
    EXPECT_EQ(exported.messageID, "1000003");
    const CIMValue source =
        exported.indication.getProperty(exported.indication.findProperty("SourceInstance")).getValue();
    ASSERT_EQ(source.getType(), CIMTYPE_OBJECT);
    CIMObject volume;
    source.get(volume);
    EXPECT_TRUE(volume.getClassName().equal(CIMName("CIM_StorageVolume")));

    const char* const refused[] = {
        "<CIM><MESSAGE ID=\"1\"><SIMPLEREQ/></MESSAGE></CIM>",
        "<CIM><MESSAGE ID=\"1\"><SIMPLEEXPREQ><EXPMETHODCALL "
        "NAME=\"ExportClass\"/></SIMPLEEXPREQ></MESSAGE></CIM>",
        "<CIM><MESSAGE ID=\"1\"><SIMPLEEXPREQ><EXPMETHODCALL "
        "NAME=\"ExportIndication\"/></SIMPLEEXPREQ></MESSAGE></CIM>",
        "<CIM><MESSAGE><SIMPLEEXPREQ/></MESSAGE></CIM>",
        "<CIM><MESSAGE ID=\"1\"><SIMPLEEXPREQ>",
    };
    for (const char* body : refused)
        EXPECT_THROW(decodeExportIndication(body), CimXmlError) << body;
}

TEST(CodecExport, TheListenersAnswerCarriesSuccessOrItsError)
{
    EXPECT_EQ(decodeExportResponse(encodeExportResponse("7")).code, CIM_ERR_SUCCESS);
    const ExportResponse failed =
        decodeExportResponse(encodeExportResponse("8", CIM_ERR_FAILED, "disk \"full\""));
    EXPECT_EQ(failed.messageID, "8");
    EXPECT_EQ(failed.code, CIM_ERR_FAILED);
    EXPECT_EQ(failed.description, "disk \"full\"");
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(encodeExportResponse("9").c_str()));
    EXPECT_TRUE(
        at(document, "/CIM/MESSAGE[@ID='9']/SIMPLEEXPRSP/EXPMETHODRESPONSE[@NAME='ExportIndication']"));
    EXPECT_THROW(
        decodeExportResponse("<CIM><MESSAGE ID=\"1\"><SIMPLEEXPRSP><EXPMETHODRESPONSE>"
                             "<ERROR CODE=\"x\"/></EXPMETHODRESPONSE></SIMPLEEXPRSP></MESSAGE></CIM>"),
        CimXmlError);
}
