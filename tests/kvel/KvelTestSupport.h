// An engine on the demo array with a manual clock, and typed access to its records.
#ifndef KVEL_TESTS_KvelTestSupport_h
#define KVEL_TESTS_KvelTestSupport_h

#include <gtest/gtest.h>
#include <memory>
#include <KVELEngine.h>

namespace kveltest
{

typedef Pegasus::Uint32 Uint32;
typedef Pegasus::Uint64 Uint64;
typedef Pegasus::KVELEngine KVELEngine;
typedef Pegasus::KVELTask KVELTask;
typedef Pegasus::KVELVolume KVELVolume;
typedef Pegasus::KVELDrive KVELDrive;
typedef Pegasus::KVELPool KVELPool;

const Pegasus::MPU_TIME T0 = 1700000000ull * 1000000; // 2023-11-14T22:13:20Z
const Pegasus::MPU_TIME SECOND = 1000000;
const Uint64 GIB = 2 * 1024 * 1024; // blocks

// Demo array object IDs.
const Uint32 DB_MIRROR = 0x3A000001; // mirrored 2 x 2, 500 GiB
const Uint32 ARCHIVE = 0x3A000002;   // parity 4+1, 2 TiB
const Uint32 SCRATCH = 0x3A000003;   // striped over 4, 200 GiB
const Uint32 STRIPED_4 = 0x3A000005; // settings from here on
const Uint32 MIRROR_2WAY = 0x3A000006;
const Uint32 MIRROR_2X4 = 0x3A000008;
const Uint32 PARITY_4_1 = 0x3A000009;
const Uint32 BASE = Pegasus::KVELPool::BASE_POOL_ID;
const Uint32 SPARE = Pegasus::KVELPool::SPARE_POOL_ID;
const Uint32 AVAILABLE = Pegasus::KVELPool::AVAILABLE_POOL_ID;
const Uint32 UNAVAILABLE = Pegasus::KVELPool::UNAVAILABLE_POOL_ID;
inline Uint32 drive(Uint32 slot)
{
    return 0x38000001 + slot;
} // slots 0-11 base, 12-13 spare, 14-15 available

class KvelEngineTest : public ::testing::Test
{
protected:
    void SetUp() override { engine = makeEngine(Pegasus::KVELEngineConfig()); }

    KVELEngine* makeEngine(Pegasus::KVELEngineConfig config)
    {
        config.clock = clock;
        return KVELEngine::createInstance(config);
    }

    template <typename Record> std::unique_ptr<Record> get(Uint32 id)
    {
        Pegasus::ManagedObject* object = engine->getObject(Pegasus::kvelClassOf(id), id);
        Record* record = dynamic_cast<Record*>(object);
        if (!record) delete object;
        return std::unique_ptr<Record>(record);
    }
    std::unique_ptr<KVELTask> task(Uint32 id) { return get<KVELTask>(id); }
    std::unique_ptr<KVELVolume> volume(Uint32 id) { return get<KVELVolume>(id); }
    std::unique_ptr<KVELDrive> driveRecord(Uint32 id) { return get<KVELDrive>(id); }

    Uint64 poolFree(Uint32 pool)
    {
        auto record = get<KVELPool>(pool);
        return record->TotalBlocks - record->UsedBlocks;
    }
    Uint64 poolUsed(Uint32 pool) { return get<KVELPool>(pool)->UsedBlocks; }
    void advance(Pegasus::MPU_TIME seconds) { clock->advance(seconds * SECOND); }

    // Applies a task command through a fetched copy, as a client does.
    Uint32 command(Uint32 taskID, Uint32 code, Uint32 priority = 0)
    {
        auto copy = task(taskID);
        if (!copy) return 0;
        copy->CommandCode = code;
        if (code == KVELTask::TASK_COMMAND_SET_PRIORITY) copy->Priority = priority;
        return engine->modifyObject(Pegasus::CLASSID_TASK, copy.get());
    }

    // A volume made from plain layout values; returns its ID (0 on refusal, rc in *rc).
    Uint32
    makeVolume(Uint64 sizeBlocks,
               KVELVolume::VolumeOrganizationEnum organization = KVELVolume::VOLUME_ORGANIZATION_STRIPED,
               Pegasus::Uint8 width = 1, Pegasus::Uint8 copies = 1, KVELTask* job = nullptr,
               Uint32* rc = nullptr)
    {
        KVELTask local;
        Uint32 id = 0;
        Uint32 result = engine->createVolumeAtomic("test-volume", sizeBlocks, BASE, width, copies, 0,
                                                   organization, {}, job ? job : &local, id);
        if (rc) *rc = result;
        return id;
    }

    std::shared_ptr<Pegasus::KVELManualClock> clock = std::make_shared<Pegasus::KVELManualClock>(T0);
    KVELEngine* engine = nullptr;
};

} // namespace kveltest

#endif
