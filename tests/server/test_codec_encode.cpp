// CIM-XML response encoding, read back with pugixml; values go out through the encoder and come
// back in through the request decoder.
#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <pugixml.hpp>

#include <Pegasus/Common/CIMClass.h>
#include <Pegasus/Common/CIMDateTime.h>

#include "RequestDecoder.h"
#include "ResponseEncoder.h"

using namespace cimhost;
using namespace Pegasus;

namespace
{

CIMInstance setting(bool withPath = true)
{
    CIMInstance instance(CIMName("X_Setting"));
    instance.addProperty(CIMProperty(CIMName("InstanceID"), CIMValue(String("S<1>"))));
    instance.addProperty(CIMProperty(CIMName("Sizes"), CIMValue(Array<Uint64>(2, Uint64(7)))));
    instance.addProperty(CIMProperty(CIMName("Note"), CIMValue(CIMTYPE_STRING, false)));
    if (withPath) instance.setPath(CIMObjectPath("//localhost/root/snia:X_Setting.InstanceID=\"S<1>\""));
    return instance;
}

CimResponse intrinsicResponse(CimResponse::ReturnKind kind)
{
    CimResponse response;
    response.messageId = "12";
    response.methodName = "EnumerateInstances";
    response.returnKind = kind;
    return response;
}

// Parses the encoder's output and returns the element at the given path below the document.
pugi::xml_node parsed(pugi::xml_document& document, const std::string& xml, const char* path)
{
    const pugi::xml_parse_result result = document.load_string(xml.c_str());
    EXPECT_TRUE(result) << result.description() << "\n" << xml;
    return document.select_node(path).node();
}

std::string serialized(pugi::xml_node node)
{
    std::ostringstream out;
    node.print(out, "", pugi::format_raw);
    return out.str();
}

std::vector<std::string> childNames(pugi::xml_node parent)
{
    std::vector<std::string> names;
    for (pugi::xml_node child : parent.children())
        names.push_back(child.name());
    return names;
}

std::string requestAround(const std::string& call)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE "
           "ID=\"1\" "
           "PROTOCOLVERSION=\"1.0\"><SIMPLEREQ>" +
           call + "</SIMPLEREQ></MESSAGE></CIM>";
}

} // namespace

TEST(CodecEncodeRoundTrip, EveryValueTypeComesBackAsItWent)
{
    const std::vector<CIMValue> values = {
        CIMValue(true),
        CIMValue(Uint8(255)),
        CIMValue(Sint8(-128)),
        CIMValue(Uint16(65535)),
        CIMValue(Sint16(-32768)),
        CIMValue(Uint32(4294967295u)),
        CIMValue(Sint32(-2147483647 - 1)),
        CIMValue(Uint64(18446744073709551615ull)),
        CIMValue(Sint64(-9223372036854775807ll - 1)),
        CIMValue(Real32(0.1f)),
        CIMValue(Real64(-1.0e300)),
        CIMValue(-std::numeric_limits<Real64>::infinity()),
        CIMValue(Char16(0x00E9)),
        CIMValue(String("tab\there, <&\"'> \r\n\xE2\x82\xAC")),
        CIMValue(CIMDateTime("20240229235959.123456-300")),
        CIMValue(CIMDateTime("00000001020304.000005:000")),
        CIMValue(CIMObjectPath("//localhost/root/snia:CIM_StoragePool.InstanceID=\"P,1\",Size=5,On=TRUE")),
        CIMValue(CIMObjectPath("root/snia:CIM_Job")),
        CIMValue(setting(false)),
        CIMValue(CIMObject(setting(false))),
        CIMValue(CIMTYPE_UINT32, false),
        CIMValue(Array<String>()),
        CIMValue(Array<Boolean>(3, false)),
        CIMValue(Array<Sint32>(2, -5)),
        CIMValue(Array<Real64>(1, 2.5)),
        CIMValue(Array<Char16>(2, Char16('x'))),
        CIMValue(Array<CIMDateTime>(1, CIMDateTime("20000101000000.000000+000"))),
        CIMValue(Array<CIMObjectPath>(2, CIMObjectPath("CIM_Job.InstanceID=\"J\""))),
        CIMValue(Array<CIMInstance>(2, setting(false))),
    };
    CimResponse response;
    response.kind = OperationKind::Extrinsic;
    response.methodName = "Probe";
    response.returnValue = CIMValue(Uint32(4096));
    for (size_t i = 0; i < values.size(); ++i) // untyped on purpose: the encoder must type them
        response.outParams.append(CIMParamValue(String(("P" + std::to_string(i)).c_str()), values[i], false));

    const std::string xml = encodeResponse(response);
    pugi::xml_document document;
    const pugi::xml_node answer =
        parsed(document, xml, "/CIM/MESSAGE/SIMPLERSP/METHODRESPONSE[@NAME='Probe']");
    ASSERT_TRUE(answer);
    EXPECT_STREQ("uint32", answer.child("RETURNVALUE").attribute("PARAMTYPE").value());
    EXPECT_STREQ("4096", answer.child("RETURNVALUE").child_value("VALUE"));

    for (pugi::xml_node param : answer.children("PARAMVALUE"))
        EXPECT_TRUE(param.attribute("PARAMTYPE")) << serialized(param);
    // The encoder's bytes themselves go back in, so no reserialisation can hide an escaping fault.
    const size_t first = xml.find("<PARAMVALUE");
    const std::string params = xml.substr(first, xml.find("</METHODRESPONSE>") - first);
    const CimRequest back = decodeRequest(requestAround(
        "<METHODCALL NAME=\"Probe\"><LOCALCLASSPATH><LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"/>"
        "</LOCALNAMESPACEPATH><CLASSNAME NAME=\"X\"/></LOCALCLASSPATH>" +
        params + "</METHODCALL>"));
    ASSERT_FALSE(back.hasDecodeError) << back.decodeErrorText;
    ASSERT_EQ(values.size(), back.params.size());
    for (size_t i = 0; i < values.size(); ++i)
    {
        const CIMParamValue& param = back.params[Uint32(i)];
        EXPECT_TRUE(param.isTyped()) << i;
        EXPECT_TRUE(values[i].equal(param.getValue()))
            << "P" << i << ": " << values[i].toString() << " came back as " << param.getValue().toString();
    }
}

// wbemcli takes a response without IRETURNVALUE for an empty one; other clients do not. The
// envelope and the message ID echoed are read by wbemcli in every integration test and by the HTTP
// tests, attribute escaping is the errors' test's.
TEST(CodecEncodeEnvelope, EmptyResultsStillAnswer)
{
    for (CimResponse::ReturnKind kind : {CimResponse::InstanceNames, CimResponse::NamedInstances,
                                         CimResponse::ClassNames, CimResponse::PropertyValue})
        EXPECT_NE(std::string::npos,
                  encodeResponse(intrinsicResponse(kind))
                      .find("<IMETHODRESPONSE NAME=\"EnumerateInstances\"><IRETURNVALUE></IRETURNVALUE>"))
            << kind;

    // Nothing to answer (a DeleteInstance) writes no IRETURNVALUE at all.
    EXPECT_NE(std::string::npos,
              encodeResponse(intrinsicResponse(CimResponse::NoReturn))
                  .find("<IMETHODRESPONSE NAME=\"EnumerateInstances\"></IMETHODRESPONSE>"));
    CimResponse noReturn;
    noReturn.kind = OperationKind::Extrinsic;
    noReturn.methodName = "M";
    EXPECT_NE(std::string::npos,
              encodeResponse(noReturn).find("<METHODRESPONSE NAME=\"M\"></METHODRESPONSE>"));
}

TEST(CodecEncodeEnvelope, ErrorsCarryCodeAndEscapedDescription)
{
    CimRequest request;
    request.messageId = "77";
    request.kind = OperationKind::Extrinsic;
    request.methodName = "ReturnToStoragePool";
    const CimResponse error = CimResponse::error(request, CIM_ERR_NOT_FOUND, "no <such> \"element\" & more");
    EXPECT_TRUE(error.isError);
    EXPECT_EQ("77", error.messageId);

    pugi::xml_document document;
    pugi::xml_node answer = parsed(document, encodeResponse(error), "/CIM/MESSAGE/SIMPLERSP/METHODRESPONSE");
    EXPECT_EQ(std::vector<std::string>{"ERROR"}, childNames(answer));
    EXPECT_STREQ("6", answer.child("ERROR").attribute("CODE").value());
    EXPECT_STREQ("no <such> \"element\" & more", answer.child("ERROR").attribute("DESCRIPTION").value());

    request.kind = OperationKind::Intrinsic;
    request.methodName = "OpenEnumerateInstances";
    CimResponse unsupported = CimResponse::error(request, CIM_ERR_NOT_SUPPORTED, "");
    unsupported.returnKind = CimResponse::InstanceNames; // an error answers with ERROR alone
    answer = parsed(document, encodeResponse(unsupported), "/CIM/MESSAGE/SIMPLERSP/IMETHODRESPONSE");
    EXPECT_EQ(std::vector<std::string>{"ERROR"}, childNames(answer));
    EXPECT_STREQ("7", answer.child("ERROR").attribute("CODE").value());
}

TEST(CodecEncodeResults, EachReturnKindWritesItsElements)
{
    CimResponse response = intrinsicResponse(CimResponse::NoReturn);
    response.classNames.append(CIMName("CIM_Job"));
    response.classNames.append(CIMName("CIM_StoragePool"));
    CIMClass job(CIMName("CIM_Job"), CIMName("CIM_LogicalElement"));
    job.addProperty(CIMProperty(CIMName("InstanceID"), CIMValue(CIMTYPE_STRING, false)));
    response.classes.append(job);
    response.instances.append(setting());
    response.objects.append(CIMObject(setting()));
    response.paths.append(setting().getPath());
    response.value = CIMValue(Array<Uint16>(2, Uint16(3)));

    // The kinds wbemcli reads in the integration tests (gc, gi, ei, ai, ain) are theirs; it takes an
    // OBJECTPATH for an INSTANCENAME, and none of them asks for the others.
    const std::tuple<CimResponse::ReturnKind, std::vector<std::string>> kinds[] = {
        {CimResponse::ClassNames, {"CLASSNAME", "CLASSNAME"}},
        {CimResponse::Classes, {"CLASS"}},
        {CimResponse::InstanceNames, {"INSTANCENAME"}},
        {CimResponse::NewInstanceName, {"INSTANCENAME"}},
        {CimResponse::PropertyValue, {"VALUE.ARRAY"}},
    };
    for (const auto& [kind, elements] : kinds)
    {
        response.returnKind = kind;
        pugi::xml_document document;
        const pugi::xml_node result =
            parsed(document, encodeResponse(response), "/CIM/MESSAGE/SIMPLERSP/IMETHODRESPONSE/IRETURNVALUE");
        EXPECT_EQ(elements, childNames(result)) << kind;
    }

    // A named instance as the encoder writes it is what ModifyInstance takes back.
    response.returnKind = CimResponse::NamedInstances;
    pugi::xml_document document;
    const pugi::xml_node named =
        parsed(document, encodeResponse(response),
               "/CIM/MESSAGE/SIMPLERSP/IMETHODRESPONSE/IRETURNVALUE/VALUE.NAMEDINSTANCE");
    const CimRequest modify =
        decodeRequest(requestAround("<IMETHODCALL NAME=\"ModifyInstance\"><LOCALNAMESPACEPATH><NAMESPACE "
                                    "NAME=\"root\"/><NAMESPACE NAME=\"snia\"/>"
                                    "</LOCALNAMESPACEPATH><IPARAMVALUE NAME=\"ModifiedInstance\">" +
                                    serialized(named) + "</IPARAMVALUE></IMETHODCALL>"));
    ASSERT_FALSE(modify.hasDecodeError) << modify.decodeErrorText;
    const CIMInstance back = modify.iparam("ModifiedInstance")->instance;
    EXPECT_EQ(CIMObjectPath("X_Setting.InstanceID=\"S<1>\""), back.getPath());
    EXPECT_EQ(3u, back.getPropertyCount());
    EXPECT_EQ(setting().getProperty(1).getValue(), back.getProperty(back.findProperty("Sizes")).getValue());
}
