// STRESS_CLIENTS clients (8) at once, STRESS_OPS operations (500) each drawn from a weighted table,
// against one host; then the array's invariants. STRESS_TIME_SCALE (300) speeds the array's clock.
#include "StressSupport.h"

#include <dirent.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <iterator>
#include <set>
#include <thread>

namespace stress
{
namespace
{
using Clock = std::chrono::steady_clock;
const std::vector<long long> STARTED = {0, 4096};
const unsigned long long MIB = 1 << 20, TIB = MIB * MIB;
// A client gives a volume back rather than make a seventh: the host rewrites its whole state
// after every change, so an ever larger array would only slow the run down.
const size_t MAX_VOLUMES = 6;

// Setting layouts (DataRedundancyGoal, PackageRedundancyGoal, ExtentStripeLength) and the drives
// a volume of each needs; a new setting is 2 copies of a stripe over 4 drives.
const unsigned LAYOUTS[][4] = {{1, 0, 1, 1}, {1, 0, 4, 4}, {2, 1, 2, 4},
                               {2, 1, 4, 8}, {1, 1, 5, 5}, {1, 2, 6, 6}};

struct Setting
{
    Path path;
    unsigned drives = 8;
};
struct Volume
{
    Path path;
    unsigned long long size;
};
struct Job
{
    Path path;
    std::string volume;     // DeviceID of the volume it works on
    Clock::time_point sent; // of the request that made it: its task cannot be older
};

// What the clients share: every persistence block written to this controller (added before the
// write goes out, so that any block read must be among them), the base drives, the controllers.
struct Shared
{
    std::mutex mutex;
    std::set<std::string> blocks;
    std::vector<Path> baseDrives, controllers;
    Clock::duration jobLife; // a job requested less than this long ago must still be there
};

class Worker
{
public:
    Worker(int index, int port, unsigned seed, Shared& shared, Tally& tally)
        : _client(port), _random(seed), _index(index), _shared(shared), _tally(tally)
    {
    }
    void run(int operations);

    void create(bool fromDrives = false)
    {
        if (volumes.size() >= MAX_VOLUMES) return giveBack();
        const Setting setting = takeSetting();
        if (setting.path.className.empty()) return;
        std::vector<Path> drives = _shared.baseDrives;
        std::shuffle(drives.begin(), drives.end(), _random);
        drives.resize(setting.drives);
        const unsigned long long size =
            pick(25) ? (1 + pick(64)) * MIB : 8 * TIB; // at times more than is free
        const auto sent = Clock::now();
        const Answer answer = _client.invoke(
            SERVICE,
            fromDrives ? "CreateOrModifyElementFromElements" : "CreateOrModifyElementFromStoragePool",
            param("ElementName", name()) + param("Size", std::to_string(size)) + param("Goal", setting.path) +
                (fromDrives ? param("InElements", drives) : param("InPool", BASE_POOL)));
        // 2: the task table is full.
        const auto outcome =
            _tally.classify(fromDrives ? "create from drives" : "create from pool", answer, STARTED, {2});
        if (outcome == Tally::Refused) _settings.push_back(setting);
        if (outcome != Tally::Ok) return;
        volumes.push_back(Volume{answer.outRef("TheElement"), number(answer.out("Size"))});
        if (volumes.back().path.key("DeviceID") != setting.path.key("InstanceID") ||
            volumes.back().size < size)
            _tally.fail("the new volume " + volumes.back().path.text() + " is not the setting's, or small");
        addJob(answer, volumes.back().path.key("DeviceID"), sent);
    }

    void grow()
    {
        if (volumes.empty()) return create();
        Volume& volume = volumes[pick(volumes.size())];
        const unsigned long long size = volume.size + (pick(25) ? 1 + pick(16 * MIB) : 8 * TIB);
        const auto sent = Clock::now();
        const Answer answer =
            _client.invoke(SERVICE, "CreateOrModifyElementFromStoragePool",
                           param("TheElement", volume.path) + param("Size", std::to_string(size)));
        if (_tally.classify("grow", answer, STARTED, {2}) != Tally::Ok) return;
        volume.size = number(answer.out("Size"));
        if (volume.size != (size + 511) / 512 * 512)
            _tally.fail("grow to " + std::to_string(size) + ": Size " + answer.out("Size"));
        addJob(answer, volume.path.key("DeviceID"), sent);
    }

    void giveBack()
    {
        if (volumes.empty()) return create();
        const auto volume = volumes.begin() + long(pick(volumes.size()));
        const auto sent = Clock::now();
        const Answer answer =
            _client.invoke(SERVICE, "ReturnToStoragePool", param("TheElement", volume->path));
        // 2: the task table is full; 4: a task works on the volume.
        if (_tally.classify("return", answer, STARTED, {2, 4}) != Tally::Ok) return;
        returned.push_back(volume->path.key("DeviceID"));
        addJob(answer, returned.back(), sent);
        volumes.erase(volume);
    }

    void pollJob()
    {
        if (jobs.empty()) return create();
        const Job& job = jobs[pick(jobs.size())];
        const Answer answer = _client.intrinsic("GetInstance", iparam("InstanceName", job.path.xml()));
        const bool deleted = deletedJobs.count(job.path.key("InstanceID")) != 0;
        if (answer.http == 200 && answer.cimError == 6 && (deleted || !recent(job)))
            return _tally.count("poll job", deleted ? "deleted by its client" : "gone after its retention");
        if (deleted) return _tally.fail("poll job: the deleted " + job.path.text() + " is still there");
        if (_tally.classify("poll job", answer) == Tally::Ok &&
            property(answer.doc->select_node("//INSTANCE").node(), "JobState").empty())
            _tally.fail("poll job: no JobState for " + job.path.text());
    }

    void scheduleScan()
    {
        if (volumes.empty()) return create();
        const Volume& volume = volumes[pick(volumes.size())];
        const std::string weekly = pick(2) ? "1" : "0";
        const auto sent = Clock::now();
        const Answer answer = _client.invoke(
            SERVICE, "ScanStorageElement",
            param("ScanType", "3") + param("StorageElement", volume.path) + param("Name", "scan " + name()) +
                param("ScheduledTaskStartTime", "20990104020000.000000+000") +
                param("PeriodicityType", weekly == "1" ? "5" : "0") + param("Periodicity", weekly));
        // 4: any refusal (busy, a full task table).
        if (_tally.classify("schedule scan", answer, {4096}, {4}) != Tally::Ok) return;
        addJob(answer, volume.path.key("DeviceID"), sent);
        _scans.push_back(jobs.back());
    }

    void controlScan()
    {
        if (_scans.empty()) return scheduleScan();
        static const char* const METHODS[] = {"SuspendTask", "ResumeTask", "SuspendTask",
                                              "ResumeTask",  "AbortTask",  "DeleteTask"};
        const auto scan = _scans.begin() + long(pick(_scans.size()));
        const std::string method = METHODS[pick(std::size(METHODS))];
        const Answer answer = _client.invoke(SERVICE, method, param("Job", scan->path));
        // 5: no such task, once a scan aborted with its returned volume has outlived its retention.
        if (answer.ok() && answer.returnValue() == 5 && !recent(*scan))
            return _tally.count(method, "gone after its retention");
        // 4: not in a state for it (not queued, not suspended, finished: a returned volume aborts its scans).
        if (_tally.classify(method, answer, {0}, {4}) != Tally::Ok || method != "DeleteTask") return;
        deletedJobs.insert(scan->path.key("InstanceID"));
        _scans.erase(scan);
    }

    void followAssociations()
    {
        std::vector<const Job*> candidates; // recent jobs on volumes that exist: the two must find each other
        for (const Job& job : jobs)
            if (recent(job) && !deletedJobs.count(job.path.key("InstanceID")) &&
                std::any_of(volumes.begin(), volumes.end(),
                            [&](const Volume& v) { return v.path.key("DeviceID") == job.volume; }))
                candidates.push_back(&job);
        if (candidates.empty()) return create();
        const Job& job = *candidates[pick(candidates.size())];
        const auto associated =
            [&](const char* operation, const Path& from, const char* association, const char* resultClass)
        {
            return _client.intrinsic(operation, iparam("ObjectName", from.xml()) +
                                                    iparam("AssocClass", classNamed(association)) +
                                                    iparam("ResultClass", classNamed(resultClass)));
        };
        const Answer toVolume =
            associated("AssociatorNames", job.path, "CIM_AffectedJobElement", "CIM_StorageVolume");
        const Answer toJobs = associated("AssociatorNames", volumePath(job.volume), "CIM_AffectedJobElement",
                                         "CIM_ConcreteJob");
        const Answer toService =
            associated("Associators", job.path, "CIM_OwningJobElement", "Zarvo_StorageConfigurationService");
        if (!recent(job)) return _tally.count("job associations", "gone after its retention"); // meanwhile
        const auto volumesFound = toVolume.all("INSTANCENAME"), jobsFound = toJobs.all("INSTANCENAME");
        if (_tally.classify("job to volume", toVolume) == Tally::Ok &&
            (volumesFound.size() != 1 || pathOf(volumesFound[0]).key("DeviceID") != job.volume))
            _tally.fail("job to volume: " + job.path.text() + " does not lead to " + job.volume + " alone");
        if (_tally.classify("volume to jobs", toJobs) == Tally::Ok &&
            std::none_of(jobsFound.begin(), jobsFound.end(),
                         [&](pugi::xml_node n) { return pathOf(n).text() == job.path.text(); }))
            _tally.fail("volume to jobs: " + job.volume + " does not lead back to " + job.path.text());
        if (_tally.classify("job to service", toService) == Tally::Ok &&
            toService.all("INSTANCE").size() != 1)
            _tally.fail("job to service: not the one service for " + job.path.text());
    }

    void changeSetting()
    {
        Setting setting = takeSetting();
        if (setting.path.className.empty()) return;
        const unsigned* layout = LAYOUTS[pick(std::size(LAYOUTS))];
        const std::vector<std::pair<std::string, unsigned>> wanted = {
            {"DataRedundancyGoal", layout[0]},
            {"PackageRedundancyGoal", layout[1]},
            {"ExtentStripeLength", layout[2]},
            {"StorageEfficiencyHint", unsigned(pick(11))},
            {"AccessBandwidthWeight", unsigned(pick(11))}};
        const Answer answer = _client.modify(setting.path, wanted);
        const Answer read = _client.intrinsic("GetInstance", iparam("InstanceName", setting.path.xml()));
        const bool changed = _tally.classify("setting change", answer) == Tally::Ok;
        if (changed) setting.drives = layout[3];
        _settings.push_back(setting);
        if (_tally.classify("setting read", read) == Tally::Ok && changed)
            for (const auto& value : wanted)
                if (property(read.doc->select_node("//INSTANCE").node(), value.first) !=
                    std::to_string(value.second))
                    _tally.fail("setting change: " + setting.path.text() + " " + value.first + " is not " +
                                std::to_string(value.second));
    }

    void lookUpPool()
    {
        static const char* const LOOKUPS[] = {"GetUnavailablePool", "GetSparePool", "GetAvailablePool",
                                              "GetBasePool"};
        const size_t chosen = pick(4); // the pools are 37000001 to 37000004, in this order
        const std::string controller = chosen == 3 ? param("Controller", _shared.controllers[pick(2)]) : "";
        const Answer answer = _client.invoke(SERVICE, LOOKUPS[chosen], controller);
        if (_tally.classify("pool lookup", answer, {0}) == Tally::Ok &&
            answer.outRef("Pool").key("InstanceID") != "3700000" + std::to_string(chosen + 1))
            _tally.fail(std::string(LOOKUPS[chosen]) + " answered " + answer.outRef("Pool").text());
    }

    void writeBlock()
    {
        const std::string hex = hexBlock(_random, 6000); // at times more than one 4 KiB chunk
        const size_t setting = pick(3);                  // 0 this controller, 1 its partner, 2 both
        if (setting != 1)
        {
            std::lock_guard<std::mutex> lock(_shared.mutex);
            _shared.blocks.insert(hex);
        }
        const std::string params = param("Data", hex) + param("PersistenceSetting", std::to_string(setting));
        _tally.classify("persistence write", _client.invoke(SERVICE, "WritePersistenceData", params),
                        {2}); // 2: success
    }

    void readBlock()
    {
        std::string data;
        const Answer answer = _client.readBlock(data);
        std::lock_guard<std::mutex> lock(_shared.mutex);
        if (_tally.classify("persistence read", answer, {0}) == Tally::Ok && !_shared.blocks.count(data))
            _tally.fail("persistence read: a block of " + std::to_string(data.size() / 2) +
                        " bytes nobody wrote");
    }

    std::vector<Volume> volumes;       // the array said they exist
    std::vector<std::string> returned; // DeviceIDs given back
    std::vector<Job> jobs;             // every job answered
    std::set<std::string> deletedJobs; // InstanceIDs

private:
    size_t pick(size_t count) { return std::uniform_int_distribution<size_t>(0, count - 1)(_random); }
    std::string name() { return "c" + std::to_string(_index) + "-" + std::to_string(++_serial); }
    bool recent(const Job& job) const { return Clock::now() - job.sent < _shared.jobLife; }
    Setting takeSetting()
    {
        Setting setting;
        if (!_settings.empty()) return setting = _settings.back(), _settings.pop_back(), setting;
        const Answer answer = _client.createSetting();
        if (_tally.classify("create setting", answer, {0}) == Tally::Ok)
            setting.path = answer.outRef("NewSetting");
        return setting;
    }
    void addJob(const Answer& answer, const std::string& volume, Clock::time_point sent)
    {
        if (answer.returnValue() != 4096) return;
        jobs.push_back(Job{answer.outRef("Job"), volume, sent});
        if (jobs.back().path.key("InstanceID").empty())
            _tally.fail("4096 without a Job: " + answer.summary());
    }

    Client _client;
    std::mt19937 _random;
    int _index, _serial = 0;
    Shared& _shared;
    Tally& _tally;
    std::vector<Setting> _settings; // made and not used by a volume
    std::vector<Job> _scans;        // scheduled and not deleted
};

const std::pair<int, void (*)(Worker&)> OPERATIONS[] = {
    {10, [](Worker& w) { w.create(); }},       {3, [](Worker& w) { w.create(true); }},
    {6, [](Worker& w) { w.grow(); }},          {6, [](Worker& w) { w.giveBack(); }},
    {14, [](Worker& w) { w.pollJob(); }},      {4, [](Worker& w) { w.scheduleScan(); }},
    {8, [](Worker& w) { w.controlScan(); }},   {8, [](Worker& w) { w.followAssociations(); }},
    {3, [](Worker& w) { w.writeBlock(); }},    {4, [](Worker& w) { w.readBlock(); }},
    {6, [](Worker& w) { w.changeSetting(); }}, {8, [](Worker& w) { w.lookUpPool(); }},
};

void Worker::run(int operations)
{
    std::vector<int> weights;
    for (const auto& operation : OPERATIONS)
        weights.push_back(operation.first);
    std::discrete_distribution<size_t> choose(weights.begin(), weights.end());
    for (int i = 0; i < operations; ++i)
        OPERATIONS[choose(_random)].second(*this);
}

Answer listed(Client& client, Tally& tally, const char* operation, const char* className)
{
    const Answer answer = client.enumerate(className, operation);
    tally.classify(std::string("final ") + operation + " " + className, answer);
    return answer;
}

void checkInvariants(Client& client, Tally& tally, const std::vector<std::unique_ptr<Worker>>& workers,
                     const Shared& shared, const std::string& ramdisk)
{
    // Every job but the scans for 2099 must finish first.
    bool busy = true;
    for (int round = 0; busy && round < 3000 && tally.failures() < 40; ++round)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(round ? 20 : 0));
        const Answer jobs = listed(client, tally, "EnumerateInstances", "CIM_ConcreteJob");
        busy = !jobs.ok();
        for (pugi::xml_node job : jobs.all("INSTANCE"))
            busy |= property(job, "JobState") == "4" ||
                    (property(job, "JobState") == "2" && property(job, "Name") != "Scan volume");
    }
    if (busy) tally.fail("jobs still running a minute after the clients stopped");
    const Answer volumeList = listed(client, tally, "EnumerateInstances", "CIM_StorageVolume");
    std::map<std::string, pugi::xml_node> volumes; // DeviceID -> INSTANCE
    for (pugi::xml_node named : volumeList.all("VALUE.NAMEDINSTANCE"))
        volumes[pathOf(named).key("DeviceID")] = named.child("INSTANCE");
    const Answer jobList = listed(client, tally, "EnumerateInstanceNames", "CIM_ConcreteJob");
    const auto listedAt = Clock::now(); // after the answer: a job made less than jobLife before is in it
    std::set<std::string> jobs;
    for (pugi::xml_node name : jobList.all("INSTANCENAME"))
        jobs.insert(pathOf(name).key("InstanceID"));
    for (const auto& worker : workers)
    {
        for (const Volume& volume : worker->volumes)
        {
            const pugi::xml_node found = volumes[volume.path.key("DeviceID")];
            if (number(property(found, "NumberOfBlocks")) * 512 != volume.size ||
                property(found, "OperationalStatus") != "2")
                tally.fail("volume " + volume.path.key("DeviceID") + " is missing, not OK, or not of " +
                           std::to_string(volume.size) + " bytes");
        }
        for (const std::string& id : worker->returned)
            if (volumes.count(id) && volumes[id])
                tally.fail("volume " + id + " was returned but is still there");
        for (const Job& job : jobList.ok() ? worker->jobs : std::vector<Job>())
        {
            const std::string id = job.path.key("InstanceID");
            if (worker->deletedJobs.count(id) ? jobs.count(id) != 0
                                              : listedAt - job.sent < shared.jobLife && !jobs.count(id))
                tally.fail("job " + id +
                           (jobs.count(id) ? " was deleted but is still there" : " is gone before its time"));
        }
    }
    // Pools: total = used (what the volumes in it consume) + remaining; nothing negative.
    std::map<std::string, unsigned long long> used;
    const Answer allocations = listed(client, tally, "EnumerateInstances", "CIM_AllocatedFromStoragePool");
    for (pugi::xml_node link : allocations.all("INSTANCE"))
        used[pathOf(link.find_child_by_attribute("NAME", "Antecedent")).key("InstanceID")] +=
            number(property(link, "SpaceConsumed"));
    if (allocations.all("INSTANCE").size() != volumeList.all("VALUE.NAMEDINSTANCE").size())
        tally.fail("not one pool allocation per volume");
    const Answer pools = listed(client, tally, "EnumerateInstances", "CIM_StoragePool");
    for (pugi::xml_node pool : pools.all("INSTANCE"))
    {
        const unsigned long long total = number(property(pool, "TotalManagedSpace")),
                                 remaining = number(property(pool, "RemainingManagedSpace")),
                                 consumed = used[property(pool, "InstanceID")];
        if (remaining > total || total != consumed + remaining)
            tally.fail("pool " + property(pool, "InstanceID") + ": total " + std::to_string(total) +
                       " is not used " + std::to_string(consumed) + " + remaining " +
                       std::to_string(remaining));
    }
    DIR* directory = opendir(ramdisk.c_str());
    while (const dirent* entry = directory ? readdir(directory) : nullptr)
        if (entry->d_name[0] != '.') tally.fail(std::string("transfer file left: ") + entry->d_name);
    if (directory) closedir(directory);
    std::cout << volumeList.all("INSTANCE").size() << " volumes and " << jobs.size() << " jobs at the end"
              << std::endl;
}

} // namespace

void runConcurrent(const std::string& dir, std::mt19937& random, Tally& tally)
{
    const int clients = int(knob("STRESS_CLIENTS", 8)), operations = int(knob("STRESS_OPS", 500));
    const long timeScale = knob("STRESS_TIME_SCALE", 300);
    Host host(dir);
    std::string problem;
    if (!host.start({"--time-scale", std::to_string(timeScale)}, problem)) return tally.fail(problem);
    Shared shared;
    // A finished task stays 300 s of engine time, and it began after its request was sent: a job
    // read less than that after the request must be there (a tenth off for the clocks).
    shared.jobLife = std::chrono::milliseconds(270000 / timeScale);
    Client client(host.port());
    std::string block;
    client.readBlock(block);
    shared.blocks.insert(block);
    const Answer drives =
        client.intrinsic("AssociatorNames", iparam("ObjectName", BASE_POOL.xml()) +
                                                iparam("ResultClass", classNamed("CIM_DiskDrive")));
    for (pugi::xml_node drive : drives.all("INSTANCENAME"))
        shared.baseDrives.push_back(pathOf(drive));
    for (const char* name : {"ZARVO-0001-SP0", "ZARVO-0001-SP1"})
        shared.controllers.push_back(
            Path{"CIM_ComputerSystem", {{"CreationClassName", "CIM_ComputerSystem"}, {"Name", name}}});
    if (shared.baseDrives.size() < 8)
        return tally.fail("the demo array has 12 base drives, not " + drives.summary());

    std::vector<std::unique_ptr<Worker>> workers;
    std::vector<std::thread> threads;
    const auto start = Clock::now();
    for (int i = 0; i < clients; ++i)
    {
        workers.push_back(std::make_unique<Worker>(i, host.port(), unsigned(random()), shared, tally));
        threads.emplace_back(&Worker::run, workers.back().get(), operations);
    }
    for (std::thread& thread : threads)
        thread.join();
    std::cout << clients << " clients x " << operations << " operations in "
              << std::chrono::duration<double>(Clock::now() - start).count() << " s" << std::endl;
    Client checker(host.port()); // the first connection may have been closed for idleness meanwhile
    checkInvariants(checker, tally, workers, shared, dir + "/ramdisk");
    if (!checker.intrinsic("GetInstance", iparam("InstanceName", SERVICE.xml())).ok())
        tally.fail("cimhost no longer answers");
    const int status = host.terminate();
    if (status != 0 || host.log().find("cimhost: stopped") == std::string::npos)
        tally.fail("cimhost exited with " + std::to_string(status) + " on SIGTERM:\n" + host.log());
}

} // namespace stress
