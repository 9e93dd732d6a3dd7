#include "CatchLadder.h"
#include "Trace.h"

#include <SMIEventServices.h>

PEGASUS_NAMESPACE_BEGIN

namespace
{

const Uint8 EVENT_SOURCE = 29;

void publishFailureEvent(const LadderSite& site, const String& text)
{
    SMIEventServices::publishTextEvent(0, EMP_TYPE_ERROR, text, EVENT_SOURCE, Uint32(site.line),
                                       site.operation, site.file);
}

} // namespace

bool ladderIsExpectedFailure(const String& message)
{
    static const char* const prefixes[] = {"Too few objects delivered", "Requested device has SMART disabled",
                                           "Invalid Object handle"};
    for (const char* prefix : prefixes)
    {
        String wanted(prefix);
        if (String::equalNoCase(message.subString(0, wanted.size()), wanted)) return true;
    }
    return false;
}

void ladderOnNotFound(const LadderSite& site, const CIMObjectNotFoundException& e)
{
    traceLine(site.file, site.line, TRACE_NORMAL, "WARNING: CIMObjectNotFoundException - : '", e.getMessage(),
              "'");
    if (site.lowerSuppressionOnNotFound) ProviderTraceServices::ptsIncrementTraceSuppressForPid(-1);
}

void ladderOnCIMException(const LadderSite& site, const CIMException& e)
{
    ProviderTraceServices::ptsCancelTraceSuppressForPid();
    if (ladderIsExpectedFailure(e.getMessage()))
        traceLine(site.file, site.line, TRACE_NORMAL, "WARNING: CIMException - : '", e.getMessage(), "'");
    else
        traceLine(site.file, site.line, TRACE_ERROR, "ERROR: CIMException - : '", e.getMessage(), "'");
}

CIMException ladderOnException(const LadderSite& site, const Exception& e)
{
    ProviderTraceServices::ptsCancelTraceSuppressForPid();
    traceLine(site.file, site.line, TRACE_ERROR, "ERROR: Exception - : ", e.getMessage());
    publishFailureEvent(site, e.getMessage());
    return CIMException(CIM_ERR_FAILED, e.getMessage());
}

CIMException ladderOnUnknown(const LadderSite& site)
{
    ProviderTraceServices::ptsCancelTraceSuppressForPid();
    String text("ERROR: UNKNOWN EXCEPTION TYPE CAUGHT! - at ");
    text.append(String(site.file));
    text.appendPrintf("/%d", site.line);
    traceLine(site.file, site.line, TRACE_ERROR, text);
    publishFailureEvent(site, text);
    return CIMException(CIM_ERR_FAILED, text);
}

PEGASUS_NAMESPACE_END
