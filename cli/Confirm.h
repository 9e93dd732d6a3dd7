// Asking before what cannot be undone: on a terminal a y/N question, elsewhere a refusal unless
// --yes was given.
#ifndef SCSCTL_Confirm_h
#define SCSCTL_Confirm_h

#include <string>

namespace scsctl
{

// Returns when confirmed (or given --yes); throws Failure(ExitRefused) otherwise. "what" names the
// deed: "deleting volume demo (3A00000C)"; "question" is asked on the terminal.
void confirmOrRefuse(bool confirmed, const std::string& what, const std::string& question);

} // namespace scsctl

#endif
