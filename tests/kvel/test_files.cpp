// The durable state file and array description files.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <Pegasus/Common/Exception.h>
#include "KvelTestSupport.h"

using namespace Pegasus;
using namespace kveltest;

namespace
{
class kvelFiles : public KvelEngineTest
{
protected:
    // A file of this process alone: ctest runs the tests of this fixture in parallel processes.
    std::string path(const std::string& name)
    {
        std::string file = ::testing::TempDir() + "kvel-files-" + std::to_string(::getpid()) + "-" + name;
        std::remove(file.c_str());
        return file;
    }
    static void write(const std::string& file, const std::string& text) { std::ofstream(file) << text; }
    static std::string read(const std::string& file)
    {
        std::ifstream in(file);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    KVELEngineConfig stateConfig(const std::string& file)
    {
        KVELEngineConfig config;
        config.stateFile = file;
        return config;
    }
    // The message of the exception that making an engine from the description throws.
    std::string refusal(const std::string& description)
    {
        KVELEngineConfig config;
        config.arrayDescriptionFile = descriptionFile;
        write(descriptionFile, description);
        try
        {
            makeEngine(config);
        }
        catch (const Exception& e)
        {
            return static_cast<const char*>(e.getMessage().getCString());
        }
        return "(accepted)";
    }

    std::string descriptionFile = path("description.json");
};

// A restart with a time scale starts a clock behind the time the state was saved at.
TEST_F(kvelFiles, AStateAheadOfTheClockGoesOnFromItsOwnTime)
{
    std::string file = path("state.json");
    engine = makeEngine(stateConfig(file));
    auto setting = volume(PARITY_4_1);
    setting->Size = 50 * GIB;
    KVELTask create;
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->createVolume(setting.get(), &create));
    advance(20);
    const Uint32 percent = task(create.getTaskID())->PercentComplete;
    std::string block = path("block");
    write(block, "saved at T0 + 20 s");
    ASSERT_EQ(KVEL_RC_SUCCESS, engine->setPersistenceData(KVELController::PERSISTENCE_BOTH, block.c_str()));

    clock = std::make_shared<KVELManualClock>(T0);
    engine = makeEngine(stateConfig(file));
    EXPECT_EQ(percent, task(create.getTaskID())->PercentComplete) << "time never goes back";
    advance(20);
    EXPECT_GT(task(create.getTaskID())->PercentComplete, percent) << "and the task moves on at once";
    std::remove(file.c_str());
    std::remove(block.c_str());
}

TEST_F(kvelFiles, ADescribedStateLoadsAsADescription)
{
    KVELTask job;
    makeVolume(GIB, KVELVolume::VOLUME_ORGANIZATION_MIRRORED, 1, 2, &job);
    advance(2);
    std::string snapshot = engine->describe();
    write(descriptionFile, snapshot);
    KVELEngineConfig config;
    config.arrayDescriptionFile = descriptionFile;
    EXPECT_EQ(snapshot, makeEngine(config)->describe());
}

TEST_F(kvelFiles, ACorruptStateFileIsRefusedAndKept)
{
    std::string file = path("corrupt.json");
    for (std::string text :
         {std::string("{ \"system\": "), std::string("{\"system\": {\"name\": \"A\", \"host\": \"h\"},"
                                                     " \"tasks\": [{\"id\": \"36000001\"}]}")})
    {
        write(file, text);
        try
        {
            makeEngine(stateConfig(file));
            ADD_FAILURE() << "accepted: " << text;
        }
        catch (const Exception& e)
        {
            std::string message = static_cast<const char*>(e.getMessage().getCString());
            EXPECT_EQ(0u, message.find("KVEL state file '" + file + "': ")) << message;
        }
        EXPECT_EQ(text, read(file)) << "never overwritten";
    }
    std::remove(file.c_str());
}

TEST_F(kvelFiles, DescriptionErrorsNameTheFileAndTheField)
{
    const std::string system = "\"system\": {\"name\": \"ZARVO-T\", \"host\": \"t\"}";
    auto withDrives = [&](const std::string& drives)
    { return "{" + system + ", \"drives\": [" + drives + "]}"; };
    struct Case
    {
        std::string json;
        std::string problem;
    } cases[] = {
        {"{ \"system\": ", "not valid JSON"},
        {withDrives("{\"pool\": \"base\", \"capacityGiB\": 1, \"colour\": \"red\"}"),
         "drives[0].colour: unknown field"},
        {withDrives("{\"pool\": \"bse\", \"capacityGiB\": 1}"), "drives[0].pool: unknown pool 'bse'"},
        {withDrives("{\"id\": \"38000001\", \"slot\": 1, \"pool\": \"base\", \"capacityGiB\": 1},"
                    "{\"id\": \"38000001\", \"slot\": 2, \"pool\": \"base\", \"capacityGiB\": 1}"),
         "drives[1].id: duplicate drive ID 38000001"},
        {"{" + system +
             ", \"drives\": [{\"pool\": \"base\", \"capacityGiB\": 1}], \"volumes\": [{\"name\": \"v\", "
             "\"sizeGiB\": 2}]}",
         "pool 'base' needs"},
        {"{" + system +
             ", \"volumes\": [{\"name\": \"v\", \"setting\": true, \"organization\": \"parity\", "
             "\"stripeWidth\": 2}]}",
         "volumes[0]: organization, dataRedundancy, stripeWidth and chunkBlocks make no usable layout"},
    };
    for (const Case& c : cases)
    {
        std::string message = refusal(c.json);
        EXPECT_EQ(0u, message.find("KVEL array description '" + descriptionFile + "': ")) << message;
        EXPECT_NE(std::string::npos, message.find(c.problem)) << message;
    }
    std::remove(descriptionFile.c_str());
    KVELEngineConfig config;
    config.arrayDescriptionFile = descriptionFile;
    EXPECT_THROW(makeEngine(config), Exception) << "a missing description file";
}

TEST_F(kvelFiles, TheSampleDescriptionLoads)
{
    KVELEngineConfig config;
    config.arrayDescriptionFile = SCS_SOURCE_DIR "/platform/kvel/arrays/small.json";
    engine = makeEngine(config);
    EXPECT_STREQ("ZARVO-0042", KVELEngine::_ZarvoSystemNamePtr);
    EXPECT_STREQ("zarvo-small", KVELEngine::_ZarvoHostNamePtr);
    EXPECT_EQ(7u, engine->enumerateObjects(CLASSID_DRIVE).size());
    EXPECT_EQ(4 * 512 * GIB, get<KVELPool>(BASE)->TotalBlocks);
    EXPECT_EQ(2u, volume(0x3A000002)->getDriveCount());
    EXPECT_EQ(KVELDrive::DRIVE_STATE_FAILED, driveRecord(0x38000010)->State);
    EXPECT_TRUE(volume(0x3A000005)->IsSetting);

    engine = makeEngine(KVELEngineConfig());
    EXPECT_STREQ("ZARVO-0001", KVELEngine::_ZarvoSystemNamePtr);
}

// Paths name the machine the array runs on, as a real array's do, unless told otherwise; a state
// file does not pin the name of the machine that wrote it.
TEST_F(kvelFiles, TheHostNameIsConfiguredElseDescribedElseTheMachines)
{
    char machine[256] = {};
    ASSERT_EQ(0, gethostname(machine, sizeof machine - 1));
    const std::string stateFile = path("host-state.json");
    engine = makeEngine(stateConfig(stateFile));
    engine->modifyObject(CLASSID_DRIVE, driveRecord(0x38000001).get()); // any change writes the state
    EXPECT_STREQ(machine, KVELEngine::_ZarvoHostNamePtr);
    EXPECT_EQ(std::string::npos, read(stateFile).find("\"host\"")) << read(stateFile);

    KVELEngineConfig described;
    described.arrayDescriptionFile = SCS_SOURCE_DIR "/platform/kvel/arrays/small.json";
    described.hostName = "array7.example";
    engine = makeEngine(described);
    EXPECT_STREQ("array7.example", KVELEngine::_ZarvoHostNamePtr);
    KVELEngineConfig restarted = stateConfig(stateFile);
    restarted.hostName = "";
    engine = makeEngine(restarted);
    EXPECT_STREQ(machine, KVELEngine::_ZarvoHostNamePtr);
}

} // namespace
