// Provider registration read from PG_ProviderModule, PG_Provider and PG_ProviderCapabilities
// instances, and the registrations that must be refused.
#include <string>

#include <gtest/gtest.h>

#include "ClassRepository.h"
#include "MofCompiler.h"
#include "ProviderRegistry.h"

using namespace Pegasus;
using cimhost::ClassRepository;
using cimhost::MofCompiler;
using cimhost::ProviderRegistry;
using cimhost::RegistrationError;

namespace
{

const char* const kServed = R"MOF(
#pragma namespace ("root/snia")
class Vendor_Service { [Key] string Name; };
[Association] class Vendor_Hosted { [Key] Vendor_Service REF Antecedent; [Key] Vendor_Service REF Dependent; };
#pragma namespace ("root/PG_InterOp")
class PG_ProviderModule { [Key] string Name; string Location; string Vendor; string Version;
  string InterfaceType; string InterfaceVersion; };
class PG_Provider { [Key] string ProviderModuleName; [Key] string Name; };
class PG_ProviderCapabilities { [Key] string ProviderModuleName; [Key] string ProviderName;
  [Key] string CapabilityID; string ClassName; string Namespaces[]; uint16 ProviderType[];
  string SupportedProperties[]; string SupportedMethods[]; };
instance of PG_ProviderModule { Name = "SvcModule"; Location = "StorageConfigurationService";
  Vendor = "v"; Version = "1.0"; InterfaceType = "C++Default"; InterfaceVersion = "2.1.0"; };
instance of PG_Provider { ProviderModuleName = "SvcModule"; Name = "ServiceProvider"; };
instance of PG_ProviderCapabilities { ProviderModuleName = "SvcModule"; ProviderName = "ServiceProvider";
  CapabilityID = "1"; ClassName = "Vendor_Service"; Namespaces = {"root/snia"}; ProviderType = {2, 5}; };
instance of PG_ProviderCapabilities { ProviderModuleName = "svcmodule"; ProviderName = "serviceprovider";
  CapabilityID = "2"; ClassName = "Vendor_Hosted"; Namespaces = {"root/snia"}; ProviderType = {2, 3, 4}; };
instance of PG_ProviderCapabilities { ProviderModuleName = "SvcModule"; ProviderName = "ServiceProvider";
  CapabilityID = "3"; ClassName = "Vendor_Service"; Namespaces = {"root/snia"}; ProviderType = {4}; };
)MOF";

class ProviderRegistryTest : public ::testing::Test
{
protected:
    void SetUp() override { compiler.compileText(kServed, "registration.mof", "root/cimv2"); }

    ClassRepository repository;
    MofCompiler compiler{repository};
};

// Names are matched ignoring case and reported as registered; indication capabilities are kept,
// and one class may have an indication provider besides its others. The shipped registration is
// read by every integration test.
TEST_F(ProviderRegistryTest, ReadsCapabilitiesWithTheirTypes)
{
    const ProviderRegistry registry = ProviderRegistry::fromRepository(repository);
    ASSERT_EQ(registry.modules().size(), 1u);
    ASSERT_EQ(registry.capabilities().size(), 3u);
    const auto& service = registry.capabilities()[0];
    EXPECT_TRUE(service.instance && service.method && !service.association && !service.indication);
    const auto& hosted = registry.capabilities()[1];
    EXPECT_EQ(hosted.moduleName + "/" + hosted.providerName, "SvcModule/ServiceProvider");
    EXPECT_TRUE(hosted.association && hosted.instance && !hosted.method && hosted.indication);
    const auto& told = registry.capabilities()[2];
    EXPECT_TRUE(told.indication && !told.instance && !told.association && !told.method);
}

// A capability of SvcModule's provider for a class; "namespaces" is the property as written.
std::string capability(const std::string& provider, const std::string& className,
                       const std::string& namespaces, const std::string& types)
{
    return "instance of PG_ProviderCapabilities { ProviderModuleName = \"SvcModule\"; ProviderName = \"" +
           provider + "\"; CapabilityID = \"9\"; ClassName = \"" + className + "\"; " + namespaces +
           " ProviderType = {" + types + "}; };";
}

TEST_F(ProviderRegistryTest, InconsistentRegistrationsAreRefusedNamingTheInstance)
{
    const std::string snia = "Namespaces = {\"root/snia\"};";
    const std::pair<std::string, const char*> cases[] = {
        {capability("Ghost", "Vendor_Service", snia, "2"),
         "names provider 'Ghost' of module 'SvcModule', which is not registered"},
        {capability("ServiceProvider", "Vendor_Nothing", snia, "2"),
         "class 'Vendor_Nothing' does not exist in namespace 'root/snia'"},
        {capability("ServiceProvider", "Vendor_Service", "Namespaces = {\"root/elsewhere\"};", "5"),
         "does not exist in namespace 'root/elsewhere'"},
        {capability("ServiceProvider", "Vendor_Service", snia, "3"), "which is not an association"},
        {capability("ServiceProvider", "Vendor_Service", snia, "2"), "already has a provider of type 2"},
        {capability("ServiceProvider", "Vendor_Service", "", "2"), "names no namespace"},
        {"instance of PG_Provider { ProviderModuleName = \"NoModule\"; Name = \"P\"; };",
         "unregistered provider module 'NoModule'"},
        {"instance of PG_ProviderModule { Name = \"Cmpi\"; Location = \"x\"; InterfaceType = \"CMPI\"; };",
         "interface type 'CMPI' is not supported"},
        {"instance of PG_ProviderModule { Name = \"NoLocation\"; };", "property 'Location' is missing"},
    };
    for (const auto& [text, fragment] : cases)
    {
        ClassRepository fresh;
        MofCompiler freshCompiler(fresh);
        freshCompiler.compileText(kServed, "registration.mof", "root/cimv2");
        freshCompiler.compileText("#pragma namespace (\"root/PG_InterOp\")\n" + text, "extra.mof",
                                  "root/cimv2");
        EXPECT_THROW(
            try { ProviderRegistry::fromRepository(fresh); } catch (const RegistrationError& e) {
                EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
                EXPECT_NE(std::string(e.what()).find("root/PG_InterOp:PG_Provider"), std::string::npos)
                    << e.what();
                throw;
            },
            RegistrationError)
            << text;
    }
}

} // namespace
