// The feed of a pull enumeration between a provider thread and the pulls: the window bounds what
// waits while the client pulls, a stalled client lets the provider go within the bound of all
// feeds, a failure comes after what was delivered before it, and a cancel frees a waiting provider.
#include "EnumerationFeed.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>
#include <chrono>
#include <string>
#include <thread>

#include <Pegasus/Common/Exception.h>

using cimhost::CimResponse;
using cimhost::EnumerationFeed;

namespace
{

Pegasus::CIMObjectPath widget(int i)
{
    return Pegasus::CIMObjectPath(("Test_Widget.Id=\"w" + std::to_string(i) + "\"").c_str());
}

EnumerationFeed::Limits limits(std::size_t maxWindow, int patienceMs, std::size_t maxHeldByAll)
{
    EnumerationFeed::Limits limits;
    limits.maxWindow = maxWindow;
    limits.patience = std::chrono::milliseconds(patienceMs);
    limits.maxHeldByAll = maxHeldByAll;
    return limits;
}

// The widget numbers of the paths a pull took, in order, from their encoded key values.
std::vector<int> widgetsIn(const CimResponse& chunk)
{
    std::vector<int> numbers;
    const std::string& text = chunk.encodedObjects;
    const std::string key = ">w";
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1))
        numbers.push_back(std::stoi(text.substr(at + key.size())));
    return numbers;
}

// Delivers paths w0 .. w(count-1) on a thread of its own, then finishes the feed.
std::thread deliver(EnumerationFeed& feed, int count)
{
    return std::thread(
        [&feed, count]
        {
            for (int i = 0; i < count; ++i)
                feed.path(widget(i));
            feed.finish();
        });
}

} // namespace

TEST(EnumerationFeed, TheWindowBoundsWhatWaitsAndEveryObjectComesOnceInOrder)
{
    std::atomic<std::size_t> heldByAll{0};
    EnumerationFeed feed(1, limits(6, 60000, 1000), heldByAll);
    std::thread provider = deliver(feed, 50);
    int next = 0;
    bool ended = false;
    while (!ended)
    {
        CimResponse chunk;
        ended = feed.take(5, chunk);
        EXPECT_LE(feed.held(), 6u);
        EXPECT_LE(heldByAll.load(), 6u);
        for (int number : widgetsIn(chunk))
            EXPECT_EQ(next++, number);
        ASSERT_LE(next, 50);
    }
    provider.join();
    EXPECT_EQ(50, next);
    EXPECT_EQ(0, next % 5) << "whole chunks, the last of them ending the sequence";
    EXPECT_FALSE(feed.gathering());
    EXPECT_EQ(0u, heldByAll.load());
}

TEST(EnumerationFeed, AStalledClientLetsTheProviderGoWithinTheBoundOfAllFeeds)
{
    std::atomic<std::size_t> heldByAll{0};
    EnumerationFeed feed(5, limits(5, 20, 30), heldByAll);
    deliver(feed, 100).join(); // returns without a single pull
    EXPECT_TRUE(feed.gathering());
    EXPECT_EQ(30u, feed.held());

    CimResponse chunk;
    EXPECT_FALSE(feed.take(100, chunk));
    EXPECT_EQ(30u, widgetsIn(chunk).size());
    EXPECT_EQ(0u, heldByAll.load());
    try
    {
        CimResponse after;
        feed.take(100, after);
        ADD_FAILURE() << "the objects past the bound were lost without an error";
    }
    catch (const Pegasus::CIMException& e)
    {
        EXPECT_EQ(Pegasus::CIM_ERR_SERVER_LIMITS_EXCEEDED, e.getCode());
    }
}

TEST(EnumerationFeed, AFailureFollowsWhatWasDeliveredAndACancelFreesAWaitingProvider)
{
    std::atomic<std::size_t> heldByAll{0};
    {
        EnumerationFeed failing(10, limits(10, 60000, 100), heldByAll);
        for (int i = 0; i < 3; ++i)
            failing.path(widget(i));
        failing.fail(Pegasus::CIM_ERR_NOT_FOUND, "gone");
        CimResponse first;
        EXPECT_FALSE(failing.take(10, first));
        EXPECT_EQ(3u, widgetsIn(first).size());
        CimResponse second;
        EXPECT_THROW(failing.take(10, second), Pegasus::CIMException);
    }

    EnumerationFeed abandoned(2, limits(2, 60000, 100), heldByAll);
    std::thread provider = deliver(abandoned, 1000); // waits at the third, for a minute
    CimResponse first;
    abandoned.take(0, first); // the Open's: nothing yet, but something is there
    EXPECT_TRUE(first.encodedObjects.empty());
    EXPECT_FALSE(first.endOfSequence);
    abandoned.cancel();
    provider.join(); // the rest was dropped at once
    EXPECT_EQ(0u, abandoned.held());
    EXPECT_EQ(0u, heldByAll.load());
}
