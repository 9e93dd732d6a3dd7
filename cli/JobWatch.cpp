#include "JobWatch.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <thread>

#include <unistd.h>

#include "InstanceFields.h"
#include "InterruptFlag.h"
#include "JobIndications.h"
#include "Lookup.h"
#include "ProgressLine.h"
#include "Records.h"

namespace scsctl
{

namespace
{

// 50 ms steps without an indication before the job is read: a safety net for indications lost on
// the way, not the way progress is learnt.
const int INDICATION_SILENCE_STEPS = 40;

JobProgress progressOf(const std::string& id, const Pegasus::CIMInstance& job)
{
    JobProgress progress;
    progress.id = id;
    const std::string state = jobStateText(job);
    progress.state = state.substr(0, state.find(' ')); // the percent is shown apart
    progress.percent = unsigned(numberField(job, "PercentComplete").value_or(0));
    progress.elapsedSeconds = intervalSeconds(job, "ElapsedTime").value_or(0);
    return progress;
}

bool isFinal(const Pegasus::CIMInstance& job)
{
    const auto state = numberField(job, "JobState").value_or(0);
    return state >= 7 && state <= 10;
}

} // namespace

ExitStatus watchJob(CimClient& client, const std::string& jobId, const std::string& resumeCommand,
                    std::FILE* out, const ConnectionOptions* indicationsFrom)
{
    const bool terminal = isatty(fileno(out));
    InterruptFlag flag;
    std::unique_ptr<JobIndications> indications;
    if (indicationsFrom)
    {
        try
        {
            indications = std::make_unique<JobIndications>(*indicationsFrom, client.nameSpace(), jobId);
        }
        catch (const Failure&)
        {
            // No subscription: polling tells the same, only later and at more cost.
        }
    }
    std::string shown;
    Pegasus::CIMInstance job;
    std::optional<Pegasus::CIMInstance> told;
    for (;;)
    {
        // Read once subscribed (what happened before is in no indication), and whenever none came.
        job = told ? *told : findJob(client, jobId);
        const JobProgress progress = progressOf(jobId, job);
        if (terminal)
        {
            // \r and erase-to-end redraw the one line in place.
            std::fprintf(out, "\r%s\x1b[K", progressBar(progress, 30).c_str());
            std::fflush(out);
        }
        else
        {
            // One line a change; the elapsed time alone is no change.
            JobProgress unchanged = progress;
            unchanged.elapsedSeconds = 0;
            const std::string key = progressText(unchanged);
            if (key != shown) std::fprintf(out, "%s\n", progressText(progress).c_str());
            std::fflush(out);
            shown = key;
        }
        if (isFinal(job)) break;
        told.reset();
        if (indications)
            for (int step = 0; step < INDICATION_SILENCE_STEPS && !told && !flag.raised(); ++step)
                told = indications->next(std::chrono::milliseconds(50));
        else
            for (int step = 0; step < 5 && !flag.raised(); ++step)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (flag.raised())
        {
            if (terminal) std::fprintf(out, "\n");
            std::fprintf(out, "Stopped watching; job %s goes on. To watch it again:\n  %s %s\n",
                         jobId.c_str(), resumeCommand.c_str(), jobId.c_str());
            return ExitInterrupted;
        }
    }
    if (terminal) std::fprintf(out, "\n");
    if (numberField(job, "JobState") == 7u) return ExitOk;
    // The array's description of the failure when it gave one; else the job's status in words.
    std::string why;
    if (const auto error = stringField(job, "ErrorDescription"))
        why = ": " + *error;
    else
    {
        const Record record = jobKind().record(job);
        for (const auto& word : record["status"])
            why += (why.empty() ? " (" : ", ") + word.get<std::string>();
    }
    if (!why.empty() && why[0] == ' ') why += ")";
    std::fprintf(stderr, "scsctl: job %s ended %s%s\n", jobId.c_str(), jobStateText(job).c_str(),
                 why.c_str());
    return ExitJobFailed;
}

} // namespace scsctl
