#include <JobDateTime.h>
#include "SmimoTestEngine.h"

using namespace Pegasus;

typedef EngineTest smimoJobDateTime;

static JobDateTime at(const char* text)
{
    return JobDateTime(CIMDateTime(String(text)));
}

TEST_F(smimoJobDateTime, TimestampsAreUtcAndComparedWithTheEngineClock)
{
    // 2026-03-01T12:00:00Z written in three zones.
    EXPECT_EQ(at("20260301120000.000000+000").getMpuTime(), START);
    EXPECT_EQ(at("20260301130000.000000+060").getMpuTime(), START);
    EXPECT_EQ(at("20260301063000.250000-330").getMpuTime(), START + 250000);
    EXPECT_EQ(at("19600101000000.000000+000").getMpuTime(), 0u) << "before the engine's epoch";

    EXPECT_TRUE(at("20260301125959.999999+060").isInThePast());
    EXPECT_FALSE(at("20260301120000.000000+000").isInThePast());
    EXPECT_FALSE(at("20260301120000.000000-060").isInThePast());
    clock->advance(2 * 3600 * SECOND);
    EXPECT_TRUE(at("20260301120000.000000-060").isInThePast());
}

TEST_F(smimoJobDateTime, IntervalsCountFromNow)
{
    EXPECT_EQ(JobDateTime().getMpuTime(), START);
    EXPECT_TRUE(JobDateTime().isInThePast()) << "the zero interval means now, which has begun";
    const JobDateTime oneMinute = at("00000000000100.000000:000");
    EXPECT_EQ(oneMinute.getMpuTime(), START + 60 * SECOND);
    clock->advance(3600 * SECOND);
    EXPECT_EQ(oneMinute.getMpuTime(), START + 3660 * SECOND);
    EXPECT_FALSE(oneMinute.isInThePast()) << "a delay is never in the past";
}
