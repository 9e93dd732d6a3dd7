#include <Pegasus/Provider/CIMMethodProvider.h>

PEGASUS_NAMESPACE_BEGIN

CIMMethodProvider::CIMMethodProvider() = default;

CIMMethodProvider::~CIMMethodProvider() = default;

PEGASUS_NAMESPACE_END
