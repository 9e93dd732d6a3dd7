#include "ClassRepository.h"

#include <Pegasus/Common/Exception.h>

#include "ClassResolver.h"
#include "NameKey.h"

namespace cimhost
{

using Pegasus::CIMClass;
using Pegasus::CIMInstance;
using Pegasus::CIMName;
using Pegasus::CIMNamespaceName;
using Pegasus::Uint32;

namespace
{

std::string quoted(const Pegasus::String& name)
{
    return "'" + utf8(name) + "'";
}

// Gives a MOF instance the class defaults of key properties it leaves out, so its path can be built.
void addKeyDefaults(CIMInstance& instance, const CIMClass& cimClass)
{
    Pegasus::Array<CIMName> keys;
    cimClass.getKeyNames(keys);
    for (Uint32 i = 0; i < keys.size(); ++i)
    {
        if (instance.findProperty(keys[i]) != PEG_NOT_FOUND) continue;
        Pegasus::CIMConstProperty declared = cimClass.getProperty(cimClass.findProperty(keys[i]));
        if (declared.getValue().isNull())
            throw RepositoryError("instance of " + quoted(cimClass.getClassName().getString()) +
                                  " has no value for key property " + quoted(keys[i].getString()));
        instance.addProperty(Pegasus::CIMProperty(declared.getName(), declared.getValue(),
                                                  declared.getArraySize(), declared.getReferenceClassName()));
    }
}

} // namespace

struct ClassRepository::Impl
{
    struct ClassEntry
    {
        CIMClass declared;
        CIMClass resolved;
        std::string superKey; // empty for a top-level class
    };

    struct Namespace
    {
        CIMNamespaceName name;
        std::map<std::string, ClassEntry, NameKeyLess> classes;
        std::vector<std::string> order; // class keys in declaration order
        std::vector<CIMInstance> instances;
    };

    std::map<std::string, Namespace, NameKeyLess> namespaces;
    std::vector<std::string> namespaceOrder;

    const Namespace* find(const CIMNamespaceName& nameSpace) const
    {
        if (nameSpace.isNull()) return nullptr;
        auto found = namespaces.find(NameRef{nameSpace.getString()});
        return found == namespaces.end() ? nullptr : &found->second;
    }

    Namespace& obtain(const CIMNamespaceName& nameSpace)
    {
        if (nameSpace.isNull()) throw RepositoryError("no namespace given");
        const std::string key = nameKey(nameSpace.getString());
        auto found = namespaces.find(key);
        if (found != namespaces.end()) return found->second;
        namespaceOrder.push_back(key);
        Namespace& created = namespaces[key];
        created.name = nameSpace;
        return created;
    }

    static const ClassEntry* findClass(const Namespace* space, const CIMName& name)
    {
        if (space == nullptr || name.isNull()) return nullptr;
        auto found = space->classes.find(NameRef{name.getString()});
        return found == space->classes.end() ? nullptr : &found->second;
    }

    // True when the class with key 'key' is the ancestor or derives from it.
    static bool derives(const Namespace& space, std::string key, const std::string& ancestorKey)
    {
        while (!key.empty())
        {
            if (key == ancestorKey) return true;
            auto found = space.classes.find(key);
            if (found == space.classes.end()) return false;
            key = found->second.superKey;
        }
        return false;
    }
};

ClassRepository::ClassRepository() : _impl(std::make_unique<Impl>()) {}

ClassRepository::~ClassRepository() = default;

void ClassRepository::addClass(const CIMNamespaceName& nameSpace, const CIMClass& cimClass)
{
    if (cimClass.isUninitialized()) throw RepositoryError("no class given");
    if (nameSpace.isNull()) throw RepositoryError("no namespace given");
    const Impl::Namespace* existing = _impl->find(nameSpace);
    const CIMName className = cimClass.getClassName();
    const std::string key = nameKey(className.getString());
    if (Impl::findClass(existing, className) != nullptr)
        throw RepositoryError("class " + quoted(className.getString()) +
                              " is already declared in namespace " + quoted(nameSpace.getString()));

    const Impl::ClassEntry* super = nullptr;
    const CIMName superName = cimClass.getSuperClassName();
    if (!superName.isNull())
    {
        super = Impl::findClass(existing, superName);
        if (super == nullptr)
            throw RepositoryError("unknown superclass " + quoted(superName.getString()) + " of class " +
                                  quoted(className.getString()));
    }

    CIMClass declared = cimClass.clone();
    for (Uint32 i = 0; i < declared.getPropertyCount(); ++i)
    {
        Pegasus::CIMProperty property = declared.getProperty(i);
        property.setClassOrigin(className);
        property.setPropagated(false);
    }
    for (Uint32 i = 0; i < declared.getMethodCount(); ++i)
    {
        Pegasus::CIMMethod method = declared.getMethod(i);
        method.setClassOrigin(className);
        method.setPropagated(false);
    }
    CIMClass resolved;
    try
    {
        resolved = resolveClass(declared, super != nullptr ? super->resolved : CIMClass());
    }
    catch (const Pegasus::Exception& e)
    {
        throw RepositoryError("class " + quoted(className.getString()) + ": " + utf8(e.getMessage()));
    }
    Impl::Namespace& space = _impl->obtain(nameSpace);
    space.classes[key] =
        Impl::ClassEntry{declared, resolved, super != nullptr ? nameKey(superName.getString()) : ""};
    space.order.push_back(key);
}

void ClassRepository::addInstance(const CIMNamespaceName& nameSpace, const CIMInstance& instance)
{
    if (instance.isUninitialized()) throw RepositoryError("no instance given");
    const Impl::ClassEntry* entry = Impl::findClass(_impl->find(nameSpace), instance.getClassName());
    if (entry == nullptr)
        throw RepositoryError("unknown class " + quoted(instance.getClassName().getString()) +
                              " for instance");
    if (entry->declared.isAbstract())
        throw RepositoryError("class " + quoted(entry->declared.getClassName().getString()) +
                              " is abstract and cannot have instances");

    CIMInstance stored = instance.clone();
    Pegasus::CIMObjectPath path;
    try
    {
        addKeyDefaults(stored, entry->resolved);
        path = stored.buildPath(entry->resolved);
        path.setNameSpace(nameSpace);
        stored.setPath(path);
    }
    catch (const Pegasus::Exception& e)
    {
        throw RepositoryError("instance of " + quoted(instance.getClassName().getString()) + ": " +
                              utf8(e.getMessage()));
    }
    Impl::Namespace& space = _impl->obtain(nameSpace);
    if (entry->resolved.hasKeys())
    {
        for (const CIMInstance& existing : space.instances)
            if (existing.getPath() == path)
                throw RepositoryError("instance " + quoted(path.toString()) + " is declared twice");
    }
    space.instances.push_back(stored);
}

bool ClassRepository::hasNamespace(const CIMNamespaceName& nameSpace) const
{
    return _impl->find(nameSpace) != nullptr;
}

std::vector<CIMNamespaceName> ClassRepository::namespaces() const
{
    std::vector<CIMNamespaceName> names;
    for (const std::string& key : _impl->namespaceOrder)
        names.push_back(_impl->namespaces.at(key).name);
    return names;
}

CIMClass ClassRepository::declaredClass(const CIMNamespaceName& nameSpace, const CIMName& name) const
{
    const Impl::ClassEntry* entry = Impl::findClass(_impl->find(nameSpace), name);
    return entry != nullptr ? entry->declared.clone() : CIMClass();
}

CIMClass ClassRepository::resolvedClass(const CIMNamespaceName& nameSpace, const CIMName& name) const
{
    const Impl::ClassEntry* entry = Impl::findClass(_impl->find(nameSpace), name);
    return entry != nullptr ? entry->resolved.clone() : CIMClass();
}

Pegasus::CIMConstClass ClassRepository::resolvedClassView(const CIMNamespaceName& nameSpace,
                                                          const CIMName& name) const
{
    const Impl::ClassEntry* entry = Impl::findClass(_impl->find(nameSpace), name);
    return entry != nullptr ? Pegasus::CIMConstClass(entry->resolved) : Pegasus::CIMConstClass();
}

std::vector<CIMName> ClassRepository::subclassNames(const CIMNamespaceName& nameSpace, const CIMName& name,
                                                    bool deep) const
{
    std::vector<CIMName> names;
    const Impl::Namespace* space = _impl->find(nameSpace);
    if (space == nullptr) return names;
    std::string parentKey;
    if (!name.isNull())
    {
        if (Impl::findClass(space, name) == nullptr) return names;
        parentKey = nameKey(name.getString());
    }
    for (const std::string& key : space->order)
    {
        const Impl::ClassEntry& entry = space->classes.at(key);
        bool wanted;
        if (deep)
            wanted = parentKey.empty() || (key != parentKey && Impl::derives(*space, key, parentKey));
        else
            wanted = entry.superKey == parentKey;
        if (wanted) names.push_back(entry.declared.getClassName());
    }
    return names;
}

bool ClassRepository::isA(const CIMNamespaceName& nameSpace, const CIMName& cls,
                          const CIMName& ancestor) const
{
    const Impl::Namespace* space = _impl->find(nameSpace);
    if (space == nullptr || Impl::findClass(space, cls) == nullptr || ancestor.isNull()) return false;
    return Impl::derives(*space, nameKey(cls.getString()), nameKey(ancestor.getString()));
}

std::vector<CIMInstance> ClassRepository::declaredInstances(const CIMNamespaceName& nameSpace,
                                                            const CIMName& className) const
{
    std::vector<CIMInstance> found;
    const Impl::Namespace* space = _impl->find(nameSpace);
    if (space == nullptr) return found;
    for (const CIMInstance& instance : space->instances)
        if (instance.getClassName().equal(className)) found.push_back(instance.clone());
    return found;
}

} // namespace cimhost
