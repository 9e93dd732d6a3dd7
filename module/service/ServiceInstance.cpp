// The service as an instance: one synthetic instance whose keys are the array's current names.
#include "StorageConfigurationServiceProvider.h"

#include <KVELEngine.h>

#include "CatchLadder.h"
#include "CimNames.h"
#include "OperationTrace.h"
#include "Refusal.h"
#include "ServiceClasses.h"

#define SCS_TRACE_FILE "StorageConfigurationService"

PEGASUS_NAMESPACE_BEGIN

StorageConfigurationServiceProvider::StorageConfigurationServiceProvider() : _engine(nullptr) {}

StorageConfigurationServiceProvider::~StorageConfigurationServiceProvider() {}

void StorageConfigurationServiceProvider::initialize(CIMOMHandle& cimom)
{
    _engine = KVELEngine::_getInstance();
    _cimomHandle = cimom;
}

void StorageConfigurationServiceProvider::terminate() {}

CIMObjectPath StorageConfigurationServiceProvider::_fill_reference(const CIMObjectPath& requestPath)
{
    const CIMName& className = requestPath.getClassName();
    String systemName(KVELEngine::_ZarvoSystemNamePtr);
    Array<CIMKeyBinding> keys;
    keys.append(
        CIMKeyBinding(PROPERTY_SystemCreationClassName, String("CIM_ComputerSystem"), CIMKeyBinding::STRING));
    keys.append(CIMKeyBinding(PROPERTY_SystemName, systemName, CIMKeyBinding::STRING));
    keys.append(CIMKeyBinding(PROPERTY_CreationClassName, className.getString(), CIMKeyBinding::STRING));
    keys.append(CIMKeyBinding(PROPERTY_Name, systemName, CIMKeyBinding::STRING));
    return CIMObjectPath(String(KVELEngine::_ZarvoHostNamePtr), NAMESPACE_ROOT_SNIA, className, keys);
}

CIMInstance StorageConfigurationServiceProvider::_build_instance(const CIMObjectPath& requestPath)
{
    const CIMName& className = requestPath.getClassName();
    String systemName(KVELEngine::_ZarvoSystemNamePtr);
    CIMInstance instance(className);
    const struct
    {
        const CIMName& name;
        String value;
    } keys[] = {{PROPERTY_SystemCreationClassName, String("CIM_ComputerSystem")},
                {PROPERTY_SystemName, systemName},
                {PROPERTY_CreationClassName, className.getString()},
                {PROPERTY_Name, systemName}};
    for (const auto& key : keys)
    {
        CIMProperty property(key.name, CIMValue(key.value));
        property.addQualifier(CIMQualifier(CIMName("Key"), CIMValue(true)));
        instance.addProperty(property);
    }
    return instance;
}

void StorageConfigurationServiceProvider::enumerateInstanceNames(const OperationContext&,
                                                                 const CIMObjectPath& classReference,
                                                                 ObjectPathResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::enumerateInstanceNames");
    SCS_TRACE_PATH(classReference);
    runInCatchLadder(SCS_LADDER_SITE("enumerateInstanceNames"),
                     [&]
                     {
                         handler.processing();
                         if (isServiceClass(classReference.getClassName()))
                             handler.deliver(_fill_reference(classReference));
                         handler.complete();
                     });
}

void StorageConfigurationServiceProvider::enumerateInstances(const OperationContext&,
                                                             const CIMObjectPath& classReference,
                                                             const Boolean, const Boolean,
                                                             const CIMPropertyList&,
                                                             InstanceResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::enumerateInstances");
    SCS_TRACE_PATH(classReference);
    runInCatchLadder(SCS_LADDER_SITE("enumerateInstances"),
                     [&]
                     {
                         handler.processing();
                         if (isServiceClass(classReference.getClassName()))
                         {
                             CIMInstance instance = _build_instance(classReference);
                             instance.setPath(_fill_reference(classReference));
                             handler.deliver(instance);
                         }
                         handler.complete();
                     });
}

// Any reference yields the service of the requested class with the current system's keys.
void StorageConfigurationServiceProvider::getInstance(const OperationContext&,
                                                      const CIMObjectPath& instanceReference,
                                                      const Boolean includeQualifiers, const Boolean,
                                                      const CIMPropertyList& propertyList,
                                                      InstanceResponseHandler& handler)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::getInstance");
    SCS_TRACE_PATH(instanceReference);
    SCS_TRACE_QUALIFIERS(includeQualifiers, propertyList);
    runInCatchLadder(SCS_LADDER_SITE("getInstance"),
                     [&]
                     {
                         handler.processing();
                         CIMInstance instance = _build_instance(instanceReference);
                         instance.setPath(_fill_reference(instanceReference));
                         handler.deliver(instance);
                         handler.complete();
                     });
}

void StorageConfigurationServiceProvider::modifyInstance(const OperationContext&,
                                                         const CIMObjectPath& instanceReference,
                                                         const CIMInstance&, const Boolean includeQualifiers,
                                                         const CIMPropertyList& propertyList,
                                                         ResponseHandler&)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::modifyInstance");
    SCS_TRACE_PATH(instanceReference);
    SCS_TRACE_QUALIFIERS(includeQualifiers, propertyList);
    refuseInLadder(SCS_LADDER_SITE("modifyInstance"), "StorageConfigurationServiceProvider::modifyInstance");
}

void StorageConfigurationServiceProvider::createInstance(const OperationContext&,
                                                         const CIMObjectPath& instanceReference,
                                                         const CIMInstance&, ObjectPathResponseHandler&)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::createInstance");
    SCS_TRACE_PATH(instanceReference);
    refuseInLadder(SCS_LADDER_SITE("createInstance"), "StorageConfigurationServiceProvider::createInstance");
}

void StorageConfigurationServiceProvider::deleteInstance(const OperationContext&,
                                                         const CIMObjectPath& instanceReference,
                                                         ResponseHandler&)
{
    SCS_METHOD_SCOPE("StorageConfigurationServiceProvider::deleteInstance");
    SCS_TRACE_PATH(instanceReference);
    refuseInLadder(SCS_LADDER_SITE("deleteInstance"), "StorageConfigurationServiceProvider::deleteInstance");
}

PEGASUS_NAMESPACE_END
