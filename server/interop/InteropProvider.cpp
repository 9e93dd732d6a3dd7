#include "InteropProvider.h"

#include <algorithm>

#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/CIMProperty.h>
#include <Pegasus/Common/Exception.h>
#include <Pegasus/Provider/CIMOMHandle.h>

#include "NameKey.h"
#include "ValueMap.h"

namespace cimhost
{

using Pegasus::Array;
using Pegasus::CIMInstance;
using Pegasus::CIMName;
using Pegasus::CIMNamespaceName;
using Pegasus::CIMObjectPath;
using Pegasus::CIMValue;
using Pegasus::String;
using Pegasus::Uint16;

const char* const InteropProvider::NAMESPACES[3] = {"interop", "root/interop", "root/PG_InterOp"};

namespace
{

const char* const OBJECT_MANAGER_NAME = "cimhost";
const char* const ROOT_NAMESPACE = "root";
// Where references from other namespaces find the profiles.
const char* const PROFILE_NAMESPACE = "root/PG_InterOp";
const Uint16 PROFILE_SPECIFICATION = 2;
const Uint16 NOT_ADVERTISED = 2;

bool sameName(const CIMName& a, const char* b)
{
    return a.equal(CIMName(b));
}

// One association instance: two named references.
struct Link
{
    CIMName associationClass;
    CIMName roles[2];
    CIMObjectPath ends[2];
};

// Paths compare by class and keys: hosts differ in spelling and the namespace is the caller's.
bool samePath(const CIMObjectPath& a, const CIMObjectPath& b)
{
    return CIMObjectPath(String(), CIMNamespaceName(), a.getClassName(), a.getKeyBindings())
        .identical(CIMObjectPath(String(), CIMNamespaceName(), b.getClassName(), b.getKeyBindings()));
}

std::string profileInstanceID(const RegisteredProfileName& profile)
{
    return profile.organization + "+" + profile.name + "+" + profile.version;
}

// The host's own profiles, as OpenPegasus registers its own: the object manager is the Server
// profile's central instance, and the Server profile refers to Profile Registration.
const RegisteredProfileName SERVER_PROFILE{"SNIA", "Server", "1.2.0"};
const RegisteredProfileName PROFILE_REGISTRATION_PROFILE{"SNIA", "Profile Registration", "1.0.0"};

// The value of a reference property of an instance; a null path when it has none.
CIMObjectPath referenceOf(const CIMInstance& instance, const char* name)
{
    CIMObjectPath path;
    const Pegasus::Uint32 index = instance.findProperty(CIMName(name));
    if (index != Pegasus::PEG_NOT_FOUND)
    {
        const CIMValue value = instance.getProperty(index).getValue();
        if (!value.isNull() && !value.isArray() && value.getType() == Pegasus::CIMTYPE_REFERENCE)
            value.get(path);
    }
    return path;
}

// True when the path has exactly one key and its value is the text.
bool singleKeyIs(const CIMObjectPath& path, const std::string& text)
{
    const Array<Pegasus::CIMKeyBinding>& keys = path.getKeyBindings();
    return keys.size() == 1 && keys[0].getValue() == String(text.c_str());
}

} // namespace

struct InteropProvider::Impl
{
    const ClassRepository& repository;
    std::vector<ProfileCapability> profiles;
    ObjectManagerFacts facts;
    Pegasus::CIMOMHandle cimom;

    bool isInterop(const CIMNamespaceName& nameSpace) const
    {
        for (const char* interop : NAMESPACES)
            if (nameSpace.equal(CIMNamespaceName(interop))) return true;
        return false;
    }

    String host() const { return String(facts.hostName.c_str()); }

    // An instance of className in nameSpace with the given properties, its path built from its keys.
    CIMInstance make(const CIMNamespaceName& nameSpace, const char* className,
                     std::initializer_list<std::pair<const char*, CIMValue>> properties) const
    {
        CIMInstance instance{CIMName(className)};
        for (const auto& [name, value] : properties)
            instance.addProperty(Pegasus::CIMProperty(CIMName(name), value));
        CIMObjectPath path = instance.buildPath(repository.resolvedClassView(nameSpace, CIMName(className)));
        path.setHost(host());
        path.setNameSpace(nameSpace);
        instance.setPath(path);
        return instance;
    }

    CIMInstance objectManager(const CIMNamespaceName& nameSpace) const
    {
        return make(nameSpace, "CIM_ObjectManager",
                    {{"SystemCreationClassName", String("CIM_ComputerSystem")},
                     {"SystemName", String(facts.hostName.c_str())},
                     {"CreationClassName", String("CIM_ObjectManager")},
                     {"Name", String(OBJECT_MANAGER_NAME)},
                     {"ElementName", String(OBJECT_MANAGER_NAME)},
                     // Clients read the brand from ElementName and the version after "version".
                     {"Description",
                      String((std::string(OBJECT_MANAGER_NAME) + " version " + facts.version).c_str())},
                     {"Started", CIMValue(true)},
                     {"EnabledState", CIMValue(Uint16(2))}});
    }

    std::vector<CIMInstance> mechanisms(const CIMNamespaceName& nameSpace) const
    {
        // What cimhost serves of CIM-XML: reads, writes of instances, association traversal and
        // the pull operations; the descriptions name each, in the same order.
        Array<Uint16> functional;
        Array<String> functionalNames;
        for (const auto& [profile, name] : {std::pair<Uint16, const char*>{2, "Basic Read"},
                                            {3, "Basic Write"},
                                            {5, "Instance Manipulation"},
                                            {6, "Association Traversal"},
                                            {9, "Indications"},
                                            {10, "Pulled Read"}})
        {
            functional.append(profile);
            functionalNames.append(String(name));
        }
        Array<Uint16> authentication;
        authentication.append(facts.basicAuthentication ? 3 : 2);
        Array<Uint16> advertise;
        advertise.append(NOT_ADVERTISED);
        std::vector<CIMInstance> result;
        for (const std::string& scheme : facts.schemes)
            result.push_back(make(nameSpace, "CIM_CIMXMLCommunicationMechanism",
                                  {{"SystemCreationClassName", String("CIM_ComputerSystem")},
                                   {"SystemName", String(facts.hostName.c_str())},
                                   {"CreationClassName", String("CIM_CIMXMLCommunicationMechanism")},
                                   {"Name", String(("cimxml-" + scheme).c_str())},
                                   {"ElementName", String(("CIM-XML over " + scheme).c_str())},
                                   {"CommunicationMechanism", CIMValue(Uint16(2))},
                                   {"FunctionalProfilesSupported", CIMValue(functional)},
                                   {"FunctionalProfileDescriptions", CIMValue(functionalNames)},
                                   {"MultipleOperationsSupported", CIMValue(false)},
                                   {"AuthenticationMechanismsSupported", CIMValue(authentication)},
                                   {"Version", String("1.0")},
                                   {"CIMXMLProtocolVersion", CIMValue(Uint16(1))},
                                   {"CIMValidated", CIMValue(false)},
                                   {"AdvertiseTypes", CIMValue(advertise)}}));
        return result;
    }

    std::vector<CIMInstance> namespaces(const CIMNamespaceName& nameSpace) const
    {
        std::vector<CIMInstance> result;
        for (const CIMNamespaceName& served : repository.namespaces())
            result.push_back(make(nameSpace, "CIM_Namespace",
                                  {{"SystemCreationClassName", String("CIM_ComputerSystem")},
                                   {"SystemName", String(facts.hostName.c_str())},
                                   {"ObjectManagerCreationClassName", String("CIM_ObjectManager")},
                                   {"ObjectManagerName", String(OBJECT_MANAGER_NAME)},
                                   {"CreationClassName", String("CIM_Namespace")},
                                   {"Name", served.getString()},
                                   {"ClassInfo", CIMValue(Uint16(1))},
                                   {"DescriptionOfClassInfo", String("CIM 2.41")},
                                   {"ClassType", CIMValue(Uint16(2))},
                                   {"ClassTypeVersion", String("2.41.0")}}));
        return result;
    }

    // __Namespace in "root": the next segment of every namespace below it.
    std::vector<CIMInstance> childNamespaces(const CIMNamespaceName& nameSpace) const
    {
        std::vector<std::string> children;
        const std::string prefix = std::string(ROOT_NAMESPACE) + "/";
        for (const CIMNamespaceName& served : repository.namespaces())
        {
            const std::string name(served.getString().getCString());
            if (name.size() <= prefix.size() ||
                nameKey(String(name.substr(0, prefix.size()).c_str())) != prefix)
                continue;
            const std::string child =
                name.substr(prefix.size(), name.find('/', prefix.size()) - prefix.size());
            if (std::find(children.begin(), children.end(), child) == children.end())
                children.push_back(child);
        }
        std::vector<CIMInstance> result;
        for (const std::string& child : children)
            result.push_back(make(nameSpace, "__Namespace", {{"Name", String(child.c_str())}}));
        return result;
    }

    CIMInstance profileInstance(const CIMNamespaceName& nameSpace, const char* className,
                                const RegisteredProfileName& profile) const
    {
        Array<Uint16> advertise;
        advertise.append(NOT_ADVERTISED);
        // The organization's number is the one the schema's ValueMap gives its name; 1 (Other) else.
        Uint16 organization = 1;
        for (const auto& [key, text] :
             valueMap(repository.resolvedClassView(nameSpace, CIMName("CIM_RegisteredSpecification")),
                      "RegisteredOrganization"))
            if (text == profile.organization) organization = Uint16(std::stoul(key));
        return make(nameSpace, className,
                    {{"InstanceID", String(profileInstanceID(profile).c_str())},
                     {"SpecificationType", CIMValue(PROFILE_SPECIFICATION)},
                     {"RegisteredOrganization", CIMValue(organization)},
                     {"OtherRegisteredOrganization", organization == 1
                                                         ? CIMValue(String(profile.organization.c_str()))
                                                         : CIMValue(Pegasus::CIMTYPE_STRING, false)},
                     {"RegisteredName", String(profile.name.c_str())},
                     {"RegisteredVersion", String(profile.version.c_str())},
                     {"AdvertiseTypes", CIMValue(advertise)}});
    }

    std::vector<CIMInstance> instances(const CIMNamespaceName& nameSpace, const CIMName& className,
                                       const Pegasus::OperationContext& context) const
    {
        std::vector<CIMInstance> result;
        if (sameName(className, "__Namespace")) return childNamespaces(nameSpace);
        if (sameName(className, "CIM_ObjectManager")) result.push_back(objectManager(nameSpace));
        if (sameName(className, "CIM_CIMXMLCommunicationMechanism")) return mechanisms(nameSpace);
        if (sameName(className, "CIM_Namespace")) return namespaces(nameSpace);
        const bool subProfiles = sameName(className, "PG_RegisteredSubProfile");
        if (sameName(className, "PG_RegisteredProfile"))
            for (const RegisteredProfileName& own : {SERVER_PROFILE, PROFILE_REGISTRATION_PROFILE})
                result.push_back(profileInstance(nameSpace, "PG_RegisteredProfile", own));
        if (subProfiles || sameName(className, "PG_RegisteredProfile"))
            for (const ProfileCapability& capability : profiles)
            {
                if (!subProfiles)
                    result.push_back(profileInstance(nameSpace, "PG_RegisteredProfile", capability.profile));
                else
                    for (const RegisteredProfileName& sub : capability.subProfiles)
                        result.push_back(profileInstance(nameSpace, "PG_RegisteredSubProfile", sub));
            }
        if (repository.isA(nameSpace, className, CIMName("CIM_Dependency")) ||
            sameName(className, "CIM_ElementConformsToProfile"))
            for (const Link& link : links(nameSpace, className, CIMObjectPath(), context))
                result.push_back(linkInstance(nameSpace, link));
        return result;
    }

    CIMObjectPath profilePath(const CIMNamespaceName& nameSpace, const char* className,
                              const RegisteredProfileName& profile) const
    {
        Array<Pegasus::CIMKeyBinding> keys;
        keys.append(Pegasus::CIMKeyBinding(CIMName("InstanceID"),
                                           CIMValue(String(profileInstanceID(profile).c_str()))));
        return CIMObjectPath(host(), nameSpace, CIMName(className), keys);
    }

    // The association instances of associationClass seen from nameSpace. With a source object,
    // only the ones that may involve it are worked out (conforming elements cost an enumeration).
    std::vector<Link> links(const CIMNamespaceName& nameSpace, const CIMName& associationClass,
                            const CIMObjectPath& source, const Pegasus::OperationContext& context) const
    {
        std::vector<Link> result;
        const bool interopSide = isInterop(nameSpace);
        const CIMNamespaceName interop = interopSide ? nameSpace : CIMNamespaceName(PROFILE_NAMESPACE);
        if (interopSide && sameName(associationClass, "CIM_SubProfileRequiresProfile"))
            for (const ProfileCapability& capability : profiles)
                for (const RegisteredProfileName& sub : capability.subProfiles)
                    result.push_back({associationClass,
                                      {CIMName("Antecedent"), CIMName("Dependent")},
                                      {profilePath(interop, "PG_RegisteredProfile", capability.profile),
                                       profilePath(interop, "PG_RegisteredSubProfile", sub)}});
        if (interopSide && sameName(associationClass, "CIM_ReferencedProfile"))
            result.push_back({associationClass,
                              {CIMName("Antecedent"), CIMName("Dependent")},
                              {profilePath(interop, "PG_RegisteredProfile", PROFILE_REGISTRATION_PROFILE),
                               profilePath(interop, "PG_RegisteredProfile", SERVER_PROFILE)}});
        if (!sameName(associationClass, "CIM_ElementConformsToProfile")) return result;
        const auto conforms = [&](const CIMObjectPath& profile, const CIMObjectPath& element)
        {
            result.push_back({associationClass,
                              {CIMName("ConformantStandard"), CIMName("ManagedElement")},
                              {profile, element}});
        };
        if (interopSide)
            conforms(profilePath(interop, "PG_RegisteredProfile", SERVER_PROFILE),
                     objectManager(nameSpace).getPath());
        for (const ProfileCapability& capability : profiles)
        {
            const CIMObjectPath profile = profilePath(interop, "PG_RegisteredProfile", capability.profile);
            if (!source.getClassName().isNull() && interopSide && !samePath(source, profile)) continue;
            if (!capability.conformingElements.empty())
                for (const CIMObjectPath& element :
                     instancesOfClasses(capability, source, nameSpace, context))
                    conforms(profile, element);
            else if (interopSide)
                for (const CIMObjectPath& element : namedConformingElements(capability, context))
                    conforms(profile, element);
        }
        return result;
    }

    // Every instance of the capability's ConformingElements classes in its namespaces; from a
    // source outside the interop namespaces, only those classes the source may be of.
    std::vector<CIMObjectPath> instancesOfClasses(const ProfileCapability& capability,
                                                  const CIMObjectPath& source,
                                                  const CIMNamespaceName& nameSpace,
                                                  const Pegasus::OperationContext& context) const
    {
        std::vector<CIMObjectPath> result;
        for (const CIMNamespaceName& elementNamespace : capability.namespaces)
            for (const CIMName& conforming : capability.conformingElements)
            {
                if (!repository.hasNamespace(elementNamespace) ||
                    repository.resolvedClassView(elementNamespace, conforming).isUninitialized())
                    continue;
                if (!source.getClassName().isNull() && !isInterop(nameSpace) &&
                    !repository.isA(nameSpace, source.getClassName(), conforming))
                    continue;
                Pegasus::CIMOMHandle handle(cimom);
                const Array<CIMObjectPath> elements =
                    handle.enumerateInstanceNames(context, elementNamespace, conforming);
                for (Pegasus::Uint32 i = 0; i < elements.size(); ++i)
                {
                    // Served by this host: the host name is the one this host gives its paths.
                    CIMObjectPath element = elements[i];
                    element.setHost(host());
                    element.setNameSpace(elementNamespace);
                    result.push_back(element);
                }
            }
        return result;
    }

    // The ManagedElement of every instance of the provider's CIM_ElementConformsToProfile
    // subclasses whose ConformantStandard has the profile's InstanceID as its one key, as the
    // provider built it.
    std::vector<CIMObjectPath> namedConformingElements(const ProfileCapability& capability,
                                                       const Pegasus::OperationContext& context) const
    {
        std::vector<CIMObjectPath> result;
        const std::string instanceID = profileInstanceID(capability.profile);
        for (const ServedClass& served : capability.conformanceClasses)
        {
            Pegasus::CIMOMHandle handle(cimom);
            const Array<CIMInstance> conformances =
                handle.enumerateInstances(context, served.nameSpace, served.className, true, false, false,
                                          false, Pegasus::CIMPropertyList());
            for (Pegasus::Uint32 i = 0; i < conformances.size(); ++i)
            {
                if (!singleKeyIs(referenceOf(conformances[i], "ConformantStandard"), instanceID)) continue;
                CIMObjectPath element = referenceOf(conformances[i], "ManagedElement");
                if (element.getClassName().isNull()) continue;
                if (element.getNameSpace().isNull()) element.setNameSpace(served.nameSpace);
                result.push_back(element);
            }
        }
        return result;
    }

    CIMInstance linkInstance(const CIMNamespaceName& nameSpace, const Link& link) const
    {
        CIMInstance instance(link.associationClass);
        Array<Pegasus::CIMKeyBinding> keys;
        for (int end = 0; end < 2; ++end)
        {
            instance.addProperty(Pegasus::CIMProperty(link.roles[end], CIMValue(link.ends[end])));
            keys.append(Pegasus::CIMKeyBinding(link.roles[end], CIMValue(link.ends[end])));
        }
        instance.setPath(CIMObjectPath(String(), nameSpace, link.associationClass, keys));
        return instance;
    }

    // For each link that has the source at an end called role (any end when role is empty):
    // the link and the index of its other end, when that end is of resultClass and called resultRole.
    template <class Visit>
    void visitMatches(const CIMNamespaceName& nameSpace, const CIMObjectPath& source,
                      const CIMName& associationClass, const CIMName& resultClass, const String& role,
                      const String& resultRole, const Pegasus::OperationContext& context, Visit&& visit) const
    {
        for (const Link& link : links(nameSpace, associationClass, source, context))
            for (int end = 0; end < 2; ++end)
            {
                if (!samePath(link.ends[end], source)) continue;
                if (role.size() != 0 && !String::equalNoCase(role, link.roles[end].getString())) continue;
                const int other = 1 - end;
                if (resultRole.size() != 0 && !String::equalNoCase(resultRole, link.roles[other].getString()))
                    continue;
                const CIMNamespaceName otherNamespace = link.ends[other].getNameSpace();
                if (!resultClass.isNull() &&
                    !repository.isA(otherNamespace, link.ends[other].getClassName(), resultClass))
                    continue;
                visit(link, other);
            }
    }
};

InteropProvider::InteropProvider(const ClassRepository& repository,
                                 const std::vector<ProfileCapability>& profiles)
    : _impl(std::make_unique<Impl>(Impl{repository, profiles, {}, {}}))
{
}

InteropProvider::~InteropProvider() = default;

std::vector<ProviderCapability> InteropProvider::capabilities() const
{
    struct Served
    {
        const char* className;
        bool association;
    };
    const Served interopClasses[] = {
        {"CIM_ObjectManager", false},       {"CIM_CIMXMLCommunicationMechanism", false},
        {"CIM_Namespace", false},           {"PG_RegisteredProfile", false},
        {"PG_RegisteredSubProfile", false}, {"CIM_SubProfileRequiresProfile", true},
        {"CIM_ReferencedProfile", true},    {"CIM_ElementConformsToProfile", true},
    };
    std::vector<ProviderCapability> result;
    auto add = [&](const CIMNamespaceName& nameSpace, const char* className, bool association)
    {
        if (!_impl->repository.hasNamespace(nameSpace) ||
            _impl->repository.resolvedClassView(nameSpace, CIMName(className)).isUninitialized())
            return;
        ProviderCapability capability;
        capability.moduleName = "cimhost";
        capability.providerName = "InteropProvider";
        capability.className = CIMName(className);
        capability.namespaces = {nameSpace};
        capability.instance = true;
        capability.association = association;
        result.push_back(capability);
    };
    for (const char* nameSpace : NAMESPACES)
        for (const Served& served : interopClasses)
            add(CIMNamespaceName(nameSpace), served.className, served.association);
    add(CIMNamespaceName(ROOT_NAMESPACE), "__Namespace", false);
    // The conforming elements' end of CIM_ElementConformsToProfile, for the profiles whose
    // registration lists the conforming classes (a provider's own subclass answers for the others).
    std::vector<CIMNamespaceName> elementNamespaces;
    for (const ProfileCapability& profile : _impl->profiles)
        for (const CIMNamespaceName& nameSpace :
             profile.conformingElements.empty() ? std::vector<CIMNamespaceName>() : profile.namespaces)
            if (std::find(elementNamespaces.begin(), elementNamespaces.end(), nameSpace) ==
                elementNamespaces.end())
                elementNamespaces.push_back(nameSpace);
    for (const CIMNamespaceName& nameSpace : elementNamespaces)
        if (!_impl->isInterop(nameSpace)) add(nameSpace, "CIM_ElementConformsToProfile", true);
    return result;
}

void InteropProvider::setObjectManager(const ObjectManagerFacts& facts)
{
    _impl->facts = facts;
}

void InteropProvider::initialize(Pegasus::CIMOMHandle& cimom)
{
    _impl->cimom = cimom;
}

void InteropProvider::getInstance(const Pegasus::OperationContext& context,
                                  const CIMObjectPath& instanceReference, const Pegasus::Boolean,
                                  const Pegasus::Boolean, const Pegasus::CIMPropertyList&,
                                  Pegasus::InstanceResponseHandler& handler)
{
    handler.processing();
    for (const CIMInstance& instance :
         _impl->instances(instanceReference.getNameSpace(), instanceReference.getClassName(), context))
        if (samePath(instance.getPath(), instanceReference))
        {
            handler.deliver(instance);
            handler.complete();
            return;
        }
    throw Pegasus::CIMObjectNotFoundException(instanceReference.toString());
}

void InteropProvider::enumerateInstances(const Pegasus::OperationContext& context,
                                         const CIMObjectPath& classReference, const Pegasus::Boolean,
                                         const Pegasus::Boolean, const Pegasus::CIMPropertyList&,
                                         Pegasus::InstanceResponseHandler& handler)
{
    handler.processing();
    for (const CIMInstance& instance :
         _impl->instances(classReference.getNameSpace(), classReference.getClassName(), context))
        handler.deliver(instance);
    handler.complete();
}

void InteropProvider::enumerateInstanceNames(const Pegasus::OperationContext& context,
                                             const CIMObjectPath& classReference,
                                             Pegasus::ObjectPathResponseHandler& handler)
{
    handler.processing();
    for (const CIMInstance& instance :
         _impl->instances(classReference.getNameSpace(), classReference.getClassName(), context))
        handler.deliver(instance.getPath());
    handler.complete();
}

void InteropProvider::modifyInstance(const Pegasus::OperationContext&, const CIMObjectPath&,
                                     const CIMInstance&, const Pegasus::Boolean,
                                     const Pegasus::CIMPropertyList&, Pegasus::ResponseHandler&)
{
    throw Pegasus::CIMNotSupportedException("the interop namespace is read-only");
}

void InteropProvider::createInstance(const Pegasus::OperationContext&, const CIMObjectPath&,
                                     const CIMInstance&, Pegasus::ObjectPathResponseHandler&)
{
    throw Pegasus::CIMNotSupportedException("the interop namespace is read-only");
}

void InteropProvider::deleteInstance(const Pegasus::OperationContext&, const CIMObjectPath&,
                                     Pegasus::ResponseHandler&)
{
    throw Pegasus::CIMNotSupportedException("the interop namespace is read-only");
}

void InteropProvider::associators(const Pegasus::OperationContext& context, const CIMObjectPath& objectName,
                                  const CIMName& associationClass, const CIMName& resultClass,
                                  const String& role, const String& resultRole, const Pegasus::Boolean,
                                  const Pegasus::Boolean, const Pegasus::CIMPropertyList&,
                                  Pegasus::ObjectResponseHandler& handler)
{
    handler.processing();
    _impl->visitMatches(objectName.getNameSpace(), objectName, associationClass, resultClass, role,
                        resultRole, context,
                        [&](const Link& link, int other)
                        {
                            const CIMObjectPath& path = link.ends[other];
                            CIMInstance instance;
                            if (_impl->isInterop(path.getNameSpace()))
                            {
                                for (const CIMInstance& own :
                                     _impl->instances(path.getNameSpace(), path.getClassName(), context))
                                    if (samePath(own.getPath(), path)) instance = own;
                            }
                            else
                            {
                                Pegasus::CIMOMHandle handle(_impl->cimom);
                                instance = handle.getInstance(context, path.getNameSpace(), path, false,
                                                              false, false, Pegasus::CIMPropertyList());
                                instance.setPath(path);
                            }
                            if (!instance.isUninitialized()) handler.deliver(Pegasus::CIMObject(instance));
                        });
    handler.complete();
}

void InteropProvider::associatorNames(const Pegasus::OperationContext& context,
                                      const CIMObjectPath& objectName, const CIMName& associationClass,
                                      const CIMName& resultClass, const String& role,
                                      const String& resultRole, Pegasus::ObjectPathResponseHandler& handler)
{
    handler.processing();
    _impl->visitMatches(objectName.getNameSpace(), objectName, associationClass, resultClass, role,
                        resultRole, context,
                        [&](const Link& link, int other) { handler.deliver(link.ends[other]); });
    handler.complete();
}

void InteropProvider::references(const Pegasus::OperationContext& context, const CIMObjectPath& objectName,
                                 const CIMName& resultClass, const String& role, const Pegasus::Boolean,
                                 const Pegasus::Boolean, const Pegasus::CIMPropertyList&,
                                 Pegasus::ObjectResponseHandler& handler)
{
    handler.processing();
    _impl->visitMatches(
        objectName.getNameSpace(), objectName, resultClass, CIMName(), role, String(), context,
        [&](const Link& link, int)
        { handler.deliver(Pegasus::CIMObject(_impl->linkInstance(objectName.getNameSpace(), link))); });
    handler.complete();
}

void InteropProvider::referenceNames(const Pegasus::OperationContext& context,
                                     const CIMObjectPath& objectName, const CIMName& resultClass,
                                     const String& role, Pegasus::ObjectPathResponseHandler& handler)
{
    handler.processing();
    _impl->visitMatches(objectName.getNameSpace(), objectName, resultClass, CIMName(), role, String(),
                        context,
                        [&](const Link& link, int)
                        { handler.deliver(_impl->linkInstance(objectName.getNameSpace(), link).getPath()); });
    handler.complete();
}

} // namespace cimhost
