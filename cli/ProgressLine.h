// The line that shows a job's progress: a bar on a terminal, plain text elsewhere.
#ifndef SCSCTL_ProgressLine_h
#define SCSCTL_ProgressLine_h

#include <cstdint>
#include <string>

namespace scsctl
{

struct JobProgress
{
    std::string id;
    std::string state; // "Running", "Completed", ...
    unsigned percent = 0;
    std::uint64_t elapsedSeconds = 0;
};

// "[##########----------]  50%  Running  0:07" (the bar barWidth wide).
std::string progressBar(const JobProgress& progress, unsigned barWidth);
// "job 3600000100000001: Running 50% after 0:07".
std::string progressText(const JobProgress& progress);
// "0:07", "12:00", "1:02:03".
std::string durationText(std::uint64_t seconds);

} // namespace scsctl

#endif
