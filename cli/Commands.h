// The commands of scsctl, each answering its exit status. Failures are thrown (Failures.h).
#ifndef SCSCTL_Commands_h
#define SCSCTL_Commands_h

#include <cstdint>
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
    // "scsctl [the connection options] job wait": with a job ID, the line that watches it again.
    std::string resumeCommand;
    // How the client was connected, for commands that need a connection of their own.
    ConnectionOptions connection;
};

// Reading: every object of a kind as a table or a JSON array; one volume or job in detail.
ExitStatus listObjects(Session& session, const RecordKind& kind);
ExitStatus showVolume(Session& session, const std::string& volume);
ExitStatus showJob(Session& session, const std::string& job);

struct VolumeRequest
{
    std::string name;
    std::uint64_t size = 0;
    std::string pool;    // ID or name; empty: the base pool
    std::string layout;  // mirror, stripe, parity, double-parity; empty: the pool's default
    unsigned drives = 0; // 0: the pool's default
    bool force = false;  // a pool reserved for the array's own use is refused without it
    bool wait = false;
};
ExitStatus createVolume(Session& session, const VolumeRequest& request);
ExitStatus growVolume(Session& session, const std::string& volume, std::uint64_t size, bool wait);
ExitStatus deleteVolume(Session& session, const std::string& volume, bool confirmed, bool wait);

ExitStatus waitJob(Session& session, const std::string& job);
// action: suspend, resume, abort or delete. With --json, prints the job as it is after it.
// Aborting or deleting a creation that has not finished asks first (confirmed: --yes).
ExitStatus controlJob(Session& session, const std::string& action, const std::string& job, bool confirmed);

struct ScanRequest
{
    std::string volume;
    bool parity = false;       // a parity scan rather than a media scan
    std::string at;            // empty: now
    unsigned every = 0;        // 0: once
    std::string unit = "days"; // minutes, hours, days, weeks, months
    bool wait = false;
};
ExitStatus scanVolume(Session& session, const ScanRequest& request);

// What a method that may start a job answered: the job's ID, or empty when it finished at once.
std::string startedJob(const MethodAnswer& answer);
// Reports a started job, and watches it when asked.
ExitStatus followJob(Session& session, const std::string& job, bool wait);

struct WatchRequest
{
    std::string listen; // --listen ADDR[:PORT]; empty: the address the server sees scsctl at
    bool jobs = false;  // none of the three: all of them
    bool volumes = false;
    bool alerts = false;
    unsigned count = 0;    // stop after this many were shown; 0: no end
    unsigned duration = 0; // stop after this many seconds; 0: no end
};
// Subscribes to the array's indications with a listener of its own and prints each as it comes
// until Ctrl-C, SIGTERM, --count or --duration; then removes the subscription.
ExitStatus watchIndications(Session& session, const WatchRequest& request);

} // namespace scsctl

#endif
