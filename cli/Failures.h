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

// A failure with the message to print and the exit status to end with. The message is in the
// operator's words; the detail, printed with --verbose, is what the server said (the CIM
// operation, status and path) when the message explains it otherwise.
class Failure : public std::runtime_error
{
public:
    Failure(ExitStatus status, const std::string& message, std::string detail = std::string())
        : std::runtime_error(message), status(status), detail(std::move(detail))
    {
    }
    ExitStatus status;
    std::string detail;
};

// The same failure told in other words, the server's words kept as its detail.
inline Failure explained(const Failure& cause, const std::string& message)
{
    std::string detail = cause.what();
    if (!cause.detail.empty()) detail += "\n" + cause.detail;
    return Failure(cause.status, message, detail);
}

} // namespace scsctl

#endif
