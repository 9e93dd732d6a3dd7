// The inventory module under the module harness: its providers by registered name, the calls a
// CIM server makes on them, and paths a client writes.
#ifndef SCS_TEST_InventoryHarness_h
#define SCS_TEST_InventoryHarness_h

#include <map>
#include <set>
#include <string>

#include "ModuleHarness.h"

#include <Pegasus/Common/CIMObject.h>

#include <KVELiPtr.h>

namespace scs_test
{

class InventoryTest : public ModuleTest
{
protected:
    static constexpr Uint32 BASE_POOL = KVELPool::BASE_POOL_ID;
    static constexpr Uint32 SPARE_POOL = KVELPool::SPARE_POOL_ID;
    static constexpr Uint32 AVAILABLE_POOL = KVELPool::AVAILABLE_POOL_ID;
    static constexpr Uint32 UNAVAILABLE_POOL = KVELPool::UNAVAILABLE_POOL_ID;

    void SetUp() override
    {
        providersDeleteThemselves = true; // every inventory provider ends with `delete this`
        ModuleTest::SetUp();
    }

    // One provider per registered name and test.
    CIMProvider* made(const char* name)
    {
        CIMProvider*& slot = _providers[name];
        if (!slot) slot = provider<CIMProvider>(name);
        return slot;
    }
    CIMInstanceProvider* instances(const char* name)
    {
        return dynamic_cast<CIMInstanceProvider*>(made(name));
    }

    Array<CIMInstance> enumerate(const char* providerName, const char* className,
                                 const CIMPropertyList& propertyList = CIMPropertyList())
    {
        InstanceRecorder handler;
        instances(providerName)
            ->enumerateInstances(context, classPath(className), false, false, propertyList, handler);
        EXPECT_EQ(handler.calls.back(), "complete");
        return handler.delivered;
    }
    Array<CIMObjectPath> enumerateNames(const char* providerName, const char* className)
    {
        PathRecorder handler;
        instances(providerName)->enumerateInstanceNames(context, classPath(className), handler);
        EXPECT_EQ(handler.calls.back(), "complete");
        return handler.delivered;
    }
    CIMInstance get(const char* providerName, const CIMObjectPath& path, bool includeQualifiers = false,
                    const CIMPropertyList& propertyList = CIMPropertyList())
    {
        InstanceRecorder handler;
        instances(providerName)->getInstance(context, path, includeQualifiers, false, propertyList, handler);
        EXPECT_EQ(handler.delivered.size(), 1u) << str(path.toString());
        return handler.delivered.size() == 1 ? handler.delivered[0] : CIMInstance();
    }
    // Whether getInstance answers CIMObjectNotFoundException (anything else fails the test).
    bool notFound(const char* providerName, const CIMObjectPath& path)
    {
        try
        {
            get(providerName, path);
        }
        catch (const CIMObjectNotFoundException&)
        {
            return true;
        }
        return false;
    }

    static CIMObjectPath classPath(const char* className)
    {
        return CIMObjectPath("", CIMNamespaceName("root/snia"), CIMName(className));
    }
    static std::string arrayName() { return KVELEngine::_ZarvoSystemNamePtr; }
    CIMObjectPath capabilitiesRef(Uint32 poolID) { return idPath("CIM_StorageCapabilities", hex(poolID)); }
    CIMObjectPath hintsRef(Uint32 settingID) { return idPath("CIM_StorageSettingWithHints", hex(settingID)); }

    // The object ID a path names by its InstanceID or DeviceID.
    static Uint32 idOf(const CIMObjectPath& path)
    {
        const Array<CIMKeyBinding>& keys = path.getKeyBindings();
        for (Uint32 i = 0; i < keys.size(); ++i)
            if (keys[i].getName().equal(CIMName("InstanceID")) ||
                keys[i].getName().equal(CIMName("DeviceID")))
                return KVELObjectID(keys[i].getValue());
        return 0;
    }
    template <class Element> static std::set<Uint32> idsOf(const Array<Element>& elements)
    {
        std::set<Uint32> ids;
        for (Uint32 i = 0; i < elements.size(); ++i)
            ids.insert(idOf(pathOf(elements[i])));
        return ids;
    }
    static std::set<Uint32> asSet(const std::vector<Uint32>& ids)
    {
        return std::set<Uint32>(ids.begin(), ids.end());
    }

    static CIMValue valueOf(const CIMInstance& instance, const char* name)
    {
        const Uint32 index = instance.findProperty(CIMName(name));
        EXPECT_NE(index, PEG_NOT_FOUND) << name;
        return index == PEG_NOT_FOUND ? CIMValue() : instance.getProperty(index).getValue();
    }
    template <class T> static T valueAs(const CIMInstance& instance, const char* name)
    {
        T result = T();
        const CIMValue value = valueOf(instance, name);
        EXPECT_FALSE(value.isNull()) << name;
        if (!value.isNull()) value.get(result);
        return result;
    }

    CIMAssociationProvider* navigation(const char* name)
    {
        return dynamic_cast<CIMAssociationProvider*>(made(name));
    }
    // The associators, checked to be delivered complete and to have the paths associatorNames gives.
    Array<CIMObject> associators(const char* provider, const CIMObjectPath& object,
                                 const char* resultClass = nullptr, const char* role = "",
                                 const char* resultRole = "")
    {
        PathRecorder names;
        ObjectRecorder objects;
        navigation(provider)->associatorNames(context, object, CIMName(), nameOrNull(resultClass), role,
                                              resultRole, names);
        navigation(provider)->associators(context, object, CIMName(), nameOrNull(resultClass), role,
                                          resultRole, false, false, CIMPropertyList(), objects);
        EXPECT_EQ(pathTexts(names.delivered), pathTexts(objects.delivered));
        EXPECT_EQ(objects.calls.back(), "complete");
        return objects.delivered;
    }
    // The association instances that refer to the object, checked against referenceNames.
    Array<CIMObject> references(const char* provider, const CIMObjectPath& object,
                                const char* resultClass = nullptr, const char* role = "")
    {
        PathRecorder names;
        ObjectRecorder objects;
        navigation(provider)->referenceNames(context, object, nameOrNull(resultClass), role, names);
        navigation(provider)->references(context, object, nameOrNull(resultClass), role, false, false,
                                         CIMPropertyList(), objects);
        EXPECT_EQ(pathTexts(names.delivered), pathTexts(objects.delivered));
        EXPECT_EQ(objects.calls.back(), "complete");
        return objects.delivered;
    }
    // The path of an association instance by its two references.
    static CIMObjectPath linkPath(const char* className, const char* firstRole, const CIMObjectPath& first,
                                  const char* secondRole, const CIMObjectPath& second)
    {
        Array<CIMKeyBinding> keys;
        keys.append(CIMKeyBinding(CIMName(firstRole), CIMValue(first)));
        keys.append(CIMKeyBinding(CIMName(secondRole), CIMValue(second)));
        return CIMObjectPath("", CIMNamespaceName("root/snia"), CIMName(className), keys);
    }

    // Turns a setting record into a volume the way the storage module does.
    Uint32 createVolumeFrom(Uint32 settingID, Uint64 sizeBlocks)
    {
        std::unique_ptr<KVELVolume> setting = volume(settingID);
        setting->Size = sizeBlocks;
        KVELTask job;
        EXPECT_EQ(engine().createVolume(setting.get(), &job), Uint32(KVEL_RC_SUCCESS));
        return settingID;
    }

private:
    static CIMName nameOrNull(const char* name) { return name ? CIMName(name) : CIMName(); }
    template <class Element> static std::multiset<std::string> pathTexts(const Array<Element>& elements)
    {
        std::multiset<std::string> texts;
        for (Uint32 i = 0; i < elements.size(); ++i)
            texts.insert(str(pathOf(elements[i]).toString()));
        return texts;
    }
    static CIMObjectPath pathOf(const CIMObjectPath& path) { return path; }
    static CIMObjectPath pathOf(const CIMObject& object) { return object.getPath(); }
    static CIMObjectPath pathOf(const CIMInstance& instance) { return instance.getPath(); }

    std::map<std::string, CIMProvider*> _providers;
};

} // namespace scs_test

#endif
