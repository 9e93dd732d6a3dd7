// How long indications take to reach a listener: a listener on loopback (the tests' own) that
// prints its URL, takes COUNT indications (or what arrives in SECONDS), and reports, for each
// indication, its arrival minus its IndicationTime, and for each job completion, its arrival minus
// the job's TimeOfLastStateChange (the moment the engine ended it): p50, p99 and the largest.
// Both times are the array's clock, which runs with the wall clock at --time-scale 1.
// listener_latency COUNT SECONDS
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include <Pegasus/Common/CIMDateTime.h>
#include <Pegasus/Common/CIMObject.h>

#include "../tests/support/ExportListener.h"

using namespace Pegasus;

namespace
{

// Microseconds since the epoch of a CIM date-time, from its text (UTC offsets included).
bool epochMicroseconds(const CIMValue& value, double& out)
{
    if (value.isNull() || value.getType() != CIMTYPE_DATETIME) return false;
    CIMDateTime time;
    value.get(time);
    const std::string text(time.toString().getCString()); // yyyymmddhhmmss.mmmmmmsutc
    if (text.size() != 25 || text[21] == ':') return false;
    std::tm parts{};
    parts.tm_year = std::stoi(text.substr(0, 4)) - 1900;
    parts.tm_mon = std::stoi(text.substr(4, 2)) - 1;
    parts.tm_mday = std::stoi(text.substr(6, 2));
    parts.tm_hour = std::stoi(text.substr(8, 2));
    parts.tm_min = std::stoi(text.substr(10, 2));
    parts.tm_sec = std::stoi(text.substr(12, 2));
    const int offsetMinutes = std::stoi(text.substr(22, 3)) * (text[21] == '-' ? -1 : 1);
    out = (double(timegm(&parts)) - offsetMinutes * 60.0) * 1e6 + std::stod(text.substr(15, 6));
    return true;
}

CIMValue property(const CIMInstance& instance, const char* name)
{
    const Uint32 index = instance.findProperty(name);
    return index == PEG_NOT_FOUND ? CIMValue() : instance.getProperty(index).getValue();
}

void report(const char* what, std::vector<double> lags)
{
    if (lags.empty())
    {
        std::cout << what << ": none\n";
        return;
    }
    std::sort(lags.begin(), lags.end());
    std::cout << what << ": " << lags.size() << ", p50 " << lags[lags.size() / 2] / 1000 << " ms, p99 "
              << lags[lags.size() * 99 / 100] / 1000 << " ms, largest " << lags.back() / 1000 << " ms\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::cerr << "usage: listener_latency COUNT SECONDS\n";
        return 2;
    }
    const size_t count = std::stoul(argv[1]);
    testhttp::ExportListener listener;
    std::cout << listener.url() << std::endl;
    const std::vector<testhttp::Received> received =
        listener.waitFor([&](const std::vector<testhttp::Received>& all) { return all.size() >= count; },
                         std::chrono::seconds(std::atoi(argv[2])));
    std::vector<double> indicationLags, completionLags;
    for (const testhttp::Received& r : received)
    {
        const double arrived = std::chrono::duration<double, std::micro>(r.at.time_since_epoch()).count();
        double at = 0;
        const CIMInstance& indication = r.exported.indication;
        if (epochMicroseconds(property(indication, "IndicationTime"), at))
            indicationLags.push_back(arrived - at);
        const CIMValue source = property(indication, "SourceInstance");
        if (source.isNull() || source.getType() != CIMTYPE_OBJECT) continue;
        CIMObject job;
        source.get(job);
        const CIMInstance instance(job);
        const CIMValue state = property(instance, "JobState");
        Uint16 jobState = 0;
        if (!state.isNull() && state.getType() == CIMTYPE_UINT16) state.get(jobState);
        if (jobState == 7 && epochMicroseconds(property(instance, "TimeOfLastStateChange"), at))
            completionLags.push_back(arrived - at);
    }
    std::cout << received.size() << " indications\n";
    report("from IndicationTime to arrival", indicationLags);
    report("from a job's completion to arrival", completionLags);
    return 0;
}
