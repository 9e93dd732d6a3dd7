// Controller-level enums: persistence settings and the disk line mode of the controller pair.
#ifndef KVEL_KVELController_h
#define KVEL_KVELController_h

#include <KVELTypes.h>

PEGASUS_NAMESPACE_BEGIN

class KVEL_LINKAGE KVELController
{
public:
    // Where a persistence block is stored: this controller, its partner, or both.
    // getPersistenceData reads this controller's block.
    enum PersistenceEnum : Uint16
    {
        PERSISTENCE_LOCAL = 0,
        PERSISTENCE_PARTNER = 1,
        PERSISTENCE_BOTH = 2
    };
};

class KVEL_LINKAGE KVELRedundantPair
{
public:
    enum DiskLineModeEnum : Uint16
    {
        DISK_LINE_MODE_SINGLE = 0,   // one controller owns every drive line
        DISK_LINE_MODE_SHARED = 1,   // both controllers reach every drive
        DISK_LINE_MODE_SPLIT = 2     // each controller owns half of the lines
    };
};

PEGASUS_NAMESPACE_END

#endif
