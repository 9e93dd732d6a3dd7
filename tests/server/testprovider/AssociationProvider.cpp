// Two fixed associations: Test_Membership between groups and widgets (g1: w1, w2; g2: s1) and
// Test_Pairing between the groups g1 and g2. Like a real association provider it answers only
// for the association class it is registered for, and refuses anything else.
#include <string>
#include <utility>
#include <vector>

#include "TestProviders.h"

namespace testprovider
{

namespace
{

using namespace Pegasus;

CIMObjectPath objectPath(const char* className, const char* key, const String& value)
{
    Array<CIMKeyBinding> keys;
    keys.append(CIMKeyBinding(CIMName(key), value, CIMKeyBinding::STRING));
    return CIMObjectPath(String(), CIMNamespaceName(), CIMName(className), keys);
}

CIMObjectPath group(const char* name)
{
    return objectPath("Test_Group", "Name", name);
}

String firstKey(const CIMObjectPath& path)
{
    const Array<CIMKeyBinding>& keys = path.getKeyBindings();
    return keys.size() ? keys[0].getValue() : String();
}

// The instance an associator answer carries: its keys and its path.
CIMObject objectFor(const CIMObjectPath& path)
{
    CIMInstance instance(path.getClassName());
    const Array<CIMKeyBinding>& keys = path.getKeyBindings();
    for (Uint32 i = 0; i < keys.size(); ++i)
        instance.addProperty(CIMProperty(keys[i].getName(), CIMValue(keys[i].getValue())));
    instance.setPath(path);
    return CIMObject(instance);
}

class AssociationProvider : public CIMAssociationProvider
{
public:
    explicit AssociationProvider(bool pairing)
        : _associationClass(pairing ? "Test_Pairing" : "Test_Membership"),
          _firstRole(pairing ? "Left" : "Group"), _secondRole(pairing ? "Right" : "Member")
    {
        if (pairing)
            _links.emplace_back(group("g1"), group("g2"));
        else
        {
            _links.emplace_back(group("g1"), objectPath("Test_Widget", "Id", "w1"));
            _links.emplace_back(group("g1"), objectPath("Test_Widget", "Id", "w2"));
            _links.emplace_back(group("g2"), objectPath("Test_SpecialWidget", "Id", "s1"));
        }
    }

    void initialize(CIMOMHandle&) override {}
    void terminate() override { delete this; }

    void associators(const OperationContext&, const CIMObjectPath& objectName,
                     const CIMName& associationClass, const CIMName&, const String&, const String&,
                     const Boolean, const Boolean, const CIMPropertyList&,
                     ObjectResponseHandler& handler) override
    {
        requireOwnClass(associationClass);
        handler.processing();
        for (const CIMObjectPath& other : farEnds(objectName))
            handler.deliver(objectFor(other));
        handler.complete();
    }

    void associatorNames(const OperationContext&, const CIMObjectPath& objectName,
                         const CIMName& associationClass, const CIMName&, const String&, const String&,
                         ObjectPathResponseHandler& handler) override
    {
        requireOwnClass(associationClass);
        handler.processing();
        for (const CIMObjectPath& other : farEnds(objectName))
            handler.deliver(other);
        handler.complete();
    }

    // References get the association class as their result class.
    void references(const OperationContext&, const CIMObjectPath& objectName, const CIMName& resultClass,
                    const String&, const Boolean, const Boolean, const CIMPropertyList&,
                    ObjectResponseHandler& handler) override
    {
        requireOwnClass(resultClass);
        handler.processing();
        for (const auto& link : linksOf(objectName))
        {
            // No path: the host builds it from the key references.
            CIMInstance association(_associationClass);
            association.addProperty(
                CIMProperty(_firstRole, CIMValue(link.first), 0, link.first.getClassName()));
            association.addProperty(
                CIMProperty(_secondRole, CIMValue(link.second), 0, link.second.getClassName()));
            handler.deliver(CIMObject(association));
        }
        handler.complete();
    }

    void referenceNames(const OperationContext&, const CIMObjectPath& objectName, const CIMName& resultClass,
                        const String&, ObjectPathResponseHandler& handler) override
    {
        requireOwnClass(resultClass);
        handler.processing();
        for (const auto& link : linksOf(objectName))
        {
            Array<CIMKeyBinding> keys;
            keys.append(CIMKeyBinding(_firstRole, CIMValue(link.first)));
            keys.append(CIMKeyBinding(_secondRole, CIMValue(link.second)));
            handler.deliver(CIMObjectPath(String(), CIMNamespaceName(), _associationClass, keys));
        }
        handler.complete();
    }

private:
    using Link = std::pair<CIMObjectPath, CIMObjectPath>;

    void requireOwnClass(const CIMName& associationClass) const
    {
        if (!associationClass.equal(_associationClass))
            throw CIMNotSupportedException(String("not an association of ") + _associationClass.getString());
    }

    static bool isGroup(const CIMObjectPath& path)
    {
        return path.getClassName().equal(CIMName("Test_Group"));
    }

    // Widgets of either class share one key space.
    static bool sameObject(const CIMObjectPath& a, const CIMObjectPath& b)
    {
        return isGroup(a) == isGroup(b) && String::equal(firstKey(a), firstKey(b));
    }

    std::vector<Link> linksOf(const CIMObjectPath& source) const
    {
        // Pairings join groups only: a host asking about anything else chose the wrong provider.
        if (_firstRole.equal(CIMName("Left")) && !isGroup(source))
            throw CIMException(CIM_ERR_FAILED, "the pairing provider was asked about a non-group");
        std::vector<Link> found;
        for (const Link& link : _links)
            if (sameObject(link.first, source) || sameObject(link.second, source)) found.push_back(link);
        return found;
    }

    std::vector<CIMObjectPath> farEnds(const CIMObjectPath& source) const
    {
        std::vector<CIMObjectPath> ends;
        for (const Link& link : linksOf(source))
            ends.push_back(sameObject(link.first, source) ? link.second : link.first);
        return ends;
    }

    CIMName _associationClass;
    CIMName _firstRole;
    CIMName _secondRole;
    std::vector<Link> _links;
};

} // namespace

CIMProvider* createAssociationProvider(bool pairing)
{
    return new AssociationProvider(pairing);
}

} // namespace testprovider
