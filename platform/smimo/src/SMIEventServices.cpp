#include <SMIEventServices.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <fstream>
#include <mutex>
#include <nlohmann/json.hpp>

PEGASUS_NAMESPACE_BEGIN

namespace
{

// Enough for a test or an operator to look back on; a long-running server must not grow forever.
const std::size_t MAX_RECORDED_EVENTS = 4096;

std::mutex& eventMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::deque<SMIEventRecord>& recorded()
{
    static std::deque<SMIEventRecord> events;
    return events;
}

std::string textOf(const char* text)
{
    return text ? std::string(text) : std::string();
}

std::string utcNow()
{
    const auto now = std::chrono::system_clock::now();
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = std::time_t(micros / 1000000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%04d-%02d-%02dT%02d:%02d:%02d.%06dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, int(micros % 1000000));
    return buffer;
}

void appendToLog(const SMIEventRecord& event)
{
    const char* fileName = std::getenv("SMIMO_EVENT_LOG");
    if (!fileName || !*fileName) return;
    const nlohmann::json line = {
        {"time", event.time}, {"code", event.code},           {"type", int(event.type)},
        {"text", event.text}, {"keyValue", event.keyValue},   {"source", event.source},
        {"line", event.line}, {"operation", event.operation}, {"file", event.file}};
    std::ofstream log(fileName, std::ios::app);
    if (log) log << line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

struct Listeners
{
    std::mutex mutex;
    std::vector<std::shared_ptr<SMIEventListener>> list;
};

Listeners& listeners()
{
    static Listeners* instance = new Listeners(); // outlives publications from static destructors
    return *instance;
}

void publish(SMIEventRecord event)
{
    event.time = utcNow();
    {
        std::lock_guard<std::mutex> lock(eventMutex());
        // Events from different threads reach the record and the file in the same order.
        appendToLog(event);
        std::deque<SMIEventRecord>& events = recorded();
        if (events.size() == MAX_RECORDED_EVENTS) events.pop_front();
        events.push_back(event);
    }
    std::vector<std::shared_ptr<SMIEventListener>> told;
    {
        std::lock_guard<std::mutex> lock(listeners().mutex);
        told = listeners().list;
    }
    for (const auto& listener : told)
    {
        try
        {
            listener->eventPublished(event);
        }
        catch (...)
        {
            // A listener's failure never fails the publisher.
        }
    }
}

SMIEventRecord makeRecord(Uint32 code, EMP_TYPE_e type, std::string text, std::string keyValue, Uint8 source,
                          Uint32 line, const char* operation, const char* file)
{
    SMIEventRecord event;
    event.code = code;
    event.type = type;
    event.text = std::move(text);
    event.keyValue = std::move(keyValue);
    event.source = source;
    event.line = line;
    event.operation = textOf(operation);
    event.file = textOf(file);
    return event;
}

} // namespace

void SMIEventServices::publishTextEvent(Uint32 code, EMP_TYPE_e type, const String& text, Uint8 source,
                                        Uint32 line, const char* operation, const char* file)
{
    publish(
        makeRecord(code, type, std::string(text.getCString()), std::string(), source, line, operation, file));
}

void SMIEventServices::publishTextEvent(Uint32 code, EMP_TYPE_e type, const char* text, Uint8 source,
                                        Uint32 line, const char* operation, const char* file)
{
    publish(makeRecord(code, type, textOf(text), std::string(), source, line, operation, file));
}

void SMIEventServices::publishKeyValueEvent(Uint32 code, EMP_TYPE_e type, const char* text,
                                            const char* keyValue, Uint8 source, Uint32 line,
                                            const char* operation, const char* file)
{
    publish(makeRecord(code, type, textOf(text), textOf(keyValue), source, line, operation, file));
}

SMIEventListener::~SMIEventListener() = default;

void SMIEventServices::addListener(const std::shared_ptr<SMIEventListener>& listener)
{
    std::lock_guard<std::mutex> lock(listeners().mutex);
    listeners().list.push_back(listener);
}

void SMIEventServices::removeListener(const SMIEventListener* listener)
{
    std::lock_guard<std::mutex> lock(listeners().mutex);
    auto& list = listeners().list;
    for (auto it = list.begin(); it != list.end();)
        it = it->get() == listener ? list.erase(it) : it + 1;
}

std::vector<SMIEventRecord> SMIEventServices::recordedEvents()
{
    std::lock_guard<std::mutex> lock(eventMutex());
    return std::vector<SMIEventRecord>(recorded().begin(), recorded().end());
}

void SMIEventServices::clearRecordedEvents()
{
    std::lock_guard<std::mutex> lock(eventMutex());
    recorded().clear();
}

PEGASUS_NAMESPACE_END
