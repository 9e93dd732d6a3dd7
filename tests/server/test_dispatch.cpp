// The dispatcher over the test module: instance operations routed to the class's provider and, for
// enumerations, to the providers of its subclasses, with the flags and property lists applied to
// what providers answer; class operations from the schema; association requests asking only the
// providers that can answer; extrinsic calls with untyped parameters typed from the declaration;
// and the code of every request fault. The real modules behind cimhost answer the same way in the
// integration tests (fan-out to a subclass, not found, invalid class and namespace, refused
// associations answering empty).
#include "test_dispatch_fixture.h"

using namespace Pegasus;
using namespace dispatchtest;
using cimhost::CimResponse;

namespace
{

class DispatchTest : public ::testing::Test
{
protected:
    Host host;
};
using DispatchInstances = DispatchTest;
using DispatchClasses = DispatchTest;
using DispatchAssociations = DispatchTest;
using DispatchMethods = DispatchTest;

const CIMObjectPath G1 = objectPath("Test_Group", "Name", "g1");
const CIMObjectPath G2 = objectPath("Test_Group", "Name", "g2");

std::vector<std::string> idsOf(const Array<CIMInstance>& instances)
{
    std::vector<std::string> ids;
    for (Uint32 i = 0; i < instances.size(); ++i)
        ids.push_back(text(valueOf<String>(instances[i], "Id")));
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<std::string> keysOfObjects(const Array<CIMObject>& objects)
{
    Array<CIMObjectPath> paths;
    for (Uint32 i = 0; i < objects.size(); ++i)
        paths.append(objects[i].getPath());
    return keysOf(paths);
}

std::vector<std::string> propertyNames(const CIMClass& cimClass)
{
    std::vector<std::string> names;
    for (Uint32 i = 0; i < cimClass.getPropertyCount(); ++i)
        names.push_back(text(cimClass.getProperty(i).getName().getString()));
    std::sort(names.begin(), names.end());
    return names;
}

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
CIMValue out(const CimResponse& response, const std::string& name)
{
    for (Uint32 i = 0; i < response.outParams.size(); ++i)
        if (String::equalNoCase(response.outParams[i].getParameterName(), name.c_str()))
            return response.outParams[i].getValue();
    ADD_FAILURE() << "no output parameter " << name;
    return CIMValue();
}

} // namespace

TEST_F(DispatchInstances, GetInstanceAnswersACompletePathAndFiltersOnACopy)
{
    CimResponse plain = host.call("GetInstance", {pathParam("InstanceName", widgetPath("w1"))});
    EXPECT_CIM_OK(plain);
    ASSERT_EQ(plain.returnKind, CimResponse::SingleInstance);
    const CIMInstance& w1 = plain.instances[0];
    EXPECT_EQ(text(w1.getPath().toString()), "//testhost/test/dispatch:Test_Widget.Id=\"w1\"");
    // The provider answers qualifiers and class origins; by default the client gets neither.
    CIMConstProperty size = w1.getProperty(w1.findProperty(CIMName("Size")));
    EXPECT_EQ(size.getQualifierCount(), 0u);
    EXPECT_TRUE(size.getClassOrigin().isNull());

    CimResponse full = host.call("GetInstance", {pathParam("InstanceName", widgetPath("w1")),
                                                 textParam("IncludeQualifiers", "true"),
                                                 textParam("IncludeClassOrigin", "TRUE")});
    size = full.instances[0].getProperty(full.instances[0].findProperty(CIMName("Size")));
    EXPECT_EQ(size.getQualifierCount(), 1u);
    EXPECT_EQ(text(size.getClassOrigin().getString()), "Test_Widget");

    CimResponse some = host.call(
        "GetInstance", {pathParam("InstanceName", widgetPath("w1")), listParam("PropertyList", {"Size"})});
    EXPECT_TRUE(hasProperty(some.instances[0], "Size"));
    EXPECT_FALSE(hasProperty(some.instances[0], "Label"));
    // The provider hands out its stored instance: filtering it would have changed the store.
    CimResponse again = host.call("GetInstance", {pathParam("InstanceName", widgetPath("w1"))});
    EXPECT_EQ(text(valueOf<String>(again.instances[0], "Label")), "first");
}

// EnumerateInstanceNames fans out the same way: the test providers count the widgets of every
// subclass through the host, and references.sh enumerates names through cimhost.
TEST_F(DispatchInstances, EnumerationsFanOutToTheProvidersOfSubclasses)
{
    // Without deep inheritance subclass instances show only the properties of the class asked for
    // (filtered on copies: the deep enumeration after it still sees them).
    CimResponse shallow = host.call("EnumerateInstances", {classParam("ClassName", "Test_Widget"),
                                                           textParam("DeepInheritance", "FALSE")});
    EXPECT_EQ(idsOf(shallow.instances), (std::vector<std::string>{"s1", "w1", "w2"}));
    for (Uint32 i = 0; i < shallow.instances.size(); ++i)
        EXPECT_FALSE(hasProperty(shallow.instances[i], "Extra"));

    // w1, w2 from Test_Widget, s1 from Test_SpecialWidget; the refusing subclass adds nothing.
    CimResponse deep = host.call("EnumerateInstances", {classParam("ClassName", "Test_Widget")});
    EXPECT_CIM_OK(deep);
    EXPECT_EQ(deep.returnKind, CimResponse::NamedInstances);
    EXPECT_EQ(idsOf(deep.instances), (std::vector<std::string>{"s1", "w1", "w2"}));
    for (Uint32 i = 0; i < deep.instances.size(); ++i)
    {
        const CIMObjectPath& path = deep.instances[i].getPath();
        EXPECT_EQ(text(path.getHost()), HOST);
        EXPECT_EQ(path.getKeyBindings().size(), 1u) << "keys built from the Id property";
        EXPECT_TRUE(path.getClassName().equal(deep.instances[i].getClassName()));
        EXPECT_EQ(hasProperty(deep.instances[i], "Extra"),
                  deep.instances[i].getClassName().equal(CIMName("Test_SpecialWidget")));
    }

    CimResponse unserved = host.call("EnumerateInstances", {classParam("ClassName", "Test_PlainWidget")});
    EXPECT_CIM_OK(unserved);
    EXPECT_EQ(unserved.instances.size(), 0u);
}

TEST_F(DispatchInstances, CreateModifyDeleteAndPropertiesReachTheProvider)
{
    CimResponse created =
        host.call("CreateInstance", {instanceParam("NewInstance", newWidget("w9", 9), false)});
    ASSERT_EQ(created.returnKind, CimResponse::NewInstanceName);
    EXPECT_EQ(keysOf(created.paths), (std::vector<std::string>{"w9"}));
    EXPECT_CIM_ERROR(host.call("CreateInstance", {instanceParam("NewInstance", newWidget("w9", 9), false)}),
                     CIM_ERR_ALREADY_EXISTS);

    CIMInstance modified = newWidget("w9", 99);
    modified.setPath(widgetPath("w9"));
    EXPECT_CIM_OK(host.call("ModifyInstance", {instanceParam("ModifiedInstance", modified, true),
                                               listParam("PropertyList", {"Size"})}));
    CimResponse size = host.call(
        "GetProperty", {pathParam("InstanceName", widgetPath("w9")), textParam("PropertyName", "Size")});
    EXPECT_EQ(size.returnKind, CimResponse::PropertyValue);
    EXPECT_TRUE(size.value == CIMValue(Uint32(99)));

    // The text is typed from the property's declaration.
    EXPECT_CIM_OK(host.call("SetProperty", {pathParam("InstanceName", widgetPath("w9")),
                                            textParam("PropertyName", "Size"), textParam("NewValue", "77")}));
    CimResponse read = host.call("GetInstance", {pathParam("InstanceName", widgetPath("w9"))});
    EXPECT_EQ(valueOf<Uint32>(read.instances[0], "Size"), 77u);

    EXPECT_CIM_OK(host.call("DeleteInstance", {pathParam("InstanceName", widgetPath("w9"))}));
    EXPECT_CIM_ERROR(host.call("DeleteInstance", {pathParam("InstanceName", widgetPath("w9"))}),
                     CIM_ERR_NOT_FOUND);
}

TEST_F(DispatchClasses, GetClassShapesTheResolvedClassAsAsked)
{
    // By default: local elements only, with qualifiers, without class origins.
    CimResponse special = host.call("GetClass", {classParam("ClassName", "Test_SpecialWidget")});
    ASSERT_EQ(special.returnKind, CimResponse::SingleClass);
    EXPECT_EQ(propertyNames(special.classes[0]), (std::vector<std::string>{"Extra"}));
    EXPECT_EQ(special.classes[0].getMethodCount(), 0u);
    CimResponse widget = host.call("GetClass", {classParam("ClassName", "Test_Widget")});
    CIMConstProperty size = widget.classes[0].getProperty(widget.classes[0].findProperty(CIMName("Size")));
    EXPECT_NE(size.findQualifier(CIMName("Description")), PEG_NOT_FOUND);
    EXPECT_TRUE(size.getClassOrigin().isNull());

    // What wbemcli asks before a method call: everything, with qualifiers and class origins.
    CimResponse full = host.call(
        "GetClass", {classParam("ClassName", "Test_SpecialWidget"), textParam("LocalOnly", "FALSE"),
                     textParam("IncludeQualifiers", "TRUE"), textParam("IncludeClassOrigin", "TRUE")});
    const CIMClass& cls = full.classes[0];
    EXPECT_EQ(propertyNames(cls), (std::vector<std::string>{"Extra", "Id", "Label", "Size"}));
    EXPECT_EQ(text(cls.getProperty(cls.findProperty(CIMName("Size"))).getClassOrigin().getString()),
              "Test_Widget");
    Uint32 echo = cls.findMethod(CIMName("Echo"));
    ASSERT_NE(echo, PEG_NOT_FOUND);
    EXPECT_NE(cls.getMethod(echo).getParameter(0).findQualifier(CIMName("In")), PEG_NOT_FOUND);

    CimResponse bare = host.call("GetClass", {classParam("ClassName", "Test_Widget"),
                                              textParam("IncludeQualifiers", "false"),
                                              listParam("PropertyList", {"Label"})});
    EXPECT_EQ(propertyNames(bare.classes[0]), (std::vector<std::string>{"Label"}));
    EXPECT_EQ(bare.classes[0].getQualifierCount(), 0u);
    // The repository's copy is untouched by the shaping.
    CimResponse again = host.call("GetClass", {classParam("ClassName", "Test_Widget")});
    EXPECT_EQ(propertyNames(again.classes[0]), (std::vector<std::string>{"Id", "Label", "Size"}));
}

TEST_F(DispatchClasses, EnumerateClassesAndNamesFollowTheHierarchy)
{
    CimResponse subclasses = host.call("EnumerateClassNames", {classParam("ClassName", "Test_Widget"),
                                                               textParam("DeepInheritance", "TRUE")});
    std::vector<std::string> names;
    for (Uint32 i = 0; i < subclasses.classNames.size(); ++i)
        names.push_back(text(subclasses.classNames[i].getString()));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::string>{"Test_PlainWidget", "Test_RefusingWidget", "Test_SpecialWidget"}));

    CimResponse classes = host.call("EnumerateClasses", {classParam("ClassName", "Test_Widget")});
    ASSERT_EQ(classes.classes.size(), 3u);
    for (Uint32 i = 0; i < classes.classes.size(); ++i)
        EXPECT_EQ(classes.classes[i].findProperty(CIMName("Id")), PEG_NOT_FOUND) << "local elements only";
}

TEST_F(DispatchAssociations, WithoutAssocClassEveryAssociationThatCanReferToTheSourceAnswers)
{
    // Test_Pairing joins groups only: its provider fails if it is asked about a widget.
    CimResponse ofWidget = host.call("Associators", {pathParam("ObjectName", widgetPath("w1"))});
    EXPECT_CIM_OK(ofWidget);
    EXPECT_EQ(ofWidget.returnKind, CimResponse::ObjectsWithPath);
    EXPECT_EQ(keysOfObjects(ofWidget.objects), (std::vector<std::string>{"g1"}));
    EXPECT_EQ(text(ofWidget.objects[0].getPath().toString()),
              "//testhost/test/dispatch:Test_Group.Name=\"g1\"");

    // A subclass instance as the source reaches the association that refers to its superclass.
    CimResponse ofSpecial =
        host.call("AssociatorNames", {pathParam("ObjectName", widgetPath("s1", "Test_SpecialWidget"))});
    EXPECT_EQ(keysOf(ofSpecial.paths), (std::vector<std::string>{"g2"}));
    CimResponse ofGroup = host.call("AssociatorNames", {pathParam("ObjectName", G1)});
    EXPECT_EQ(keysOf(ofGroup.paths), (std::vector<std::string>{"g2", "w1", "w2"}));

    // References carry paths the host builds from their key references.
    CimResponse refs = host.call("References", {pathParam("ObjectName", G2)});
    ASSERT_EQ(refs.objects.size(), 2u); // membership of s1, pairing with g1
    for (Uint32 i = 0; i < refs.objects.size(); ++i)
    {
        EXPECT_EQ(refs.objects[i].getPath().getKeyBindings().size(), 2u);
        EXPECT_EQ(text(refs.objects[i].getPath().getHost()), HOST);
    }
}

TEST_F(DispatchAssociations, AnAssociationClassOrRoleNarrowsTheProvidersAsked)
{
    CimResponse members =
        host.call("Associators", {pathParam("ObjectName", G1), classParam("AssocClass", "Test_Membership")});
    EXPECT_EQ(keysOfObjects(members.objects), (std::vector<std::string>{"w1", "w2"}));
    // Only Test_Pairing has a reference called Left.
    CimResponse left = host.call("AssociatorNames", {pathParam("ObjectName", G1), textParam("Role", "Left")});
    EXPECT_EQ(keysOf(left.paths), (std::vector<std::string>{"g2"}));
    // For References the result class names the association.
    CimResponse refs = host.call("ReferenceNames",
                                 {pathParam("ObjectName", G1), classParam("ResultClass", "Test_Membership")});
    ASSERT_EQ(refs.paths.size(), 2u);
    for (Uint32 i = 0; i < refs.paths.size(); ++i)
        EXPECT_TRUE(refs.paths[i].getClassName().equal(CIMName("Test_Membership")));
}

TEST_F(DispatchMethods, UntypedParametersGetTheDeclaredTypesTypedOnesAndUndeclaredOnesStayAsSent)
{
    CimResponse response =
        host.invoke(widgetPath("w1"), "Echo",
                    params({untyped("Count", "42"), untyped("Small", "-128"), untyped("Flag", "true"),
                            untyped("Ratio", "0.5"), untyped("Letter", "x"),
                            untyped("When", "20240102030405.000000+000"), untypedArray("Names", {"a", "b"}),
                            untypedArray("Sizes", {"1", "0x10"}), untyped("Target", "Test_Widget.Id=\"w2\""),
                            CIMParamValue("Big", CIMValue(Uint32(5))), untyped("Undeclared", "hello")}));
    EXPECT_CIM_OK(response);
    EXPECT_TRUE(response.returnValue == CIMValue(Uint32(11)));
    for (const auto& [name, type] : {std::pair("Count", "uint32"),
                                     {"Small", "sint8"},
                                     {"Flag", "boolean"},
                                     {"Ratio", "real32"},
                                     {"Letter", "char16"},
                                     {"When", "datetime"},
                                     {"Names", "string[]"},
                                     {"Sizes", "uint16[]"},
                                     {"Target", "reference"},
                                     {"Big", "uint32"},
                                     {"Undeclared", "string untyped"}})
        EXPECT_EQ(text(out(response, std::string(name) + "Type").toString()), type) << name;
    Array<Uint16> sizes;
    out(response, "Sizes").get(sizes);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[1], 16);
    EXPECT_TRUE(out(response, "Small") == CIMValue(Sint8(-128)));
    CIMObjectPath target;
    out(response, "Target").get(target);
    EXPECT_EQ(keysOf(Array<CIMObjectPath>(&target, 1)), (std::vector<std::string>{"w2"}));
    // The provider is called on the target with this host and the namespace.
    EXPECT_TRUE(out(response, "CalledOn") ==
                CIMValue(String("//testhost/test/dispatch:Test_Widget.Id=\"w1\"")));

    // Nothing untyped: the declaration is not consulted, even for a method the class lacks.
    CimResponse unknown =
        host.invoke(widgetPath("w1"), "Undeclared", params({CIMParamValue("X", CIMValue(Uint32(1)))}));
    EXPECT_CIM_ERROR(unknown, CIM_ERR_METHOD_NOT_FOUND);
    EXPECT_EQ(unknown.errorDescription, "Undeclared") << "answered by the provider, not the host";
    // No parameters at all reach the provider; a null return value stays null.
    CimResponse nothing = host.invoke(widgetPath("w1"), "ReturnNothing", Array<CIMParamValue>());
    EXPECT_CIM_OK(nothing);
    EXPECT_TRUE(nothing.returnValue.isNull());
}

// What the text of each type may be, and the shapes that do not fit a declaration, are in
// test_dispatch_values.cpp; here, that a refusal of a value or of an array element names the
// parameter.
TEST_F(DispatchMethods, TypingErrorsNameTheParameter)
{
    CimResponse unknown = host.invoke(widgetPath("w1"), "Undeclared", params({untyped("X", "1")}));
    EXPECT_CIM_ERROR(unknown, CIM_ERR_METHOD_NOT_FOUND);
    EXPECT_NE(unknown.errorDescription.find("no method"), std::string::npos);
    for (const CIMParamValue& bad : {untyped("Count", "abc"), untypedArray("Sizes", {"1", "-1"})})
    {
        CimResponse response = host.invoke(widgetPath("w1"), "Echo", params({bad}));
        EXPECT_CIM_ERROR(response, CIM_ERR_INVALID_PARAMETER) << text(bad.getParameterName());
        EXPECT_NE(response.errorDescription.find(text(bad.getParameterName())), std::string::npos)
            << response.errorDescription;
    }
}

// What cimhost answers through wbemcli (a missing instance, an unknown class or namespace, an
// unknown operation) is left to service.sh and hostile.sh; these are the rest, one for each check
// of the parameter reader (a missing parameter, a bad flag, a class name of the wrong kind).
TEST_F(DispatchTest, EveryRequestFaultAnswersItsCode)
{
    const CIMObjectPath w1 = widgetPath("w1");
    CIMInstance group(CIMName("Test_Group"));
    group.addProperty(CIMProperty(CIMName("Name"), CIMValue(String("g9"))));
    CIMInstance unnamed = newWidget("w1", 1); // a ModifiedInstance must be a named instance
    unnamed.setPath(w1);
    const struct
    {
        const char* operation;
        std::vector<cimhost::IParam> params;
        CIMStatusCode code;
    } faults[] = {
        {"GetInstance", {pathParam("InstanceName", widgetPath("w1", "No_Such"))}, CIM_ERR_INVALID_CLASS},
        {"GetInstance", {pathParam("InstanceName", G1)}, CIM_ERR_NOT_FOUND}, // a class nobody serves
        {"GetInstance", {}, CIM_ERR_INVALID_PARAMETER},
        {"GetInstance", {classParam("InstanceName", "Test_Widget")}, CIM_ERR_INVALID_PARAMETER},
        {"GetInstance",
         {pathParam("InstanceName", w1), textParam("LocalOnly", "yes")},
         CIM_ERR_INVALID_PARAMETER},
        {"GetInstance",
         {pathParam("InstanceName", w1), textParam("Bogus", "TRUE")},
         CIM_ERR_INVALID_PARAMETER},
        {"GetInstance",
         {pathParam("InstanceName", w1), pathParam("InstanceName", w1)},
         CIM_ERR_INVALID_PARAMETER},
        // The provider of the class asked for answers as it answers.
        {"EnumerateInstances", {classParam("ClassName", "Test_RefusingWidget")}, CIM_ERR_NOT_SUPPORTED},
        {"EnumerateInstances", {textParam("ClassName", "Test_Widget")}, CIM_ERR_INVALID_PARAMETER},
        {"CreateInstance", {instanceParam("NewInstance", group, false)}, CIM_ERR_NOT_SUPPORTED},
        {"ModifyInstance", {instanceParam("ModifiedInstance", unnamed, false)}, CIM_ERR_INVALID_PARAMETER},
        {"SetProperty",
         {pathParam("InstanceName", w1), textParam("PropertyName", "Size"), textParam("NewValue", "big")},
         CIM_ERR_INVALID_PARAMETER},
        {"GetProperty",
         {pathParam("InstanceName", w1), textParam("PropertyName", "Colour")},
         CIM_ERR_NO_SUCH_PROPERTY},
        {"GetClass", {classParam("ClassName", "No_Such")}, CIM_ERR_NOT_FOUND},
        {"EnumerateClassNames", {classParam("ClassName", "No_Such")}, CIM_ERR_INVALID_CLASS},
        {"Associators", {classParam("ObjectName", "Test_Group")}, CIM_ERR_NOT_SUPPORTED},
        {"References", {pathParam("ObjectName", objectPath("No_Such", "Id", "x"))}, CIM_ERR_INVALID_CLASS},
        {"AssociatorNames",
         {pathParam("ObjectName", G1), classParam("AssocClass", "No_Such")},
         CIM_ERR_INVALID_PARAMETER},
    };
    for (const auto& fault : faults)
        EXPECT_CIM_ERROR(host.call(fault.operation, fault.params), fault.code)
            << fault.operation << " " << &fault - faults;

    // Extrinsic calls: Test_Group has neither methods nor a method provider.
    EXPECT_CIM_ERROR(host.invoke(G1, "Anything", Array<CIMParamValue>()), CIM_ERR_NOT_SUPPORTED);
    EXPECT_CIM_ERROR(host.invoke(widgetPath("w1", "No_Such"), "Echo", Array<CIMParamValue>()),
                     CIM_ERR_INVALID_CLASS);
    cimhost::CimRequest request;
    request.kind = cimhost::OperationKind::Extrinsic;
    request.methodName = "Echo";
    request.nameSpace = CIMNamespaceName("no/such");
    request.target = w1;
    EXPECT_CIM_ERROR(host.dispatcher->execute(request, OperationContext()), CIM_ERR_INVALID_NAMESPACE);

    // A value the decoder could not read comes back as the error it found.
    request.kind = cimhost::OperationKind::Intrinsic;
    request.methodName = "GetInstance";
    request.hasDecodeError = true;
    request.decodeErrorCode = CIM_ERR_INVALID_PARAMETER;
    request.decodeErrorText = "bad key";
    CimResponse decoded = host.dispatcher->execute(request, OperationContext());
    EXPECT_CIM_ERROR(decoded, CIM_ERR_INVALID_PARAMETER);
    EXPECT_EQ(decoded.errorDescription, "bad key");
}
