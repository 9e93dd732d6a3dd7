// What the array's layouts cost and allow, so that a refusal can say why in figures: the raw pool
// space a volume takes, and how many drives each layout may span in a pool of n drives.
#ifndef SCSCTL_LayoutRules_h
#define SCSCTL_LayoutRules_h

#include <cstdint>
#include <string>

namespace scsctl
{

// A volume's redundancy as its setting or record gives it.
struct LayoutShape
{
    std::uint64_t copies = 1; // DataRedundancy: 2 or more mirror
    std::uint64_t parity = 0; // PackageRedundancy of one copy: 0 stripe, 1 parity, 2 double parity
    std::uint64_t drives = 1; // ExtentStripeLength: the drives one copy's stripe spans
};

// "mirror", "stripe", "parity" or "double-parity".
std::string layoutName(const LayoutShape& shape);

// Raw pool bytes a volume of the size takes: mirrors every copy, parity w/(w-1), double parity
// w/(w-2) of a stripe of w drives (rounded up).
std::uint64_t rawBytesFor(const LayoutShape& shape, std::uint64_t size);

// The drives a stripe of the layout may span in a pool of poolDrives drives (the array spans at
// most 16): {lowest, highest}; highest < lowest when the pool is too small for it at all.
struct DriveRange
{
    unsigned lowest;
    unsigned highest;
};
DriveRange drivesAllowed(const std::string& layout, unsigned poolDrives);

// "stripe over 1 to 12 drives, mirror (2 copies) over 1 to 6, parity over 3 to 12, double-parity
// over 4 to 12".
std::string layoutsAllowed(unsigned poolDrives);

} // namespace scsctl

#endif
