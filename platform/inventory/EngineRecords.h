// Reading the engine's records for the inventory: the process-wide engine, records by ID, and the
// object ID a key of a path holds.
#ifndef INVENTORY_EngineRecords_h
#define INVENTORY_EngineRecords_h

#include <memory>

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Array.h>
#include <Pegasus/Common/CIMObjectPath.h>
#include <KVELEngine.h>

PEGASUS_NAMESPACE_BEGIN

namespace inventory
{

// The process-wide engine, asked for on every call so that a replaced engine is seen.
KVELEngine& engine();

// The record of that class and ID, or null when there is none (or it is of another type).
template <class Record> std::unique_ptr<Record> fetchRecord(CLASSID_e classID, Uint32 objectID)
{
    std::unique_ptr<ManagedObject> object(engine().getObject(classID, objectID));
    Record* record = dynamic_cast<Record*>(object.get());
    if (!record) return nullptr;
    object.release();
    return std::unique_ptr<Record>(record);
}

// Volume records: the volumes (settings false) or the volume setting records (settings true).
Array<Uint32> volumeRecordIDs(bool settings);

// The object ID held as hexadecimal text in the key of that name (ignoring case); 0 when the
// path has no such key or its text is not a hexadecimal object ID.
Uint32 keyObjectID(const CIMObjectPath& path, const char* keyName);

// The engine's text for a result code.
String engineText(Uint32 resultCode);

} // namespace inventory

PEGASUS_NAMESPACE_END

#endif
