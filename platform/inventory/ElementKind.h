// One kind of array element served from the engine (pools, volumes, drives, settings, capabilities,
// computer systems, the storage configuration service): how its elements are listed, named and described.
// Every call reads the engine afresh; a kind holds no state.
#ifndef INVENTORY_ElementKind_h
#define INVENTORY_ElementKind_h

#include <vector>

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Array.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMPropertyList.h>

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

class ElementKind
{
public:
    // className: the class of the instances. keyName: the key that holds the object ID in
    // hexadecimal. lineage: its superclasses, nearest first, which a result-class filter may name.
    // aliases: further classes whose paths name these elements.
    ElementKind(const char* className, const char* keyName, const std::vector<const char*>& lineage,
                const std::vector<const char*>& aliases = {});
    virtual ~ElementKind();

    const CIMName& className() const { return _className; }
    // Whether the instances are of that class or one of its subclasses.
    bool isA(const CIMName& className) const;
    // Whether a path of that class may name one of these elements.
    bool names(const CIMName& className) const;

    // Object IDs of the elements that exist now, ascending.
    virtual Array<Uint32> objectIDs() const = 0;
    // The object ID a path names: 0 when its class is not one of names(), a key is missing or
    // malformed. The element need not exist.
    virtual Uint32 objectIDOf(const CIMObjectPath& path) const;
    // Path and instance of an element; CIMObjectNotFoundException when it does not exist.
    virtual CIMObjectPath path(Uint32 objectID) const = 0;
    virtual CIMInstance instance(Uint32 objectID, Boolean includeQualifiers,
                                 const CIMPropertyList& propertyList) const = 0;

private:
    CIMName _className;
    const char* _keyName;
    std::vector<CIMName> _lineage;
    std::vector<CIMName> _aliases;
};

// The kinds this module serves, made once.
const ElementKind& storagePools();
const ElementKind& storageVolumes();
const ElementKind& diskDrives();
const ElementKind& storageSettings();
const ElementKind& storageCapabilities();
const ElementKind& computerSystems();
// The array's storage configuration service, whose instance the storage configuration module
// serves; and its capabilities. Both under the array system's object ID.
const ElementKind& storageConfigurationServices();
const ElementKind& storageConfigurationCapabilities();
// The setting each volume was made from, under the volume's object ID.
const ElementKind& volumeSettings();

} // namespace inventory

PEGASUS_NAMESPACE_END

#endif
