#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <thread>
#include <vector>
#include <unistd.h>
#include <ProviderTraceServices.h>

namespace
{

typedef ProviderTraceServices PTS;

bool isTimestamp(const std::string& text) // "2026-12-05 14:55:12.123456"
{
    int fields[7], consumed = 0;
    return std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d.%6d%n", &fields[0], &fields[1], &fields[2],
                       &fields[3], &fields[4], &fields[5], &fields[6], &consumed) == 7 &&
           consumed == 26 && text.size() == 26;
}

// A scope line after its timestamp, pid and file-line field, which are checked on the way.
std::string scopeText(const std::string& line, const char* file, int number)
{
    const std::string prefix =
        " " + PTS::ptsGetPidString() + " " + PTS::ptsGetFileLineString(file, number, 30) + ":----: ";
    EXPECT_TRUE(isTimestamp(line.substr(0, 26))) << line;
    EXPECT_EQ(line.substr(26, prefix.size()), prefix) << line;
    return line.substr(std::min(line.size(), 26 + prefix.size()));
}

struct smimoTraceServices : ::testing::Test
{
    void SetUp() override { PTS::ptsCancelTraceSuppressForPid(); }
    void TearDown() override { PTS::ptsCancelTraceSuppressForPid(); }
};

} // namespace

TEST_F(smimoTraceServices, LineFields)
{
    EXPECT_EQ(PTS::ptsGetFileLineString("ConcreteJob", 42, 30), "ConcreteJob:42" + std::string(16, ' '));
    EXPECT_EQ(PTS::ptsGetFileLineString("/src/jobs/ConcreteJobProvider.cpp", 1234, 20),
              "JobProvider.cpp:1234");
    EXPECT_EQ(PTS::ptsGetFileLineString(nullptr, 7, 4), ":7  ");
    EXPECT_EQ(PTS::ptsGetPidString().size(), 7u);
    EXPECT_EQ(std::stol(PTS::ptsGetPidString()), long(getpid()));
    EXPECT_TRUE(isTimestamp(PTS::ptsGetTimeStampString()));
    EXPECT_EQ(PTS::ptsGetIndentString(), "");
}

TEST_F(smimoTraceServices, SuppressionCountsUpAndDownNeverBelowZero)
{
    PTS::ptsIncrementTraceSuppressForPid(3);
    PTS::ptsIncrementTraceSuppressForPid(-5);
    PTS::ptsIncrementTraceSuppressForPid(1);
    EXPECT_EQ(PTS::ptsGetTraceSuppressForPid(), 1) << "lowering below zero leaves no debt";
    PTS::ptsCancelTraceSuppressForPid();

    std::vector<std::thread> threads;
    for (int t = 0; t < 4; t++)
        threads.emplace_back(
            []
            {
                for (int i = 0; i < 1000; i++)
                    PTS::ptsIncrementTraceSuppressForPid(1);
            });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(PTS::ptsGetTraceSuppressForPid(), 4000);
}

TEST_F(smimoTraceServices, ScopesWriteEntryAndExitLinesAndIndentPerThread)
{
    testing::internal::CaptureStdout();
    {
        PTS::TraceMethodClass outer("ConcreteJob", 10, "ConcreteJobProvider::getInstance", true);
        EXPECT_EQ(PTS::ptsGetIndentString(), "  ");
        {
            PTS::TraceMethodClass inner("SCS", 20, "P::_handleX", true);
            EXPECT_EQ(PTS::ptsGetIndentString(), "    ");
            std::thread([] { EXPECT_EQ(PTS::ptsGetIndentString(), ""); }).join();
        }
        PTS::TraceMethodClass untraced("ConcreteJob", 30, "NotTraced", false);
        EXPECT_EQ(PTS::ptsGetIndentString(), "  ");
    }
    PTS::ptsIncrementTraceSuppressForPid(1); // suppressed: no lines, but the indent still follows
    {
        PTS::TraceMethodClass silent("ConcreteJob", 40, "ConcreteJobProvider::getInstance", true);
        EXPECT_EQ(PTS::ptsGetIndentString(), "  ");
    }
    EXPECT_EQ(PTS::ptsGetIndentString(), "");
    std::vector<std::string> lines;
    std::istringstream captured(testing::internal::GetCapturedStdout());
    for (std::string line; std::getline(captured, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(scopeText(lines[0], "ConcreteJob", 10), "Entering ConcreteJobProvider::getInstance");
    EXPECT_EQ(scopeText(lines[1], "SCS", 20), "  Entering P::_handleX");
    EXPECT_EQ(scopeText(lines[2], "SCS", 20), "  Leaving P::_handleX");
    EXPECT_EQ(scopeText(lines[3], "ConcreteJob", 10), "Leaving ConcreteJobProvider::getInstance");
}

namespace
{
// Standard output as a server that never flushes it sees it: only what a flush pushed out.
struct FlushedOnly : std::stringbuf
{
    std::string flushed;
    int sync() override
    {
        flushed += str();
        str("");
        return 0;
    }
};
} // namespace

TEST_F(smimoTraceServices, EveryScopeLineReachesStandardOutputWhenWritten)
{
    FlushedOnly sink;
    std::streambuf* previous = std::cout.rdbuf(&sink);
    std::string afterEntry;
    {
        PTS::TraceMethodClass scope("SCS", 5, "P::getInstance", true);
        afterEntry = sink.flushed;
    }
    std::cout.rdbuf(previous);
    EXPECT_NE(afterEntry.find("Entering P::getInstance\n"), std::string::npos) << afterEntry;
    EXPECT_NE(sink.flushed.find("Leaving P::getInstance\n"), std::string::npos) << sink.flushed;
    EXPECT_EQ(sink.str(), "") << "nothing waits in the buffer";
}

// SMIMO_TRACE is read as the library loads, so each value is tried in a fresh run of this program
// (the threadsafe death-test style re-executes it); the exit code is the suppression left after
// the calls that would turn tracing back on.
TEST(smimoTraceEnvironment, OffSilencesForGoodOtherValuesTrace)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto suppressionAfterCancel = []
    {
        PTS::ptsIncrementTraceSuppressForPid(2);
        PTS::ptsIncrementTraceSuppressForPid(-5);
        PTS::ptsCancelTraceSuppressForPid();
        std::exit(PTS::ptsGetTraceSuppressForPid());
    };
    setenv("SMIMO_TRACE", "off", 1);
    EXPECT_EXIT(suppressionAfterCancel(), testing::ExitedWithCode(1), "");
    setenv("SMIMO_TRACE", "ON", 1);
    EXPECT_EXIT(suppressionAfterCancel(), testing::ExitedWithCode(0), "");
    setenv("SMIMO_TRACE", "loud", 1);
    EXPECT_EXIT(suppressionAfterCancel(), testing::ExitedWithCode(0), "SMIMO_TRACE: unknown value 'loud'");
    unsetenv("SMIMO_TRACE");
}
