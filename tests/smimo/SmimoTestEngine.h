// A fresh process-wide engine on a manual clock for every test that reads the engine.
#ifndef SMIMO_TESTS_SmimoTestEngine_h
#define SMIMO_TESTS_SmimoTestEngine_h

#include <memory>
#include <gtest/gtest.h>
#include <KVELEngine.h>

class EngineTest : public ::testing::Test
{
protected:
    // 2026-03-01T12:00:00Z in engine time.
    static constexpr Pegasus::MPU_TIME START = 1772366400000000ULL;
    static constexpr Pegasus::MPU_TIME SECOND = 1000000ULL;

    void SetUp() override
    {
        clock = std::make_shared<Pegasus::KVELManualClock>(START);
        Pegasus::KVELEngineConfig config;
        config.clock = clock;
        config.ramdiskDirectory = ::testing::TempDir();
        engine = Pegasus::KVELEngine::createInstance(config);
    }

    std::shared_ptr<Pegasus::KVELManualClock> clock;
    Pegasus::KVELEngine* engine = nullptr;
};

#endif
