#include <Pegasus/Provider/CIMOMHandle.h>
#include <Pegasus/Provider/CIMOMHandleRep.h>
#include <Pegasus/Common/Exception.h>

#include <utility>

PEGASUS_NAMESPACE_BEGIN

namespace
{

// A default-constructed handle belongs to no server; calling through it is a provider error that
// the server reports like any other failed operation.
CIMOMHandleRep& connected(CIMOMHandleRep* rep)
{
    if (!rep) throw CIMException(CIM_ERR_FAILED, "CIMOMHandle is not connected to a CIM server");
    return *rep;
}

} // namespace

CIMOMHandleRep::CIMOMHandleRep() = default;

CIMOMHandleRep::~CIMOMHandleRep() = default;

OperationContext CIMOMHandleRep::getResponseContext()
{
    return OperationContext();
}

CIMOMHandle CIMOMHandleRep::makeHandle(CIMOMHandleRep* rep)
{
    CIMOMHandle handle;
    if (rep)
    {
        rep->_refs.fetch_add(1, std::memory_order_relaxed);
        handle._rep = rep;
    }
    return handle;
}

Boolean CIMOMHandleRep::isUnloadAllowed(CIMOMHandle& handle)
{
    return handle.unload_ok();
}

CIMOMHandle::CIMOMHandle() : _rep(nullptr) {}

CIMOMHandle::CIMOMHandle(const CIMOMHandle& handle) : _rep(handle._rep)
{
    if (_rep) _rep->_refs.fetch_add(1, std::memory_order_relaxed);
}

CIMOMHandle::~CIMOMHandle()
{
    if (_rep && _rep->_refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete _rep;
}

CIMOMHandle& CIMOMHandle::operator=(const CIMOMHandle& handle)
{
    CIMOMHandle copy(handle);
    std::swap(_rep, copy._rep);
    return *this;
}

CIMClass CIMOMHandle::getClass(const OperationContext& context, const CIMNamespaceName& nameSpace,
                               const CIMName& className, Boolean localOnly, Boolean includeQualifiers,
                               Boolean includeClassOrigin, const CIMPropertyList& propertyList)
{
    return connected(_rep).getClass(context, nameSpace, className, localOnly, includeQualifiers,
                                    includeClassOrigin, propertyList);
}

Array<CIMClass> CIMOMHandle::enumerateClasses(const OperationContext& context,
                                              const CIMNamespaceName& nameSpace, const CIMName& className,
                                              Boolean deepInheritance, Boolean localOnly,
                                              Boolean includeQualifiers, Boolean includeClassOrigin)
{
    return connected(_rep).enumerateClasses(context, nameSpace, className, deepInheritance, localOnly,
                                            includeQualifiers, includeClassOrigin);
}

Array<CIMName> CIMOMHandle::enumerateClassNames(const OperationContext& context,
                                                const CIMNamespaceName& nameSpace, const CIMName& className,
                                                Boolean deepInheritance)
{
    return connected(_rep).enumerateClassNames(context, nameSpace, className, deepInheritance);
}

void CIMOMHandle::createClass(const OperationContext& context, const CIMNamespaceName& nameSpace,
                              const CIMClass& newClass)
{
    connected(_rep).createClass(context, nameSpace, newClass);
}

void CIMOMHandle::modifyClass(const OperationContext& context, const CIMNamespaceName& nameSpace,
                              const CIMClass& modifiedClass)
{
    connected(_rep).modifyClass(context, nameSpace, modifiedClass);
}

void CIMOMHandle::deleteClass(const OperationContext& context, const CIMNamespaceName& nameSpace,
                              const CIMName& className)
{
    connected(_rep).deleteClass(context, nameSpace, className);
}

CIMInstance CIMOMHandle::getInstance(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                     const CIMObjectPath& instanceName, Boolean localOnly,
                                     Boolean includeQualifiers, Boolean includeClassOrigin,
                                     const CIMPropertyList& propertyList)
{
    return connected(_rep).getInstance(context, nameSpace, instanceName, localOnly, includeQualifiers,
                                       includeClassOrigin, propertyList);
}

Array<CIMInstance> CIMOMHandle::enumerateInstances(const OperationContext& context,
                                                   const CIMNamespaceName& nameSpace,
                                                   const CIMName& className, Boolean deepInheritance,
                                                   Boolean localOnly, Boolean includeQualifiers,
                                                   Boolean includeClassOrigin,
                                                   const CIMPropertyList& propertyList)
{
    return connected(_rep).enumerateInstances(context, nameSpace, className, deepInheritance, localOnly,
                                              includeQualifiers, includeClassOrigin, propertyList);
}

Array<CIMObjectPath> CIMOMHandle::enumerateInstanceNames(const OperationContext& context,
                                                         const CIMNamespaceName& nameSpace,
                                                         const CIMName& className)
{
    return connected(_rep).enumerateInstanceNames(context, nameSpace, className);
}

CIMObjectPath CIMOMHandle::createInstance(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                          const CIMInstance& newInstance)
{
    return connected(_rep).createInstance(context, nameSpace, newInstance);
}

void CIMOMHandle::modifyInstance(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                 const CIMInstance& modifiedInstance, Boolean includeQualifiers,
                                 const CIMPropertyList& propertyList)
{
    connected(_rep).modifyInstance(context, nameSpace, modifiedInstance, includeQualifiers, propertyList);
}

void CIMOMHandle::deleteInstance(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                 const CIMObjectPath& instanceName)
{
    connected(_rep).deleteInstance(context, nameSpace, instanceName);
}

Array<CIMObject> CIMOMHandle::execQuery(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                        const String& queryLanguage, const String& query)
{
    return connected(_rep).execQuery(context, nameSpace, queryLanguage, query);
}

Array<CIMObject> CIMOMHandle::associators(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                          const CIMObjectPath& objectName, const CIMName& assocClass,
                                          const CIMName& resultClass, const String& role,
                                          const String& resultRole, Boolean includeQualifiers,
                                          Boolean includeClassOrigin, const CIMPropertyList& propertyList)
{
    return connected(_rep).associators(context, nameSpace, objectName, assocClass, resultClass, role,
                                       resultRole, includeQualifiers, includeClassOrigin, propertyList);
}

Array<CIMObjectPath> CIMOMHandle::associatorNames(const OperationContext& context,
                                                  const CIMNamespaceName& nameSpace,
                                                  const CIMObjectPath& objectName, const CIMName& assocClass,
                                                  const CIMName& resultClass, const String& role,
                                                  const String& resultRole)
{
    return connected(_rep).associatorNames(context, nameSpace, objectName, assocClass, resultClass, role,
                                           resultRole);
}

Array<CIMObject> CIMOMHandle::references(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                         const CIMObjectPath& objectName, const CIMName& resultClass,
                                         const String& role, Boolean includeQualifiers,
                                         Boolean includeClassOrigin, const CIMPropertyList& propertyList)
{
    return connected(_rep).references(context, nameSpace, objectName, resultClass, role, includeQualifiers,
                                      includeClassOrigin, propertyList);
}

Array<CIMObjectPath> CIMOMHandle::referenceNames(const OperationContext& context,
                                                 const CIMNamespaceName& nameSpace,
                                                 const CIMObjectPath& objectName, const CIMName& resultClass,
                                                 const String& role)
{
    return connected(_rep).referenceNames(context, nameSpace, objectName, resultClass, role);
}

CIMValue CIMOMHandle::getProperty(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                  const CIMObjectPath& instanceName, const CIMName& propertyName)
{
    return connected(_rep).getProperty(context, nameSpace, instanceName, propertyName);
}

void CIMOMHandle::setProperty(const OperationContext& context, const CIMNamespaceName& nameSpace,
                              const CIMObjectPath& instanceName, const CIMName& propertyName,
                              const CIMValue& newValue)
{
    connected(_rep).setProperty(context, nameSpace, instanceName, propertyName, newValue);
}

CIMValue CIMOMHandle::invokeMethod(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                   const CIMObjectPath& instanceName, const CIMName& methodName,
                                   const Array<CIMParamValue>& inParameters,
                                   Array<CIMParamValue>& outParameters)
{
    return connected(_rep).invokeMethod(context, nameSpace, instanceName, methodName, inParameters,
                                        outParameters);
}

// Unload protection is bookkeeping for the server that loaded the provider; a handle that
// belongs to no server has nothing to protect, so these do not throw.
void CIMOMHandle::disallowProviderUnload()
{
    if (_rep) _rep->_unloadBlocks.fetch_add(1, std::memory_order_relaxed);
}

void CIMOMHandle::allowProviderUnload()
{
    if (!_rep) return;
    // Never below zero: an unmatched allow must not cancel a later disallow.
    Uint32 blocks = _rep->_unloadBlocks.load(std::memory_order_relaxed);
    while (blocks > 0 &&
           !_rep->_unloadBlocks.compare_exchange_weak(blocks, blocks - 1, std::memory_order_relaxed))
    {
    }
}

Boolean CIMOMHandle::unload_ok()
{
    return !_rep || _rep->_unloadBlocks.load(std::memory_order_relaxed) == 0;
}

#ifdef PEGASUS_USE_EXPERIMENTAL_INTERFACES
OperationContext CIMOMHandle::getResponseContext()
{
    return connected(_rep).getResponseContext();
}
#endif

PEGASUS_NAMESPACE_END
