// Many clients at once: the engine's lock keeps its invariants, and the process-wide statics are
// safe to use from several threads.
#include <atomic>
#include <map>
#include <set>
#include <thread>
#include "KvelTestSupport.h"

using namespace Pegasus;
using namespace kveltest;

namespace
{
class kvelConcurrency : public KvelEngineTest
{
protected:
    // One client's mix of work, task control and reading.
    void client(int seed)
    {
        for (int i = 0; i < 60; ++i)
        {
            KVELTask job;
            Uint32 id = makeVolume(Uint64(1 + (seed + i) % 7) * GIB,
                                   i % 2 ? KVELVolume::VOLUME_ORGANIZATION_MIRRORED
                                         : KVELVolume::VOLUME_ORGANIZATION_STRIPED,
                                   1, i % 2 ? 2 : 1, &job);
            if (id != 0 && i % 3 == 0) command(job.getTaskID(), KVELTask::TASK_COMMAND_ABORT);
            KVELTask scan;
            engine->scanVolume(SCRATCH, &scan);
            if (scan.getTaskID() != 0)
                command(scan.getTaskID(),
                        i % 2 ? KVELTask::TASK_COMMAND_SUSPEND : KVELTask::TASK_COMMAND_RESUME);
            if (auto record = volume(id))
            {
                record->Size += GIB;
                KVELTask grow;
                engine->growVolume(id, record.get(), &grow);
            }
            KVELTask removal;
            engine->deleteVolume(id, &removal);
            Array<Uint32> tasks = engine->enumerateObjects(CLASSID_TASK);
            for (Uint32 t = 0; t < tasks.size() && t < 5; ++t)
                task(tasks[t]);
        }
    }

    void checkInvariants()
    {
        std::map<Uint32, Uint64> consumed;
        Array<Uint32> volumes = engine->enumerateObjects(CLASSID_VOLUME);
        for (Uint32 i = 0; i < volumes.size(); ++i)
            if (auto record = volume(volumes[i]); record && !record->IsSetting)
                consumed[record->PoolObjectID] += record->ConsumedBlocks;
        for (Uint32 poolID : {UNAVAILABLE, SPARE, AVAILABLE, BASE})
        {
            auto pool = get<KVELPool>(poolID);
            EXPECT_LE(pool->UsedBlocks, pool->TotalBlocks);
            EXPECT_EQ(consumed[poolID], pool->UsedBlocks);
        }
        Array<Uint32> tasks = engine->enumerateObjects(CLASSID_TASK);
        EXPECT_LE(tasks.size(), 256u);
        std::set<KVELKey> keys;
        std::map<Uint32, int> running;
        for (Uint32 i = 0; i < tasks.size(); ++i)
        {
            auto record = task(tasks[i]);
            ASSERT_TRUE(record);
            EXPECT_TRUE(keys.insert(record->Key).second);
            if (record->State == KVELTask::TASK_STATE_RUNNING)
            {
                EXPECT_EQ(1, ++running[record->TargetObjectPtr]) << "one running task per object";
            }
        }
    }
};

TEST_F(kvelConcurrency, ParallelClientsKeepThePoolsAndTasksConsistent)
{
    std::atomic<bool> done{false};
    std::thread ticker(
        [&]
        {
            while (!done.load())
            {
                clock->advance(SECOND);
                std::this_thread::yield();
            }
        });
    std::vector<std::thread> clients;
    for (int seed = 0; seed < 4; ++seed)
        clients.emplace_back([this, seed] { client(seed); });
    for (auto& thread : clients)
        thread.join();
    done = true;
    ticker.join();
    checkInvariants();
    advance(3600);
    checkInvariants();
    EXPECT_EQ(KVELVolume::VOLUME_STATE_OK, volume(SCRATCH)->State);
}

TEST_F(kvelConcurrency, TheProcessWideStaticsServeManyThreads)
{
    KVELEngine* first = KVELEngine::_getInstance();
    EXPECT_EQ(engine, first) << "the last engine made is the process-wide one";
    std::vector<KVELEngine*> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back(
            [&, i]
            {
                if (i == 0)
                {
                    seen[i] = makeEngine(KVELEngineConfig()); // replaces the instance meanwhile
                    return;
                }
                char name[108];
                for (int n = 0; n < 50; ++n)
                {
                    seen[i] = KVELEngine::_getInstance();
                    EXPECT_NE(0u, KVELEngine::getRamdiskFilename(sizeof name, name));
                    EXPECT_EQ(0u, KVELEngine::_getControllerSlotId());
                    EXPECT_STREQ("ZARVO-0001", KVELEngine::_ZarvoSystemNamePtr);
                    EXPECT_EQ(4u, seen[i]->enumerateObjects(CLASSID_STORAGEPOOL).size());
                }
            });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(seen[0], KVELEngine::_getInstance());
    EXPECT_EQ(16u, first->enumerateObjects(CLASSID_DRIVE).size()) << "a replaced engine stays usable";
}

} // namespace
