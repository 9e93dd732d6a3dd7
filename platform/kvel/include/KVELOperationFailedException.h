#ifndef KVEL_KVELOperationFailedException_h
#define KVEL_KVELOperationFailedException_h

#include <Pegasus/Provider/ProviderException.h>
#include <KVELTypes.h>

PEGASUS_NAMESPACE_BEGIN

// A failed engine operation as a CIM exception (CIM_ERR_FAILED) that keeps the engine result code.
class KVEL_LINKAGE KVELOperationFailedException : public CIMOperationFailedException
{
public:
    KVELOperationFailedException(Uint32 resultCode, const String& text);
    Uint32 getResultCode() const { return _resultCode; }

private:
    Uint32 _resultCode;
};

PEGASUS_NAMESPACE_END

#endif
