// Four clients stream changes to a host that keeps the array in a state file; the host is killed
// with SIGKILL at a random moment, STRESS_KILLS times (20), and started again on the same file,
// which must load and hold every change whose answer reached a client. The array's clock runs at
// its own pace: a restarted host with --time-scale starts its clock behind the engine time it
// saved, and the tasks would stand still for a while.
#include "StressSupport.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>
#include <thread>

namespace stress
{
namespace
{
const int CLIENTS = 4, VOLUMES_EACH = 12;
const char HINT[] = "StorageEfficiencyHint";
const std::string DELETING = "9"; // OperationalStatus Stopping

// A setting's hint as acknowledged, and as sent without an answer (-1: none).
struct Hint
{
    long acked = -1, pending = -1;
};

// What one client was told, and what it sent without an answer when the host died.
struct Ledger
{
    std::map<std::string, std::string> volumes; // DeviceID -> name
    std::set<std::string> returned;             // acknowledged ReturnToStoragePool
    std::set<std::string> unsure;               // created or returned without an answer
    std::map<std::string, Hint> settings;       // InstanceID -> StorageEfficiencyHint
    std::string block, pendingBlock;            // persistence data (client 0 only)
};

class Streamer
{
public:
    Streamer(int index, Ledger& ledger, const std::atomic<bool>& killed, Tally& tally)
        : _index(index), _ledger(ledger), _killed(killed), _tally(tally)
    {
    }
    void run(int port, unsigned seed); // until the host is gone

private:
    // False when no answer came: the kill that ends the round, or before it a failure.
    bool answered(const char* operation, const Answer& answer)
    {
        if (answer.http == 0 && !_killed) _tally.fail(std::string(operation) + ": no answer before the kill");
        return answer.http != 0;
    }
    bool giveBack(Client& client);
    bool create(Client& client);
    bool changeSetting(Client& client, const std::string& id);
    bool writeBlock(Client& client);

    int _index, _serial = 0;
    Ledger& _ledger;
    const std::atomic<bool>& _killed;
    Tally& _tally;
    std::mt19937 _random;
};

void Streamer::run(int port, unsigned seed)
{
    Client client(port);
    _random.seed(seed);
    for (bool alive = true; alive;)
    {
        const unsigned roll = _random() % 100;
        if (_index == 0 && roll < 15)
            alive = writeBlock(client);
        else if (!_ledger.volumes.empty() && roll < 45)
            alive = giveBack(client);
        else if (!_ledger.settings.empty() && (roll < 70 || _ledger.volumes.size() >= 6))
            alive = changeSetting(
                client,
                std::next(_ledger.settings.begin(), long(_random() % _ledger.settings.size()))->first);
        else
            alive = create(client);
    }
}

bool Streamer::giveBack(Client& client)
{
    const std::string id =
        std::next(_ledger.volumes.begin(), long(_random() % _ledger.volumes.size()))->first;
    const Answer answer = client.invoke(SERVICE, "ReturnToStoragePool", param("TheElement", volumePath(id)));
    if (!answered("return", answer) || _tally.classify("return", answer, {0, 4096}, {2, 4}) == Tally::Ok)
    {
        _ledger.volumes.erase(id);
        (answer.http ? _ledger.returned : _ledger.unsure).insert(id);
    }
    return answer.http != 0;
}

bool Streamer::create(Client& client)
{
    const Answer made = client.createSetting();
    if (!answered("create setting", made)) return false;
    if (_tally.classify("create setting", made, {0}) != Tally::Ok) return true;
    const Path setting = made.outRef("NewSetting");
    const std::string id = setting.key("InstanceID");
    _ledger.settings[id] = Hint{};
    if (!changeSetting(client, id)) return false;
    const std::string name = "k" + std::to_string(_index) + "-" + std::to_string(++_serial) + "-" +
                             std::to_string(_random() % 1000);
    const Answer answer = client.invoke(SERVICE, "CreateOrModifyElementFromStoragePool",
                                        param("ElementName", name) + param("Size", "1048576") +
                                            param("Goal", setting) + param("InPool", BASE_POOL));
    if (!answered("create volume", answer))
        _ledger.unsure.insert(id); // a volume now, or still a setting
    else if (_tally.classify("create volume", answer, {0, 4096}, {2}) != Tally::Ok)
        return true;
    else
        _ledger.volumes[answer.outRef("TheElement").key("DeviceID")] = name;
    _ledger.settings.erase(id);
    return answer.http != 0;
}

bool Streamer::changeSetting(Client& client, const std::string& id)
{
    Hint& hint = _ledger.settings[id];
    hint.pending = long(_random() % 11);
    const Answer answer =
        client.modify(idPath("CIM_StorageSettingWithHints", id), {{HINT, unsigned(hint.pending)}});
    if (!answered("setting change", answer)) return false;
    if (_tally.classify("setting change", answer) == Tally::Ok) hint.acked = hint.pending;
    hint.pending = -1;
    return true;
}

bool Streamer::writeBlock(Client& client)
{
    std::string& hex = _ledger.pendingBlock;
    hex = hexBlock(_random, 5000);
    const Answer answer =
        client.invoke(SERVICE, "WritePersistenceData", param("Data", hex) + param("PersistenceSetting", "0"));
    if (!answered("persistence write", answer)) return false;
    if (_tally.classify("persistence write", answer, {2}) == Tally::Ok) _ledger.block = hex;
    hex.clear();
    return true;
}

// Checks the restarted array against the ledgers; what it found is then their baseline.
void verify(Client& client, std::vector<Ledger>& ledgers, Tally& tally, const std::string& when)
{
    const Answer volumeList = client.enumerate("CIM_StorageVolume");
    const Answer settingList = client.enumerate("CIM_StorageSettingWithHints");
    std::string data;
    const Answer block = client.readBlock(data);
    if (tally.classify("verify", volumeList) != Tally::Ok ||
        tally.classify("verify", settingList) != Tally::Ok ||
        tally.classify("verify", block, {0}) != Tally::Ok)
        return;
    std::map<std::string, pugi::xml_node> volumes, settings; // by DeviceID, InstanceID
    for (pugi::xml_node instance : volumeList.all("INSTANCE"))
        volumes[property(instance, "DeviceID")] = instance;
    // Settings still to be used; a volume's own setting (a subclass, read-only) is not one.
    for (pugi::xml_node instance : settingList.all("INSTANCE"))
        if (std::string(instance.attribute("CLASSNAME").value()) == "CIM_StorageSettingWithHints")
            settings[property(instance, "InstanceID")] = instance;
    for (Ledger& ledger : ledgers)
    {
        for (const auto& volume : ledger.volumes)
            if (property(volumes[volume.first], "ElementName") != volume.second)
                tally.fail(when + "volume " + volume.first + " '" + volume.second +
                           "' is missing or renamed");
        for (const std::string& id : ledger.returned)
            if (volumes[id] && property(volumes[id], "OperationalStatus") != DELETING)
                tally.fail(when + "returned volume " + id + " is back");
        for (auto& setting : ledger.settings)
        {
            const long found =
                settings[setting.first] ? long(number(property(settings[setting.first], HINT))) : -2;
            const Hint hint = setting.second;
            if (found == -2 || (hint.acked >= 0 && found != hint.acked && found != hint.pending))
                tally.fail(when + "setting " + setting.first + " is missing or lost its " + HINT + " " +
                           std::to_string(hint.acked));
            setting.second = Hint{found, -1};
        }
        for (const std::string& id : ledger.unsure) // now known one way or the other
            if (volumes[id] && property(volumes[id], "OperationalStatus") != DELETING)
                ledger.volumes[id] = property(volumes[id], "ElementName");
            else if (settings[id])
                ledger.settings[id] = Hint{long(number(property(settings[id], HINT))), -1};
        ledger.unsure.clear();
    }
    Ledger& writer = ledgers.front();
    if (data != writer.block && (writer.pendingBlock.empty() || data != writer.pendingBlock))
        tally.fail(when + "the persistence data is neither the acknowledged block nor the one in flight");
    writer.block = data;
    writer.pendingBlock.clear();
}

} // namespace

void runCrashes(const std::string& dir, std::mt19937& random, Tally& tally)
{
    const long kills = knob("STRESS_KILLS", 20);
    std::vector<Ledger> ledgers(CLIENTS);
    // The demo array's system, pools and drives, with volumes that can be given back at once (a
    // new volume initialises for 5 s, longer than a short run).
    std::ofstream array(dir + "/array.json");
    array << R"({"system": {"name": "ZARVO-0001", "host": "zarvo-array"}, "drives": [)";
    for (int slot = 0; slot < 16; ++slot)
        array << (slot ? ", " : "") << R"({"capacityGiB": 1024, "pool": ")"
              << (slot < 12   ? "base"
                  : slot < 14 ? "spare"
                              : "available")
              << "\"}";
    array << R"(], "volumes": [)";
    for (int k = 0; k < CLIENTS * VOLUMES_EACH; ++k)
    {
        char id[16];
        std::snprintf(id, sizeof id, "3A%06X", 0x1000 + k);
        ledgers[size_t(k / VOLUMES_EACH)].volumes[id] = "pre-" + std::to_string(k);
        array << (k ? ", " : "") << R"({"id": ")" << id << R"(", "name": "pre-)" << k
              << R"(", "sizeGiB": 1})";
    }
    array << "]}\n";
    array.close();

    Host host(dir);
    for (long round = 0; round <= kills; ++round)
    {
        std::string problem; // a state file that does not load (torn, half written) stops start-up
        if (!host.start({"--array", dir + "/array.json"}, problem))
            return tally.fail("start " + std::to_string(round + 1) + ": " + problem);
        Client checker(host.port());
        if (round == 0)
            checker.readBlock(ledgers.front().block);
        else
            verify(checker, ledgers, tally, "after kill " + std::to_string(round) + ": ");
        if (round == kills || tally.failures()) break;

        std::atomic<bool> killed{false};
        std::vector<std::unique_ptr<Streamer>> streamers;
        std::vector<std::thread> threads;
        for (int i = 0; i < CLIENTS; ++i)
        {
            streamers.push_back(std::make_unique<Streamer>(i, ledgers[size_t(i)], killed, tally));
            threads.emplace_back(&Streamer::run, streamers.back().get(), host.port(), unsigned(random()));
        }
        const unsigned delay = random() % 300;
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        killed = true;
        host.kill();
        for (std::thread& thread : threads)
            thread.join();
        size_t changes = 0;
        for (const Ledger& ledger : ledgers)
            changes += ledger.volumes.size() + ledger.returned.size() + ledger.settings.size();
        std::cout << "kill " << round + 1 << " after " << delay << " ms: " << changes << " things to find"
                  << std::endl;
    }
    if (!tally.failures() && host.terminate() != 0)
        tally.fail("cimhost did not exit 0 on SIGTERM:\n" + host.log());
}

} // namespace stress
