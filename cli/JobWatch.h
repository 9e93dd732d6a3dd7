// Watching a job to its end, with a progress line. Ctrl-C stops the watching, not the job.
#ifndef SCSCTL_JobWatch_h
#define SCSCTL_JobWatch_h

#include <cstdio>
#include <string>

#include "CimClient.h"
#include "Failures.h"

namespace scsctl
{

// Follows the job until it is Completed (ExitOk) or ends otherwise: then prints its error
// description and answers ExitJobFailed. With "indicationsFrom", it learns of the job's changes
// from indications when the server takes a subscription (and reads the job only when none has
// come for a while); else, or when the server refuses, it polls. On a terminal the bar is redrawn in place;
// elsewhere one line is printed for each change; "out" is where (standard error when standard output carries
// JSON). On Ctrl-C, prints "resumeCommand JOB" there and answers ExitInterrupted.
ExitStatus watchJob(CimClient& client, const std::string& jobId, const std::string& resumeCommand,
                    std::FILE* out, const ConnectionOptions* indicationsFrom = nullptr);

} // namespace scsctl

#endif
