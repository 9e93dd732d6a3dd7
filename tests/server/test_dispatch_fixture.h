// A host for the dispatch tests: a small schema compiled from MOF, the test provider module
// loaded through the registration, and a dispatcher, with helpers to build requests.
#ifndef CIMHOST_TEST_test_dispatch_fixture_h
#define CIMHOST_TEST_test_dispatch_fixture_h

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMValue.h>
#include <Pegasus/Common/OperationContext.h>

#include "ClassRepository.h"
#include "Dispatcher.h"
#include "MofCompiler.h"
#include "ProviderManager.h"
#include "ProviderRegistry.h"

namespace dispatchtest
{

using Pegasus::Uint32; // PEG_NOT_FOUND names it unqualified

inline const Pegasus::CIMNamespaceName NS("test/dispatch");
inline const char* const HOST = "testhost";

inline const char* const CLASSES = R"(
#pragma namespace ("test/dispatch")
#pragma include ("../root-snia/qualifiers.mof")

[Description("A thing with a size.")]
class Test_Widget
{
    [Key] string Id;
    [Description("Its size.")] uint32 Size;
    string Label;
    uint32 Echo([In] uint32 Count, [In] sint8 Small, [In] boolean Flag, [In] real32 Ratio, [In] char16 Letter,
                [In] datetime When, [In] string Names[], [In] uint16 Sizes[], [In] Test_Widget REF Target,
                [In] uint64 Big);
    uint32 ReturnNothing();
};
class Test_SpecialWidget : Test_Widget { string Extra; };
class Test_PlainWidget : Test_Widget { };
class Test_RefusingWidget : Test_Widget { };
class Test_Group { [Key] string Name; };
[Association] class Test_Membership { [Key] Test_Group REF Group; [Key] Test_Widget REF Member; };
[Association] class Test_Pairing { [Key] Test_Group REF Left; [Key] Test_Group REF Right; };
class Test_Broken { [Key] string Id; uint32 Misbehave([In] string How); };
class Test_Mirror { [Key] string Id; uint32 Size; uint32 CountWidgets(); uint32 Recurse(); };

#pragma namespace ("root/PG_InterOp")
#pragma include ("registration-classes.mof")
)";

// The registration of one module and its capabilities: "provider class types" triples.
inline std::string registration(const std::string& location,
                                const std::vector<std::vector<std::string>>& caps)
{
    std::string mof =
        "instance of PG_ProviderModule { Name = \"TestModule\"; Location = \"" + location + "\"; };\n";
    std::vector<std::string> providers;
    int id = 0;
    for (const auto& cap : caps)
    {
        if (std::find(providers.begin(), providers.end(), cap[0]) == providers.end())
        {
            providers.push_back(cap[0]);
            mof += "instance of PG_Provider { ProviderModuleName = \"TestModule\"; Name = \"" + cap[0] +
                   "\"; };\n";
        }
        mof +=
            "instance of PG_ProviderCapabilities { ProviderModuleName = \"TestModule\"; ProviderName = \"" +
            cap[0] + "\"; CapabilityID = \"" + std::to_string(++id) + "\"; ClassName = \"" + cap[1] +
            "\"; Namespaces = {\"test/dispatch\"}; ProviderType = {" + cap[2] + "}; };\n";
    }
    return mof;
}

// The test module's providers as the dispatch tests use them.
inline std::string defaultRegistration()
{
    return registration("CimhostTestProvider", {{"WidgetProvider", "Test_Widget", "2"},
                                                {"WidgetProvider", "Test_SpecialWidget", "2"},
                                                {"WidgetProvider", "Test_RefusingWidget", "2"},
                                                {"WidgetProvider", "Test_Widget", "5"},
                                                {"MembershipProvider", "Test_Membership", "3"},
                                                {"PairingProvider", "Test_Pairing", "3"},
                                                {"BrokenProvider", "Test_Broken", "2, 5"},
                                                {"WidgetProvider", "Test_Mirror", "2, 5"}});
}

// The host's pull limits, but a provider delivering into a full enumeration context waits only
// 50 ms: the test provider holds its lock while it delivers, and an Open of a context nobody pulls
// holds it that long.
inline cimhost::PullLimits quickPullLimits()
{
    cimhost::PullLimits limits;
    limits.deliveryPatience = std::chrono::milliseconds(50);
    return limits;
}

// Schema, registry, loaded providers and a dispatcher, torn down in the reverse order. The
// enumeration contexts of the pull operations run on a clock the tests move (now).
struct Host
{
    explicit Host(const std::string& registrationMof = defaultRegistration(),
                  const cimhost::PullLimits& pullLimits = quickPullLimits())
    {
        cimhost::MofCompiler(repository)
            .compileText(CLASSES + registrationMof,
                         std::string(SCS_SCHEMA_DIR) + "/cimhost/test_dispatch.mof", NS);
        providers = std::make_unique<cimhost::ProviderManager>(
            cimhost::ProviderRegistry::fromRepository(repository), SCS_LIBRARY_DIR);
        dispatcher = std::make_unique<cimhost::Dispatcher>(repository, *providers, HOST, pullLimits,
                                                           [this] { return now; });
        providers->loadAll(dispatcher->makeHandle());
    }

    cimhost::CimResponse call(const char* method, std::vector<cimhost::IParam> params,
                              const Pegasus::CIMNamespaceName& nameSpace = NS)
    {
        cimhost::CimRequest request;
        request.messageId = "1";
        request.methodName = method;
        request.nameSpace = nameSpace;
        request.iparams = std::move(params);
        return dispatcher->execute(request, Pegasus::OperationContext());
    }

    cimhost::CimResponse invoke(const Pegasus::CIMObjectPath& target, const char* method,
                                const Pegasus::Array<Pegasus::CIMParamValue>& params)
    {
        cimhost::CimRequest request;
        request.messageId = "2";
        request.kind = cimhost::OperationKind::Extrinsic;
        request.methodName = method;
        request.nameSpace = NS;
        request.target = target;
        request.params = params;
        return dispatcher->execute(request, Pegasus::OperationContext());
    }

    std::chrono::steady_clock::time_point now;
    cimhost::ClassRepository repository;
    std::unique_ptr<cimhost::ProviderManager> providers;
    std::unique_ptr<cimhost::Dispatcher> dispatcher;
};

inline cimhost::IParam param(const char* name, cimhost::IParamValue::Kind kind)
{
    cimhost::IParam param{name, {}};
    param.value.kind = kind;
    return param;
}

inline cimhost::IParam classParam(const char* name, const char* className)
{
    cimhost::IParam p = param(name, cimhost::IParamValue::ClassName);
    p.value.className = Pegasus::CIMName(className);
    return p;
}

inline cimhost::IParam textParam(const char* name, const std::string& text)
{
    cimhost::IParam p = param(name, cimhost::IParamValue::Text);
    p.value.text = text;
    return p;
}

inline cimhost::IParam listParam(const char* name, const std::vector<std::string>& texts)
{
    cimhost::IParam p = param(name, cimhost::IParamValue::TextArray);
    p.value.texts = texts;
    return p;
}

inline cimhost::IParam pathParam(const char* name, const Pegasus::CIMObjectPath& path)
{
    cimhost::IParam p = param(name, cimhost::IParamValue::ObjectPath);
    p.value.path = path;
    return p;
}

inline cimhost::IParam instanceParam(const char* name, const Pegasus::CIMInstance& instance, bool named)
{
    cimhost::IParam p =
        param(name, named ? cimhost::IParamValue::NamedInstance : cimhost::IParamValue::Instance);
    p.value.instance = instance;
    return p;
}

inline Pegasus::CIMObjectPath objectPath(const char* className, const char* key, const char* value)
{
    Pegasus::Array<Pegasus::CIMKeyBinding> keys;
    keys.append(Pegasus::CIMKeyBinding(Pegasus::CIMName(key), Pegasus::String(value),
                                       Pegasus::CIMKeyBinding::STRING));
    return Pegasus::CIMObjectPath(Pegasus::String(), Pegasus::CIMNamespaceName(), Pegasus::CIMName(className),
                                  keys);
}

inline Pegasus::CIMObjectPath widgetPath(const char* id, const char* className = "Test_Widget")
{
    return objectPath(className, "Id", id);
}

// A Test_Widget to create, with its key and size.
inline Pegasus::CIMInstance newWidget(const char* id, Pegasus::Uint32 size)
{
    Pegasus::CIMInstance instance(Pegasus::CIMName("Test_Widget"));
    instance.addProperty(
        Pegasus::CIMProperty(Pegasus::CIMName("Id"), Pegasus::CIMValue(Pegasus::String(id))));
    instance.addProperty(Pegasus::CIMProperty(Pegasus::CIMName("Size"), Pegasus::CIMValue(size)));
    return instance;
}

inline std::string text(const Pegasus::String& s)
{
    return std::string(s.getCString());
}

template <class T> T valueOf(const Pegasus::CIMConstInstance& instance, const char* property)
{
    Pegasus::Uint32 index = instance.findProperty(Pegasus::CIMName(property));
    EXPECT_NE(index, PEG_NOT_FOUND) << property;
    T value = T();
    if (index != PEG_NOT_FOUND) instance.getProperty(index).getValue().get(value);
    return value;
}

inline bool hasProperty(const Pegasus::CIMConstInstance& instance, const char* property)
{
    return instance.findProperty(Pegasus::CIMName(property)) != PEG_NOT_FOUND;
}

// The key values ("Id" or "Name") of the answered paths, sorted.
inline std::vector<std::string> keysOf(const Pegasus::Array<Pegasus::CIMObjectPath>& paths)
{
    std::vector<std::string> keys;
    for (Pegasus::Uint32 i = 0; i < paths.size(); ++i)
        keys.push_back(text(paths[i].getKeyBindings()[0].getValue()));
    std::sort(keys.begin(), keys.end());
    return keys;
}

// Whether the response answers that code (CIM_ERR_SUCCESS: no error).
inline ::testing::AssertionResult answers(const cimhost::CimResponse& response, Pegasus::CIMStatusCode code)
{
    const Pegasus::CIMStatusCode answered = response.isError ? response.errorCode : Pegasus::CIM_ERR_SUCCESS;
    if (answered == code) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "answered " << answered << " (" << response.errorDescription << ") instead of " << code;
}

} // namespace dispatchtest

#define EXPECT_CIM_ERROR(response, code) EXPECT_TRUE(::dispatchtest::answers((response), (code)))
#define EXPECT_CIM_OK(response) EXPECT_TRUE(::dispatchtest::answers((response), Pegasus::CIM_ERR_SUCCESS))

#endif
