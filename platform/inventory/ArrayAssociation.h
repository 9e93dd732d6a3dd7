// An association between two kinds of array element, read from the engine on every call: its
// links, and what an instance of it carries beyond its two references.
#ifndef INVENTORY_ArrayAssociation_h
#define INVENTORY_ArrayAssociation_h

#include <vector>

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMName.h>

#include "ElementKind.h"
#include "InstanceProperties.h"

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

struct AssociationEnd
{
    const char* role;        // the reference property, e.g. "Antecedent"
    const ElementKind& kind; // the elements it refers to
};

// Two linked elements: objectIDs[0] at the first end, objectIDs[1] at the second.
struct Link
{
    Uint32 objectIDs[2];
    Uint64 value = 0; // what the association says about the link, if anything
};

class ArrayAssociation
{
public:
    // lineage: the association's superclasses, which a result-class filter of References may name.
    ArrayAssociation(const char* className, const std::vector<const char*>& lineage, AssociationEnd first,
                     AssociationEnd second);
    virtual ~ArrayAssociation();

    const CIMName& className() const { return _className; }
    bool isA(const CIMName& className) const;
    const AssociationEnd& end(int index) const { return index == 0 ? _first : _second; }

    // Every link that exists now.
    virtual std::vector<Link> links() const = 0;
    // The links of one element at one end; by default the matching part of links().
    virtual std::vector<Link> linksOf(int endIndex, Uint32 objectID) const;
    // Properties beyond the two references.
    virtual void addProperties(const Link& link, InstanceProperties& properties) const;

private:
    CIMName _className;
    std::vector<CIMName> _lineage;
    AssociationEnd _first;
    AssociationEnd _second;
};

// The associations this module serves, made once.
const ArrayAssociation& allocatedFromStoragePool(); // pool -> volume
const ArrayAssociation& hostedStoragePool();        // array -> pool
const ArrayAssociation& elementCapabilities();      // pool -> its capabilities
const ArrayAssociation& serviceCapabilities();      // service -> its capabilities (CIM_ElementCapabilities)
const ArrayAssociation& concreteComponent();        // pool -> drive
const ArrayAssociation& elementSettingData();       // volume -> the setting it was made from
const ArrayAssociation& hostedService();            // array -> storage configuration service
const ArrayAssociation& systemVolumes();            // array -> volume (CIM_SystemDevice)
const ArrayAssociation& systemDrives();             // array -> drive (CIM_SystemDevice)
const ArrayAssociation& componentControllers();     // array -> controller (CIM_ComponentCS)

} // namespace inventory

PEGASUS_NAMESPACE_END

#endif
