// The exceptions a provider throws to report a CIM status code.
#ifndef Pegasus_ProviderException_h
#define Pegasus_ProviderException_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Exception.h>
#include <Pegasus/Provider/Linkage.h>

PEGASUS_NAMESPACE_BEGIN

class PEGASUS_PROVIDER_LINKAGE CIMOperationFailedException : public CIMException
{
public:
    CIMOperationFailedException(const String& message);
    // Out of line, so that the type information lives in this library alone.
    virtual ~CIMOperationFailedException();

protected:
    CIMOperationFailedException(const CIMStatusCode code, const String& message);
};

#define PEGASUS_PROVIDER_EXCEPTION(NAME)                                                                     \
    class PEGASUS_PROVIDER_LINKAGE NAME : public CIMOperationFailedException                                 \
    {                                                                                                        \
    public:                                                                                                  \
        NAME(const String& message);                                                                         \
        virtual ~NAME();                                                                                     \
    }

PEGASUS_PROVIDER_EXCEPTION(CIMAccessDeniedException);
PEGASUS_PROVIDER_EXCEPTION(CIMInvalidParameterException);
PEGASUS_PROVIDER_EXCEPTION(CIMObjectNotFoundException);
PEGASUS_PROVIDER_EXCEPTION(CIMNotSupportedException);
PEGASUS_PROVIDER_EXCEPTION(CIMObjectAlreadyExistsException);
PEGASUS_PROVIDER_EXCEPTION(CIMPropertyNotFoundException);
PEGASUS_PROVIDER_EXCEPTION(CIMMethodNotFoundException);

#undef PEGASUS_PROVIDER_EXCEPTION

PEGASUS_NAMESPACE_END

#endif
