// The pull operations in CIM-XML: the requests a pull client writes, decoded; the answers
// checked element by element against the forms the pull operations define (VALUE.INSTANCEWITHPATH
// and INSTANCEPATH in IRETURNVALUE, then the EndOfSequence and EnumerationContext PARAMVALUEs),
// then read back by the client's decoder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <pugixml.hpp>

#include "RequestDecoder.h"
#include "ResponseDecoder.h"
#include "ResponseEncoder.h"

using namespace cimhost;
using namespace Pegasus;

namespace
{

CIMInstance volume(const char* id)
{
    CIMInstance instance(CIMName("CIM_StorageVolume"));
    instance.addProperty(CIMProperty(CIMName("DeviceID"), CIMValue(String(id))));
    instance.addProperty(CIMProperty(CIMName("BlockSize"), CIMValue(Uint64(512))));
    const std::string path = std::string("//host1/root/snia:CIM_StorageVolume.DeviceID=\"") + id + "\"";
    instance.setPath(CIMObjectPath(String(path.c_str())));
    return instance;
}

CimResponse pullAnswer(const char* method, CimResponse::ReturnKind kind, bool end, const std::string& context)
{
    CimResponse response;
    response.messageId = "7";
    response.methodName = method;
    response.returnKind = kind;
    response.isPull = true;
    response.endOfSequence = end;
    response.enumerationContext = context;
    return response;
}

std::vector<std::string> childNames(pugi::xml_node parent)
{
    std::vector<std::string> names;
    for (pugi::xml_node child : parent.children())
        names.push_back(child.name());
    return names;
}

pugi::xml_node methodResponse(pugi::xml_document& document, const std::string& xml)
{
    EXPECT_TRUE(document.load_string(xml.c_str())) << xml;
    return document.select_node("/CIM/MESSAGE/SIMPLERSP/IMETHODRESPONSE").node();
}

} // namespace

TEST(CodecPullRequest, DecodesTheParametersOfAnOpenAndAPull)
{
    const std::string open =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
        "<MESSAGE ID=\"1001\" PROTOCOLVERSION=\"1.0\"><SIMPLEREQ><IMETHODCALL "
        "NAME=\"OpenEnumerateInstances\">"
        "<LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"/><NAMESPACE NAME=\"snia\"/></LOCALNAMESPACEPATH>"
        "<IPARAMVALUE NAME=\"ClassName\"><CLASSNAME NAME=\"CIM_StorageVolume\"/></IPARAMVALUE>"
        "<IPARAMVALUE NAME=\"OperationTimeout\"/>"
        "<IPARAMVALUE NAME=\"ContinueOnError\"><VALUE>FALSE</VALUE></IPARAMVALUE>"
        "<IPARAMVALUE NAME=\"MaxObjectCount\"><VALUE>100</VALUE></IPARAMVALUE>"
        "</IMETHODCALL></SIMPLEREQ></MESSAGE></CIM>";
    const CimRequest request = decodeRequest(open);
    ASSERT_FALSE(request.hasDecodeError) << request.decodeErrorText;
    EXPECT_EQ("OpenEnumerateInstances", request.methodName);
    ASSERT_NE(nullptr, request.iparam("ClassName"));
    EXPECT_EQ(IParamValue::ClassName, request.iparam("ClassName")->kind);
    ASSERT_NE(nullptr, request.iparam("OperationTimeout"));
    EXPECT_EQ(IParamValue::Null, request.iparam("OperationTimeout")->kind); // NULL: the server's default
    EXPECT_EQ("100", request.iparam("MaxObjectCount")->text);

    const std::string pull =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
        "<MESSAGE ID=\"1002\" PROTOCOLVERSION=\"1.0\"><SIMPLEREQ><IMETHODCALL NAME=\"PullInstancesWithPath\">"
        "<LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"/><NAMESPACE NAME=\"snia\"/></LOCALNAMESPACEPATH>"
        "<IPARAMVALUE NAME=\"EnumerationContext\"><VALUE>e-3 &amp; more</VALUE></IPARAMVALUE>"
        "<IPARAMVALUE NAME=\"MaxObjectCount\"><VALUE>0</VALUE></IPARAMVALUE>"
        "</IMETHODCALL></SIMPLEREQ></MESSAGE></CIM>";
    const CimRequest pulled = decodeRequest(pull);
    ASSERT_FALSE(pulled.hasDecodeError);
    EXPECT_EQ("e-3 & more", pulled.iparam("EnumerationContext")->text);
    EXPECT_EQ("0", pulled.iparam("MaxObjectCount")->text);
}

TEST(CodecPullAnswer, InstancesWithPathThenEndOfSequenceAndContext)
{
    CimResponse response =
        pullAnswer("OpenEnumerateInstances", CimResponse::InstancesWithPath, false, "ctx<1>");
    response.instances.append(volume("3A000001"));
    response.instances.append(volume("3A000002"));
    const std::string xml = encodeResponse(response);

    pugi::xml_document document;
    const pugi::xml_node call = methodResponse(document, xml);
    EXPECT_STREQ("OpenEnumerateInstances", call.attribute("NAME").value());
    EXPECT_EQ((std::vector<std::string>{"IRETURNVALUE", "PARAMVALUE", "PARAMVALUE"}), childNames(call));
    const pugi::xml_node returned = call.child("IRETURNVALUE");
    EXPECT_EQ((std::vector<std::string>{"VALUE.INSTANCEWITHPATH", "VALUE.INSTANCEWITHPATH"}),
              childNames(returned));
    const pugi::xml_node first = returned.first_child();
    EXPECT_EQ((std::vector<std::string>{"INSTANCEPATH", "INSTANCE"}), childNames(first));
    EXPECT_EQ((std::vector<std::string>{"NAMESPACEPATH", "INSTANCENAME"}),
              childNames(first.child("INSTANCEPATH")));
    EXPECT_STREQ("host1", first.select_node("INSTANCEPATH/NAMESPACEPATH/HOST").node().child_value());
    EXPECT_STREQ("3A000001",
                 first.select_node("INSTANCEPATH/INSTANCENAME/KEYBINDING[@NAME='DeviceID']/KEYVALUE")
                     .node()
                     .child_value());
    EXPECT_STREQ("CIM_StorageVolume", first.child("INSTANCE").attribute("CLASSNAME").value());

    const pugi::xml_node end = call.find_child_by_attribute("PARAMVALUE", "NAME", "EndOfSequence");
    EXPECT_STREQ("boolean", end.attribute("PARAMTYPE").value());
    EXPECT_STREQ("FALSE", end.child_value("VALUE"));
    const pugi::xml_node context = call.find_child_by_attribute("PARAMVALUE", "NAME", "EnumerationContext");
    EXPECT_STREQ("string", context.attribute("PARAMTYPE").value());
    EXPECT_STREQ("ctx<1>", context.child_value("VALUE"));

    const CimResponse decoded = decodeResponse(xml);
    EXPECT_EQ(CimResponse::InstancesWithPath, decoded.returnKind);
    ASSERT_EQ(2u, decoded.instances.size());
    EXPECT_EQ(volume("3A000002").getPath().toString(), decoded.instances[1].getPath().toString());
    EXPECT_TRUE(decoded.isPull);
    EXPECT_FALSE(decoded.endOfSequence);
    EXPECT_EQ("ctx<1>", decoded.enumerationContext);
    EXPECT_EQ(0u, decoded.outParams.size());
}

TEST(CodecPullAnswer, PathsAndTheEmptyLastChunk)
{
    struct Case
    {
        const char* method;
        CimResponse::ReturnKind kind;
        unsigned paths;
        const char* element;
    };
    const Case cases[] = {
        {"OpenEnumerateInstancePaths", CimResponse::InstancePaths, 2, "INSTANCEPATH"},
        {"PullInstancePaths", CimResponse::InstancePaths, 1, "INSTANCEPATH"},
        {"PullInstancesWithPath", CimResponse::InstancesWithPath, 0, ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.method);
        CimResponse response = pullAnswer(c.method, c.kind, true, "");
        for (unsigned i = 0; i < c.paths; ++i)
            response.paths.append(volume(i ? "B" : "A").getPath());
        const std::string xml = encodeResponse(response);
        pugi::xml_document document;
        const pugi::xml_node call = methodResponse(document, xml);
        const std::vector<std::string> objects(c.paths, c.element);
        EXPECT_EQ(objects, childNames(call.child("IRETURNVALUE")));
        EXPECT_STREQ(
            "TRUE", call.find_child_by_attribute("PARAMVALUE", "NAME", "EndOfSequence").child_value("VALUE"));
        EXPECT_STREQ(
            "",
            call.find_child_by_attribute("PARAMVALUE", "NAME", "EnumerationContext").child_value("VALUE"));

        const CimResponse decoded = decodeResponse(xml);
        EXPECT_TRUE(decoded.isPull && decoded.endOfSequence);
        EXPECT_EQ(c.paths, decoded.paths.size());
    }
}

TEST(CodecPullAnswer, ReadsUntypedOutputParametersAsOtherServersWriteThem)
{
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
        "<MESSAGE ID=\"9\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP><IMETHODRESPONSE NAME=\"PullInstancePaths\">"
        "<IRETURNVALUE/><PARAMVALUE NAME=\"EnumerationContext\"><VALUE>42</VALUE></PARAMVALUE>"
        "<PARAMVALUE NAME=\"EndOfSequence\"><VALUE>false</VALUE></PARAMVALUE>"
        "</IMETHODRESPONSE></SIMPLERSP></MESSAGE></CIM>";
    const CimResponse decoded = decodeResponse(xml);
    EXPECT_TRUE(decoded.isPull);
    EXPECT_FALSE(decoded.endOfSequence);
    EXPECT_EQ("42", decoded.enumerationContext);
}

TEST(CodecPullAnswer, CloseAndErrorsCarryNoPullParameters)
{
    CimResponse close;
    close.messageId = "3";
    close.methodName = "CloseEnumeration";
    pugi::xml_document document;
    EXPECT_TRUE(childNames(methodResponse(document, encodeResponse(close))).empty());

    CimResponse error = pullAnswer("PullInstancesWithPath", CimResponse::InstancesWithPath, false, "x");
    error.isError = true;
    error.errorCode = CIM_ERR_INVALID_ENUMERATION_CONTEXT;
    const pugi::xml_node call = methodResponse(document, encodeResponse(error));
    EXPECT_EQ((std::vector<std::string>{"ERROR"}), childNames(call));
    EXPECT_STREQ("21", call.child("ERROR").attribute("CODE").value());
}
