// What can go wrong in a command, each with the exit status it ends the program with.
#ifndef SCSCTL_Failures_h
#define SCSCTL_Failures_h

#include <stdexcept>
#include <string>

namespace scsctl
{

enum ExitStatus
{
    ExitOk = 0,
    ExitRefused = 1,   // a CIM error, a failure return value, nothing of that name, an unconfirmed deletion
    ExitUsage = 2,     // the command line is wrong
    ExitNoContact = 3, // cannot connect, TLS or authentication failed, no answer in time
    ExitJobFailed = 4, // a job that was watched ended other than Completed
    ExitInterrupted = 130 // Ctrl-C while watching a job (which goes on), as shells report SIGINT
};

// A failure with the message to print and the exit status to end with.
class Failure : public std::runtime_error
{
public:
    Failure(ExitStatus status, const std::string& message) : std::runtime_error(message), status(status) {}
    ExitStatus status;
};

} // namespace scsctl

#endif
