// "WritePersistenceData" and "ReadPersistenceData": hexadecimal text in, chunks through a
// transfer file, and no transfer file left behind whatever happens. Blocks of every size up to
// 6000 bytes, across the 4096-byte chunks, go back and forth in the stress tests through cimhost.
#include "ServiceHarness.h"

#include <dirent.h>
#include <fstream>
#include <signal.h>
#include <sys/resource.h>

namespace scs_test
{
namespace
{

class PersistenceTest : public ServiceMethodTest
{
protected:
    std::vector<std::string> leftovers()
    {
        std::vector<std::string> names;
        if (DIR* dir = opendir(ramdiskDirectory().c_str()))
        {
            while (dirent* entry = readdir(dir))
                if (entry->d_name[0] != '.') names.push_back(entry->d_name);
            closedir(dir);
        }
        return names;
    }
    MethodRecorder write(const std::string& data, Uint16 setting = 0)
    {
        return call("WritePersistenceData",
                    params({param("Data", String(data.c_str())), param("PersistenceSetting", setting)}));
    }
    std::string read(MethodRecorder& result)
    {
        result = call("ReadPersistenceData", params({}));
        if (!result.hasOutput("Data")) return "<no data>";
        String data;
        result.output("Data").get(data);
        return str(data);
    }
};

TEST_F(PersistenceTest, OnlyEvenLengthUpperCaseHexIsAccepted)
{
    EXPECT_EQ(answer(write("0A1B")), 2u);
    MethodRecorder result;
    EXPECT_EQ(read(result), "0A1B");

    for (const char* bad : {"0a1B", "0G", "0A 1B", "ÄB"})
        EXPECT_EQ(answer<Sint32>(write(bad)), 5) << bad;
    TraceCapture trace;
    EXPECT_EQ(answer<Sint32>(write("0A1")), 5);
    EXPECT_TRUE(trace.hasOnce("error:odd string size 3"));
    EXPECT_EQ(read(result), "0A1B") << "a refused write leaves the block unchanged";
    EXPECT_TRUE(leftovers().empty());
    EXPECT_EQ(answer(write("00", 7)), 3u) << "a setting the engine does not know";
    EXPECT_EQ(answer(call("WritePersistenceData", params({}))), 2u) << "absent Data writes an empty block";
    EXPECT_EQ(read(result), "");
}

TEST_F(PersistenceTest, ShortWritesAndUnusableDirectoriesLeaveNoFile)
{
    // A file size limit makes the second chunk a short write.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 6000;
    sighandler_t previous = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    TraceCapture trace;
    MethodRecorder result = write(std::string(20000, 'A'));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_EQ(answer<Sint32>(result), 4);
    EXPECT_EQ(trace.containing("write failure,actual written is:").size(), 1u) << trace.raw();
    EXPECT_TRUE(leftovers().empty());

    // A transfer directory that is gone: nothing can be opened (even as root).
    std::string away = ramdiskDirectory() + ".away";
    ASSERT_EQ(rename(ramdiskDirectory().c_str(), away.c_str()), 0);
    EXPECT_EQ(answer<Sint32>(write("00")), 4);
    MethodRecorder readResult;
    read(readResult);
    EXPECT_EQ(answer(readResult), 2u) << "the engine could not write the file: result 36 maps to 2";
    ASSERT_EQ(rename(away.c_str(), ramdiskDirectory().c_str()), 0);
    EXPECT_TRUE(leftovers().empty());
}

using UnsavedPersistenceTest = WithDurableState<PersistenceTest>;

TEST_F(UnsavedPersistenceTest, AFailedReadIsAnsweredAtOnceAndLeavesTheFileToTheEngine)
{
    removeStateFolder();
    EXPECT_EQ(answer(write("0A1B")), 3u) << "stored, but the state not saved: result 9";
    TraceCapture trace;
    MethodRecorder result;
    EXPECT_EQ(read(result), "<no data>");
    EXPECT_EQ(answer(result), 2u) << "result 9 maps to 2";
    EXPECT_TRUE(trace.containing("Actual Length Read").empty()) << "the file is not read";
    EXPECT_TRUE(leftovers().empty()) << "the engine took back the file it wrote";

    // Refused before the engine writes: a file of the transfer name is not the handler's to remove.
    // The engine's names count up: the next one is the last drawn plus one.
    char name[108];
    ASSERT_NE(KVELEngine::getRamdiskFilename(sizeof name, name), 0u);
    const std::string last = name, counted = last.substr(last.rfind('-') + 1);
    const std::string next =
        last.substr(0, last.rfind('-') + 1) + std::to_string(std::stoul(counted) + 1) + ".tmp";
    std::ofstream(next) << "not the handler's";
    engine().initiateShutdown(true);
    read(result);
    EXPECT_EQ(answer(result), 2u) << "result 34 maps to 2";
    EXPECT_EQ(leftovers(), std::vector<std::string>{next.substr(next.rfind('/') + 1)});
}

} // namespace
} // namespace scs_test
