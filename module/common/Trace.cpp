#include "Trace.h"

PEGASUS_NAMESPACE_BEGIN

const char* const TRACE_NORMAL = ":----";
const char* const TRACE_ERROR = ":ERR!";

void traceWritePrefix(const char* file, int line, const char* marker)
{
    std::cout << ProviderTraceServices::ptsGetTimeStampString() << " "
              << ProviderTraceServices::ptsGetPidString() << " "
              << ProviderTraceServices::ptsGetFileLineString(file, line, 30) << marker << ": "
              << ProviderTraceServices::ptsGetIndentString();
}

PEGASUS_NAMESPACE_END
