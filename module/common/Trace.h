// The module's trace line: timestamp, process id, file-line field, marker, ": ", indent, text,
// end of line. Every line is guarded by one call of ptsGetTraceSuppressForPid() made before any
// piece is computed (the SCS_TRACE macro keeps its arguments unevaluated when suppressed).
//
// Numbers in the text are decimal, except right after a literal that ends in "0x": that one
// number is written in lower-case hexadecimal. The base never carries over to a later number or
// line.
#ifndef SCS_Trace_h
#define SCS_Trace_h

#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <type_traits>
#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/String.h>
#include <Pegasus/Common/CIMName.h>
#include <ProviderTraceServices.h>

PEGASUS_NAMESPACE_BEGIN

extern const char* const TRACE_NORMAL; // ":----", ordinary lines and warnings
extern const char* const TRACE_ERROR;  // ":ERR!"

inline const char* traceBoolText(bool value)
{
    return value ? "TRUE" : "FALSE";
}

inline bool traceTracingAllowed()
{
    return ProviderTraceServices::ptsGetTraceSuppressForPid() == 0;
}

// Writes the text pieces of one line, applying the "0x" rule.
class TraceTextWriter
{
public:
    explicit TraceTextWriter(std::ostream& out) : _out(out) {}

    void put(const char* literal)
    {
        _out << literal;
        size_t n = std::strlen(literal);
        _hexNext = n >= 2 && literal[n - 2] == '0' && literal[n - 1] == 'x';
    }
    void put(const std::string& text) { putText(text); }
    void put(const String& text) { putText(text); }
    void put(const CIMName& name) { putText(name.getString()); }
    void put(bool) = delete; // write flags with traceBoolText, or as numbers explicitly

    template <class Number, class = typename std::enable_if<std::is_integral<Number>::value>::type>
    void put(Number value)
    {
        // Widen so that 8-bit values print as numbers, not characters.
        typedef typename std::conditional<std::is_signed<Number>::value, long long, unsigned long long>::type
            Wide;
        if (_hexNext)
            _out << std::hex << Wide(value) << std::dec;
        else
            _out << Wide(value);
        _hexNext = false;
    }

private:
    template <class Text> void putText(const Text& text)
    {
        _out << text;
        _hexNext = false;
    }

    std::ostream& _out;
    bool _hexNext = false;
};

// One trace line: pieces 1 to 8 (timestamp to indent) at once, the text through text(), the end
// of line and a flush when it goes out of scope. The line is built in a buffer of this thread and
// written to standard output in one piece, so that lines of concurrent requests never mix and no
// formatting state of the shared stream is touched.
class TraceLine
{
public:
    TraceLine(const char* file, int line, const char* marker);
    ~TraceLine();
    TraceLine(const TraceLine&) = delete;
    TraceLine& operator=(const TraceLine&) = delete;

    TraceTextWriter& text() { return _text; }

private:
    std::ostringstream& _buffer;
    TraceTextWriter _text;
};

// Writes one whole line; the caller has checked traceTracingAllowed().
template <class... Pieces>
void traceWriteLine(const char* file, int line, const char* marker, const Pieces&... pieces)
{
    TraceLine out(file, line, marker);
    (out.text().put(pieces), ...);
}

// Writes one line unless tracing is suppressed. The pieces are already computed; use SCS_TRACE
// where computing them costs anything.
template <class... Pieces>
void traceLine(const char* file, int line, const char* marker, const Pieces&... pieces)
{
    if (traceTracingAllowed()) traceWriteLine(file, line, marker, pieces...);
}

PEGASUS_NAMESPACE_END

// Each source file defines SCS_TRACE_FILE, the file name its lines carry.
#define SCS_TRACE(MARKER, ...)                                                                               \
    do                                                                                                       \
    {                                                                                                        \
        if (::Pegasus::traceTracingAllowed())                                                                \
            ::Pegasus::traceWriteLine(SCS_TRACE_FILE, __LINE__, MARKER, __VA_ARGS__);                        \
    } while (0)

// Opens the method trace scope of the enclosing function.
#define SCS_METHOD_SCOPE(QUALIFIED_NAME)                                                                     \
    ProviderTraceServices::TraceMethodClass scsMethodScope(SCS_TRACE_FILE, __LINE__, QUALIFIED_NAME, true)

#endif
