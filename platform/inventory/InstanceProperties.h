// Adds properties to an instance the way a client asked for it: only those the property list
// admits, and keys with their "Key" qualifier when qualifiers are asked for.
#ifndef INVENTORY_InstanceProperties_h
#define INVENTORY_InstanceProperties_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMPropertyList.h>
#include <Pegasus/Common/CIMValue.h>

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

class InstanceProperties
{
public:
    InstanceProperties(CIMInstance& instance, Boolean includeQualifiers, const CIMPropertyList& propertyList)
        : _instance(instance), _includeQualifiers(includeQualifiers), _propertyList(propertyList)
    {
    }

    void add(const char* name, const CIMValue& value);
    void addKey(const char* name, const CIMValue& value);
    // Takes the place of a property a builder already added, or adds it.
    void replace(const char* name, const CIMValue& value);

private:
    void _add(const char* name, const CIMValue& value, bool isKey);

    CIMInstance& _instance;
    Boolean _includeQualifiers;
    const CIMPropertyList& _propertyList;
};

} // namespace inventory

PEGASUS_NAMESPACE_END

#endif
