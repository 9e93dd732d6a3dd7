// Ctrl-C as a flag for the length of a scope, so that a command can stop between its steps (and
// undo what it made) rather than die in the middle of one.
#ifndef SCSCTL_InterruptFlag_h
#define SCSCTL_InterruptFlag_h

#include <csignal>

namespace scsctl
{

// SIGINT sets the flag while the object lives; the previous handling comes back after it. Scopes
// may nest: the inner one starts with the flag down.
class InterruptFlag
{
public:
    InterruptFlag();
    ~InterruptFlag();
    InterruptFlag(const InterruptFlag&) = delete;
    InterruptFlag& operator=(const InterruptFlag&) = delete;

    bool raised() const;

private:
    struct sigaction _previous = {};
};

} // namespace scsctl

#endif
