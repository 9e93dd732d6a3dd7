// job wait, the job control methods of the storage configuration service, and scheduled scans.
#include <cstdio>
#include <ctime>
#include <map>

#include <fmt/format.h>

#include <Pegasus/Common/CIMDateTime.h>
#include <Pegasus/Common/Exception.h>

#include "Commands.h"
#include "Confirm.h"
#include "InstanceFields.h"
#include "JobWatch.h"
#include "Lookup.h"
#include "MethodResult.h"

namespace scsctl
{

using namespace Pegasus;

namespace
{

// "2099-01-04 02:00", "2099-01-04T02:00:30" (UTC), or the CIM form itself.
CIMDateTime scheduleTime(const std::string& text)
{
    if (text.size() == 25 && text[14] == '.')
    {
        try
        {
            return CIMDateTime(String(text.c_str()));
        }
        catch (const Exception&)
        {
        }
    }
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char separator = 0;
    const int fields = std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d", &year, &month, &day, &separator,
                                   &hour, &minute, &second);
    if (fields < 6 || year < 1 || hour < 0 || minute < 0 || second < 0 ||
        (separator != ' ' && separator != 'T') || month < 1 || month > 12 || day < 1 || day > 31 ||
        hour > 23 || minute > 59 || second > 59)
        throw Failure(ExitUsage, "--at takes a UTC time as YYYY-MM-DD HH:MM[:SS]: " + text);
    return CIMDateTime(String(
        fmt::format("{:04}{:02}{:02}{:02}{:02}{:02}.000000+000", year, month, day, hour, minute, second)
            .c_str()));
}

CIMDateTime now()
{
    const std::time_t seconds = std::time(nullptr);
    std::tm utc = {};
    gmtime_r(&seconds, &utc);
    char cim[32];
    std::strftime(cim, sizeof cim, "%Y%m%d%H%M%S.000000+000", &utc);
    return CIMDateTime(String(cim));
}

// A start time that is not in the past: the array would start such a task at once, which is not
// what a time was given for. The current minute still counts as now.
CIMDateTime futureTime(const std::string& text)
{
    const CIMDateTime at = scheduleTime(text);
    const CIMDateTime current = now();
    if (CIMDateTime::getDifference(at, current) > 60 * 1000000LL)
    {
        const std::string digits = utf8(current.toString());
        throw Failure(ExitUsage, "--at " + text + " is in the past (it is now " + digits.substr(0, 4) + "-" +
                                     digits.substr(4, 2) + "-" + digits.substr(6, 2) + " " +
                                     digits.substr(8, 2) + ":" + digits.substr(10, 2) +
                                     " UTC); leave --at out to scan now");
    }
    return at;
}

} // namespace

ExitStatus waitJob(Session& session, const std::string& job)
{
    findJob(session.client, job); // a job that does not exist is refused before any progress line
    return watchJob(session.client, job, session.resumeCommand, session.json ? stderr : stdout,
                    &session.connection);
}

namespace
{

bool isFinished(const CIMInstance& job)
{
    const auto state = numberField(job, "JobState").value_or(0);
    return state >= 7 && state <= 10;
}

// A creation that has not finished takes its half-made volume with it when aborted or deleted.
void confirmLosingVolume(CimClient& client, const CIMInstance& job, const std::string& action, bool confirmed)
{
    if (isFinished(job) || stringField(job, "Name") != std::string("Create volume")) return;
    // "Create volume 3A00000C" until the volume's name is read.
    std::string volume = stringField(job, "Description").value_or("Create its volume").substr(7);
    try
    {
        const Array<CIMObjectPath> volumes =
            client.associatorNames(job.getPath(), "CIM_AffectedJobElement", "CIM_StorageVolume");
        for (Uint32 i = 0; i < volumes.size(); ++i)
        {
            const CIMInstance instance = client.getInstance(volumes[i]);
            volume = "volume " + stringField(instance, "ElementName").value_or("") + " (" +
                     stringField(instance, "DeviceID").value_or("") + ")";
        }
    }
    catch (const Failure&)
    {
        // The job's description names the volume well enough.
    }
    const std::string id = stringField(job, "InstanceID").value_or("");
    confirmOrRefuse(confirmed,
                    std::string(action == "abort" ? "aborting" : "deleting") + " job " + id +
                        " (it removes " + volume + ", which the job is creating)",
                    "Job " + id + " is creating " + volume + "; " + action + " it and remove the volume?");
}

// Which jobs the array lets each action touch.
const char* admittedStates(const std::string& action)
{
    if (action == "suspend") return "a New or Running job can be suspended";
    if (action == "resume") return "a Suspended job can be resumed";
    if (action == "abort") return "a New, Running or Suspended job can be aborted";
    return "";
}

} // namespace

ExitStatus controlJob(Session& session, const std::string& action, const std::string& job, bool confirmed)
{
    static const std::map<std::string, std::string> methods = {{"suspend", "SuspendTask"},
                                                               {"resume", "ResumeTask"},
                                                               {"abort", "AbortTask"},
                                                               {"delete", "DeleteTask"}};
    const std::string& method = methods.at(action);
    CimClient& client = session.client;
    const CIMInstance before = findJob(client, job);
    if (action == "abort" || action == "delete") confirmLosingVolume(client, before, action, confirmed);
    const CIMObjectPath service = configurationService(client);
    Array<CIMParamValue> in;
    in.append(CIMParamValue("Job", CIMValue(client.local(jobPath(job))), true));
    try
    {
        judgeReturn(client, service, method, client.invokeMethod(service, method, in));
    }
    catch (const Failure& failure)
    {
        const std::string admitted = admittedStates(action);
        throw explained(failure, "the array refused to " + action + " job " + job + ", which is " +
                                     jobStateText(findJob(client, job)) +
                                     (admitted.empty() ? "" : ": only " + admitted));
    }
    if (!session.json)
        std::printf("job %s: %s done\n", job.c_str(), action.c_str());
    else if (action == "delete")
        std::printf("%s\n", Record({{"id", job}, {"deleted", true}}).dump(2).c_str());
    else // scripts get the job as it is now
        std::printf("%s\n", jobKind().record(findJob(client, job)).dump(2).c_str());
    return ExitOk;
}

ExitStatus scanVolume(Session& session, const ScanRequest& request)
{
    static const std::map<std::string, Uint16> units = {
        {"minutes", 2}, {"hours", 3}, {"days", 4}, {"weeks", 5}, {"months", 6}};
    CimClient& client = session.client;
    const CIMInstance volume = findVolume(client, request.volume);
    const std::string name = stringField(volume, "ElementName").value_or("");
    const CIMObjectPath service = configurationService(client);
    Array<CIMParamValue> in;
    in.append(CIMParamValue("ScanType", CIMValue(Uint16(request.parity ? 2 : 3)), true));
    in.append(CIMParamValue("StorageElement", CIMValue(client.local(volume.getPath())), true));
    std::string every;
    if (request.every == 1)
        every = " every " + request.unit.substr(0, request.unit.size() - 1);
    else if (request.every > 1)
        every = " every " + std::to_string(request.every) + " " + request.unit;
    in.append(CIMParamValue(
        "Name",
        CIMValue(String(((request.parity ? "parity scan of " : "media scan of ") + name + every).c_str())),
        true));
    if (!request.at.empty() || request.every)
        in.append(CIMParamValue("ScheduledTaskStartTime",
                                CIMValue(request.at.empty() ? now() : futureTime(request.at)), true));
    if (request.every)
    {
        in.append(CIMParamValue("PeriodicityType", CIMValue(units.at(request.unit)), true));
        in.append(CIMParamValue("Periodicity", CIMValue(Uint16(request.every)), true));
    }
    const MethodAnswer answer = client.invokeMethod(service, "ScanStorageElement", in);
    judgeReturn(client, service, "ScanStorageElement", answer);
    const std::string job = startedJob(answer);
    if (session.json)
        std::printf(
            "%s\n",
            Record({{"id", stringField(volume, "DeviceID").value_or("")}, {"name", name}, {"job", job}})
                .dump(2)
                .c_str());
    else
        std::printf("volume %s: scan%s %s as job %s\n", name.c_str(), every.c_str(),
                    request.at.empty() && !request.every ? "started" : "scheduled", job.c_str());
    return followJob(session, job, request.wait && request.every == 0);
}

} // namespace scsctl
