// The array's event service. Every published event is kept in memory (for tests and for the
// server to show; the oldest are dropped beyond a few thousand) and, when the environment names
// a file in SMIMO_EVENT_LOG, appended to it as one JSON object per line. A log file that cannot
// be written never fails the publisher. Safe to use from many threads.
#ifndef SMIMO_SMIEventServices_h
#define SMIMO_SMIEventServices_h

#include <memory>
#include <string>
#include <vector>
#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/String.h>
#include <SMIMOTypes.h>

PEGASUS_NAMESPACE_BEGIN

enum EMP_TYPE_e
{
    EMP_TYPE_INFORMATION = 1,
    EMP_TYPE_WARNING = 2,
    EMP_TYPE_ERROR = 3
};

struct SMIMO_LINKAGE SMIEventRecord
{
    std::string time; // UTC wall-clock time of publication, "2026-12-05T14:55:12.123456Z"
    Uint32 code;
    EMP_TYPE_e type;
    std::string text;
    std::string keyValue; // empty for text events
    Uint8 source;
    Uint32 line;
    std::string operation;
    std::string file;
};

// Told of every event as it is published (an indication provider turns them into alerts).
class SMIMO_LINKAGE SMIEventListener
{
public:
    virtual ~SMIEventListener();
    // On the publisher's thread, after the event is recorded and outside the service's lock.
    virtual void eventPublished(const SMIEventRecord& event) = 0;
};

class SMIMO_LINKAGE SMIEventServices
{
public:
    static void publishTextEvent(Uint32 code, EMP_TYPE_e type, const String& text, Uint8 source, Uint32 line,
                                 const char* operation, const char* file);
    static void publishTextEvent(Uint32 code, EMP_TYPE_e type, const char* text, Uint8 source, Uint32 line,
                                 const char* operation, const char* file);
    static void publishKeyValueEvent(Uint32 code, EMP_TYPE_e type, const char* text, const char* keyValue,
                                     Uint8 source, Uint32 line, const char* operation, const char* file);

    // The events published so far in this process (oldest first), and a way to forget them.
    static std::vector<SMIEventRecord> recordedEvents();
    static void clearRecordedEvents();

    // The service keeps a listener (shared) until it is removed; a publication already under way
    // may still reach it after removeListener returns.
    static void addListener(const std::shared_ptr<SMIEventListener>& listener);
    static void removeListener(const SMIEventListener* listener);
};

PEGASUS_NAMESPACE_END

#endif
