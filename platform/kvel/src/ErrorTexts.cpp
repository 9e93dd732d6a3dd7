#include <KVELErrorCodes.h>

PEGASUS_NAMESPACE_BEGIN

namespace
{
// Indexed by result code; the last entry stands for every code beyond the table.
const char* const TEXTS[] = {"no result",                                                      // 0
                             "success",                                                        // 1
                             "accepted; the task waits for its scheduled start time",          // 2
                             "success, nothing to change",                                     // 3
                             "refused in the controller's present state",                      // 4
                             "internal engine error",                                          // 5
                             "the partner controller cannot take over",                        // 6
                             "operation not supported for this object class",                  // 7
                             "the task table is full",                                         // 8
                             "the change was made but the engine state could not be saved",    // 9
                             "the controller did not answer in time",                          // 10
                             "unknown object class",                                           // 11
                             "the record is not of the class named",                           // 12
                             "insufficient free capacity in the pool",                         // 13
                             "no such object",                                                 // 14
                             "no such volume",                                                 // 15
                             "no such drive",                                                  // 16
                             "no such pool",                                                   // 17
                             "no such task",                                                   // 18
                             "invalid volume size",                                            // 19
                             "invalid volume layout",                                          // 20
                             "invalid volume name",                                            // 21
                             "invalid drive list for the layout",                              // 22
                             "a drive is not available",                                       // 23
                             "invalid parameter",                                              // 24
                             "operation failed",                                               // 25
                             "a task is already working on the object",                        // 26
                             "the task did not finish in its time limit",                      // 27
                             "invalid task schedule",                                          // 28
                             "the task is neither queued nor running and cannot be suspended", // 29
                             "the task is not suspended and cannot be resumed",                // 30
                             "the task has already finished",                                  // 31
                             "the volume has no redundancy",                                   // 32
                             "a drive failed during the operation",                            // 33
                             "the controller is shutting down",                                // 34
                             "invalid firmware image size",                                    // 35
                             "the persistence transfer file could not be read or written",     // 36
                             "unknown persistence setting",                                    // 37
                             "unknown disk line mode",                                         // 38
                             "invalid periodicity",                                            // 39
                             "unknown task command",                                           // 40
                             "the drive holds volume data",                                    // 41
                             "the volume setting is already in use by a volume",               // 42
                             "operation out of order: its first step is missing",              // 43
                             "unknown engine result code"};

const Uint32 LAST_INDEX = sizeof(TEXTS) / sizeof(TEXTS[0]) - 1;
} // namespace

Uint32 KVELErrorCodes::getIndex(Uint32 resultCode)
{
    return resultCode < LAST_INDEX ? resultCode : LAST_INDEX;
}

const char* KVELErrorCodes::getTextForIndex(Uint32 index)
{
    return TEXTS[index < LAST_INDEX ? index : LAST_INDEX];
}

PEGASUS_NAMESPACE_END
