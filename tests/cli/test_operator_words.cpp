// What scsctl tells an operator without asking the array: sizes refused with what to write instead,
// the raw space and drive counts of each layout, "did you mean" and the labels of the show form.
#include <gtest/gtest.h>

#include "LayoutRules.h"
#include "Records.h"
#include "SizeText.h"
#include "Suggest.h"

using namespace scsctl;

TEST(VolumeSize, NeedsAUnitAndAtLeastOneBlock)
{
    const struct
    {
        const char* text;
        std::uint64_t bytes;
        const char* problem; // words the refusal holds; empty when the size is taken
    } cases[] = {
        {"4GiB", 4ULL << 30, ""},
        {"512B", 512, ""},
        {"1.5TB", 1500000000000ULL, ""},
        {"1", 0, "\"1\" has no unit: write for example 1GiB"},
        {"4.7", 0, "4.7GiB"},
        {"0", 0, "cannot be of size 0"},
        {"0GiB", 0, "cannot be of size 0GiB"},
        {"0.0MiB", 0, "cannot be of size"},
        {"100B", 0, "100 B is below the smallest volume the array makes, one block of 512 bytes"},
        {"0.1KiB", 0, "below the smallest volume"},
        {"12XB", 0, "not a size: \"12XB\""},
        {"", 0, "not a size"},
    };
    for (const auto& test : cases)
    {
        const VolumeSize size = readVolumeSize(test.text);
        EXPECT_EQ(test.bytes, size.bytes) << test.text;
        if (*test.problem == '\0')
            EXPECT_EQ("", size.problem) << test.text;
        else
            EXPECT_NE(std::string::npos, size.problem.find(test.problem))
                << test.text << ": " << size.problem;
    }
}

TEST(LayoutRules, RawSpaceOfEachLayout)
{
    const std::uint64_t gib = 1ULL << 30;
    const struct
    {
        LayoutShape shape;
        std::uint64_t size;
        std::uint64_t raw;
        const char* name;
    } cases[] = {
        {{1, 0, 4}, 4 * gib, 4 * gib, "stripe"},
        {{2, 1, 1}, 4 * gib, 8 * gib, "mirror"},
        {{3, 1, 2}, 4 * gib, 12 * gib, "mirror"},
        {{1, 1, 5}, 4 * gib, 5 * gib, "parity"},
        {{1, 2, 6}, 4 * gib, 6 * gib, "double-parity"},
        {{1, 1, 3}, 1, 2, "parity"},         // rounded up
        {{4, 0, 1}, ~0ULL, ~0ULL, "mirror"}, // no overflow
    };
    for (const auto& test : cases)
    {
        EXPECT_EQ(test.raw, rawBytesFor(test.shape, test.size)) << test.name;
        EXPECT_EQ(test.name, layoutName(test.shape));
    }
}

TEST(LayoutRules, DrivesEachLayoutMaySpan)
{
    const struct
    {
        const char* layout;
        unsigned poolDrives, lowest, highest;
    } cases[] = {
        {"stripe", 12, 1, 12},        {"mirror", 12, 1, 6},         {"parity", 12, 3, 12},
        {"double-parity", 12, 4, 12}, {"double-parity", 40, 4, 16}, {"parity", 2, 3, 2},
    };
    for (const auto& test : cases)
    {
        const DriveRange range = drivesAllowed(test.layout, test.poolDrives);
        EXPECT_EQ(test.lowest, range.lowest) << test.layout << " in " << test.poolDrives;
        EXPECT_EQ(test.highest, range.highest) << test.layout << " in " << test.poolDrives;
    }
    EXPECT_EQ(
        "stripe over 1 to 12, mirror (2 copies) over 1 to 6, parity over 3 to 12, double-parity over 4 to 12",
        layoutsAllowed(12));
    EXPECT_EQ("stripe over 1 to 2, mirror (2 copies) over 1", layoutsAllowed(2));
}

TEST(Suggest, NearestCommandWithinTwoEdits)
{
    const std::vector<std::string> commands = {"system",   "pools", "volumes", "volume", "drives",
                                               "settings", "jobs",  "job",     "scan"};
    const struct
    {
        const char* typed;
        const char* suggestion; // empty: none
    } cases[] = {
        {"pool", "pools"}, {"voluems", "volumes"}, {"setings", "settings"}, {"sytsem", "system"},
        {"SCAN", "scan"},  {"frobnicate", ""},     {"jbo", "job"},          {"x", ""},
    };
    for (const auto& test : cases)
        EXPECT_EQ(test.suggestion, closestWord(test.typed, commands).value_or("")) << test.typed;
    EXPECT_EQ(3u, editDistance("kitten", "sitting"));
    EXPECT_EQ(1u, editDistance("ab", "ba"));
}

TEST(Records, ShowLabelsDropTheUnit)
{
    EXPECT_EQ("size", fieldLabel("size_bytes"));
    EXPECT_EQ("elapsed", fieldLabel("elapsed_seconds"));
    EXPECT_EQ("pool_name", fieldLabel("pool_name"));
    const Record record = {
        {"size_bytes", 8ULL << 30}, {"elapsed_seconds", std::uint64_t(75)}, {"name", "demo"}};
    EXPECT_EQ("size:     8 GiB\nelapsed:  1:15\nname:     demo\n", renderRecord(record));
}
