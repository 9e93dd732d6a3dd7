#include <Pegasus/Provider/CIMProvider.h>

PEGASUS_NAMESPACE_BEGIN

CIMProvider::CIMProvider() = default;

CIMProvider::~CIMProvider() = default;

PEGASUS_NAMESPACE_END
