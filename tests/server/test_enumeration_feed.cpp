// The feed of a pull enumeration between a provider thread and the pulls: the window bounds what
// waits while the client pulls, a pull hands objects on while the provider makes the rest, a
// stalled client lets the provider go within the bound of all feeds, a failure comes after what
// was delivered before it, and a cancel frees a waiting provider.
#include "EnumerationFeed.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>
#include <chrono>
#include <string>
#include <thread>

#include <Pegasus/Common/Exception.h>
#include <Pegasus/Common/XmlWriter.h>

using cimhost::EnumerationFeed;
using Taken = cimhost::EnumerationFeed::Taken;

namespace
{

Pegasus::CIMObjectPath widget(int i)
{
    return Pegasus::CIMObjectPath(("Test_Widget.Id=\"w" + std::to_string(i) + "\"").c_str());
}

// The bytes of one widget's encoded path (w10 to w99).
constexpr std::size_t PATH_BYTES = 250;

EnumerationFeed::Limits limits(std::size_t windowObjects, int patienceMs, std::size_t maxHeldByAll)
{
    EnumerationFeed::Limits limits;
    limits.windowBytes = windowObjects * PATH_BYTES;
    limits.patience = std::chrono::milliseconds(patienceMs);
    limits.maxHeldByAll = maxHeldByAll;
    return limits;
}

// An answer that records each hand-off of objects, and can stop taking them.
class Answer : public cimhost::AnswerOutput
{
public:
    bool elementDone() override
    {
        handOffs.push_back(text.size());
        return handOffs.size() < stopAfter;
    }

    // The widget numbers of the paths taken, in order, from their encoded key values.
    std::vector<int> widgets() const
    {
        std::vector<int> numbers;
        const std::string key = ">w";
        for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1))
            numbers.push_back(std::stoi(text.substr(at + key.size())));
        return numbers;
    }

    std::vector<std::size_t> handOffs; // the answer's size at each
    std::size_t stopAfter = SIZE_MAX;
};

// Delivers paths w10 .. w(10+count-1) on a thread of its own, then finishes the feed.
std::thread deliver(EnumerationFeed& feed, int count)
{
    return std::thread(
        [&feed, count]
        {
            for (int i = 10; i < 10 + count; ++i)
                feed.path(widget(i));
            feed.finish();
        });
}

} // namespace

TEST(EnumerationFeed, APullHandsObjectsOnAsTheyAreMadeAndTheWindowBoundsWhatWaits)
{
    std::atomic<std::size_t> heldByAll{0};
    EnumerationFeed feed(limits(6, 60000, 1000), heldByAll);
    std::string onePath;
    Pegasus::XmlWriter::appendInstancePathElement(onePath, widget(10));
    ASSERT_LE(onePath.size(), PATH_BYTES) << "the tests' windows count objects of about this size";
    ASSERT_GT(onePath.size(), PATH_BYTES * 3 / 4);
    std::thread provider = deliver(feed, 90);
    int next = 10;
    Taken taken = Taken::More;
    int pulls = 0;
    while (taken == Taken::More)
    {
        Answer chunk;
        taken = feed.take(30, chunk);
        ++pulls;
        EXPECT_LE(feed.held(), 7u);
        const std::vector<int> widgets = chunk.widgets();
        for (int number : widgets)
            EXPECT_EQ(next++, number);
        EXPECT_EQ(30u, widgets.size()) << "a chunk short of its count";
        // 30 objects through a window of about 6: several hand-offs.
        EXPECT_GE(chunk.handOffs.size(), 3u);
        ASSERT_LE(next, 100);
    }
    provider.join();
    EXPECT_EQ(Taken::EndOfSequence, taken);
    EXPECT_EQ(100, next);
    EXPECT_EQ(3, pulls) << "the last chunk ends the sequence";
    EXPECT_FALSE(feed.gathering());
    EXPECT_EQ(0u, heldByAll.load());
}

TEST(EnumerationFeed, AStalledClientLetsTheProviderGoWithinTheBoundOfAllFeeds)
{
    std::atomic<std::size_t> heldByAll{0};
    EnumerationFeed feed(limits(5, 20, 30), heldByAll);
    deliver(feed, 80).join(); // returns without a single pull
    EXPECT_TRUE(feed.gathering());
    EXPECT_EQ(30u, feed.held());

    Answer chunk;
    EXPECT_EQ(Taken::More, feed.take(100, chunk));
    EXPECT_EQ(30u, chunk.widgets().size());
    EXPECT_EQ(0u, heldByAll.load());
    try
    {
        Answer after;
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
        EnumerationFeed failing(limits(10, 60000, 100), heldByAll);
        for (int i = 10; i < 13; ++i)
            failing.path(widget(i));
        failing.fail(Pegasus::CIM_ERR_NOT_FOUND, "gone");
        Answer first;
        EXPECT_EQ(Taken::More, failing.take(10, first));
        EXPECT_EQ(3u, first.widgets().size());
        Answer second;
        EXPECT_THROW(failing.take(10, second), Pegasus::CIMException);
    }

    EnumerationFeed abandoned(limits(2, 60000, 100), heldByAll);
    std::thread provider = deliver(abandoned, 1000); // waits at the third, for a minute
    Answer first;
    EXPECT_EQ(Taken::More, abandoned.take(0, first)); // the Open's: nothing yet, but something is there
    EXPECT_TRUE(first.text.empty());
    Answer gone; // a client that leaves during its pull
    gone.stopAfter = 1;
    EXPECT_EQ(Taken::Unsent, abandoned.take(500, gone));
    abandoned.cancel();
    provider.join(); // the rest was dropped at once
    EXPECT_EQ(0u, abandoned.held());
    EXPECT_EQ(0u, heldByAll.load());
}
