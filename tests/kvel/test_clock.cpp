// The sped-up clock and how the environment chooses it.
#include <cstdlib>
#include <limits>
#include <string>
#include <Pegasus/Common/Exception.h>
#include "KvelTestSupport.h"

using namespace Pegasus;
using namespace kveltest;

namespace
{

TEST(kvelScaledClock, StaysBetweenItsStartAndTheLargestTime)
{
    const MPU_TIME latest = std::numeric_limits<MPU_TIME>::max();
    auto wall = std::make_shared<KVELManualClock>(T0);
    KVELScaledClock clock(1000000, wall);
    wall->set(T0 - SECOND);
    EXPECT_EQ(T0, clock.now()) << "a wall clock set back reads the start";
    wall->set(T0);
    const MPU_TIME lastExact = (latest - T0) / 1000000;
    wall->advance(lastExact);
    EXPECT_EQ(T0 + lastExact * 1000000, clock.now());
    wall->advance(1);
    EXPECT_EQ(latest, clock.now());
}

class kvelTimeScale : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (wasSet)
            ::setenv(VARIABLE, saved.c_str(), 1);
        else
            ::unsetenv(VARIABLE);
    }
    static std::shared_ptr<KVELClock> clockFor(const char* value)
    {
        ::setenv(VARIABLE, value, 1);
        return KVELEngineConfig::fromEnvironment().clock;
    }
    // 0 unless the clock chosen is a scaled one.
    static Uint32 factorFor(const char* value)
    {
        auto scaled = std::dynamic_pointer_cast<KVELScaledClock>(clockFor(value));
        return scaled ? scaled->factor() : 0;
    }
    static std::string refusal(const char* value)
    {
        try
        {
            clockFor(value);
        }
        catch (const Exception& e)
        {
            return static_cast<const char*>(e.getMessage().getCString());
        }
        return "(accepted)";
    }

    static constexpr const char* VARIABLE = "KVEL_TIME_SCALE";
    const bool wasSet = std::getenv(VARIABLE) != nullptr;
    const std::string saved = wasSet ? std::getenv(VARIABLE) : "";
};

TEST_F(kvelTimeScale, TheEnvironmentChoosesTheClock)
{
    ::unsetenv(VARIABLE);
    EXPECT_FALSE(KVELEngineConfig::fromEnvironment().clock);
    EXPECT_FALSE(clockFor(""));
    EXPECT_FALSE(clockFor("1"));
    EXPECT_EQ(10000u, factorFor("010000"));
    for (const char* bad : {"0", "10001", "99999999999999999999", "-5", "+5", " 5", "5 ", "2.5", "1e3", "x"})
    {
        const std::string message = refusal(bad);
        EXPECT_NE(std::string::npos, message.find(VARIABLE)) << message;
        EXPECT_NE(std::string::npos, message.find(std::string("'") + bad + "'")) << message;
    }
}

} // namespace
