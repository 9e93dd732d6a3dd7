#include <Pegasus/Provider/ProviderException.h>

PEGASUS_NAMESPACE_BEGIN

CIMOperationFailedException::CIMOperationFailedException(const String& message)
    : CIMException(CIM_ERR_FAILED, message)
{
}

CIMOperationFailedException::CIMOperationFailedException(const CIMStatusCode code, const String& message)
    : CIMException(code, message)
{
}

CIMOperationFailedException::~CIMOperationFailedException() {}

#define PEGASUS_DEFINE_PROVIDER_EXCEPTION(NAME, CODE)                                                        \
    NAME::NAME(const String& message) : CIMOperationFailedException(CODE, message) {}                        \
    NAME::~NAME() {}

PEGASUS_DEFINE_PROVIDER_EXCEPTION(CIMAccessDeniedException, CIM_ERR_ACCESS_DENIED)
PEGASUS_DEFINE_PROVIDER_EXCEPTION(CIMInvalidParameterException, CIM_ERR_INVALID_PARAMETER)
PEGASUS_DEFINE_PROVIDER_EXCEPTION(CIMObjectNotFoundException, CIM_ERR_NOT_FOUND)
PEGASUS_DEFINE_PROVIDER_EXCEPTION(CIMNotSupportedException, CIM_ERR_NOT_SUPPORTED)
PEGASUS_DEFINE_PROVIDER_EXCEPTION(CIMObjectAlreadyExistsException, CIM_ERR_ALREADY_EXISTS)
PEGASUS_DEFINE_PROVIDER_EXCEPTION(CIMPropertyNotFoundException, CIM_ERR_NO_SUCH_PROPERTY)
PEGASUS_DEFINE_PROVIDER_EXCEPTION(CIMMethodNotFoundException, CIM_ERR_METHOD_NOT_FOUND)

#undef PEGASUS_DEFINE_PROVIDER_EXCEPTION

PEGASUS_NAMESPACE_END
