// CIM_OwningJobElement: associators are answered with every instance of the result class, as
// the CIM server enumerates it. Everything else is refused.
#ifndef SCS_OwningJobElementProvider_h
#define SCS_OwningJobElementProvider_h

#include <Pegasus/Provider/CIMAssociationProvider.h>
#include <Pegasus/Provider/CIMInstanceProvider.h>

PEGASUS_NAMESPACE_BEGIN

class OwningJobElementProvider : public CIMAssociationProvider, public CIMInstanceProvider
{
public:
    OwningJobElementProvider();
    virtual ~OwningJobElementProvider();

    virtual void initialize(CIMOMHandle& cimom);
    virtual void terminate();

    virtual void associators(const OperationContext& context, const CIMObjectPath& objectName,
                             const CIMName& associationClass, const CIMName& resultClass, const String& role,
                             const String& resultRole, const Boolean includeQualifiers,
                             const Boolean includeClassOrigin, const CIMPropertyList& propertyList,
                             ObjectResponseHandler& handler);
    virtual void associatorNames(const OperationContext& context, const CIMObjectPath& objectName,
                                 const CIMName& associationClass, const CIMName& resultClass,
                                 const String& role, const String& resultRole,
                                 ObjectPathResponseHandler& handler);
    virtual void references(const OperationContext& context, const CIMObjectPath& objectName,
                            const CIMName& resultClass, const String& role, const Boolean includeQualifiers,
                            const Boolean includeClassOrigin, const CIMPropertyList& propertyList,
                            ObjectResponseHandler& handler);
    virtual void referenceNames(const OperationContext& context, const CIMObjectPath& objectName,
                                const CIMName& resultClass, const String& role,
                                ObjectPathResponseHandler& handler);

    virtual void getInstance(const OperationContext& context, const CIMObjectPath& instanceReference,
                             const Boolean includeQualifiers, const Boolean includeClassOrigin,
                             const CIMPropertyList& propertyList, InstanceResponseHandler& handler);
    virtual void enumerateInstances(const OperationContext& context, const CIMObjectPath& classReference,
                                    const Boolean includeQualifiers, const Boolean includeClassOrigin,
                                    const CIMPropertyList& propertyList, InstanceResponseHandler& handler);
    virtual void enumerateInstanceNames(const OperationContext& context, const CIMObjectPath& classReference,
                                        ObjectPathResponseHandler& handler);
    virtual void modifyInstance(const OperationContext& context, const CIMObjectPath& instanceReference,
                                const CIMInstance& instanceObject, const Boolean includeQualifiers,
                                const CIMPropertyList& propertyList, ResponseHandler& handler);
    virtual void createInstance(const OperationContext& context, const CIMObjectPath& instanceReference,
                                const CIMInstance& instanceObject, ObjectPathResponseHandler& handler);
    virtual void deleteInstance(const OperationContext& context, const CIMObjectPath& instanceReference,
                                ResponseHandler& handler);

private:
    CIMOMHandle _cimomHandle;
};

PEGASUS_NAMESPACE_END

#endif
