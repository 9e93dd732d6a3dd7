#include <Pegasus/Provider/CIMAssociationProvider.h>

PEGASUS_NAMESPACE_BEGIN

CIMAssociationProvider::CIMAssociationProvider() = default;

CIMAssociationProvider::~CIMAssociationProvider() = default;

PEGASUS_NAMESPACE_END
