// The provider manager: loading modules and creating providers as registered, the errors that
// stop start-up, the lookup tables, and terminating once.
#include "test_dispatch_fixture.h"

using namespace Pegasus;
using namespace dispatchtest;
using cimhost::StartupError;

namespace
{

// The StartupError text of a host built on that registration, or "" when it starts.
std::string startupFailure(const std::string& location, const std::vector<std::vector<std::string>>& caps)
{
    try
    {
        Host host(registration(location, caps));
    }
    catch (const StartupError& e)
    {
        return e.what();
    }
    return std::string();
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(DispatchLoading, StartupErrorsNameWhatFailed)
{
    // A library that loads but is no provider module (a missing one: integration/startup.sh).
    std::string noEntry = startupFailure("pegcommon", {{"WidgetProvider", "Test_Widget", "2"}});
    EXPECT_TRUE(contains(noEntry, "PegasusCreateProvider")) << noEntry;

    std::string unknown = startupFailure("CimhostTestProvider", {{"NoSuchProvider", "Test_Widget", "2"}});
    EXPECT_TRUE(contains(unknown, "NoSuchProvider")) << unknown;

    std::string thrown = startupFailure("CimhostTestProvider", {{"ThrowingProvider", "Test_Widget", "2"}});
    EXPECT_TRUE(contains(thrown, "cannot be created")) << thrown;

    std::string wrongKind = startupFailure("CimhostTestProvider", {{"WidgetProvider", "Test_Membership", "3"}});
    EXPECT_TRUE(contains(wrongKind, "association")) << wrongKind;

    // Providers created before the failure are terminated with the manager; nothing leaks or crashes.
    std::string late = startupFailure("CimhostTestProvider", {{"WidgetProvider", "Test_Widget", "2"},
                                                              {"NoSuchProvider", "Test_Group", "2"}});
    EXPECT_TRUE(contains(late, "NoSuchProvider")) << late;
}

TEST(DispatchLoading, LookupsFindTheRegisteredProvidersIgnoringCase)
{
    Host host;
    const cimhost::ProviderManager& providers = *host.providers;
    CIMInstanceProvider* widgets = providers.instanceProvider(NS, CIMName("Test_Widget"));
    ASSERT_NE(widgets, nullptr);
    // One provider object serves every capability registered under its name.
    EXPECT_EQ(providers.instanceProvider(NS, CIMName("TEST_SPECIALWIDGET")), widgets);
    EXPECT_EQ(providers.instanceProvider(CIMNamespaceName("TEST/Dispatch"), CIMName("test_widget")), widgets);
    EXPECT_EQ(providers.methodProvider(NS, CIMName("Test_SpecialWidget")), nullptr);
    EXPECT_NE(providers.associationProvider(NS, CIMName("test_membership")), nullptr);
}

TEST(DispatchLoading, TerminateAllStopsServingAndIsDoneOnce)
{
    Host host;
    host.providers->terminateAll();
    EXPECT_EQ(host.providers->instanceProvider(NS, CIMName("Test_Widget")), nullptr);
    EXPECT_TRUE(host.providers->associations(NS).empty());
    // Requests still get answers: no provider serves the class any more.
    cimhost::CimResponse empty = host.call("EnumerateInstances", {classParam("ClassName", "Test_Widget")});
    EXPECT_CIM_OK(empty);
    EXPECT_EQ(empty.instances.size(), 0u);
    host.providers->terminateAll(); // and the destructor a third time: each provider is terminated once
}
