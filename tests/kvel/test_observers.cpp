// Observers of the engine: told after the calls that change the array or move its tasks on,
// outside the engine's lock, never from within their own calls.
#include <atomic>
#include <thread>
#include <vector>
#include "KvelTestSupport.h"

using namespace Pegasus;
using namespace kveltest;

namespace
{
struct Recorder : KVELEngineObserver
{
    struct Call
    {
        bool changed;
        MPU_TIME time;
    };
    std::vector<Call> calls;
    KVELEngine* engine = nullptr; // when set, each call reads the engine, as a provider does
    int depth = 0, deepest = 0;
    void engineChanged(bool recordsChanged, MPU_TIME engineTime) override
    {
        deepest = std::max(deepest, ++depth);
        calls.push_back({recordsChanged, engineTime});
        if (engine) engine->enumerateObjects(CLASSID_TASK);
        --depth;
    }
};

class kvelObservers : public KvelEngineTest
{
protected:
    void SetUp() override
    {
        KvelEngineTest::SetUp();
        engine->addObserver(recorder);
    }
    std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
};

TEST_F(kvelObservers, ChangesAndMovesAreToldReadingsAtTheSameTimeAreNot)
{
    engine->enumerateObjects(CLASSID_VOLUME);
    recorder->calls.clear();
    engine->enumerateObjects(CLASSID_VOLUME);
    EXPECT_TRUE(recorder->calls.empty()) << "a second reading at the same time moves nothing";

    KVELTask job;
    ASSERT_NE(0u, makeVolume(8 * GIB, KVELVolume::VOLUME_ORGANIZATION_STRIPED, 1, 1, &job));
    ASSERT_EQ(1u, recorder->calls.size());
    EXPECT_TRUE(recorder->calls[0].changed);

    advance(1);
    engine->enumerateObjects(CLASSID_TASK);
    ASSERT_EQ(2u, recorder->calls.size());
    EXPECT_FALSE(recorder->calls[1].changed) << "progress only";
    EXPECT_EQ(T0 + SECOND, recorder->calls[1].time);

    advance(20);
    engine->enumerateObjects(CLASSID_TASK);
    ASSERT_EQ(3u, recorder->calls.size());
    EXPECT_TRUE(recorder->calls[2].changed) << "the job completed";

    engine->removeObserver(recorder.get());
    advance(1);
    engine->failDrive(drive(13));
    EXPECT_EQ(3u, recorder->calls.size());
}

TEST_F(kvelObservers, AnObserverThatCallsTheEngineIsToldAfterItReturns)
{
    recorder->engine = engine;
    KVELTask job;
    ASSERT_NE(0u, makeVolume(8 * GIB, KVELVolume::VOLUME_ORGANIZATION_STRIPED, 1, 1, &job));
    advance(30);
    // The observer's own reading moves the job to its end: it hears of that once it has returned.
    delete engine->getObject(CLASSID_STORAGEPOOL, BASE);
    EXPECT_EQ(1, recorder->deepest);
    EXPECT_GE(recorder->calls.size(), 2u);
}

// Threads changing the array while observers come and go (run under TSan in CI).
TEST_F(kvelObservers, ObserversComeAndGoWhileThreadsWork)
{
    struct Counter : KVELEngineObserver
    {
        std::atomic<int> calls{0};
        void engineChanged(bool, MPU_TIME) override { ++calls; }
    };
    engine->removeObserver(recorder.get()); // the recorder is for one thread
    std::atomic<bool> stop{false};
    std::vector<std::thread> workers;
    for (int t = 0; t < 3; ++t)
        workers.emplace_back(
            [&]
            {
                while (!stop)
                {
                    clock->advance(1000);
                    delete engine->getObject(CLASSID_STORAGEPOOL, BASE);
                }
            });
    auto counter = std::make_shared<Counter>();
    for (int i = 0; i < 200; ++i)
    {
        engine->addObserver(counter);
        engine->removeObserver(counter.get());
    }
    engine->addObserver(counter);
    while (counter->calls.load() < 10)
        std::this_thread::yield();
    stop = true;
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_GE(counter->calls.load(), 10);
}
} // namespace
