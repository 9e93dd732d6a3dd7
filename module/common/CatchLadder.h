// The one way every CIM operation of the module ends: its body runs inside four catch clauses
// that trace the failure, publish an event for failures that are not CIM exceptions, and let
// only CIM exceptions leave the module.
#ifndef SCS_CatchLadder_h
#define SCS_CatchLadder_h

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/Exception.h>
#include <Pegasus/Provider/ProviderException.h>

PEGASUS_NAMESPACE_BEGIN

struct LadderSite
{
    const char* file;      // the operation's source file name, as trace lines carry it
    int line;              // the line of the ladder, for trace lines, events and the unknown-type text
    const char* operation; // the bare operation name the event carries, e.g. "getInstance"
    // Lower the trace suppression by one when a CIMObjectNotFoundException passes (the job
    // lookup raised it on entry).
    bool lowerSuppressionOnNotFound;
};

void ladderOnNotFound(const LadderSite& site, const CIMObjectNotFoundException& e);
void ladderOnCIMException(const LadderSite& site, const CIMException& e);
CIMException ladderOnException(const LadderSite& site, const Exception& e);
CIMException ladderOnUnknown(const LadderSite& site);

// True when the message starts, ignoring case, with one of the prefixes of failures that are
// expected in normal use (traced as warnings rather than errors).
bool ladderIsExpectedFailure(const String& message);

template <class Body> void runInCatchLadder(const LadderSite& site, Body&& body)
{
    try
    {
        body();
    }
    catch (CIMObjectNotFoundException& e)
    {
        ladderOnNotFound(site, e);
        throw;
    }
    catch (CIMException& e)
    {
        ladderOnCIMException(site, e);
        throw;
    }
    catch (Exception& e)
    {
        throw ladderOnException(site, e);
    }
    catch (...)
    {
        throw ladderOnUnknown(site);
    }
}

PEGASUS_NAMESPACE_END

// The ladder site of the current line for the named operation.
#define SCS_LADDER_SITE(OPERATION) (::Pegasus::LadderSite{SCS_TRACE_FILE, __LINE__, OPERATION, false})

#endif
