// The built-in demo array, used when no description file is given:
//   system "ZARVO-0001" on the machine's host name, firmware 3.2.0
//   16 drives of 1 TiB in slots 0..15: 12 in the base pool, 2 spares, 2 available
//   4 volumes in the base pool: "db-mirror" (mirrored 2 x 2, 500 GiB), "archive-parity"
//     (parity 4+1, 2 TiB), "scratch" (striped over 4, 200 GiB), "vm-dparity" (double parity
//     6+2, 1 TiB)
//   7 volume setting records to use as goals: "striped-4", "mirror-2way", "mirror-3way",
//     "mirror-2x4", "parity-4+1", "parity-8+1", "dparity-6+2"
#ifndef KVEL_DemoArray_h
#define KVEL_DemoArray_h

#include "ArrayModel.h"

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

void buildDemoArray(ArrayModel& model, MPU_TIME now);

} // namespace kvelsim

PEGASUS_NAMESPACE_END

#endif
