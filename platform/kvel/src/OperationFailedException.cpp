#include <KVELOperationFailedException.h>

PEGASUS_NAMESPACE_BEGIN

KVELOperationFailedException::KVELOperationFailedException(Uint32 resultCode, const String& text)
    : CIMOperationFailedException(text), _resultCode(resultCode)
{
}

PEGASUS_NAMESPACE_END
