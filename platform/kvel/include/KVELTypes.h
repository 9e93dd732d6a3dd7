// Basic types of the storage engine: engine class ids, object IDs, task keys and engine time.
#ifndef KVEL_KVELTypes_h
#define KVEL_KVELTypes_h

#include <vector>
#include <Pegasus/Common/Config.h>

// Engine classes keep default visibility so that their typeinfo is shared with modules that are
// built with -fvisibility=hidden (exceptions thrown here are caught there).
#define KVEL_LINKAGE __attribute__((visibility("default")))

PEGASUS_NAMESPACE_BEGIN

// Engine class ids. An object ID is 32 bits with the class id in the top byte and a
// per-class number (never 0) in the low 24 bits, e.g. 0x37000003 is the third pool.
enum CLASSID_e
{
    CLASSID_NONE = 0x00,
    CLASSID_TASK = 0x36,           // 54
    CLASSID_STORAGEPOOL = 0x37,    // 55
    CLASSID_DRIVE = 0x38,          // 56
    CLASSID_COMPUTERSYSTEM = 0x39, // 57: the array and its two controller blades
    CLASSID_VOLUME = 0x3a          // 58: volumes and volume setting records
};

// No record has this ID; it is what malformed identifiers turn into.
const Uint32 KVEL_NULL_OBJECT_ID = 0;

inline CLASSID_e kvelClassOf(Uint32 objectID) { return CLASSID_e(objectID >> 24); }
inline Uint32 kvelMakeObjectID(CLASSID_e classID, Uint32 number)
{
    return (Uint32(classID) << 24) | (number & 0x00FFFFFF);
}

// Engine time: microseconds since 1970-01-01T00:00:00 UTC on the engine's clock.
typedef Uint64 MPU_TIME;

// A task key: the bytes by which a task is known outside the engine.
typedef std::vector<Uint8> KVELKey;

PEGASUS_NAMESPACE_END

#endif
