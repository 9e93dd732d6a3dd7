// Watching a job to its end, with a progress line. Ctrl-C stops the watching, not the job.
#ifndef SCSCTL_JobWatch_h
#define SCSCTL_JobWatch_h

#include <cstdio>
#include <string>

#include "CimClient.h"
#include "Failures.h"

namespace scsctl
{

// Polls the job until it is Completed (ExitOk) or ends otherwise: then prints its error description
// and answers ExitJobFailed. On a terminal the bar is redrawn in place; elsewhere
// one line is printed for each change; "out" is where (standard error when standard output
// carries JSON). On Ctrl-C, prints "resumeCommand JOB" there and answers ExitInterrupted.
ExitStatus watchJob(CimClient& client, const std::string& jobId, const std::string& resumeCommand,
                    std::FILE* out);

} // namespace scsctl

#endif
