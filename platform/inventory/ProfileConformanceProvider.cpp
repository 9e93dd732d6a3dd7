#include "ProfileConformanceProvider.h"

#include <Pegasus/Common/CIMObject.h>
#include <Pegasus/Common/Exception.h>
#include <Pegasus/Common/ResponseHandler.h>
#include <Pegasus/Provider/ProviderException.h>
#include <KVELEngine.h>
#include <KVELiPtr.h>

#include "ElementKind.h"
#include "InstanceProperties.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

namespace
{

const char* const ASSOCIATION_CLASS = "Zarvo_ElementConformsToProfile";
const char* const ARRAY_NAMESPACE = "root/snia";
// Where the server keeps its registered profiles: OpenPegasus's interop namespace, which cimhost
// serves too.
const char* const INTEROP_NAMESPACE = "root/PG_InterOp";
const char* const PROFILE_CLASS = "PG_RegisteredProfile";
const char* const ROLES[2] = {"ConformantStandard", "ManagedElement"};
// The profile end's class and the classes above it, which a result class may name.
const char* const PROFILE_LINEAGE[] = {PROFILE_CLASS, "CIM_RegisteredProfile", "CIM_RegisteredSpecification",
                                       "CIM_ManagedElement"};

// The profiles this module implements and their central instances. The profile's InstanceID is
// the server's "<organization>+<name>+<version>"; the registration names the same profile.
struct ProfileCentral
{
    const char* instanceID;
    const ElementKind& (*kind)();
    Uint32 (*objectID)();
};

Uint32 arraySystemID()
{
    return KVELiPtrComputerSystem::makeSystem().getIPtr();
}

const ProfileCentral PROFILES[] = {
    {"SNIA+Array+1.6.0", computerSystems, arraySystemID},
};

CIMObjectPath profilePath(const char* instanceID)
{
    Array<CIMKeyBinding> keys;
    keys.append(CIMKeyBinding(CIMName("InstanceID"), String(instanceID), CIMKeyBinding::STRING));
    return CIMObjectPath(String(KVELEngine::_ZarvoHostNamePtr), CIMNamespaceName(INTEROP_NAMESPACE),
                         CIMName(PROFILE_CLASS), keys);
}

bool isProfileClass(const CIMName& className)
{
    for (const char* name : PROFILE_LINEAGE)
        if (className.equal(CIMName(name))) return true;
    return false;
}

// Whether a path names the profile: a profile class and the same InstanceID,
// whatever host and namespace the client wrote.
bool namesProfile(const CIMObjectPath& path, const CIMObjectPath& profile)
{
    if (!isProfileClass(path.getClassName())) return false;
    const Array<CIMKeyBinding>& keys = path.getKeyBindings();
    return keys.size() == 1 && keys[0].getName().equal(CIMName("InstanceID")) &&
           keys[0].getValue() == profile.getKeyBindings()[0].getValue();
}

// The reference a conformance's instance path holds for a role; a null path when it has none or
// the client's text is no path.
CIMObjectPath referenceKey(const CIMObjectPath& path, const char* role)
{
    const Array<CIMKeyBinding>& keys = path.getKeyBindings();
    for (Uint32 i = 0; i < keys.size(); ++i)
        if (keys[i].getName().equal(CIMName(role)) && keys[i].getType() == CIMKeyBinding::REFERENCE)
        {
            try
            {
                return CIMObjectPath(keys[i].getValue());
            }
            catch (const Exception&)
            {
                break;
            }
        }
    return CIMObjectPath();
}

CIMObjectPath instancePath(const CIMObjectPath& profile, const CIMObjectPath& element)
{
    Array<CIMKeyBinding> keys;
    keys.append(CIMKeyBinding(CIMName(ROLES[0]), CIMValue(profile)));
    keys.append(CIMKeyBinding(CIMName(ROLES[1]), CIMValue(element)));
    return CIMObjectPath(element.getHost(), CIMNamespaceName(ARRAY_NAMESPACE), CIMName(ASSOCIATION_CLASS),
                         keys);
}

bool isAssociationClass(const CIMName& className)
{
    return className.isNull() || className.equal(CIMName(ASSOCIATION_CLASS)) ||
           className.equal(CIMName("CIM_ElementConformsToProfile"));
}

} // namespace

void ProfileConformanceProvider::initialize(CIMOMHandle& cimom)
{
    _cimom = cimom;
}

void ProfileConformanceProvider::terminate()
{
    delete this;
}

std::vector<ProfileConformanceProvider::Conformance> ProfileConformanceProvider::_conformances()
{
    std::vector<Conformance> result;
    for (const ProfileCentral& profile : PROFILES)
    {
        const ElementKind& kind = profile.kind();
        const Uint32 objectID = profile.objectID();
        result.push_back({profilePath(profile.instanceID), &kind, objectID, kind.path(objectID)});
    }
    return result;
}

std::vector<ProfileConformanceProvider::Match>
ProfileConformanceProvider::_matches(const CIMObjectPath& objectName, const String& role,
                                     const String& resultRole, const CIMName& resultClass)
{
    std::vector<Match> matches;
    for (const Conformance& conformance : _conformances())
        for (int nearEnd = 0; nearEnd < 2; ++nearEnd)
        {
            const int farEnd = 1 - nearEnd;
            if (role.size() != 0 && !String::equalNoCase(role, ROLES[nearEnd])) continue;
            if (resultRole.size() != 0 && !String::equalNoCase(resultRole, ROLES[farEnd])) continue;
            if (!resultClass.isNull() &&
                !(farEnd == 0 ? isProfileClass(resultClass) : conformance.kind->isA(resultClass)))
                continue;
            if (_names(conformance, nearEnd, objectName)) matches.push_back({conformance, farEnd});
        }
    return matches;
}

bool ProfileConformanceProvider::_names(const Conformance& conformance, int end, const CIMObjectPath& path)
{
    if (end == 0) return namesProfile(path, conformance.profile);
    return conformance.kind->objectIDOf(path) == conformance.objectID;
}

CIMInstance ProfileConformanceProvider::_instance(const Conformance& conformance, Boolean includeQualifiers,
                                                  const CIMPropertyList& propertyList)
{
    CIMInstance instance{CIMName(ASSOCIATION_CLASS)};
    InstanceProperties properties(instance, includeQualifiers, propertyList);
    properties.addKey(ROLES[0], CIMValue(conformance.profile));
    properties.addKey(ROLES[1], CIMValue(conformance.element));
    instance.setPath(instancePath(conformance.profile, conformance.element));
    return instance;
}

void ProfileConformanceProvider::associators(const OperationContext& context, const CIMObjectPath& objectName,
                                             const CIMName&, const CIMName& resultClass, const String& role,
                                             const String& resultRole, const Boolean includeQualifiers,
                                             const Boolean includeClassOrigin,
                                             const CIMPropertyList& propertyList,
                                             ObjectResponseHandler& handler)
{
    handler.processing();
    for (const Match& match : _matches(objectName, role, resultRole, resultClass))
    {
        if (match.farEnd == 1)
        {
            const Conformance& conformance = match.conformance;
            handler.deliver(
                CIMObject(conformance.kind->instance(conformance.objectID, includeQualifiers, propertyList)));
            continue;
        }
        // The profile's instance is the server's. A server that cannot give it (one that has not
        // loaded the registration) leaves the element conforming, with no profile instance to show.
        const CIMObjectPath& profile = match.conformance.profile;
        try
        {
            CIMInstance instance = _cimom.getInstance(context, profile.getNameSpace(), profile, false,
                                                      includeQualifiers, includeClassOrigin, propertyList);
            instance.setPath(profile);
            handler.deliver(CIMObject(instance));
        }
        catch (const CIMException&)
        {
        }
    }
    handler.complete();
}

void ProfileConformanceProvider::associatorNames(const OperationContext&, const CIMObjectPath& objectName,
                                                 const CIMName&, const CIMName& resultClass,
                                                 const String& role, const String& resultRole,
                                                 ObjectPathResponseHandler& handler)
{
    handler.processing();
    for (const Match& match : _matches(objectName, role, resultRole, resultClass))
        handler.deliver(match.farEnd == 0 ? match.conformance.profile : match.conformance.element);
    handler.complete();
}

void ProfileConformanceProvider::references(const OperationContext&, const CIMObjectPath& objectName,
                                            const CIMName& resultClass, const String& role,
                                            const Boolean includeQualifiers, const Boolean,
                                            const CIMPropertyList& propertyList,
                                            ObjectResponseHandler& handler)
{
    handler.processing();
    if (isAssociationClass(resultClass))
        for (const Match& match : _matches(objectName, role, String(), CIMName()))
            handler.deliver(CIMObject(_instance(match.conformance, includeQualifiers, propertyList)));
    handler.complete();
}

void ProfileConformanceProvider::referenceNames(const OperationContext&, const CIMObjectPath& objectName,
                                                const CIMName& resultClass, const String& role,
                                                ObjectPathResponseHandler& handler)
{
    handler.processing();
    if (isAssociationClass(resultClass))
        for (const Match& match : _matches(objectName, role, String(), CIMName()))
            handler.deliver(instancePath(match.conformance.profile, match.conformance.element));
    handler.complete();
}

void ProfileConformanceProvider::getInstance(const OperationContext&, const CIMObjectPath& instanceReference,
                                             const Boolean includeQualifiers, const Boolean,
                                             const CIMPropertyList& propertyList,
                                             InstanceResponseHandler& handler)
{
    handler.processing();
    const CIMObjectPath profile = referenceKey(instanceReference, ROLES[0]);
    const CIMObjectPath element = referenceKey(instanceReference, ROLES[1]);
    for (const Conformance& conformance : _conformances())
        if (instanceReference.getKeyBindings().size() == 2 && _names(conformance, 0, profile) &&
            _names(conformance, 1, element))
        {
            handler.deliver(_instance(conformance, includeQualifiers, propertyList));
            handler.complete();
            return;
        }
    throw CIMObjectNotFoundException(instanceReference.toString());
}

void ProfileConformanceProvider::enumerateInstances(const OperationContext&, const CIMObjectPath&,
                                                    const Boolean includeQualifiers, const Boolean,
                                                    const CIMPropertyList& propertyList,
                                                    InstanceResponseHandler& handler)
{
    handler.processing();
    for (const Conformance& conformance : _conformances())
        handler.deliver(_instance(conformance, includeQualifiers, propertyList));
    handler.complete();
}

void ProfileConformanceProvider::enumerateInstanceNames(const OperationContext&, const CIMObjectPath&,
                                                        ObjectPathResponseHandler& handler)
{
    handler.processing();
    for (const Conformance& conformance : _conformances())
        handler.deliver(instancePath(conformance.profile, conformance.element));
    handler.complete();
}

void ProfileConformanceProvider::modifyInstance(const OperationContext&, const CIMObjectPath&,
                                                const CIMInstance&, const Boolean, const CIMPropertyList&,
                                                ResponseHandler&)
{
    throw CIMNotSupportedException("ProfileConformanceProvider::modifyInstance");
}

void ProfileConformanceProvider::createInstance(const OperationContext&, const CIMObjectPath&,
                                                const CIMInstance&, ObjectPathResponseHandler&)
{
    throw CIMNotSupportedException("ProfileConformanceProvider::createInstance");
}

void ProfileConformanceProvider::deleteInstance(const OperationContext&, const CIMObjectPath&,
                                                ResponseHandler&)
{
    throw CIMNotSupportedException("ProfileConformanceProvider::deleteInstance");
}

} // namespace inventory

PEGASUS_NAMESPACE_END
