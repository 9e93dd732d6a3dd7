#include <ProviderTraceServices.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <unistd.h>

namespace
{

// Per process: never negative, so the getter can hand out the bare load.
std::atomic<int> traceSuppression(0);

// Per thread: the method scopes open on this thread.
thread_local int openScopes = 0;

void writeScopeLine(const std::string& file, int line, const char* verb, const std::string& method)
{
    // One insertion per line keeps concurrent lines from mixing mid-line.
    const std::string text = ProviderTraceServices::ptsGetTimeStampString() + " " +
                             ProviderTraceServices::ptsGetPidString() + " " +
                             ProviderTraceServices::ptsGetFileLineString(file.c_str(), line, 30) +
                             ":----: " + ProviderTraceServices::ptsGetIndentString() + verb + " " + method;
    std::cout << text << std::endl;
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
        next = wanted < 0 ? 0 : wanted > INT_MAX ? INT_MAX : int(wanted);
    } while (!traceSuppression.compare_exchange_weak(current, next, std::memory_order_relaxed));
}

void ProviderTraceServices::ptsCancelTraceSuppressForPid()
{
    traceSuppression.store(0, std::memory_order_relaxed);
}
