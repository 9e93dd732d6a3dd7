// Trace services of the array's providers: the fields of a trace line, method scopes that
// indent the lines written inside them, and the per-process trace suppression counter.
#ifndef SMIMO_ProviderTraceServices_h
#define SMIMO_ProviderTraceServices_h

#include <string>
#include <SMIMOTypes.h>

class SMIMO_LINKAGE ProviderTraceServices
{
public:
    // Lives for the duration of a method: writes an entry line when made and an exit line when
    // destroyed (while tracing is not suppressed), and indents the lines in between, per thread.
    // The lines go to std::cout, one insertion per line and no flush, as
    //   "<timestamp> <pid> <file:line, 30 wide>:----: <indent>Entering <method>"
    //   "<timestamp> <pid> <file:line, 30 wide>:----: <indent>Leaving <method>"
    // With trace false the scope writes nothing and does not indent.
    class SMIMO_LINKAGE TraceMethodClass
    {
    public:
        TraceMethodClass(const char* file, int line, const char* method, bool trace);
        ~TraceMethodClass();

    private:
        TraceMethodClass(const TraceMethodClass&) = delete;
        TraceMethodClass& operator=(const TraceMethodClass&) = delete;
        std::string _file;
        std::string _method;
        int _line;
        bool _trace;
    };

    // "2026-12-05 14:55:12.123456"
    static std::string ptsGetTimeStampString();
    // The process id, right-aligned in 7 characters.
    static std::string ptsGetPidString();
    // "file:line" padded with blanks or cut from the left to exactly width characters.
    static std::string ptsGetFileLineString(const char* file, int line, int width);
    // Two blanks per open method scope of the calling thread.
    static std::string ptsGetIndentString();

    // 0 when this process may trace, else how often it was raised (never negative). One atomic
    // load: callers ask it before every trace line.
    //
    // The environment variable SMIMO_TRACE, read once when the library loads, sets where the count
    // starts and how low it can go: "on" (or unset, or empty) 0, so the process traces; "off" 1,
    // so the process never traces, whatever the calls below do. Any other value is reported on
    // standard error and taken as "on".
    static int ptsGetTraceSuppressForPid();
    // Adds delta (negative lowers it); the count stays at its floor (0, or 1 with SMIMO_TRACE=off)
    // when lowered below it.
    static void ptsIncrementTraceSuppressForPid(int delta);
    // Back to the floor.
    static void ptsCancelTraceSuppressForPid();
};

#endif
