// CIM-XML request decoding: every element form, HTTP faults and bad values. The bodies wbemcli
// sends (enumerations, gets, extrinsic calls with untyped parameters and references) are decoded
// by every integration test.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>

#include "CimValueText.h"
#include "RequestDecoder.h"

using namespace cimhost;
using namespace Pegasus;

namespace
{

std::string envelope(const std::string& call, const std::string& cimVersion = "2.0",
                     const std::string& protocolVersion = "1.0")
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<CIM CIMVERSION=\"" + cimVersion +
           "\" DTDVERSION=\"2.0\">\n<MESSAGE ID=\"4711\" PROTOCOLVERSION=\"" + protocolVersion +
           "\"><SIMPLEREQ>" + call + "</SIMPLEREQ>\n</MESSAGE></CIM>\n";
}

const char* rootSnia =
    "<LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"></NAMESPACE><NAMESPACE NAME=\"snia\"></NAMESPACE>"
    "</LOCALNAMESPACEPATH>";

std::string intrinsic(const std::string& name, const std::string& params)
{
    return envelope("<IMETHODCALL NAME=\"" + name + "\">\n" + rootSnia + "\n" + params + "</IMETHODCALL>");
}

std::string method(const std::string& target, const std::string& params)
{
    return envelope("<METHODCALL NAME=\"CreateOrModifyElementFromStoragePool\">" + target + params +
                    "</METHODCALL>");
}

std::string param(const std::string& name, const std::string& content, const std::string& attributes = "")
{
    return "<PARAMVALUE NAME=\"" + name + "\"" + attributes + ">" + content + "</PARAMVALUE>";
}

CIMValue valueOf(const CimRequest& request, const char* name)
{
    for (Uint32 i = 0; i < request.params.size(); ++i)
        if (request.params[i].getParameterName() == name) return request.params[i].getValue();
    ADD_FAILURE() << "no parameter " << name;
    return CIMValue();
}

// An embedded object's text as it sits inside VALUE.
std::string escaped(const std::string& xml)
{
    std::string text;
    for (char c : xml)
        text += c == '<' ? std::string("&lt;") : c == '&' ? std::string("&amp;") : std::string(1, c);
    return text;
}

const char* poolReference =
    "<VALUE.REFERENCE><INSTANCEPATH><NAMESPACEPATH><HOST>localhost</HOST>"
    "<LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"/><NAMESPACE NAME=\"snia\"/>"
    "</LOCALNAMESPACEPATH></NAMESPACEPATH><INSTANCENAME CLASSNAME=\"CIM_StoragePool\">"
    "<KEYBINDING NAME=\"InstanceID\"><KEYVALUE VALUETYPE=\"string\">37000003</KEYVALUE>"
    "</KEYBINDING></INSTANCENAME></INSTANCEPATH></VALUE.REFERENCE>";

} // namespace

TEST(CodecDecodeForms, ReferenceFormsAndKeyBindings)
{
    const std::string ns =
        "<NAMESPACEPATH><HOST>array.example</HOST>" + std::string(rootSnia) + "</NAMESPACEPATH>";
    const std::string name = "<INSTANCENAME CLASSNAME=\"CIM_Job\"><KEYBINDING NAME=\"InstanceID\">"
                             "<KEYVALUE>J1</KEYVALUE></KEYBINDING></INSTANCENAME>";
    const std::tuple<std::string, const char*> forms[] = {
        {"<INSTANCEPATH>" + ns + name + "</INSTANCEPATH>",
         "//array.example/root/snia:CIM_Job.InstanceID=\"J1\""},
        {"<LOCALINSTANCEPATH>" + std::string(rootSnia) + name + "</LOCALINSTANCEPATH>",
         "root/snia:CIM_Job.InstanceID=\"J1\""},
        {name, "CIM_Job.InstanceID=\"J1\""},
        {"<CLASSPATH>" + ns + "<CLASSNAME NAME=\"CIM_Job\"/></CLASSPATH>",
         "//array.example/root/snia:CIM_Job"},
        {"<LOCALCLASSPATH>" + std::string(rootSnia) + "<CLASSNAME NAME=\"CIM_Job\"/></LOCALCLASSPATH>",
         "root/snia:CIM_Job"},
        {"<CLASSNAME NAME=\"CIM_Job\"/>", "CIM_Job"},
    };
    for (const auto& [form, path] : forms)
    {
        const CimRequest request =
            decodeRequest(intrinsic("ReferenceNames", "<IPARAMVALUE NAME=\"ObjectName\"><VALUE.REFERENCE>" +
                                                          form + "</VALUE.REFERENCE></IPARAMVALUE>"));
        ASSERT_FALSE(request.hasDecodeError) << request.decodeErrorText;
        const IParamValue* objectName = request.iparam("objectname"); // CIM names: found ignoring case
        ASSERT_NE(objectName, nullptr);
        EXPECT_EQ(CIMObjectPath(path), objectName->path) << path;
    }

    // An IPARAMVALUE without content is a null value, not an empty text.
    const CimRequest empty =
        decodeRequest(intrinsic("References", "<IPARAMVALUE NAME=\"Role\"></IPARAMVALUE>"));
    ASSERT_NE(empty.iparam("Role"), nullptr);
    EXPECT_EQ(IParamValue::Null, empty.iparam("Role")->kind);

    // Both VALUETYPE and TYPE, boolean and numeric keys in normal form, a reference key, and the
    // keyless single-key form.
    const CimRequest keys = decodeRequest(
        intrinsic("GetInstance",
                  "<IPARAMVALUE NAME=\"InstanceName\"><INSTANCENAME CLASSNAME=\"X_Element\">"
                  "<KEYBINDING NAME=\"Flag\"><KEYVALUE VALUETYPE=\"boolean\"> true </KEYVALUE></KEYBINDING>"
                  "<KEYBINDING NAME=\"Number\"><KEYVALUE TYPE=\"uint16\">0x1F</KEYVALUE></KEYBINDING>"
                  "<KEYBINDING NAME=\"Owner\">" +
                      std::string(poolReference) +
                      "</KEYBINDING>"
                      "</INSTANCENAME></IPARAMVALUE>"));
    ASSERT_FALSE(keys.hasDecodeError) << keys.decodeErrorText;
    const Array<CIMKeyBinding>& bindings = keys.iparam("InstanceName")->path.getKeyBindings();
    ASSERT_EQ(3u, bindings.size());
    EXPECT_EQ(CIMKeyBinding::BOOLEAN, bindings[0].getType());
    EXPECT_EQ(String("TRUE"), bindings[0].getValue());
    EXPECT_EQ(CIMKeyBinding::NUMERIC, bindings[1].getType());
    EXPECT_EQ(String("31"), bindings[1].getValue());
    EXPECT_EQ(CIMKeyBinding::REFERENCE, bindings[2].getType());
    EXPECT_EQ(CIMObjectPath("//localhost/root/snia:CIM_StoragePool.InstanceID=\"37000003\""),
              CIMObjectPath(bindings[2].getValue()));

    const CimRequest lone = decodeRequest(intrinsic(
        "GetInstance", "<IPARAMVALUE NAME=\"InstanceName\"><INSTANCENAME CLASSNAME=\"X_Single\">"
                       "<KEYVALUE VALUETYPE=\"numeric\">-12</KEYVALUE></INSTANCENAME></IPARAMVALUE>"));
    ASSERT_EQ(1u, lone.iparam("InstanceName")->path.getKeyBindings().size());
    EXPECT_TRUE(lone.iparam("InstanceName")->path.getKeyBindings()[0].getName().isNull());
    EXPECT_EQ(String("-12"), lone.iparam("InstanceName")->path.getKeyBindings()[0].getValue());
}

TEST(CodecDecodeForms, InstancesAndEmbeddedInstances)
{
    const std::string instance =
        "<INSTANCE CLASSNAME=\"X_Setting\"><QUALIFIER NAME=\"Description\" TYPE=\"string\"><VALUE>d</VALUE>"
        "</QUALIFIER><PROPERTY NAME=\"InstanceID\" TYPE=\"string\"><VALUE>S1</VALUE></PROPERTY>"
        "<PROPERTY NAME=\"Redundancy\" TYPE=\"uint16\"><VALUE>2</VALUE></PROPERTY>"
        "<PROPERTY.ARRAY NAME=\"Sizes\" "
        "TYPE=\"uint64\"><VALUE.ARRAY><VALUE>1</VALUE><VALUE>18446744073709551615"
        "</VALUE></VALUE.ARRAY></PROPERTY.ARRAY><PROPERTY NAME=\"Empty\" TYPE=\"datetime\"></PROPERTY>"
        "<PROPERTY.REFERENCE NAME=\"Pool\" REFERENCECLASS=\"CIM_StoragePool\">" +
        std::string(poolReference) + "</PROPERTY.REFERENCE></INSTANCE>";
    const CimRequest create = decodeRequest(
        intrinsic("CreateInstance", "<IPARAMVALUE NAME=\"NewInstance\">" + instance + "</IPARAMVALUE>"));
    ASSERT_FALSE(create.hasDecodeError) << create.decodeErrorText;
    const CIMInstance decoded = create.iparam("NewInstance")->instance;
    EXPECT_EQ(IParamValue::Instance, create.iparam("NewInstance")->kind);
    ASSERT_EQ(5u, decoded.getPropertyCount());
    EXPECT_EQ(CIMValue(Uint16(2)), decoded.getProperty(decoded.findProperty("Redundancy")).getValue());
    Array<Uint64> sizes;
    decoded.getProperty(decoded.findProperty("Sizes")).getValue().get(sizes);
    EXPECT_EQ(std::numeric_limits<Uint64>::max(), sizes[1]);
    const CIMConstProperty empty = decoded.getProperty(decoded.findProperty("Empty"));
    EXPECT_TRUE(empty.getValue().isNull());
    EXPECT_EQ(CIMTYPE_DATETIME, empty.getType());
    EXPECT_EQ(CIMName("CIM_StoragePool"),
              decoded.getProperty(decoded.findProperty("Pool")).getReferenceClassName());

    // CDATA and unescaped INSTANCE text where an embedded object goes (the escaped form the encoder
    // writes goes through the encoder tests' round trip); the typed forms around it.
    const CimRequest call = decodeRequest(method(
        "<LOCALCLASSPATH>" + std::string(rootSnia) + "<CLASSNAME NAME=\"X_Service\"/></LOCALCLASSPATH>",
        param("Any", "<VALUE><![CDATA[" + instance + "]]></VALUE>", " EmbeddedObject=\"object\"") +
            param("Count", "<VALUE> 7 </VALUE>", " PARAMTYPE=\"uint32\"") +
            param("When", "", " PARAMTYPE=\"datetime\"") + param("Direct", instance) + param("Goal", "")));
    ASSERT_FALSE(call.hasDecodeError) << call.decodeErrorText;
    CIMObject any;
    valueOf(call, "Any").get(any);
    EXPECT_TRUE(CIMInstance(any).identical(decoded));
    EXPECT_EQ(CIMValue(Uint32(7)), valueOf(call, "Count"));
    EXPECT_TRUE(call.params[2].isTyped());
    EXPECT_EQ(CIMTYPE_DATETIME, valueOf(call, "When").getType());
    EXPECT_TRUE(valueOf(call, "When").isNull());
    EXPECT_EQ(CIMTYPE_INSTANCE, valueOf(call, "Direct").getType());
    EXPECT_FALSE(call.params[4].isTyped()); // untyped and empty: a null the declaration will type
    EXPECT_TRUE(valueOf(call, "Goal").isNull());
}

// A body that is not XML or far too deep is hostile.sh's, one that is not UTF-8 or not a CIM
// document test_http.cpp's, through the whole server.
TEST(CodecDecodeFaults, ProtocolFaultsCarryStatusAndHeader)
{
    const std::string good =
        "<IMETHODCALL NAME=\"EnumerateClassNames\">" + std::string(rootSnia) + "</IMETHODCALL>";
    std::string wide; // flat, but more elements than the decoder takes
    for (int i = 0; i <= 100000; ++i)
        wide += "<VALUE>1</VALUE>";
    const std::tuple<std::string, int, const char*> cases[] = {
        {"", 400, "request-not-valid"},
        {envelope(good).substr(0, 120), 400, "request-not-well-formed"},
        {envelope(good) + "<CIM/>", 400, "request-not-well-formed"},
        {"<!DOCTYPE CIM [<!ENTITY x \"y\">]>" + envelope(good).substr(envelope(good).find("<CIM")), 400,
         "request-not-valid"},
        {envelope(good, "3.0"), 501, "unsupported-cim-version"},
        {envelope(good, "2.0", "2.0"), 501, "unsupported-protocol-version"},
        {"<CIM CIMVERSION=\"2.0\" DTDVERSION=\"1.1\"><MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"/></CIM>", 501,
         "unsupported-dtd-version"},
        {"<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><MULTIREQ>"
         "</MULTIREQ></MESSAGE></CIM>",
         501, "multiple-requests-unsupported"},
        {"<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE PROTOCOLVERSION=\"1.0\"><SIMPLEREQ>" + good +
             "</SIMPLEREQ></MESSAGE></CIM>",
         400, "request-not-valid"},
        {envelope("<IMETHODCALL>" + std::string(rootSnia) + "</IMETHODCALL>"), 400, "request-not-valid"},
        {envelope("<IMETHODCALL NAME=\"GetClass\"></IMETHODCALL>"), 400, "request-not-valid"},
        {envelope("<IMETHODCALL NAME=\"GetClass\"><LOCALNAMESPACEPATH/></IMETHODCALL>"), 400,
         "request-not-valid"},
        {intrinsic("GetClass", "<PARAMVALUE NAME=\"ClassName\"/>"), 400, "request-not-valid"},
        {intrinsic("GetClass", "<IPARAMVALUE NAME=\"ClassName\"><BOGUS/></IPARAMVALUE>"), 400,
         "request-not-valid"},
        {intrinsic("GetClass", "stray text"), 400, "request-not-valid"},
        {intrinsic("GetClass", "<IPARAMVALUE NAME=\"A\"><VALUE>x<B/></VALUE></IPARAMVALUE>"), 400,
         "request-not-valid"},
        {method("<LOCALNAMESPACEPATH/>", ""), 400, "request-not-valid"},
        {method("<LOCALCLASSPATH>" + std::string(rootSnia) + "<CLASSNAME NAME=\"C\"/></LOCALCLASSPATH>",
                param("P", "<VALUE>1</VALUE>", " PARAMTYPE=\"uint33\"")),
         400, "request-not-valid"},
        {intrinsic("GetClass",
                   "<IPARAMVALUE NAME=\"A\"><VALUE.ARRAY>" + wide + "</VALUE.ARRAY></IPARAMVALUE>"),
         400, "request-not-valid"},
    };
    for (const auto& [body, status, header] : cases)
    {
        try
        {
            decodeRequest(body);
            ADD_FAILURE() << "accepted: " << body.substr(0, 400);
        }
        catch (const CimXmlError& error)
        {
            EXPECT_EQ(status, error.httpStatus) << body.substr(0, 400);
            EXPECT_EQ(header, error.cimError) << body.substr(0, 400) << ": " << error.what();
        }
    }
}

// A numeric key that is not a number is CimHttpServerTest.AnswersADecodeErrorInsideTheMethodResponse's.
TEST(CodecDecodeFaults, BadValuesBecomeCimErrorsWithTheRequestStillKnown)
{
    const std::string target =
        "<LOCALCLASSPATH>" + std::string(rootSnia) + "<CLASSNAME NAME=\"X_Service\"/></LOCALCLASSPATH>";
    const std::string keyed = "<IPARAMVALUE NAME=\"InstanceName\"><INSTANCENAME CLASSNAME=\"X_E\">";
    const std::tuple<std::string, CIMStatusCode, const char*> cases[] = {
        {method(target, param("Size", "<VALUE>abc</VALUE>", " PARAMTYPE=\"uint32\"")),
         CIM_ERR_INVALID_PARAMETER, "uint32"},
        {method(target, param("Small", "<VALUE>256</VALUE>", " PARAMTYPE=\"uint8\"")),
         CIM_ERR_INVALID_PARAMETER, "256"},
        {method(target, param("When", "<VALUE>2024-01-01</VALUE>", " PARAMTYPE=\"datetime\"")),
         CIM_ERR_INVALID_PARAMETER, "datetime"},
        {method(target, param("Letter", "<VALUE>ab</VALUE>", " PARAMTYPE=\"char16\"")),
         CIM_ERR_INVALID_PARAMETER, "char16"},
        {method(target, param("Flags", "<VALUE.ARRAY><VALUE>TRUE</VALUE><VALUE>yes</VALUE></VALUE.ARRAY>",
                              " PARAMTYPE=\"boolean\"")),
         CIM_ERR_INVALID_PARAMETER, "yes"},
        {method(target, param("Goal", "<VALUE>&lt;INSTANCE</VALUE>", " EmbeddedObject=\"instance\"")),
         CIM_ERR_INVALID_PARAMETER, "Goal"},
        {method(target, param("Size", "<VALUE>1</VALUE>") + param("size", "<VALUE>2</VALUE>")),
         CIM_ERR_INVALID_PARAMETER, "twice"},
        {method(target, param("1Bad", "<VALUE>1</VALUE>")), CIM_ERR_INVALID_PARAMETER, "1Bad"},
        {intrinsic("GetInstance", keyed + "<KEYBINDING NAME=\"N\"><KEYVALUE TYPE=\"sint8\">-129</KEYVALUE>"
                                          "</KEYBINDING></INSTANCENAME></IPARAMVALUE>"),
         CIM_ERR_INVALID_PARAMETER, "sint8"},
        {intrinsic("GetInstance", "<IPARAMVALUE NAME=\"InstanceName\"><INSTANCENAME CLASSNAME=\"Bad Class\">"
                                  "</INSTANCENAME></IPARAMVALUE>"),
         CIM_ERR_INVALID_PARAMETER, "Bad Class"},
        {intrinsic("CreateInstance",
                   "<IPARAMVALUE NAME=\"NewInstance\"><INSTANCE CLASSNAME=\"X\"><PROPERTY NAME="
                   "\"P\" TYPE=\"real32\"><VALUE>1e39</VALUE></PROPERTY></INSTANCE></IPARAMVALUE>"),
         CIM_ERR_INVALID_PARAMETER, "real32"},
        {intrinsic("CreateClass", "<IPARAMVALUE NAME=\"NewClass\"><CLASS NAME=\"X\"/></IPARAMVALUE>"),
         CIM_ERR_NOT_SUPPORTED, "CLASS"},
    };
    for (const auto& [body, code, mentions] : cases)
    {
        const CimRequest request = decodeRequest(body);
        ASSERT_TRUE(request.hasDecodeError) << body;
        EXPECT_EQ(code, request.decodeErrorCode) << body;
        EXPECT_NE(std::string::npos, request.decodeErrorText.find(mentions)) << request.decodeErrorText;
        EXPECT_EQ("4711", request.messageId);
        EXPECT_FALSE(request.methodName.empty());
        EXPECT_EQ(CIMNamespaceName("root/snia"), request.nameSpace);
    }

    const CimRequest badNamespace = decodeRequest(envelope(
        "<IMETHODCALL NAME=\"GetClass\"><LOCALNAMESPACEPATH><NAMESPACE NAME=\"ro ot\"/></LOCALNAMESPACEPATH>"
        "</IMETHODCALL>"));
    EXPECT_TRUE(badNamespace.hasDecodeError);
    EXPECT_EQ(CIM_ERR_INVALID_NAMESPACE, badNamespace.decodeErrorCode);
}

TEST(CodecDecodeFaults, EmbeddedObjectsCountAgainstTheNestingLimit)
{
    // Each level wraps the previous instance, escaped, in a property of an outer one.
    const auto nested = [](int levels)
    {
        std::string instance = "<INSTANCE CLASSNAME=\"X\"></INSTANCE>";
        for (int i = 1; i < levels; ++i)
            instance = "<INSTANCE CLASSNAME=\"X\"><PROPERTY NAME=\"Inner\" TYPE=\"string\" "
                       "EmbeddedObject=\"instance\">"
                       "<VALUE>" +
                       escaped(instance) + "</VALUE></PROPERTY></INSTANCE>";
        return method(
            "<LOCALCLASSPATH>" + std::string(rootSnia) + "<CLASSNAME NAME=\"X\"/></LOCALCLASSPATH>",
            param("Goal", "<VALUE>" + escaped(instance) + "</VALUE>", " EmbeddedObject=\"instance\""));
    };
    DecoderLimits limits;
    limits.maxDepth = 12; // the outermost VALUE is at depth 6; each level adds three
    const CimRequest twoLevels = decodeRequest(nested(2), limits);
    EXPECT_FALSE(twoLevels.hasDecodeError) << twoLevels.decodeErrorText;
    CIMInstance outer;
    valueOf(twoLevels, "Goal").get(outer);
    EXPECT_EQ(CIMTYPE_INSTANCE, outer.getProperty(0).getType());

    const CimRequest tooDeep = decodeRequest(nested(3), limits);
    EXPECT_TRUE(tooDeep.hasDecodeError);
    EXPECT_EQ(CIM_ERR_INVALID_PARAMETER, tooDeep.decodeErrorCode);
    EXPECT_NE(std::string::npos, tooDeep.decodeErrorText.find("nested")) << tooDeep.decodeErrorText;
    // The default limit, 64 levels: nested(20) reaches exactly 64, nested(21) 67.
    EXPECT_FALSE(decodeRequest(nested(20)).hasDecodeError);
    EXPECT_TRUE(decodeRequest(nested(21)).hasDecodeError);
}

// The extremes of each type in their usual form come back through the encoder's round trip.
TEST(CodecValueText, IntegersRealsAndCharacters)
{
    EXPECT_EQ(CIMValue(Uint64(0xFFFFFFFFFFFFFFFFull)), scalarFromText(CIMTYPE_UINT64, "0xffffffffffffffff"));
    EXPECT_EQ(CIMValue(Sint8(-16)), scalarFromText(CIMTYPE_SINT8, "-0x10"));
    EXPECT_EQ(CIMValue(Uint16(8)), scalarFromText(CIMTYPE_UINT16, "+008")); // decimal, not octal
    EXPECT_EQ(CIMValue(Uint32(0)), scalarFromText(CIMTYPE_UINT32, "-0"));
    for (const char* bad : {"", "-", "1 2", "0x", "--1", "+-1", "1.0", "18446744073709551616", "-1"})
        EXPECT_THROW(scalarFromText(CIMTYPE_UINT64, bad), ValueTextError) << bad;
    EXPECT_THROW(scalarFromText(CIMTYPE_SINT64, "9223372036854775808"), ValueTextError);
    EXPECT_THROW(scalarFromText(CIMTYPE_SINT16, "32768"), ValueTextError);

    EXPECT_EQ(CIMValue(Real64(-1.5e-3)), scalarFromText(CIMTYPE_REAL64, "-1.5E-3"));
    EXPECT_EQ(CIMValue(Real32(0.25f)), scalarFromText(CIMTYPE_REAL32, " +.25 "));
    Real32 notANumber = 0;
    scalarFromText(CIMTYPE_REAL32, "NaN").get(notANumber);
    EXPECT_TRUE(std::isnan(notANumber));
    for (const char* bad : {"infinity", "0x1p3", "1.2.3", "e5", "1e", ""})
        EXPECT_THROW(scalarFromText(CIMTYPE_REAL64, bad), ValueTextError) << bad;

    EXPECT_THROW(scalarFromText(CIMTYPE_CHAR16, "\xF0\x9F\x98\x80"), ValueTextError); // two UTF-16 units
    EXPECT_EQ(CIMValue(String(" padded ")), scalarFromText(CIMTYPE_STRING, " padded "));
    EXPECT_THROW(scalarFromText(CIMTYPE_INSTANCE, "<INSTANCE/>"), ValueTextError);
    EXPECT_THROW(normalIntegerText("-18446744073709551615"), ValueTextError);
}
