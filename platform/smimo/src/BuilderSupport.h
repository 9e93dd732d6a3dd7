// What the path and instance builders share: the engine and the array's identity, record
// lookups that fail as CIM "not found", engine times as CIM date-times, and an instance filler
// that applies the property list and the key qualifiers.
#ifndef SMIMO_BuilderSupport_h
#define SMIMO_BuilderSupport_h

#include <initializer_list>
#include <memory>
#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/String.h>
#include <Pegasus/Common/CIMName.h>
#include <Pegasus/Common/CIMValue.h>
#include <Pegasus/Common/CIMDateTime.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <Pegasus/Common/CIMInstance.h>
#include <Pegasus/Common/CIMPropertyList.h>
#include <Pegasus/Provider/ProviderException.h>
#include <KVELEngine.h>

PEGASUS_NAMESPACE_BEGIN

namespace smimo
{

extern const char* const ARRAY_NAMESPACE; // "root/snia"
// Engine sizes count 512-byte blocks.
const Uint64 BLOCK_SIZE = 512;

// DMTF CIM_ManagedSystemElement.OperationalStatus values.
enum OperationalStatusValue : Uint16
{
    OS_UNKNOWN = 0,
    OS_OK = 2,
    OS_DEGRADED = 3,
    OS_ERROR = 6,
    OS_STOPPING = 9,
    OS_STOPPED = 10,
    OS_IN_SERVICE = 11,
    OS_ABORTED = 14,
    OS_DORMANT = 15,
    OS_COMPLETED = 17
};
CIMValue operationalStatus(std::initializer_list<Uint16> values);

// The process-wide engine, asked for afresh on every call so that a replaced engine is seen.
KVELEngine& engine();
// The array's host and system names; empty while no engine has published them.
String hostName();
String systemName();

// An object ID in upper-case hexadecimal, as keys carry it ("3A000005").
String hexID(Uint32 objectID);

// The record of that class and ID, or CIMObjectNotFoundException naming what was looked for.
// An ID of another class than classID names no record of that class.
template <class Record>
std::unique_ptr<Record> fetchRecord(CLASSID_e classID, Uint32 objectID, const char* what)
{
    if (kvelClassOf(objectID) == classID)
    {
        std::unique_ptr<ManagedObject> object(engine().getObject(classID, objectID));
        if (Record* record = dynamic_cast<Record*>(object.get()))
        {
            object.release();
            return std::unique_ptr<Record>(record);
        }
    }
    throw CIMObjectNotFoundException(String(what) + String(" 0x") + hexID(objectID) +
                                     String(" does not exist"));
}

// A path in the array's namespace on the array's host.
CIMObjectPath arrayPath(const CIMName& className, const Array<CIMKeyBinding>& keys);
// The four keys of a logical device of the array (drive or volume).
CIMObjectPath devicePath(const char* className, Uint32 objectID);
// A class keyed by "InstanceID" alone.
CIMObjectPath instanceIDPath(const char* className, const String& instanceID);
CIMObjectPath instanceIDPath(const CIMName& className, const String& instanceID);
// The class name of jobs.
const CIMName& concreteJobClassName();

// Engine time (microseconds since the POSIX epoch, UTC) as a CIM timestamp, and a length of
// engine time as a CIM interval.
CIMDateTime timestampFromMpu(MPU_TIME time);
CIMDateTime intervalFromMpu(MPU_TIME length);

// Adds properties to an instance, skipping those the property list excludes; key properties
// carry the "Key" qualifier when qualifiers are asked for.
class InstanceFiller
{
public:
    InstanceFiller(CIMInstance& instance, Boolean includeQualifiers, const CIMPropertyList& propertyList)
        : _instance(instance), _includeQualifiers(includeQualifiers), _propertyList(propertyList)
    {
    }

    // Builders called per element of an enumeration pass names made once: a name made from text
    // costs an allocation and a syntax check.
    void add(const CIMName& name, const CIMValue& value) { _add(name, value, false); }
    void add(const char* name, const CIMValue& value) { _add(CIMName(name), value, false); }
    void addKey(const char* name, const CIMValue& value) { _add(CIMName(name), value, true); }
    // Every key binding of the path as a string key property.
    void addKeys(const CIMObjectPath& path);

private:
    void _add(const CIMName& name, const CIMValue& value, bool isKey);

    CIMInstance& _instance;
    Boolean _includeQualifiers;
    const CIMPropertyList& _propertyList;
};

} // namespace smimo

PEGASUS_NAMESPACE_END

#endif
