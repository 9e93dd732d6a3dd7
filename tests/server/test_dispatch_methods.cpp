// Extrinsic calls: untyped parameters typed from the method declaration, typed ones passed on,
// undeclared ones kept as sent, and the error codes of the typing and the routing.
#include "test_dispatch_fixture.h"

using namespace Pegasus;
using namespace dispatchtest;
using cimhost::CimResponse;

namespace
{

class DispatchMethods : public ::testing::Test
{
protected:
    CimResponse echo(const Array<CIMParamValue>& params, const char* method = "Echo")
    {
        return host.invoke(widgetPath("w1"), method, params);
    }

    Host host;
};

CIMParamValue untyped(const char* name, const char* value)
{
    return CIMParamValue(name, CIMValue(String(value)), false);
}

CIMParamValue untypedArray(const char* name, std::initializer_list<const char*> values)
{
    Array<String> texts;
    for (const char* value : values)
        texts.append(String(value));
    return CIMParamValue(name, CIMValue(texts), false);
}

Array<CIMParamValue> params(std::initializer_list<CIMParamValue> list)
{
    Array<CIMParamValue> result;
    for (const CIMParamValue& p : list)
        result.append(p);
    return result;
}

// The output parameter of that name.
CIMValue out(const CimResponse& response, const char* name)
{
    for (Uint32 i = 0; i < response.outParams.size(); ++i)
        if (String::equalNoCase(response.outParams[i].getParameterName(), name))
            return response.outParams[i].getValue();
    ADD_FAILURE() << "no output parameter " << name;
    return CIMValue();
}

std::string typeOf(const CimResponse& response, const char* name)
{
    String type;
    out(response, (std::string(name) + "Type").c_str()).get(type);
    return text(type);
}

} // namespace

TEST_F(DispatchMethods, UntypedParametersGetTheDeclaredTypes)
{
    CimResponse response = echo(
        params({untyped("Count", "42"), untyped("Small", "-128"), untyped("Flag", "true"),
                untyped("Ratio", "0.5"), untyped("Letter", "x"), untyped("When", "20240102030405.000000+000"),
                untypedArray("Names", {"a", "b"}), untypedArray("Sizes", {"1", "0x10"}),
                untyped("Target", "Test_Widget.Id=\"w2\""), untyped("Big", "18446744073709551615")}));
    EXPECT_CIM_OK(response);
    EXPECT_EQ(response.kind, cimhost::OperationKind::Extrinsic);
    Uint32 count = 0;
    response.returnValue.get(count);
    EXPECT_EQ(count, 10u);

    EXPECT_EQ(typeOf(response, "Count"), "uint32");
    EXPECT_EQ(typeOf(response, "Small"), "sint8");
    EXPECT_EQ(typeOf(response, "Flag"), "boolean");
    EXPECT_EQ(typeOf(response, "Ratio"), "real32");
    EXPECT_EQ(typeOf(response, "Letter"), "char16");
    EXPECT_EQ(typeOf(response, "When"), "datetime");
    EXPECT_EQ(typeOf(response, "Names"), "string[]");
    EXPECT_EQ(typeOf(response, "Sizes"), "uint16[]");
    EXPECT_EQ(typeOf(response, "Target"), "reference");
    Sint8 small = 0;
    out(response, "Small").get(small);
    EXPECT_EQ(small, -128);
    Array<Uint16> sizes;
    out(response, "Sizes").get(sizes);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[1], 16);
    Uint64 big = 0;
    out(response, "Big").get(big);
    EXPECT_EQ(big, 18446744073709551615ULL);
    CIMObjectPath target;
    out(response, "Target").get(target);
    EXPECT_EQ(keysOf(Array<CIMObjectPath>(&target, 1)), (std::vector<std::string>{"w2"}));

    // The provider is called on the target with this host and the namespace.
    String calledOn;
    out(response, "CalledOn").get(calledOn);
    EXPECT_EQ(text(calledOn), "//testhost/test/dispatch:Test_Widget.Id=\"w1\"");
}

TEST_F(DispatchMethods, TypedParametersPassUnchangedAndUndeclaredOnesStayAsSent)
{
    CimResponse response = echo(params({CIMParamValue("Count", CIMValue(Uint64(5))), untyped("Small", "1"),
                                        untyped("Undeclared", "hello")}));
    EXPECT_CIM_OK(response);
    EXPECT_EQ(typeOf(response, "Count"), "uint64");
    EXPECT_EQ(typeOf(response, "Small"), "sint8");
    EXPECT_EQ(typeOf(response, "Undeclared"), "string untyped");

    // Nothing untyped: the declaration is not consulted, even for a method the class lacks.
    CimResponse unknown = echo(params({CIMParamValue("X", CIMValue(Uint32(1)))}), "Undeclared");
    EXPECT_CIM_ERROR(unknown, CIM_ERR_METHOD_NOT_FOUND);
    EXPECT_EQ(unknown.errorDescription, "Undeclared") << "answered by the provider, not the host";

    // No parameters at all reach the provider; a null return value stays null.
    CimResponse nothing = echo(Array<CIMParamValue>(), "ReturnNothing");
    EXPECT_CIM_OK(nothing);
    EXPECT_TRUE(nothing.returnValue.isNull());
}

TEST_F(DispatchMethods, TypingErrors)
{
    CimResponse unknown = echo(params({untyped("X", "1")}), "Undeclared");
    EXPECT_CIM_ERROR(unknown, CIM_ERR_METHOD_NOT_FOUND);
    EXPECT_NE(unknown.errorDescription.find("no method"), std::string::npos);

    const std::vector<CIMParamValue> unconvertible = {
        untyped("Count", "abc"),         untyped("Count", "4294967296"),
        untyped("Small", "200"),         untyped("Flag", "maybe"),
        untyped("Letter", "xy"),         untyped("When", "yesterday"),
        untyped("Target", "not a path"), untypedArray("Sizes", {"1", "-1"}),
        untypedArray("Count", {"1"}),    untyped("Names", "a")};
    for (const CIMParamValue& bad : unconvertible)
    {
        CimResponse response = echo(params({bad}));
        EXPECT_CIM_ERROR(response, CIM_ERR_INVALID_PARAMETER) << text(bad.getParameterName());
        EXPECT_NE(response.errorDescription.find(text(bad.getParameterName())), std::string::npos)
            << response.errorDescription;
    }
}

TEST_F(DispatchMethods, RoutingErrors)
{
    // Test_Group has neither methods nor a method provider.
    EXPECT_CIM_ERROR(host.invoke(objectPath("Test_Group", "Name", "g1"), "Anything", Array<CIMParamValue>()),
                     CIM_ERR_NOT_SUPPORTED);
    EXPECT_CIM_ERROR(
        host.invoke(objectPath("Test_Group", "Name", "g1"), "Anything", params({untyped("A", "1")})),
        CIM_ERR_METHOD_NOT_FOUND);
    EXPECT_CIM_ERROR(host.invoke(widgetPath("w1", "No_Such"), "Echo", Array<CIMParamValue>()),
                     CIM_ERR_INVALID_CLASS);

    cimhost::CimRequest request;
    request.kind = cimhost::OperationKind::Extrinsic;
    request.methodName = "Echo";
    request.nameSpace = CIMNamespaceName("no/such");
    request.target = widgetPath("w1");
    EXPECT_CIM_ERROR(host.dispatcher->execute(request, OperationContext()), CIM_ERR_INVALID_NAMESPACE);
}
