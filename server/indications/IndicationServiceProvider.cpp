#include "IndicationServiceProvider.h"

#include <Pegasus/Common/CIMProperty.h>
#include <Pegasus/Common/CIMValue.h>
#include <Pegasus/Common/Exception.h>

#include "SubscriptionPaths.h"

namespace cimhost
{

using Pegasus::CIMInstance;
using Pegasus::CIMName;
using Pegasus::CIMNamespaceName;
using Pegasus::CIMObjectPath;
using Pegasus::CIMValue;
using Pegasus::String;

namespace
{

const char* const SERVICE_NAME = "cimhost:IndicationService";
const char* const ENDS[2] = {"Filter", "Handler"};

CIMObjectPath referenceOf(const CIMInstance& instance, const char* name)
{
    CIMObjectPath path;
    const Pegasus::Uint32 index = instance.findProperty(name);
    if (index != Pegasus::PEG_NOT_FOUND && !instance.getProperty(index).getValue().isNull())
        instance.getProperty(index).getValue().get(path);
    return path;
}

void setProperty(CIMInstance& instance, const char* name, const CIMValue& value)
{
    const Pegasus::Uint32 index = instance.findProperty(name);
    if (index != Pegasus::PEG_NOT_FOUND) instance.removeProperty(index);
    instance.addProperty(Pegasus::CIMProperty(name, value));
}

bool isServiceClass(const CIMName& className)
{
    return className.equal(IndicationService::SERVICE_CLASS);
}

} // namespace

IndicationServiceProvider::IndicationServiceProvider(IndicationService& service,
                                                     const ClassRepository& repository,
                                                     const DeliverySettings& delivery, std::string hostName)
    : _service(service), _repository(repository), _delivery(delivery), _hostName(std::move(hostName))
{
}

std::vector<ProviderCapability>
IndicationServiceProvider::capabilities(const std::vector<CIMNamespaceName>& namespaces)
{
    std::vector<ProviderCapability> result;
    const auto add = [&](const char* className, bool association)
    {
        ProviderCapability capability;
        capability.moduleName = "cimhost";
        capability.providerName = "IndicationService";
        capability.className = CIMName(className);
        capability.namespaces = namespaces;
        capability.instance = true;
        capability.association = association;
        result.push_back(capability);
    };
    add(IndicationService::FILTER_CLASS, false);
    for (const char* destinationClass : IndicationService::DESTINATION_CLASSES)
        add(destinationClass, false);
    add(IndicationService::SUBSCRIPTION_CLASS, true);
    add(IndicationService::SERVICE_CLASS, false);
    return result;
}

CIMInstance IndicationServiceProvider::serviceInstance() const
{
    CIMInstance instance(IndicationService::SERVICE_CLASS);
    const auto text = [](const std::string& value) { return CIMValue(String(value.c_str())); };
    setProperty(instance, "SystemCreationClassName", text("CIM_ComputerSystem"));
    setProperty(instance, "SystemName", text(_hostName));
    setProperty(instance, "CreationClassName", text(IndicationService::SERVICE_CLASS));
    setProperty(instance, "Name", text(SERVICE_NAME));
    setProperty(instance, "ElementName", text("cimhost indication service"));
    setProperty(instance, "Started", CIMValue(true));
    setProperty(instance, "EnabledState", CIMValue(Pegasus::Uint16(2)));
    setProperty(instance, "FilterCreationEnabled", CIMValue(true));
    // Permanent destinations stay whatever happens to their listeners; transient ones go when one
    // did not take an indication.
    setProperty(instance, "SubscriptionRemovalAction", CIMValue(Pegasus::Uint16(4)));
    setProperty(instance, "DeliveryRetryAttempts", CIMValue(Pegasus::Uint16(_delivery.retryAttempts)));
    setProperty(instance, "DeliveryRetryInterval",
                CIMValue(Pegasus::Uint32((_delivery.retryInterval.count() + 999) / 1000)));
    Pegasus::Array<Pegasus::CIMKeyBinding> keys;
    keys.append(Pegasus::CIMKeyBinding("SystemCreationClassName", "CIM_ComputerSystem",
                                       Pegasus::CIMKeyBinding::STRING));
    keys.append(Pegasus::CIMKeyBinding("SystemName", _hostName.c_str(), Pegasus::CIMKeyBinding::STRING));
    keys.append(Pegasus::CIMKeyBinding("CreationClassName", IndicationService::SERVICE_CLASS,
                                       Pegasus::CIMKeyBinding::STRING));
    keys.append(Pegasus::CIMKeyBinding("Name", SERVICE_NAME, Pegasus::CIMKeyBinding::STRING));
    instance.setPath(CIMObjectPath(String(), CIMNamespaceName(), IndicationService::SERVICE_CLASS, keys));
    return instance;
}

std::vector<CIMInstance> IndicationServiceProvider::served(const CIMNamespaceName& nameSpace,
                                                           const CIMName& className) const
{
    std::vector<CIMInstance> instances = isServiceClass(className)
                                             ? std::vector<CIMInstance>{serviceInstance()}
                                             : _service.instances(className);
    const String host(_hostName.c_str());
    for (CIMInstance& instance : instances)
    {
        instance = instance.clone();
        for (const char* end : ENDS)
            if (instance.findProperty(end) != Pegasus::PEG_NOT_FOUND)
                setProperty(instance, end, CIMValue(servedPath(referenceOf(instance, end), host, nameSpace)));
        instance.setPath(servedPath(instance.getPath(), host, nameSpace));
    }
    return instances;
}

void IndicationServiceProvider::getInstance(const Pegasus::OperationContext&, const CIMObjectPath& reference,
                                            const Pegasus::Boolean, const Pegasus::Boolean,
                                            const Pegasus::CIMPropertyList&,
                                            Pegasus::InstanceResponseHandler& handler)
{
    handler.processing();
    const std::string key = pathKey(reference);
    for (const CIMInstance& instance : served(reference.getNameSpace(), reference.getClassName()))
        if (pathKey(instance.getPath()) == key)
        {
            handler.deliver(instance);
            handler.complete();
            return;
        }
    throw Pegasus::CIMObjectNotFoundException(reference.toString());
}

void IndicationServiceProvider::enumerateInstances(const Pegasus::OperationContext&,
                                                   const CIMObjectPath& classReference,
                                                   const Pegasus::Boolean, const Pegasus::Boolean,
                                                   const Pegasus::CIMPropertyList&,
                                                   Pegasus::InstanceResponseHandler& handler)
{
    handler.processing();
    for (const CIMInstance& instance : served(classReference.getNameSpace(), classReference.getClassName()))
        handler.deliver(instance);
    handler.complete();
}

void IndicationServiceProvider::enumerateInstanceNames(const Pegasus::OperationContext&,
                                                       const CIMObjectPath& classReference,
                                                       Pegasus::ObjectPathResponseHandler& handler)
{
    handler.processing();
    for (const CIMInstance& instance : served(classReference.getNameSpace(), classReference.getClassName()))
        handler.deliver(instance.getPath());
    handler.complete();
}

void IndicationServiceProvider::modifyInstance(const Pegasus::OperationContext&,
                                               const CIMObjectPath& reference, const CIMInstance& instance,
                                               const Pegasus::Boolean,
                                               const Pegasus::CIMPropertyList& propertyList,
                                               Pegasus::ResponseHandler& handler)
{
    handler.processing();
    if (isServiceClass(reference.getClassName()))
        throw Pegasus::CIMNotSupportedException("the indication service's settings are cimhost's options");
    _service.modify(reference, instance, propertyList);
    handler.complete();
}

void IndicationServiceProvider::createInstance(const Pegasus::OperationContext&,
                                               const CIMObjectPath& reference, const CIMInstance& instance,
                                               Pegasus::ObjectPathResponseHandler& handler)
{
    handler.processing();
    const CIMObjectPath created = _service.create(reference.getNameSpace(), instance);
    handler.deliver(servedPath(created, String(_hostName.c_str()), reference.getNameSpace()));
    handler.complete();
}

void IndicationServiceProvider::deleteInstance(const Pegasus::OperationContext&,
                                               const CIMObjectPath& reference,
                                               Pegasus::ResponseHandler& handler)
{
    handler.processing();
    if (isServiceClass(reference.getClassName()))
        throw Pegasus::CIMNotSupportedException("the indication service cannot be deleted");
    _service.remove(reference);
    handler.complete();
}

template <class Visit>
void IndicationServiceProvider::visitLinks(const CIMObjectPath& objectName, const CIMName& associationClass,
                                           const CIMName& resultClass, const String& role,
                                           const String& resultRole, Visit&& visit) const
{
    const CIMNamespaceName& nameSpace = objectName.getNameSpace();
    if (!associationClass.isNull() &&
        !_repository.isA(nameSpace, IndicationService::SUBSCRIPTION_CLASS, associationClass))
        return;
    const std::string key = pathKey(objectName);
    for (const CIMInstance& subscription : served(nameSpace, IndicationService::SUBSCRIPTION_CLASS))
        for (int end = 0; end < 2; ++end)
        {
            const int otherEnd = 1 - end;
            if (pathKey(referenceOf(subscription, ENDS[end])) != key) continue;
            if (role.size() != 0 && !String::equalNoCase(role, ENDS[end])) continue;
            if (resultRole.size() != 0 && !String::equalNoCase(resultRole, ENDS[otherEnd])) continue;
            const CIMObjectPath other = referenceOf(subscription, ENDS[otherEnd]);
            if (!resultClass.isNull() && !_repository.isA(nameSpace, other.getClassName(), resultClass))
                continue;
            visit(subscription, other);
        }
}

void IndicationServiceProvider::associators(const Pegasus::OperationContext&, const CIMObjectPath& objectName,
                                            const CIMName& associationClass, const CIMName& resultClass,
                                            const String& role, const String& resultRole,
                                            const Pegasus::Boolean, const Pegasus::Boolean,
                                            const Pegasus::CIMPropertyList&,
                                            Pegasus::ObjectResponseHandler& handler)
{
    handler.processing();
    visitLinks(objectName, associationClass, resultClass, role, resultRole,
               [&](const CIMInstance&, const CIMObjectPath& other)
               {
                   const std::string key = pathKey(other);
                   for (const CIMInstance& instance : served(objectName.getNameSpace(), other.getClassName()))
                       if (pathKey(instance.getPath()) == key) handler.deliver(Pegasus::CIMObject(instance));
               });
    handler.complete();
}

void IndicationServiceProvider::associatorNames(const Pegasus::OperationContext&,
                                                const CIMObjectPath& objectName,
                                                const CIMName& associationClass, const CIMName& resultClass,
                                                const String& role, const String& resultRole,
                                                Pegasus::ObjectPathResponseHandler& handler)
{
    handler.processing();
    visitLinks(objectName, associationClass, resultClass, role, resultRole,
               [&](const CIMInstance&, const CIMObjectPath& other) { handler.deliver(other); });
    handler.complete();
}

void IndicationServiceProvider::references(const Pegasus::OperationContext&, const CIMObjectPath& objectName,
                                           const CIMName& resultClass, const String& role,
                                           const Pegasus::Boolean, const Pegasus::Boolean,
                                           const Pegasus::CIMPropertyList&,
                                           Pegasus::ObjectResponseHandler& handler)
{
    handler.processing();
    visitLinks(objectName, resultClass, CIMName(), role, String(),
               [&](const CIMInstance& subscription, const CIMObjectPath&)
               { handler.deliver(Pegasus::CIMObject(subscription)); });
    handler.complete();
}

void IndicationServiceProvider::referenceNames(const Pegasus::OperationContext&,
                                               const CIMObjectPath& objectName, const CIMName& resultClass,
                                               const String& role,
                                               Pegasus::ObjectPathResponseHandler& handler)
{
    handler.processing();
    visitLinks(objectName, resultClass, CIMName(), role, String(),
               [&](const CIMInstance& subscription, const CIMObjectPath&)
               { handler.deliver(subscription.getPath()); });
    handler.complete();
}

} // namespace cimhost
