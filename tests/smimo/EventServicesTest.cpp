#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <thread>
#include <unistd.h>
#include <vector>
#include <nlohmann/json.hpp>
#include <SMIEventServices.h>

using namespace Pegasus;

namespace
{

struct smimoEventServices : ::testing::Test
{
    void SetUp() override
    {
        unsetenv("SMIMO_EVENT_LOG");
        SMIEventServices::clearRecordedEvents();
    }
    void TearDown() override { unsetenv("SMIMO_EVENT_LOG"); }
};

} // namespace

// The recorded fields of each kind of event are read back by the module's tests; here the file.
TEST_F(smimoEventServices, AppendsJsonLinesToTheNamedFile)
{
    const std::string path = ::testing::TempDir() + "smimo_events-" + std::to_string(getpid()) + ".jsonl";
    std::remove(path.c_str());
    setenv("SMIMO_EVENT_LOG", path.c_str(), 1);
    SMIEventServices::publishTextEvent(0, EMP_TYPE_ERROR, "disk \"7\" lost", 29, 10, "invokeMethod", "SCS");
    SMIEventServices::publishKeyValueEvent(0, EMP_TYPE_WARNING, "rebuild", "3A000005", 29, 11, "invokeMethod",
                                           "SCS");

    std::ifstream in(path);
    std::vector<nlohmann::json> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(lines.size(), 2u);
    nlohmann::json expected = nlohmann::json::parse(R"({"code": 0, "type": 3, "text": "disk \"7\" lost",
        "keyValue": "", "source": 29, "line": 10, "operation": "invokeMethod", "file": "SCS"})");
    expected["time"] = SMIEventServices::recordedEvents()[0].time;
    EXPECT_EQ(lines[0], expected);
    EXPECT_EQ(lines[1]["keyValue"], "3A000005");
    std::remove(path.c_str());
}

TEST_F(smimoEventServices, UnwritableFileKeepsTheRecordAndConcurrentPublishersAllLand)
{
    setenv("SMIMO_EVENT_LOG", "/nonexistent-directory/events.jsonl", 1);
    EXPECT_NO_THROW(SMIEventServices::publishTextEvent(0, EMP_TYPE_ERROR, "kept", 29, 1, "op", "file"));
    ASSERT_EQ(SMIEventServices::recordedEvents().size(), 1u);
    EXPECT_EQ(SMIEventServices::recordedEvents()[0].text, "kept");

    std::vector<std::thread> threads;
    for (int t = 0; t < 4; t++)
        threads.emplace_back(
            []
            {
                for (int i = 0; i < 100; i++)
                    SMIEventServices::publishTextEvent(0, EMP_TYPE_INFORMATION, "tick", 29, Uint32(i), "op",
                                                       "file");
            });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(SMIEventServices::recordedEvents().size(), 401u);
}

// A listener hears each event once, with its fields, until it is removed; one that throws does
// not stop the publisher or the other listeners.
TEST_F(smimoEventServices, ListenersHearEveryPublicationUntilRemoved)
{
    struct Listener : SMIEventListener
    {
        std::vector<SMIEventRecord> heard;
        bool fails = false;
        void eventPublished(const SMIEventRecord& event) override
        {
            heard.push_back(event);
            if (fails) throw std::runtime_error("listener failure");
        }
    };
    auto failing = std::make_shared<Listener>();
    failing->fails = true;
    auto listener = std::make_shared<Listener>();
    SMIEventServices::addListener(failing);
    SMIEventServices::addListener(listener);
    SMIEventServices::publishKeyValueEvent(7, EMP_TYPE_WARNING, "rebuild", "3A000005", 29, 11, "invokeMethod",
                                           "SCS");
    SMIEventServices::removeListener(failing.get());
    SMIEventServices::removeListener(listener.get());
    SMIEventServices::publishTextEvent(8, EMP_TYPE_ERROR, "not heard", 29, 12, "invokeMethod", "SCS");

    ASSERT_EQ(listener->heard.size(), 1u);
    EXPECT_EQ(listener->heard[0].code, 7u);
    EXPECT_EQ(listener->heard[0].keyValue, "3A000005");
    EXPECT_FALSE(listener->heard[0].time.empty());
    EXPECT_EQ(failing->heard.size(), 1u);
    EXPECT_EQ(SMIEventServices::recordedEvents().size(), 2u);
}
