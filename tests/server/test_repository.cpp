// The class repository: inheritance resolution (propagation, class origin, overrides and
// qualifier flavors), class hierarchy queries and MOF instances. Requests on many threads read it
// at once in DispatchProviders.ManyThreadsExecuteRequestsAtOnce.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ClassRepository.h"
#include "MofCompiler.h"

using namespace Pegasus;
using cimhost::ClassRepository;
using cimhost::MofCompiler;
using cimhost::MofError;
using cimhost::RepositoryError;

namespace
{

const CIMNamespaceName NS("root/test");

std::string str(const String& s)
{
    return std::string(s.getCString());
}

std::vector<std::string> names(const std::vector<CIMName>& list)
{
    std::vector<std::string> out;
    for (const CIMName& name : list)
        out.push_back(str(name.getString()));
    return out;
}

const char* const kHierarchy = R"MOF(
Qualifier Local : boolean = false, Scope(any), Flavor(Restricted);
[Abstract, Description("base"), Version("1.0")]
class CIM_ManagedElement {
  [Key, Description("id"), Local] string InstanceID;
  [Description("caption"), MaxLen(64)] string Caption;
  [Description("run")] uint32 Run([IN, Description("p")] string Arg);
};
class CIM_Job : CIM_ManagedElement {
  string Name;
  [Override("Caption"), MaxLen(32)] string Caption = "job";
  [Override("Run")] uint32 Run([IN] string Arg);
};
class Vendor_Job : CIM_Job { };
class CIM_Other : CIM_ManagedElement { };
class Standalone { };
)MOF";

class ClassRepositoryTest : public ::testing::Test
{
protected:
    void SetUp() override { compiler.compileText(kHierarchy, "hierarchy.mof", NS); }

    ClassRepository repository;
    MofCompiler compiler{repository};
};

TEST_F(ClassRepositoryTest, ResolvedClassMergesAncestorsWithPropagatedFlagsAndOrigins)
{
    const CIMClass job = repository.resolvedClass(NS, "cim_job");
    ASSERT_FALSE(job.isUninitialized());
    EXPECT_EQ(str(job.getClassName().getString()), "CIM_Job");
    // Inherited properties first, in the superclass's order; an override keeps its place.
    ASSERT_EQ(job.getPropertyCount(), 3u);
    EXPECT_EQ(str(job.getProperty(0).getName().getString()), "InstanceID");
    EXPECT_EQ(str(job.getProperty(1).getName().getString()), "Caption");
    EXPECT_EQ(str(job.getProperty(2).getName().getString()), "Name");

    const CIMConstProperty id = job.getProperty(0);
    EXPECT_TRUE(id.getPropagated());
    EXPECT_EQ(str(id.getClassOrigin().getString()), "CIM_ManagedElement");
    EXPECT_TRUE(id.getQualifier(id.findQualifier("Key")).getPropagated());
    EXPECT_EQ(id.findQualifier("Local"), PEG_NOT_FOUND); // restricted to the declaring class

    const CIMConstProperty caption = job.getProperty(1);
    EXPECT_FALSE(caption.getPropagated());
    EXPECT_EQ(str(caption.getClassOrigin().getString()), "CIM_Job");
    EXPECT_EQ(str(caption.getValue().toString()), "job");
    const CIMConstQualifier maxLen = caption.getQualifier(caption.findQualifier("MaxLen"));
    EXPECT_FALSE(maxLen.getPropagated()); // restated locally: the local value wins
    EXPECT_EQ(str(maxLen.getValue().toString()), "32");
    const CIMConstQualifier description = caption.getQualifier(caption.findQualifier("Description"));
    EXPECT_TRUE(description.getPropagated()); // not restated: inherited
    EXPECT_EQ(str(description.getValue().toString()), "caption");
    EXPECT_EQ(str(job.getProperty(2).getClassOrigin().getString()), "CIM_Job");

    // Class qualifiers: Description propagates, Abstract and Version do not.
    EXPECT_NE(job.findQualifier("Description"), PEG_NOT_FOUND);
    EXPECT_TRUE(job.getQualifier(job.findQualifier("Description")).getPropagated());
    EXPECT_EQ(job.findQualifier("Abstract"), PEG_NOT_FOUND);
    EXPECT_EQ(job.findQualifier("Version"), PEG_NOT_FOUND);
    EXPECT_FALSE(job.isAbstract());
    EXPECT_TRUE(repository.resolvedClass(NS, "CIM_ManagedElement").isAbstract());

    Array<CIMName> keys;
    job.getKeyNames(keys);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(str(keys[0].getString()), "InstanceID");
}

TEST_F(ClassRepositoryTest, MethodsInheritAndOverrideLikeProperties)
{
    const CIMClass vendor = repository.resolvedClass(NS, "Vendor_Job");
    ASSERT_EQ(vendor.getMethodCount(), 1u);
    const CIMConstMethod run = vendor.getMethod(0);
    EXPECT_TRUE(run.getPropagated());
    EXPECT_EQ(str(run.getClassOrigin().getString()), "CIM_Job");
    EXPECT_EQ(run.findQualifier("Override"), PEG_NOT_FOUND); // Override is restricted
    const CIMConstParameter arg = run.getParameter(0);
    // CIM_Job restated the parameter without its Description, which it inherited.
    EXPECT_NE(arg.findQualifier("Description"), PEG_NOT_FOUND);
    EXPECT_NE(arg.findQualifier("In"), PEG_NOT_FOUND);

    const CIMClass declared = repository.declaredClass(NS, "Vendor_Job");
    EXPECT_EQ(declared.getMethodCount(), 0u);
    EXPECT_EQ(declared.getPropertyCount(), 0u);
}

TEST_F(ClassRepositoryTest, IllegalOverridesAreRefused)
{
    for (const auto& [text, fragment] :
         {std::pair("class Bad1 : CIM_Job { [Key(false)] string InstanceID; };", "cannot be overridden"),
          {"class Bad2 : CIM_Job { uint32 Name; };", "changes the type"},
          {"class Bad3 : CIM_Job { string Caption[]; };", "changes the type"},
          {"class Bad4 : CIM_Job { string Run(); };", "changes the return type"}})
        EXPECT_THROW(
            try { compiler.compileText(text, "bad.mof", NS); } catch (const MofError& e) {
                EXPECT_EQ(std::string(e.what()).rfind("bad.mof:1: ", 0), 0u) << e.what();
                EXPECT_NE(e.message().find(fragment), std::string::npos) << e.what();
                throw;
            },
            MofError)
            << text;
    // Restating a DisableOverride qualifier with the same value is fine.
    EXPECT_NO_THROW(compiler.compileText("class Good : CIM_Job { [Key] string InstanceID; };", "ok.mof", NS));

    CIMClass orphan("Orphan", "Nowhere");
    EXPECT_THROW(repository.addClass(NS, orphan), RepositoryError);
    EXPECT_THROW(repository.addClass(NS, CIMClass("standalone")), RepositoryError);
}

TEST_F(ClassRepositoryTest, SubclassEnumerationDeepAndShallow)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(names(repository.subclassNames(NS, "CIM_ManagedElement", false)), (V{"CIM_Job", "CIM_Other"}));
    EXPECT_EQ(names(repository.subclassNames(NS, "cim_managedelement", true)),
              (V{"CIM_Job", "Vendor_Job", "CIM_Other"}));
    EXPECT_EQ(names(repository.subclassNames(NS, CIMName(), false)), (V{"CIM_ManagedElement", "Standalone"}));
    EXPECT_TRUE(repository.subclassNames("root/none", CIMName(), true).empty());

    EXPECT_TRUE(repository.isA(NS, "vendor_job", "CIM_ManagedElement"));
    EXPECT_FALSE(repository.isA(NS, "CIM_Job", "Vendor_Job"));
    EXPECT_FALSE(repository.isA(NS, "Unknown", "Unknown"));
}

TEST_F(ClassRepositoryTest, InstancesGetPathsAndCopiesAreIndependent)
{
    compiler.compileText("class Keyed { [Key] string A; [Key] uint16 B = 7; string C; };\n"
                         "instance of Keyed { A = \"x\"; C = \"c\"; };\n",
                         "inst.mof", NS);
    std::vector<CIMInstance> found = repository.declaredInstances(NS, "Keyed");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(str(found[0].getPath().toString()), "root/test:Keyed.A=\"x\",B=7");

    // Callers own what they get: changing it leaves the repository alone.
    found[0].removeProperty(found[0].findProperty("C"));
    CIMClass job = repository.resolvedClass(NS, "CIM_Job");
    job.removeProperty(0);
    EXPECT_NE(repository.declaredInstances(NS, "Keyed")[0].findProperty("C"), PEG_NOT_FOUND);
    EXPECT_EQ(repository.resolvedClass(NS, "CIM_Job").getPropertyCount(), 3u);
    const CIMConstClass view = repository.resolvedClassView(NS, "cim_job");
    ASSERT_FALSE(view.isUninitialized());
    EXPECT_EQ(view.getPropertyCount(), 3u);
    EXPECT_TRUE(view.getProperty(0).getPropagated());
    EXPECT_TRUE(repository.resolvedClassView(NS, "Unknown").isUninitialized());

    const char* refused[] = {
        "instance of Keyed { A = \"x\"; };",                                // same path again
        "instance of CIM_ManagedElement { InstanceID = \"a\"; };",          // abstract
        "class NoDefault { [Key] string K; };\ninstance of NoDefault { };", // key without value
    };
    for (const char* text : refused)
        EXPECT_THROW(compiler.compileText(text, "refused.mof", NS), MofError) << text;
}

} // namespace
