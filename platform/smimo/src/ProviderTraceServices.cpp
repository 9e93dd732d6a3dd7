#include <ProviderTraceServices.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <strings.h>
#include <unistd.h>

namespace
{

// SMIMO_TRACE, read once as the library loads: "off" silences the process for its whole life;
// "on", empty or unset leave tracing to the suppression calls. Any other value is reported on
// standard error and taken as "on".
int suppressionFloorFromEnvironment()
{
    const char* value = std::getenv("SMIMO_TRACE");
    if (!value || !*value || strcasecmp(value, "on") == 0) return 0;
    if (strcasecmp(value, "off") == 0) return 1;
    std::fprintf(stderr, "SMIMO_TRACE: unknown value '%s' (on or off); tracing stays on\n", value);
    return 0;
}

// The suppression never drops below this: lowering or cancelling it cannot turn on a tracing
// that the environment turned off.
const int suppressionFloor = suppressionFloorFromEnvironment();

// Per process: never below the floor, so the getter can hand out the bare load.
std::atomic<int> traceSuppression(suppressionFloor);

// Per thread: the method scopes open on this thread.
thread_local int openScopes = 0;

void writeScopeLine(const std::string& file, int line, const char* verb, const std::string& method)
{
    // One insertion per line, end of line included, keeps concurrent lines from mixing mid-line.
    // Flushed like every other trace line: a server that never flushes standard output would
    // otherwise hold an operation's last line until some later request's flush, or lose it.
    const std::string text =
        ProviderTraceServices::ptsGetTimeStampString() + " " + ProviderTraceServices::ptsGetPidString() +
        " " + ProviderTraceServices::ptsGetFileLineString(file.c_str(), line, 30) +
        ":----: " + ProviderTraceServices::ptsGetIndentString() + verb + " " + method + "\n";
    std::cout << text << std::flush;
}

} // namespace

ProviderTraceServices::TraceMethodClass::TraceMethodClass(const char* file, int line, const char* method,
                                                          bool trace)
    : _file(file ? file : ""), _method(method ? method : ""), _line(line), _trace(trace)
{
    if (!_trace) return;
    if (ptsGetTraceSuppressForPid() == 0) writeScopeLine(_file, _line, "Entering", _method);
    ++openScopes;
}

ProviderTraceServices::TraceMethodClass::~TraceMethodClass()
{
    if (!_trace) return;
    --openScopes;
    if (ptsGetTraceSuppressForPid() == 0)
    {
        try
        {
            writeScopeLine(_file, _line, "Leaving", _method);
        }
        catch (...)
        {
            // A destructor runs during unwinding too; trace output never fails an operation.
        }
    }
}

std::string ProviderTraceServices::ptsGetTimeStampString()
{
    const auto now = std::chrono::system_clock::now();
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = std::time_t(micros / 1000000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%04d-%02d-%02d %02d:%02d:%02d.%06d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  int(micros % 1000000));
    return buffer;
}

std::string ProviderTraceServices::ptsGetPidString()
{
    char buffer[32];
    std::snprintf(buffer, sizeof(buffer), "%7ld", long(getpid()));
    return buffer;
}

std::string ProviderTraceServices::ptsGetFileLineString(const char* file, int line, int width)
{
    if (width <= 0) return std::string();
    std::string field = std::string(file ? file : "") + ":" + std::to_string(line);
    const std::size_t size = std::size_t(width);
    if (field.size() > size)
        field.erase(0, field.size() - size); // the end of a long path names the file
    else
        field.append(size - field.size(), ' ');
    return field;
}

std::string ProviderTraceServices::ptsGetIndentString()
{
    return std::string(std::size_t(openScopes > 0 ? openScopes : 0) * 2, ' ');
}

int ProviderTraceServices::ptsGetTraceSuppressForPid()
{
    return traceSuppression.load(std::memory_order_relaxed);
}

void ProviderTraceServices::ptsIncrementTraceSuppressForPid(int delta)
{
    int current = traceSuppression.load(std::memory_order_relaxed);
    int next;
    do
    {
        const long long wanted = (long long)current + delta;
        next = wanted < suppressionFloor ? suppressionFloor : wanted > INT_MAX ? INT_MAX : int(wanted);
    } while (!traceSuppression.compare_exchange_weak(current, next, std::memory_order_relaxed));
}

void ProviderTraceServices::ptsCancelTraceSuppressForPid()
{
    traceSuppression.store(suppressionFloor, std::memory_order_relaxed);
}
