// Engine result codes and their texts.
#ifndef KVEL_KVELErrorCodes_h
#define KVEL_KVELErrorCodes_h

#include <Pegasus/Common/Config.h>
#include <KVELTypes.h>

PEGASUS_NAMESPACE_BEGIN

// Every engine operation returns one of these. 1 is success; 2 and 3 are successes too.
//
//  code | name                          | when
//  -----+-------------------------------+---------------------------------------------------------------
//    0  | KVEL_RC_NO_RESULT             | never returned by the engine; "no result yet"
//    1  | KVEL_RC_SUCCESS               | done, or the task that does it was started
//    2  | KVEL_RC_SUCCESS_QUEUED        | accepted; the task waits for its scheduled start time
//    3  | KVEL_RC_SUCCESS_NO_CHANGE     | nothing to do (e.g. priority already set, drive already in pool)
//    4  | KVEL_RC_CONTROLLER_STATE      | refused in the controller's present state (shutdown/upgrade order)
//    5  | KVEL_RC_INTERNAL_ERROR        | engine invariant broken (should not happen)
//    6  | KVEL_RC_PARTNER_UNAVAILABLE   | the partner controller cannot take over (failover)
//    7  | KVEL_RC_NOT_SUPPORTED         | the operation is not supported for this object class
//    8  | KVEL_RC_TOO_MANY_TASKS        | the task table is full
//    9  | KVEL_RC_STATE_NOT_SAVED       | the change was made but the durable state file could not be written
//   10  | KVEL_RC_TIMEOUT               | the controller did not answer in time
//   11  | KVEL_RC_UNKNOWN_CLASS         | the class id names no engine class
//   12  | KVEL_RC_CLASS_MISMATCH        | the record passed is not of the class named
//   13  | KVEL_RC_INSUFFICIENT_CAPACITY | the pool has too little free space for the volume or growth
//   14  | KVEL_RC_NO_SUCH_OBJECT        | the object ID names no record
//   15  | KVEL_RC_NO_SUCH_VOLUME        | the object ID names no volume (or names a setting record)
//   16  | KVEL_RC_NO_SUCH_DRIVE         | the object ID names no drive
//   17  | KVEL_RC_NO_SUCH_POOL          | the object ID names no pool
//   18  | KVEL_RC_NO_SUCH_TASK          | the object ID names no task
//   19  | KVEL_RC_INVALID_SIZE          | size 0, or a grow to a smaller size
//   20  | KVEL_RC_INVALID_LAYOUT        | stripe width, mirror count, chunk size or organization unusable
//   21  | KVEL_RC_INVALID_NAME          | empty or over-long volume name
//   22  | KVEL_RC_INVALID_DRIVE_LIST    | too few drives for the layout, a drive twice, or too many drives
//   23  | KVEL_RC_DRIVE_NOT_AVAILABLE   | a drive is down, failed, initialising or in another pool
//   24  | KVEL_RC_INVALID_PARAMETER     | another argument is out of range
//   25  | KVEL_RC_OPERATION_FAILED      | the operation failed for another reason
//   26  | KVEL_RC_OBJECT_BUSY           | a task already works on the object
//   27  | KVEL_RC_TASK_TIMEOUT          | a task did not finish in its time limit
//   28  | KVEL_RC_INVALID_SCHEDULE      | the schedule of a task is unusable
//   29  | KVEL_RC_TASK_NOT_SUSPENDABLE  | suspend of a task that is not queued or running
//   30  | KVEL_RC_TASK_NOT_RESUMABLE    | resume of a task that is not suspended
//   31  | KVEL_RC_TASK_FINISHED         | the task has already completed, failed or been aborted
//   32  | KVEL_RC_VOLUME_NOT_REDUNDANT  | rebuild or parity work on a volume without redundancy
//   33  | KVEL_RC_DRIVE_FAILED          | a drive failed while the operation ran
//   34  | KVEL_RC_SHUTTING_DOWN         | the controller is shutting down
//   35  | KVEL_RC_FIRMWARE_IMAGE_INVALID| firmware image size 0 or larger than the staging area
//   36  | KVEL_RC_PERSISTENCE_IO_ERROR  | the persistence transfer file could not be read or written
//   37  | KVEL_RC_INVALID_PERSISTENCE_SETTING | unknown persistence setting
//   38  | KVEL_RC_INVALID_DISK_LINE_MODE| unknown disk line mode
//   39  | KVEL_RC_INVALID_PERIODICITY   | unknown periodicity unit or periodicity 0
//   40  | KVEL_RC_INVALID_COMMAND       | unknown task command code in modifyObject
//   41  | KVEL_RC_DRIVE_IN_USE          | the drive holds volume data and cannot be moved or taken down
//   42  | KVEL_RC_SETTING_IN_USE        | the volume setting record is already a volume
//   43  | KVEL_RC_OUT_OF_ORDER          | a second step without its first (complete shutdown, activate)
enum KVELResultCode
{
    KVEL_RC_NO_RESULT = 0,
    KVEL_RC_SUCCESS = 1,
    KVEL_RC_SUCCESS_QUEUED = 2,
    KVEL_RC_SUCCESS_NO_CHANGE = 3,
    KVEL_RC_CONTROLLER_STATE = 4,
    KVEL_RC_INTERNAL_ERROR = 5,
    KVEL_RC_PARTNER_UNAVAILABLE = 6,
    KVEL_RC_NOT_SUPPORTED = 7,
    KVEL_RC_TOO_MANY_TASKS = 8,
    KVEL_RC_STATE_NOT_SAVED = 9,
    KVEL_RC_TIMEOUT = 10,
    KVEL_RC_UNKNOWN_CLASS = 11,
    KVEL_RC_CLASS_MISMATCH = 12,
    KVEL_RC_INSUFFICIENT_CAPACITY = 13,
    KVEL_RC_NO_SUCH_OBJECT = 14,
    KVEL_RC_NO_SUCH_VOLUME = 15,
    KVEL_RC_NO_SUCH_DRIVE = 16,
    KVEL_RC_NO_SUCH_POOL = 17,
    KVEL_RC_NO_SUCH_TASK = 18,
    KVEL_RC_INVALID_SIZE = 19,
    KVEL_RC_INVALID_LAYOUT = 20,
    KVEL_RC_INVALID_NAME = 21,
    KVEL_RC_INVALID_DRIVE_LIST = 22,
    KVEL_RC_DRIVE_NOT_AVAILABLE = 23,
    KVEL_RC_INVALID_PARAMETER = 24,
    KVEL_RC_OPERATION_FAILED = 25,
    KVEL_RC_OBJECT_BUSY = 26,
    KVEL_RC_TASK_TIMEOUT = 27,
    KVEL_RC_INVALID_SCHEDULE = 28,
    KVEL_RC_TASK_NOT_SUSPENDABLE = 29,
    KVEL_RC_TASK_NOT_RESUMABLE = 30,
    KVEL_RC_TASK_FINISHED = 31,
    KVEL_RC_VOLUME_NOT_REDUNDANT = 32,
    KVEL_RC_DRIVE_FAILED = 33,
    KVEL_RC_SHUTTING_DOWN = 34,
    KVEL_RC_FIRMWARE_IMAGE_INVALID = 35,
    KVEL_RC_PERSISTENCE_IO_ERROR = 36,
    KVEL_RC_INVALID_PERSISTENCE_SETTING = 37,
    KVEL_RC_INVALID_DISK_LINE_MODE = 38,
    KVEL_RC_INVALID_PERIODICITY = 39,
    KVEL_RC_INVALID_COMMAND = 40,
    KVEL_RC_DRIVE_IN_USE = 41,
    KVEL_RC_SETTING_IN_USE = 42,
    KVEL_RC_OUT_OF_ORDER = 43
};

class KVEL_LINKAGE KVELErrorCodes
{
public:
    // Index of a result code in the text table; codes beyond the table share the last index,
    // whose text is "unknown engine result code".
    static Uint32 getIndex(Uint32 resultCode);
    static const char* getTextForIndex(Uint32 index);
};

PEGASUS_NAMESPACE_END

#endif
