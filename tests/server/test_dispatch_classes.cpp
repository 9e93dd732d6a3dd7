// Class operations answered from the schema, the flags that shape a class, and the operations
// the host does not implement.
#include "test_dispatch_fixture.h"

using namespace Pegasus;
using namespace dispatchtest;
using cimhost::CimResponse;

namespace
{

class DispatchClasses : public ::testing::Test
{
protected:
    Host host;
};

std::vector<std::string> propertyNames(const CIMClass& cimClass)
{
    std::vector<std::string> names;
    for (Uint32 i = 0; i < cimClass.getPropertyCount(); ++i)
        names.push_back(text(cimClass.getProperty(i).getName().getString()));
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> sorted(const Array<CIMName>& names)
{
    std::vector<std::string> result;
    for (Uint32 i = 0; i < names.size(); ++i)
        result.push_back(text(names[i].getString()));
    std::sort(result.begin(), result.end());
    return result;
}

} // namespace

TEST_F(DispatchClasses, GetClassDefaultsToLocalElementsWithQualifiers)
{
    CimResponse special = host.call("GetClass", {classParam("ClassName", "Test_SpecialWidget")});
    EXPECT_CIM_OK(special);
    ASSERT_EQ(special.returnKind, CimResponse::SingleClass);
    ASSERT_EQ(special.classes.size(), 1u);
    EXPECT_EQ(propertyNames(special.classes[0]), (std::vector<std::string>{"Extra"}));
    EXPECT_EQ(special.classes[0].getMethodCount(), 0u);

    CimResponse widget = host.call("GetClass", {classParam("ClassName", "Test_Widget")});
    const CIMClass& cls = widget.classes[0];
    EXPECT_NE(cls.findQualifier(CIMName("Description")), PEG_NOT_FOUND);
    CIMConstProperty size = cls.getProperty(cls.findProperty(CIMName("Size")));
    EXPECT_NE(size.findQualifier(CIMName("Description")), PEG_NOT_FOUND);
    EXPECT_TRUE(size.getClassOrigin().isNull());
}

TEST_F(DispatchClasses, GetClassShapesTheResolvedClassAsAsked)
{
    // What wbemcli asks before a method call: everything, with qualifiers and class origins.
    CimResponse full = host.call(
        "GetClass", {classParam("ClassName", "Test_SpecialWidget"), textParam("LocalOnly", "FALSE"),
                     textParam("IncludeQualifiers", "TRUE"), textParam("IncludeClassOrigin", "TRUE")});
    const CIMClass& cls = full.classes[0];
    EXPECT_EQ(propertyNames(cls), (std::vector<std::string>{"Extra", "Id", "Label", "Size"}));
    EXPECT_EQ(text(cls.getProperty(cls.findProperty(CIMName("Size"))).getClassOrigin().getString()),
              "Test_Widget");
    EXPECT_EQ(text(cls.getProperty(cls.findProperty(CIMName("Extra"))).getClassOrigin().getString()),
              "Test_SpecialWidget");
    Uint32 echo = cls.findMethod(CIMName("Echo"));
    ASSERT_NE(echo, PEG_NOT_FOUND);
    EXPECT_NE(cls.getMethod(echo).getParameter(0).findQualifier(CIMName("In")), PEG_NOT_FOUND);

    CimResponse bare = host.call("GetClass", {classParam("ClassName", "Test_Widget"),
                                              textParam("IncludeQualifiers", "false"),
                                              listParam("PropertyList", {"Label"})});
    const CIMClass& bareClass = bare.classes[0];
    EXPECT_EQ(propertyNames(bareClass), (std::vector<std::string>{"Label"}));
    EXPECT_EQ(bareClass.getQualifierCount(), 0u);
    EXPECT_EQ(bareClass.getMethod(bareClass.findMethod(CIMName("Echo"))).getParameter(0).getQualifierCount(),
              0u);

    // The repository's copy is untouched by the shaping.
    CimResponse again = host.call("GetClass", {classParam("ClassName", "Test_Widget")});
    EXPECT_EQ(propertyNames(again.classes[0]), (std::vector<std::string>{"Id", "Label", "Size"}));
}

TEST_F(DispatchClasses, EnumerateClassesAndNamesFollowTheHierarchy)
{
    CimResponse top = host.call("EnumerateClassNames", {});
    EXPECT_EQ(top.returnKind, CimResponse::ClassNames);
    std::vector<std::string> topNames = sorted(top.classNames);
    EXPECT_NE(std::find(topNames.begin(), topNames.end(), "Test_Widget"), topNames.end());
    EXPECT_EQ(std::find(topNames.begin(), topNames.end(), "Test_SpecialWidget"), topNames.end());

    CimResponse subclasses = host.call("EnumerateClassNames", {classParam("ClassName", "Test_Widget"),
                                                               textParam("DeepInheritance", "TRUE")});
    EXPECT_EQ(sorted(subclasses.classNames),
              (std::vector<std::string>{"Test_PlainWidget", "Test_RefusingWidget", "Test_SpecialWidget"}));

    CimResponse classes = host.call("EnumerateClasses", {classParam("ClassName", "Test_Widget")});
    EXPECT_EQ(classes.returnKind, CimResponse::Classes);
    ASSERT_EQ(classes.classes.size(), 3u);
    for (Uint32 i = 0; i < classes.classes.size(); ++i)
        EXPECT_EQ(classes.classes[i].findProperty(CIMName("Id")), PEG_NOT_FOUND) << "local elements only";
}

TEST_F(DispatchClasses, ClassErrorsAndUnsupportedOperations)
{
    EXPECT_CIM_ERROR(host.call("GetClass", {classParam("ClassName", "No_Such")}), CIM_ERR_NOT_FOUND);
    EXPECT_CIM_ERROR(host.call("GetClass", {}), CIM_ERR_INVALID_PARAMETER);
    EXPECT_CIM_ERROR(host.call("EnumerateClassNames", {classParam("ClassName", "No_Such")}),
                     CIM_ERR_INVALID_CLASS);
    EXPECT_CIM_ERROR(host.call("EnumerateClasses", {textParam("DeepInheritance", "1")}),
                     CIM_ERR_INVALID_PARAMETER);
    EXPECT_CIM_ERROR(
        host.call("GetClass", {classParam("ClassName", "Test_Widget")}, CIMNamespaceName("root/x")),
        CIM_ERR_INVALID_NAMESPACE);
    for (const char* operation :
         {"ExecQuery", "CreateClass", "DeleteClass", "OpenEnumerateInstances", "Bogus"})
        EXPECT_CIM_ERROR(host.call(operation, {}), CIM_ERR_NOT_SUPPORTED) << operation;

    // A value the decoder could not read comes back as the error it found.
    cimhost::CimRequest request;
    request.methodName = "GetInstance";
    request.hasDecodeError = true;
    request.decodeErrorCode = CIM_ERR_INVALID_PARAMETER;
    request.decodeErrorText = "bad key";
    CimResponse decoded = host.dispatcher->execute(request, OperationContext());
    EXPECT_CIM_ERROR(decoded, CIM_ERR_INVALID_PARAMETER);
    EXPECT_EQ(decoded.errorDescription, "bad key");
}
