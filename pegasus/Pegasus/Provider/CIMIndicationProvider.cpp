#include <Pegasus/Provider/CIMIndicationProvider.h>

PEGASUS_NAMESPACE_BEGIN

CIMIndicationProvider::CIMIndicationProvider() = default;

CIMIndicationProvider::~CIMIndicationProvider() = default;

PEGASUS_NAMESPACE_END
