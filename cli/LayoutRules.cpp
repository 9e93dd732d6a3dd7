#include "LayoutRules.h"

#include <algorithm>

namespace scsctl
{

namespace
{

const unsigned MAX_STRIPE_DRIVES = 16; // the most drives the array spreads one volume over

} // namespace

std::string layoutName(const LayoutShape& shape)
{
    if (shape.copies >= 2) return "mirror";
    if (shape.parity == 0) return "stripe";
    return shape.parity == 1 ? "parity" : "double-parity";
}

std::uint64_t rawBytesFor(const LayoutShape& shape, std::uint64_t size)
{
    const std::string layout = layoutName(shape);
    const unsigned __int128 bytes = size;
    unsigned __int128 raw = bytes;
    if (layout == "mirror")
        raw = bytes * shape.copies;
    else if (layout != "stripe" && shape.drives > shape.parity)
        raw = (bytes * shape.drives + shape.drives - shape.parity - 1) / (shape.drives - shape.parity);
    return raw > UINT64_MAX ? UINT64_MAX : std::uint64_t(raw);
}

DriveRange drivesAllowed(const std::string& layout, unsigned poolDrives)
{
    const unsigned most = std::min(poolDrives, MAX_STRIPE_DRIVES);
    if (layout == "mirror") return {1, most / 2};
    if (layout == "parity") return {3, most};
    if (layout == "double-parity") return {4, most};
    return {1, most};
}

std::string layoutsAllowed(unsigned poolDrives)
{
    std::string text;
    for (const char* layout : {"stripe", "mirror", "parity", "double-parity"})
    {
        const DriveRange range = drivesAllowed(layout, poolDrives);
        if (range.highest < range.lowest) continue;
        if (!text.empty()) text += ", ";
        text += layout;
        if (std::string(layout) == "mirror") text += " (2 copies)";
        text += range.lowest == range.highest
                    ? " over " + std::to_string(range.lowest)
                    : " over " + std::to_string(range.lowest) + " to " + std::to_string(range.highest);
    }
    return text.empty() ? "no layout" : text;
}

} // namespace scsctl
