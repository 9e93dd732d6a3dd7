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

// The variable is left unset at the end, as the engine tests expect it.
TEST(kvelTimeScale, TheEnvironmentChoosesTheClock)
{
    const char* const variable = "KVEL_TIME_SCALE";
    auto clockFor = [&](const char* value)
    {
        ::setenv(variable, value, 1);
        return KVELEngineConfig::fromEnvironment().clock;
    };
    EXPECT_FALSE(clockFor(""));
    EXPECT_FALSE(clockFor("1"));
    auto scaled = std::dynamic_pointer_cast<KVELScaledClock>(clockFor("010000"));
    ASSERT_TRUE(scaled);
    EXPECT_EQ(10000u, scaled->factor());
    for (const char* bad : {"0", "10001", "99999999999999999999", "-5", "+5", " 5", "5 ", "2.5", "1e3", "x"})
    {
        try
        {
            clockFor(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        }
        catch (const Exception& e)
        {
            const std::string message = static_cast<const char*>(e.getMessage().getCString());
            EXPECT_NE(std::string::npos, message.find(variable)) << message;
            EXPECT_NE(std::string::npos, message.find(std::string("'") + bad + "'")) << message;
        }
    }
    ::unsetenv(variable);
    EXPECT_FALSE(KVELEngineConfig::fromEnvironment().clock);
}

} // namespace
