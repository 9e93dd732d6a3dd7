// The commands of scsctl, each answering its exit status. Failures are thrown (Failures.h).
#ifndef SCSCTL_Commands_h
#define SCSCTL_Commands_h

#include <string>

#include "CimClient.h"
#include "Failures.h"
#include "Records.h"

namespace scsctl
{

struct Session
{
    CimClient& client;
    bool json = false;
};

// Reading: every object of a kind as a table or a JSON array; one volume or job in detail.
ExitStatus listObjects(Session& session, const RecordKind& kind);
ExitStatus showVolume(Session& session, const std::string& volume);
ExitStatus showJob(Session& session, const std::string& job);

} // namespace scsctl

#endif
