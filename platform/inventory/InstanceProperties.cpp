#include "InstanceProperties.h"

#include <Pegasus/Common/CIMFlavor.h>
#include <Pegasus/Common/CIMProperty.h>
#include <Pegasus/Common/CIMQualifier.h>

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

void InstanceProperties::add(const char* name, const CIMValue& value)
{
    _add(name, value, false);
}

void InstanceProperties::addKey(const char* name, const CIMValue& value)
{
    _add(name, value, true);
}

void InstanceProperties::replace(const char* name, const CIMValue& value)
{
    const Uint32 index = _instance.findProperty(CIMName(name));
    if (index != PEG_NOT_FOUND) _instance.removeProperty(index);
    _add(name, value, false);
}

void InstanceProperties::_add(const char* name, const CIMValue& value, bool isKey)
{
    const CIMName propertyName(name);
    if (!_propertyList.useThisProperty(propertyName)) return;
    CIMProperty property(propertyName, value);
    if (isKey && _includeQualifiers)
        property.addQualifier(
            CIMQualifier(CIMName("Key"), CIMValue(true),
                         CIMFlavor(CIMFlavor::DISABLEOVERRIDE) + CIMFlavor(CIMFlavor::TOSUBCLASS)));
    _instance.addProperty(property);
}

} // namespace inventory

PEGASUS_NAMESPACE_END
