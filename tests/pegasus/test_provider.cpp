#include <Pegasus/Provider/CIMInstanceProvider.h>
#include <Pegasus/Provider/CIMMethodProvider.h>
#include <Pegasus/Provider/CIMOMHandleRep.h>

#include <functional>
#include <optional>
#include <vector>
#include <gtest/gtest.h>

using namespace Pegasus;

namespace
{

using Ctx = const OperationContext&;
using Ns = const CIMNamespaceName&;
using Name = const CIMName&;
using Path = const CIMObjectPath&;
using Props = const CIMPropertyList&;

// What `thrower` threw, caught through the root of the family, if it was a CIMException.
std::optional<CIMException> thrownCIMException(const std::function<void()>& thrower)
{
    try
    {
        thrower();
    }
    catch (const Exception& e)
    {
        if (const CIMException* cim = dynamic_cast<const CIMException*>(&e)) return *cim;
    }
    return std::nullopt;
}

TEST(ProviderException, EachCarriesItsCodeAndTheMessageAsGiven)
{
    const String message = "bad \"key\" <x> & 100%s\n";
    const std::pair<std::function<void()>, CIMStatusCode> cases[] = {
        {[&] { throw CIMOperationFailedException(message); }, CIM_ERR_FAILED},
        {[&] { throw CIMAccessDeniedException(message); }, CIM_ERR_ACCESS_DENIED},
        {[&] { throw CIMInvalidParameterException(message); }, CIM_ERR_INVALID_PARAMETER},
        {[&] { throw CIMObjectNotFoundException(message); }, CIM_ERR_NOT_FOUND},
        {[&] { throw CIMNotSupportedException(message); }, CIM_ERR_NOT_SUPPORTED},
        {[&] { throw CIMObjectAlreadyExistsException(message); }, CIM_ERR_ALREADY_EXISTS},
        {[&] { throw CIMPropertyNotFoundException(message); }, CIM_ERR_NO_SUCH_PROPERTY},
        {[&] { throw CIMMethodNotFoundException(message); }, CIM_ERR_METHOD_NOT_FOUND},
    };
    for (const auto& [thrower, code] : cases)
    {
        EXPECT_THROW(thrower(), CIMOperationFailedException);
        const std::optional<CIMException> e = thrownCIMException(thrower);
        ASSERT_TRUE(e) << code;
        EXPECT_EQ(code, e->getCode());
        EXPECT_TRUE(e->getMessage() == message);
    }
}

// Counts live objects so that cloning and destruction by contexts can be checked exactly.
struct TaggedContainer : OperationContext::Container
{
    static int live;
    TaggedContainer(const String& n, int v) : name(n), value(v) { ++live; }
    TaggedContainer(const TaggedContainer& o) : Container(), name(o.name), value(o.value) { ++live; }
    ~TaggedContainer() override { --live; }
    String getName() const override { return name; }
    Container* clone() const override { return new TaggedContainer(*this); }
    void destroy() override { delete this; }
    String name;
    int value;
};
int TaggedContainer::live = 0;

int valueIn(const OperationContext& context, const char* name)
{
    return dynamic_cast<const TaggedContainer&>(context.get(name)).value;
}

TEST(OperationContext, PresenceRulesAndCloningOnInsertSetAndCopy)
{
    {
        OperationContext context;
        TaggedContainer first("First", 1);
        context.insert(first);
        first.value = 99; // the context holds its own clone
        EXPECT_EQ(1, valueIn(context, "First"));

        EXPECT_THROW(context.insert(TaggedContainer("First", 2)), Exception);
        EXPECT_EQ(1, valueIn(context, "First"));
        EXPECT_THROW(context.get("Second"), Exception);
        EXPECT_THROW(context.set(TaggedContainer("Second", 2)), Exception);
        EXPECT_THROW(context.remove("Second"), Exception);
        EXPECT_FALSE(context.contains("Second"));
        context.set(TaggedContainer("First", 3));
        EXPECT_EQ(3, valueIn(context, "First"));
        context.insert(IdentityContainer("alice"));

        OperationContext copy(context);
        EXPECT_EQ(3, TaggedContainer::live); // `first` and one in each context
        EXPECT_NE(&context.get("First"), &copy.get("First"));
        copy.set(TaggedContainer("First", 4));
        EXPECT_EQ(3, valueIn(context, "First"));

        OperationContext assigned;
        assigned.insert(TaggedContainer("Other", 5));
        assigned = copy;
        assigned = assigned;
        EXPECT_FALSE(assigned.contains("Other"));
        EXPECT_EQ(4, valueIn(assigned, "First"));
        EXPECT_TRUE(IdentityContainer(assigned.get(IdentityContainer::NAME)).getUserName() == "alice");
        EXPECT_EQ(4, TaggedContainer::live);

        context.remove("First");
        EXPECT_FALSE(context.contains("First"));
        copy.clear();
        EXPECT_FALSE(copy.contains(IdentityContainer::NAME));
        EXPECT_EQ(2, TaggedContainer::live);
    }
    EXPECT_EQ(0, TaggedContainer::live);
}

TEST(OperationContext, IdentityContainerNarrowsOrThrows)
{
    const OperationContext::Container& generic = IdentityContainer("bob");
    EXPECT_TRUE(IdentityContainer(generic).getUserName() == "bob");
    // A look-alike name is not enough; thrown in the library, caught here through the base too.
    EXPECT_THROW(IdentityContainer(TaggedContainer("IdentityContainer", 0)), DynamicCastFailedException);
    EXPECT_THROW(IdentityContainer(TaggedContainer("x", 0)), Exception);
}

// Records what reaches it through a handle; the operations the tests do not use answer empty.
struct RecordingRep : CIMOMHandleRep
{
    explicit RecordingRep(bool* destroyed) : destroyed(destroyed) {}
    ~RecordingRep() override { *destroyed = true; }

    CIMInstance getInstance(Ctx context, Ns ns, Path path, Boolean localOnly, Boolean quals, Boolean origin,
                            Props props) override
    {
        ++calls;
        if (path.getClassName() == CIMName("Missing")) throw CIMObjectNotFoundException("no such instance");
        user = IdentityContainer(context.get(IdentityContainer::NAME)).getUserName();
        nameSpace = ns;
        lastPath = path;
        flags = {localOnly, quals, origin};
        propertyCount = props.size();
        return CIMInstance(path.getClassName());
    }
    CIMValue invokeMethod(Ctx, Ns, Path, Name, const Array<CIMParamValue>& in,
                          Array<CIMParamValue>& out) override
    {
        out.append(CIMParamValue("Echo", in[0].getValue()));
        return CIMValue(Uint32(4096));
    }
    Array<CIMObjectPath> enumerateInstanceNames(Ctx, Ns, Name) override { return {}; }
    CIMClass getClass(Ctx, Ns, Name, Boolean, Boolean, Boolean, Props) override { return {}; }
    Array<CIMClass> enumerateClasses(Ctx, Ns, Name, Boolean, Boolean, Boolean, Boolean) override
    {
        return {};
    }
    Array<CIMName> enumerateClassNames(Ctx, Ns, Name, Boolean) override { return {}; }
    void createClass(Ctx, Ns, const CIMClass&) override {}
    void modifyClass(Ctx, Ns, const CIMClass&) override {}
    void deleteClass(Ctx, Ns, Name) override {}
    Array<CIMInstance> enumerateInstances(Ctx, Ns, Name, Boolean, Boolean, Boolean, Boolean, Props) override
    {
        return {};
    }
    CIMObjectPath createInstance(Ctx, Ns, const CIMInstance&) override { return {}; }
    void modifyInstance(Ctx, Ns, const CIMInstance&, Boolean, Props) override {}
    void deleteInstance(Ctx, Ns, Path) override {}
    Array<CIMObject> execQuery(Ctx, Ns, const String&, const String&) override { return {}; }
    Array<CIMObject> associators(Ctx, Ns, Path, Name, Name, const String&, const String&, Boolean, Boolean,
                                 Props) override
    {
        return {};
    }
    Array<CIMObjectPath> associatorNames(Ctx, Ns, Path, Name, Name, const String&, const String&) override
    {
        return {};
    }
    Array<CIMObject> references(Ctx, Ns, Path, Name, const String&, Boolean, Boolean, Props) override
    {
        return {};
    }
    Array<CIMObjectPath> referenceNames(Ctx, Ns, Path, Name, const String&) override { return {}; }
    CIMValue getProperty(Ctx, Ns, Path, Name) override { return {}; }
    void setProperty(Ctx, Ns, Path, Name, const CIMValue&) override {}

    bool* destroyed;
    int calls = 0;
    String user;
    CIMNamespaceName nameSpace;
    CIMObjectPath lastPath;
    std::vector<Boolean> flags;
    Uint32 propertyCount = 0;
};

TEST(CIMOMHandle, ForwardsToItsRepAndCopiesShareIt)
{
    bool destroyed = false;
    RecordingRep* rep = new RecordingRep(&destroyed);
    CIMOMHandle handle = CIMOMHandleRep::makeHandle(rep);
    OperationContext context;
    context.insert(IdentityContainer("dave"));
    const CIMObjectPath path(String(), CIMNamespaceName(), "Test_Volume",
                             Array<CIMKeyBinding>(1, CIMKeyBinding("Id", "7", CIMKeyBinding::NUMERIC)));

    CIMInstance instance = handle.getInstance(context, "root/test", path, false, true, false,
                                              Array<CIMName>(1, CIMName("Size")));
    EXPECT_TRUE(instance.getClassName() == CIMName("Test_Volume"));
    EXPECT_TRUE(rep->user == "dave");
    EXPECT_TRUE(rep->nameSpace == CIMNamespaceName("root/test"));
    EXPECT_TRUE(rep->lastPath == path);
    EXPECT_EQ((std::vector<Boolean>{false, true, false}), rep->flags);
    EXPECT_EQ(1u, rep->propertyCount);

    const Array<CIMParamValue> in(1, CIMParamValue("Size", Uint64(9)));
    Array<CIMParamValue> out;
    Uint32 returned = 0;
    Uint64 echoed = 0;
    handle.invokeMethod(context, "root/test", path, "Grow", in, out).get(returned);
    EXPECT_EQ(4096u, returned);
    ASSERT_EQ(1u, out.size());
    out[0].getValue().get(echoed);
    EXPECT_EQ(9u, echoed);

    // A provider exception raised behind the library keeps its code on the way back.
    const std::optional<CIMException> e = thrownCIMException(
        [&] {
            handle.getInstance(context, "root/test", CIMObjectPath("Missing.Id=1"), 0, 0, 0,
                               CIMPropertyList());
        });
    ASSERT_TRUE(e);
    EXPECT_EQ(CIM_ERR_NOT_FOUND, e->getCode());
    EXPECT_TRUE(e->getMessage() == "no such instance");

    {
        CIMOMHandle copy(handle);
        CIMOMHandle assigned;
        assigned = copy;
        assigned.getInstance(context, "root/test", path, false, false, false, CIMPropertyList());
        EXPECT_EQ(3, rep->calls);
        // The unload counter lives in the shared rep; an unmatched allow must not bank a credit.
        copy.disallowProviderUnload();
        assigned.disallowProviderUnload();
        handle.allowProviderUnload();
        EXPECT_FALSE(CIMOMHandleRep::isUnloadAllowed(handle));
        copy.allowProviderUnload();
        EXPECT_TRUE(CIMOMHandleRep::isUnloadAllowed(assigned));
        handle.allowProviderUnload();
        handle.disallowProviderUnload();
        EXPECT_FALSE(CIMOMHandleRep::isUnloadAllowed(copy));
    }
    EXPECT_FALSE(destroyed);
    handle = CIMOMHandle();
    EXPECT_TRUE(destroyed);
}

TEST(CIMOMHandle, WithoutARepEveryOperationFailsWithCIMErrFailed)
{
    CIMOMHandle handle;
    CIMOMHandle copy(handle);
    OperationContext context;
    Array<CIMParamValue> out;
    const std::function<void()> operations[] = {
        [&] {
            copy.getInstance(context, "root", CIMObjectPath("A.k=1"), false, false, false, CIMPropertyList());
        },
        [&] { handle.enumerateInstanceNames(context, "root", "A"); },
        [&] { handle.deleteInstance(context, "root", CIMObjectPath("A.k=1")); },
        [&]
        { handle.invokeMethod(context, "root", CIMObjectPath("A.k=1"), "M", Array<CIMParamValue>(), out); },
        [&] { handle.getClass(context, "root", "A", false, false, false, CIMPropertyList()); },
    };
    for (const auto& operation : operations)
    {
        const std::optional<CIMException> e = thrownCIMException(operation); // thrown inside the library
        ASSERT_TRUE(e);
        EXPECT_EQ(CIM_ERR_FAILED, e->getCode());
        EXPECT_NE(0u, e->getMessage().size());
    }
    handle.disallowProviderUnload();
    EXPECT_TRUE(CIMOMHandleRep::isUnloadAllowed(handle));
}

struct InstanceAndMethodProvider : CIMInstanceProvider, CIMMethodProvider
{
    explicit InstanceAndMethodProvider(bool* deleted) : deleted(deleted) {}
    ~InstanceAndMethodProvider() override { *deleted = true; }
    void initialize(CIMOMHandle& handle) override { cimom = handle; }
    void terminate() override { delete this; }
    void getInstance(Ctx, Path, const Boolean, const Boolean, Props, InstanceResponseHandler&) override {}
    void enumerateInstances(Ctx, Path, const Boolean, const Boolean, Props, InstanceResponseHandler&) override
    {
    }
    void enumerateInstanceNames(Ctx, Path, ObjectPathResponseHandler&) override {}
    void modifyInstance(Ctx, Path, const CIMInstance&, const Boolean, Props, ResponseHandler&) override {}
    void createInstance(Ctx, Path, const CIMInstance&, ObjectPathResponseHandler&) override {}
    void deleteInstance(Ctx, Path, ResponseHandler&) override {}
    void invokeMethod(Ctx, Path, Name, const Array<CIMParamValue>&, MethodResultResponseHandler&) override {}
    bool* deleted;
    CIMOMHandle cimom;
};

TEST(CIMProvider, SeveralInterfacesShareOneProviderBase)
{
    bool deleted = false;
    bool repDestroyed = false;
    InstanceAndMethodProvider* provider = new InstanceAndMethodProvider(&deleted);
    CIMProvider& viaInstance = static_cast<CIMInstanceProvider&>(*provider);
    CIMProvider& viaMethod = static_cast<CIMMethodProvider&>(*provider);
    EXPECT_EQ(&viaInstance, &viaMethod);
    EXPECT_EQ(provider, dynamic_cast<InstanceAndMethodProvider*>(&viaMethod));
    EXPECT_NE(nullptr, dynamic_cast<CIMMethodProvider*>(&viaInstance));

    CIMOMHandle handle = CIMOMHandleRep::makeHandle(new RecordingRep(&repDestroyed));
    viaMethod.initialize(handle);
    handle = CIMOMHandle();
    EXPECT_FALSE(repDestroyed); // the provider's copy keeps the server's rep alive
    viaInstance.terminate();
    EXPECT_TRUE(deleted);
    EXPECT_TRUE(repDestroyed);
}

} // namespace
