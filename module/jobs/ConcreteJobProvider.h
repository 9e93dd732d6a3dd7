// CIM_ConcreteJob: every task of the storage engine is a job. Jobs can be listed, read and given
// a new priority; creating and deleting them here is refused.
#ifndef SCS_ConcreteJobProvider_h
#define SCS_ConcreteJobProvider_h

#include <Pegasus/Provider/CIMInstanceProvider.h>

PEGASUS_NAMESPACE_BEGIN

class KVELEngine;

class ConcreteJobProvider : public CIMInstanceProvider
{
public:
    ConcreteJobProvider();
    virtual ~ConcreteJobProvider();

    virtual void initialize(CIMOMHandle& cimom);
    virtual void terminate();

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
    KVELEngine* _engine;
    CIMOMHandle _cimomHandle;
};

PEGASUS_NAMESPACE_END

#endif
