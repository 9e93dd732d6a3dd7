#include "ProgressLine.h"

#include <algorithm>

#include <fmt/format.h>

namespace scsctl
{

std::string durationText(std::uint64_t seconds)
{
    if (seconds >= 3600)
        return fmt::format("{}:{:02}:{:02}", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return fmt::format("{}:{:02}", seconds / 60, seconds % 60);
}

std::string progressBar(const JobProgress& progress, unsigned barWidth)
{
    const unsigned percent = std::min(progress.percent, 100u);
    const unsigned filled = barWidth * percent / 100;
    return fmt::format("[{}{}] {:>3}%  {}  {}", std::string(filled, '#'), std::string(barWidth - filled, '-'),
                       percent, progress.state, durationText(progress.elapsedSeconds));
}

std::string progressText(const JobProgress& progress)
{
    return fmt::format("job {}: {} {}% after {}", progress.id, progress.state,
                       std::min(progress.percent, 100u), durationText(progress.elapsedSeconds));
}

} // namespace scsctl
