// What a CIMOMHandle forwards to. The hosting server derives from this class, implements the
// operations against its own dispatcher, and hands providers a handle made with makeHandle().
// Not part of the provider-facing API: providers only ever see CIMOMHandle.
#ifndef Pegasus_CIMOMHandleRep_h
#define Pegasus_CIMOMHandleRep_h

#include <atomic>
#include <Pegasus/Provider/CIMOMHandle.h>

PEGASUS_NAMESPACE_BEGIN

class PEGASUS_PROVIDER_LINKAGE CIMOMHandleRep
{
public:
    // Wraps a rep allocated with new. Every handle made from it, and every copy of those,
    // shares it; the last one to go deletes it. A rep never wrapped stays the caller's to delete.
    static CIMOMHandle makeHandle(CIMOMHandleRep* rep);

    // True unless a provider holding this handle (or a copy) has called disallowProviderUnload()
    // more often than allowProviderUnload(). A handle without a rep never blocks unloading.
    static Boolean isUnloadAllowed(CIMOMHandle& handle);

    CIMOMHandleRep(const CIMOMHandleRep&) = delete;
    CIMOMHandleRep& operator=(const CIMOMHandleRep&) = delete;
    virtual ~CIMOMHandleRep();

    virtual CIMClass getClass(const OperationContext& context, const CIMNamespaceName& nameSpace,
                              const CIMName& className, Boolean localOnly, Boolean includeQualifiers,
                              Boolean includeClassOrigin, const CIMPropertyList& propertyList) = 0;
    virtual Array<CIMClass> enumerateClasses(const OperationContext& context,
                                             const CIMNamespaceName& nameSpace, const CIMName& className,
                                             Boolean deepInheritance, Boolean localOnly,
                                             Boolean includeQualifiers, Boolean includeClassOrigin) = 0;
    virtual Array<CIMName> enumerateClassNames(const OperationContext& context,
                                               const CIMNamespaceName& nameSpace, const CIMName& className,
                                               Boolean deepInheritance) = 0;
    virtual void createClass(const OperationContext& context, const CIMNamespaceName& nameSpace,
                             const CIMClass& newClass) = 0;
    virtual void modifyClass(const OperationContext& context, const CIMNamespaceName& nameSpace,
                             const CIMClass& modifiedClass) = 0;
    virtual void deleteClass(const OperationContext& context, const CIMNamespaceName& nameSpace,
                             const CIMName& className) = 0;

    virtual CIMInstance getInstance(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                    const CIMObjectPath& instanceName, Boolean localOnly,
                                    Boolean includeQualifiers, Boolean includeClassOrigin,
                                    const CIMPropertyList& propertyList) = 0;
    virtual Array<CIMInstance> enumerateInstances(const OperationContext& context,
                                                  const CIMNamespaceName& nameSpace, const CIMName& className,
                                                  Boolean deepInheritance, Boolean localOnly,
                                                  Boolean includeQualifiers, Boolean includeClassOrigin,
                                                  const CIMPropertyList& propertyList) = 0;
    virtual Array<CIMObjectPath> enumerateInstanceNames(const OperationContext& context,
                                                        const CIMNamespaceName& nameSpace,
                                                        const CIMName& className) = 0;
    virtual CIMObjectPath createInstance(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                         const CIMInstance& newInstance) = 0;
    virtual void modifyInstance(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                const CIMInstance& modifiedInstance, Boolean includeQualifiers,
                                const CIMPropertyList& propertyList) = 0;
    virtual void deleteInstance(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                const CIMObjectPath& instanceName) = 0;
    virtual Array<CIMObject> execQuery(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                       const String& queryLanguage, const String& query) = 0;

    virtual Array<CIMObject> associators(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                         const CIMObjectPath& objectName, const CIMName& assocClass,
                                         const CIMName& resultClass, const String& role,
                                         const String& resultRole, Boolean includeQualifiers,
                                         Boolean includeClassOrigin, const CIMPropertyList& propertyList) = 0;
    virtual Array<CIMObjectPath> associatorNames(const OperationContext& context,
                                                 const CIMNamespaceName& nameSpace,
                                                 const CIMObjectPath& objectName, const CIMName& assocClass,
                                                 const CIMName& resultClass, const String& role,
                                                 const String& resultRole) = 0;
    virtual Array<CIMObject> references(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                        const CIMObjectPath& objectName, const CIMName& resultClass,
                                        const String& role, Boolean includeQualifiers,
                                        Boolean includeClassOrigin, const CIMPropertyList& propertyList) = 0;
    virtual Array<CIMObjectPath> referenceNames(const OperationContext& context,
                                                const CIMNamespaceName& nameSpace,
                                                const CIMObjectPath& objectName, const CIMName& resultClass,
                                                const String& role) = 0;

    virtual CIMValue getProperty(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                 const CIMObjectPath& instanceName, const CIMName& propertyName) = 0;
    virtual void setProperty(const OperationContext& context, const CIMNamespaceName& nameSpace,
                             const CIMObjectPath& instanceName, const CIMName& propertyName,
                             const CIMValue& newValue) = 0;
    virtual CIMValue invokeMethod(const OperationContext& context, const CIMNamespaceName& nameSpace,
                                  const CIMObjectPath& instanceName, const CIMName& methodName,
                                  const Array<CIMParamValue>& inParameters,
                                  Array<CIMParamValue>& outParameters) = 0;

    // The response context of the last operation; declared regardless of the experimental
    // interfaces so the class layout is the same for every user of this header.
    virtual OperationContext getResponseContext();

protected:
    CIMOMHandleRep();

private:
    friend class CIMOMHandle;

    std::atomic<Uint32> _refs{0};
    // disallowProviderUnload() calls not yet matched by allowProviderUnload().
    std::atomic<Uint32> _unloadBlocks{0};
};

PEGASUS_NAMESPACE_END

#endif
