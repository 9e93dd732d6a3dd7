// Association operations: with an association class named only its providers answer; without
// one, every registered association that can refer to the source object, each provider called
// with its own association class.
#include "test_dispatch_fixture.h"

using namespace Pegasus;
using namespace dispatchtest;
using cimhost::CimResponse;

namespace
{

class DispatchAssociations : public ::testing::Test
{
protected:
    Host host;
};

const CIMObjectPath G1 = objectPath("Test_Group", "Name", "g1");
const CIMObjectPath G2 = objectPath("Test_Group", "Name", "g2");

std::vector<std::string> keysOfObjects(const Array<CIMObject>& objects)
{
    Array<CIMObjectPath> paths;
    for (Uint32 i = 0; i < objects.size(); ++i)
        paths.append(objects[i].getPath());
    return keysOf(paths);
}

} // namespace

TEST_F(DispatchAssociations, WithoutAssocClassEveryAssociationThatCanReferToTheSourceAnswers)
{
    // Test_Pairing joins groups only: its provider fails if it is asked about a widget.
    CimResponse ofWidget = host.call("Associators", {pathParam("ObjectName", widgetPath("w1"))});
    EXPECT_CIM_OK(ofWidget);
    EXPECT_EQ(ofWidget.returnKind, CimResponse::ObjectsWithPath);
    EXPECT_EQ(keysOfObjects(ofWidget.objects), (std::vector<std::string>{"g1"}));
    EXPECT_EQ(text(ofWidget.objects[0].getPath().getHost()), HOST);
    EXPECT_EQ(text(ofWidget.objects[0].getPath().getNameSpace().getString()), "test/dispatch");

    // A subclass instance as the source reaches the association that refers to its superclass.
    CimResponse ofSpecial =
        host.call("AssociatorNames", {pathParam("ObjectName", widgetPath("s1", "Test_SpecialWidget"))});
    EXPECT_EQ(keysOf(ofSpecial.paths), (std::vector<std::string>{"g2"}));

    CimResponse ofGroup = host.call("AssociatorNames", {pathParam("ObjectName", G1)});
    EXPECT_EQ(ofGroup.returnKind, CimResponse::ObjectPaths);
    EXPECT_EQ(keysOf(ofGroup.paths), (std::vector<std::string>{"g2", "w1", "w2"}));
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

TEST_F(DispatchAssociations, ReferencesCarryPathsBuiltFromTheirKeyReferences)
{
    CimResponse refs = host.call("References", {pathParam("ObjectName", G2)});
    EXPECT_CIM_OK(refs);
    ASSERT_EQ(refs.objects.size(), 2u); // membership of s1, pairing with g1
    for (Uint32 i = 0; i < refs.objects.size(); ++i)
    {
        const CIMObjectPath& path = refs.objects[i].getPath();
        EXPECT_EQ(path.getKeyBindings().size(), 2u) << text(path.toString());
        EXPECT_EQ(text(path.getHost()), HOST);
    }
    CimResponse names = host.call("ReferenceNames", {pathParam("ObjectName", G2)});
    EXPECT_EQ(names.paths.size(), 2u);
}

TEST_F(DispatchAssociations, Errors)
{
    EXPECT_CIM_ERROR(host.call("Associators", {}), CIM_ERR_INVALID_PARAMETER);
    EXPECT_CIM_ERROR(host.call("Associators", {classParam("ObjectName", "Test_Group")}),
                     CIM_ERR_NOT_SUPPORTED);
    EXPECT_CIM_ERROR(host.call("References", {pathParam("ObjectName", objectPath("No_Such", "Id", "x"))}),
                     CIM_ERR_INVALID_CLASS);
    EXPECT_CIM_ERROR(
        host.call("AssociatorNames", {pathParam("ObjectName", G1), classParam("AssocClass", "No_Such")}),
        CIM_ERR_INVALID_PARAMETER);
    EXPECT_CIM_ERROR(host.call("ReferenceNames", {pathParam("ObjectName", G1), textParam("AssocClass", "x")}),
                     CIM_ERR_INVALID_PARAMETER);
    EXPECT_CIM_ERROR(host.call("ReferenceNames", {pathParam("ObjectName", G1)}, CIMNamespaceName("no/such")),
                     CIM_ERR_INVALID_NAMESPACE);
}
