// How long engine work takes and when recurring work comes round again.
//
// Run time of one run, from the work size at a simulated rate, within bounds:
//   create volume       volume size   at 1 GiB/s     5 s .. 180 s
//   grow volume         added size    at 1 GiB/s     5 s .. 180 s
//   reconfigure volume  new size      at 512 MiB/s  10 s .. 240 s
//   delete volume       -                            3 s
//   scan volume         volume size   at 2 GiB/s     5 s .. 120 s
//   rebuild volume      volume size   at 1 GiB/s    10 s .. 180 s
//   initialise drive    drive size    at 8 GiB/s    10 s .. 120 s
//   take drive down     -                            5 s
#ifndef KVEL_TaskTiming_h
#define KVEL_TaskTiming_h

#include <KVELErrorCodes.h>
#include <KVELTask.h>

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

const MPU_TIME MICROS_PER_SECOND = 1000000;
const MPU_TIME TASK_RETENTION = 300 * MICROS_PER_SECOND;
const Uint32 DEFAULT_TASK_PRIORITY = 100;
const size_t MAX_TASKS = 256;

MPU_TIME taskDuration(KVELTask::TaskTypeEnum type, Uint64 workBlocks);

// KVEL_RC_SUCCESS, or KVEL_RC_INVALID_PERIODICITY for an unknown unit or a recurring unit with
// periodicity 0. Units NONE and ONCE mean a single run.
Uint32 checkPeriodicity(Uint32 unit, Uint16 periodicity);
bool isRecurring(const KVELTask& task);
// The first run time of the series start + k * period (k >= 0) that lies after `after`.
// Months are calendar months (UTC); a day beyond the month's end becomes its last day.
MPU_TIME nextRunAfter(MPU_TIME start, KVELTask::TaskSchedulingPeriodicityUnitsEnum unit, Uint16 periodicity,
                      MPU_TIME after);

} // namespace kvelsim

PEGASUS_NAMESPACE_END

#endif
