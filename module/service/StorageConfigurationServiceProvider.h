// The storage configuration service of the array: one synthetic service instance, and the
// extrinsic methods through which a client changes the array (volumes, pools, drives, tasks,
// controllers, persistence data).
#ifndef SCS_StorageConfigurationServiceProvider_h
#define SCS_StorageConfigurationServiceProvider_h

#include <Pegasus/Provider/CIMInstanceProvider.h>
#include <Pegasus/Provider/CIMMethodProvider.h>

PEGASUS_NAMESPACE_BEGIN

class KVELEngine;

class StorageConfigurationServiceProvider : public CIMInstanceProvider, public CIMMethodProvider
{
public:
    StorageConfigurationServiceProvider();
    virtual ~StorageConfigurationServiceProvider();

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

    virtual void invokeMethod(const OperationContext& context, const CIMObjectPath& objectReference,
                              const CIMName& methodName, const Array<CIMParamValue>& inParameters,
                              MethodResultResponseHandler& handler);

    // Engine result code to method return code: 0 done, 2 unknown, 3 timeout, 4 failed,
    // 5 invalid parameter, 32768/32769 vendor specific.
    static Uint32 cimrcFromKvelRc(Uint32 kvelRc);

private:
    typedef void (StorageConfigurationServiceProvider::*Handler)(const CIMObjectPath&,
                                                                 const Array<CIMParamValue>&,
                                                                 MethodResultResponseHandler&);
    struct DispatchRow
    {
        const char* methodName;
        Handler handler; // null for the pool lookups answered by invokeMethod itself
    };
    static const DispatchRow _dispatchTable[];

    CIMObjectPath _fill_reference(const CIMObjectPath& requestPath);
    CIMInstance _build_instance(const CIMObjectPath& requestPath);
    static const Uint32 _dispatchRows = 31;
    // The table's method names as CIM names, built on first use.
    static const CIMName& _dispatchName(Uint32 row);
    // The row of the method of that name (compared ignoring case), or _dispatchRows when none.
    static Uint32 _dispatchRowOf(const CIMName& methodName);
    // The last four rows of the dispatch table: the pool lookups, answered without a handler.
    void _answerPoolLookup(Uint32 row, const Array<CIMParamValue>& inParameters,
                           MethodResultResponseHandler& handler);

#define SCS_HANDLER(NAME)                                                                                    \
    void NAME(const CIMObjectPath& objectReference, const Array<CIMParamValue>& inParameters,                \
              MethodResultResponseHandler& handler)
    SCS_HANDLER(_handleCreateOrModifyStoragePool);
    SCS_HANDLER(_handleCreateOrModifyElementFromStoragePool);
    SCS_HANDLER(_handleDeleteStoragePool);
    SCS_HANDLER(_handleReturnToStoragePool);
    SCS_HANDLER(_handleCreateOrModifyElementFromElements);
    SCS_HANDLER(_handleCreateVolume);
    SCS_HANDLER(_handleReconfigureVolume);
    SCS_HANDLER(_handleGetMaxVolumeSize);
    SCS_HANDLER(_handleRebuildStorageElement);
    SCS_HANDLER(_handleScanStorageElement);
    SCS_HANDLER(_handleInitializeStorageDevice);
    SCS_HANDLER(_handleRemoveStorageDevice);
    SCS_HANDLER(_handleTransferDrive);
    SCS_HANDLER(_handleTransferDriveByRef);
    SCS_HANDLER(_handleInitiateShutdown);
    SCS_HANDLER(_handleCompleteShutdown);
    SCS_HANDLER(_handleForceControllerFailover);
    SCS_HANDLER(_handleInitiateFirmwareUpgrade);
    SCS_HANDLER(_handleCompleteFirmwareUpgrade);
    SCS_HANDLER(_handleSetDiskLineMode);
    SCS_HANDLER(_handleSuspendTask);
    SCS_HANDLER(_handleResumeTask);
    SCS_HANDLER(_handleAbortTask);
    SCS_HANDLER(_handleRescheduleTask);
    SCS_HANDLER(_handleDeleteTask);
    SCS_HANDLER(_handleReadPersistenceData);
    SCS_HANDLER(_handleWritePersistenceData);
#undef SCS_HANDLER

    KVELEngine* _engine;
    CIMOMHandle _cimomHandle;
};

PEGASUS_NAMESPACE_END

#endif
