#include <Pegasus/Provider/CIMInstanceProvider.h>

PEGASUS_NAMESPACE_BEGIN

CIMInstanceProvider::CIMInstanceProvider() = default;

CIMInstanceProvider::~CIMInstanceProvider() = default;

PEGASUS_NAMESPACE_END
