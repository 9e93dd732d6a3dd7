#include "Trace.h"

PEGASUS_NAMESPACE_BEGIN

const char* const TRACE_NORMAL = ":----";
const char* const TRACE_ERROR = ":ERR!";

namespace
{

std::ostringstream& threadLineBuffer()
{
    thread_local std::ostringstream buffer;
    buffer.str(std::string());
    return buffer;
}

} // namespace

TraceLine::TraceLine(const char* file, int line, const char* marker)
    : _buffer(threadLineBuffer()), _text(_buffer)
{
    _buffer << ProviderTraceServices::ptsGetTimeStampString() << " " << ProviderTraceServices::ptsGetPidString()
            << " " << ProviderTraceServices::ptsGetFileLineString(file, line, 30) << marker << ": "
            << ProviderTraceServices::ptsGetIndentString();
}

TraceLine::~TraceLine()
{
    _buffer << '\n';
    const std::string line = _buffer.str();
    std::cout.write(line.data(), static_cast<std::streamsize>(line.size()));
    std::cout.flush();
}

PEGASUS_NAMESPACE_END
