// Instance operations through the dispatcher: routing to the class's provider and, for
// enumerations, to the providers of its subclasses; the flags and property lists applied to what
// providers answer; complete paths; the error codes of each operation.
#include "test_dispatch_fixture.h"

using namespace Pegasus;
using namespace dispatchtest;
using cimhost::CimResponse;

namespace
{

class DispatchInstances : public ::testing::Test
{
protected:
    Host host;
};

CIMInstance newWidget(const char* id, Uint32 size)
{
    CIMInstance instance(CIMName("Test_Widget"));
    instance.addProperty(CIMProperty(CIMName("Id"), CIMValue(String(id))));
    instance.addProperty(CIMProperty(CIMName("Size"), CIMValue(size)));
    return instance;
}

std::vector<std::string> idsOf(const Array<CIMInstance>& instances)
{
    std::vector<std::string> ids;
    for (Uint32 i = 0; i < instances.size(); ++i)
        ids.push_back(text(valueOf<String>(instances[i], "Id")));
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace

TEST_F(DispatchInstances, GetInstanceAnswersTheInstanceWithACompletePathAndServerSideFiltering)
{
    CimResponse plain = host.call("GetInstance", {pathParam("InstanceName", widgetPath("w1"))});
    EXPECT_CIM_OK(plain);
    ASSERT_EQ(plain.returnKind, CimResponse::SingleInstance);
    ASSERT_EQ(plain.instances.size(), 1u);
    const CIMInstance& w1 = plain.instances[0];
    EXPECT_EQ(valueOf<Uint32>(w1, "Size"), 10u);
    EXPECT_EQ(text(w1.getPath().getHost()), HOST);
    EXPECT_EQ(text(w1.getPath().getNameSpace().getString()), "test/dispatch");
    // The provider answers qualifiers and class origins; by default the client gets neither.
    CIMConstProperty size = w1.getProperty(w1.findProperty(CIMName("Size")));
    EXPECT_EQ(size.getQualifierCount(), 0u);
    EXPECT_TRUE(size.getClassOrigin().isNull());

    CimResponse full = host.call("GetInstance", {pathParam("InstanceName", widgetPath("w1")),
                                                 textParam("IncludeQualifiers", "true"),
                                                 textParam("IncludeClassOrigin", "TRUE")});
    CIMConstProperty fullSize =
        full.instances[0].getProperty(full.instances[0].findProperty(CIMName("Size")));
    EXPECT_EQ(fullSize.getQualifierCount(), 1u);
    EXPECT_EQ(text(fullSize.getClassOrigin().getString()), "Test_Widget");

    CimResponse some = host.call(
        "GetInstance", {pathParam("InstanceName", widgetPath("w1")), listParam("PropertyList", {"Size"})});
    EXPECT_TRUE(hasProperty(some.instances[0], "Size"));
    EXPECT_FALSE(hasProperty(some.instances[0], "Label"));
    // Filtering worked on a copy: the provider's own instance still has every property.
    CimResponse again = host.call("GetInstance", {pathParam("InstanceName", widgetPath("w1"))});
    EXPECT_EQ(text(valueOf<String>(again.instances[0], "Label")), "first");
}

TEST_F(DispatchInstances, GetInstanceErrors)
{
    EXPECT_CIM_ERROR(host.call("GetInstance", {pathParam("InstanceName", widgetPath("nope"))}),
                     CIM_ERR_NOT_FOUND);
    EXPECT_CIM_ERROR(host.call("GetInstance", {pathParam("InstanceName", widgetPath("w1", "No_Such"))}),
                     CIM_ERR_INVALID_CLASS);
    // A class nobody serves has no instances to find.
    EXPECT_CIM_ERROR(
        host.call("GetInstance", {pathParam("InstanceName", objectPath("Test_Group", "Name", "g1"))}),
        CIM_ERR_NOT_FOUND);
    EXPECT_CIM_ERROR(host.call("GetInstance", {}), CIM_ERR_INVALID_PARAMETER);
    EXPECT_CIM_ERROR(host.call("GetInstance", {classParam("InstanceName", "Test_Widget")}),
                     CIM_ERR_INVALID_PARAMETER);
    EXPECT_CIM_ERROR(host.call("GetInstance",
                               {pathParam("InstanceName", widgetPath("w1")), textParam("LocalOnly", "yes")}),
                     CIM_ERR_INVALID_PARAMETER);
    EXPECT_CIM_ERROR(
        host.call("GetInstance", {pathParam("InstanceName", widgetPath("w1")), textParam("Bogus", "TRUE")}),
        CIM_ERR_INVALID_PARAMETER);
    EXPECT_CIM_ERROR(host.call("GetInstance", {pathParam("InstanceName", widgetPath("w1")),
                                               pathParam("InstanceName", widgetPath("w2"))}),
                     CIM_ERR_INVALID_PARAMETER);
    EXPECT_CIM_ERROR(
        host.call("GetInstance", {pathParam("InstanceName", widgetPath("w1"))}, CIMNamespaceName("no/such")),
        CIM_ERR_INVALID_NAMESPACE);
}

TEST_F(DispatchInstances, EnumerationsFanOutToTheProvidersOfSubclasses)
{
    // Without deep inheritance subclass instances show only the properties of the class asked for
    // (filtered on copies: the deep enumeration after it still sees them).
    CimResponse shallow = host.call("EnumerateInstances", {classParam("ClassName", "Test_Widget"),
                                                           textParam("DeepInheritance", "FALSE")});
    EXPECT_EQ(idsOf(shallow.instances), (std::vector<std::string>{"s1", "w1", "w2"}));
    for (Uint32 i = 0; i < shallow.instances.size(); ++i)
        EXPECT_FALSE(hasProperty(shallow.instances[i], "Extra"));

    CimResponse deep = host.call("EnumerateInstances", {classParam("ClassName", "Test_Widget")});
    EXPECT_CIM_OK(deep);
    EXPECT_EQ(deep.returnKind, CimResponse::NamedInstances);
    // w1, w2 from Test_Widget, s1 from Test_SpecialWidget; the refusing subclass adds nothing.
    EXPECT_EQ(idsOf(deep.instances), (std::vector<std::string>{"s1", "w1", "w2"}));
    for (Uint32 i = 0; i < deep.instances.size(); ++i)
    {
        const CIMObjectPath& path = deep.instances[i].getPath();
        EXPECT_EQ(text(path.getHost()), HOST);
        EXPECT_EQ(path.getKeyBindings().size(), 1u) << "keys built from the Id property";
        EXPECT_TRUE(path.getClassName().equal(deep.instances[i].getClassName()));
        bool special = deep.instances[i].getClassName().equal(CIMName("Test_SpecialWidget"));
        EXPECT_EQ(hasProperty(deep.instances[i], "Extra"), special);
    }

    CimResponse names = host.call("EnumerateInstanceNames", {classParam("ClassName", "Test_Widget")});
    EXPECT_EQ(names.returnKind, CimResponse::InstanceNames);
    EXPECT_EQ(keysOf(names.paths), (std::vector<std::string>{"s1", "w1", "w2"}));
    EXPECT_EQ(text(names.paths[0].getNameSpace().getString()), "test/dispatch");
}

TEST_F(DispatchInstances, EnumerationsOfUnservedClassesAreEmptyAndErrorsKeepTheirCodes)
{
    CimResponse plain = host.call("EnumerateInstances", {classParam("ClassName", "Test_PlainWidget")});
    EXPECT_CIM_OK(plain);
    EXPECT_EQ(plain.instances.size(), 0u);
    EXPECT_EQ(host.call("EnumerateInstanceNames", {classParam("ClassName", "Test_Group")}).paths.size(), 0u);
    // The provider of the class asked for answers as it answers.
    EXPECT_CIM_ERROR(host.call("EnumerateInstances", {classParam("ClassName", "Test_RefusingWidget")}),
                     CIM_ERR_NOT_SUPPORTED);
    EXPECT_CIM_ERROR(host.call("EnumerateInstances", {classParam("ClassName", "No_Such")}),
                     CIM_ERR_INVALID_CLASS);
    EXPECT_CIM_ERROR(host.call("EnumerateInstanceNames", {}), CIM_ERR_INVALID_PARAMETER);
    EXPECT_CIM_ERROR(host.call("EnumerateInstances", {textParam("ClassName", "Test_Widget")}),
                     CIM_ERR_INVALID_PARAMETER);
}

TEST_F(DispatchInstances, CreateModifyAndDeleteReachTheProvider)
{
    CimResponse created =
        host.call("CreateInstance", {instanceParam("NewInstance", newWidget("w9", 9), false)});
    EXPECT_CIM_OK(created);
    ASSERT_EQ(created.returnKind, CimResponse::NewInstanceName);
    EXPECT_EQ(keysOf(created.paths), (std::vector<std::string>{"w9"}));
    EXPECT_CIM_ERROR(host.call("CreateInstance", {instanceParam("NewInstance", newWidget("w9", 9), false)}),
                     CIM_ERR_ALREADY_EXISTS);

    CIMInstance modified = newWidget("w9", 99);
    modified.setPath(widgetPath("w9"));
    EXPECT_CIM_OK(host.call("ModifyInstance", {instanceParam("ModifiedInstance", modified, true),
                                               listParam("PropertyList", {"Size"})}));
    CimResponse read = host.call("GetInstance", {pathParam("InstanceName", widgetPath("w9"))});
    EXPECT_EQ(valueOf<Uint32>(read.instances[0], "Size"), 99u);

    EXPECT_CIM_OK(host.call("DeleteInstance", {pathParam("InstanceName", widgetPath("w9"))}));
    EXPECT_CIM_ERROR(host.call("GetInstance", {pathParam("InstanceName", widgetPath("w9"))}),
                     CIM_ERR_NOT_FOUND);
    EXPECT_CIM_ERROR(host.call("DeleteInstance", {pathParam("InstanceName", widgetPath("w9"))}),
                     CIM_ERR_NOT_FOUND);

    CIMInstance group(CIMName("Test_Group"));
    group.addProperty(CIMProperty(CIMName("Name"), CIMValue(String("g9"))));
    EXPECT_CIM_ERROR(host.call("CreateInstance", {instanceParam("NewInstance", group, false)}),
                     CIM_ERR_NOT_SUPPORTED);
    EXPECT_CIM_ERROR(host.call("ModifyInstance", {instanceParam("ModifiedInstance", modified, false)}),
                     CIM_ERR_INVALID_PARAMETER);
}

TEST_F(DispatchInstances, GetAndSetPropertyGoThroughTheInstanceOperations)
{
    CimResponse size = host.call(
        "GetProperty", {pathParam("InstanceName", widgetPath("w1")), textParam("PropertyName", "Size")});
    EXPECT_EQ(size.returnKind, CimResponse::PropertyValue);
    Uint32 value = 0;
    size.value.get(value);
    EXPECT_EQ(value, 10u);

    // The text is typed from the property's declaration.
    EXPECT_CIM_OK(host.call("SetProperty", {pathParam("InstanceName", widgetPath("w2")),
                                            textParam("PropertyName", "Size"), textParam("NewValue", "77")}));
    host.call("GetProperty", {pathParam("InstanceName", widgetPath("w2")), textParam("PropertyName", "Size")})
        .value.get(value);
    EXPECT_EQ(value, 77u);

    EXPECT_CIM_ERROR(
        host.call("SetProperty", {pathParam("InstanceName", widgetPath("w2")),
                                  textParam("PropertyName", "Size"), textParam("NewValue", "big")}),
        CIM_ERR_INVALID_PARAMETER);
    EXPECT_CIM_ERROR(host.call("GetProperty", {pathParam("InstanceName", widgetPath("w1")),
                                               textParam("PropertyName", "Colour")}),
                     CIM_ERR_NO_SUCH_PROPERTY);
}
