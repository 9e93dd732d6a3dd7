// What a task does to the array when it starts, completes or is aborted. The work operations
// apply the visible part at once (a created volume exists as INITIALIZING, a grown volume has its
// new size, a deleted one is DELETING); the task finishes the job or, when aborted, undoes it:
//
//   type               complete                               abort
//   create volume      volume OK                              volume removed, space returned
//   grow / reconfigure -                                      size and layout as before
//   atomic reconfigure shadow OK, old volume removed, its     shadow removed
//                      pending tasks move to the shadow
//   delete volume      volume removed, space returned         volume back to its state
//   scan volume        -                                      -
//   rebuild volume     REBUILDING (from start) -> OK          back to the state before
//   initialise drive   ONLINE in the available pool           DOWN in the unavailable pool
//   take drive down    DOWN in the unavailable pool, or the   -
//                      task fails with KVEL_RC_DRIVE_IN_USE
//                      if its pool would lose its volumes
#ifndef KVEL_TaskEffects_h
#define KVEL_TaskEffects_h

#include "ArrayModel.h"

PEGASUS_NAMESPACE_BEGIN

namespace kvelsim
{

bool isStructural(KVELTask::TaskTypeEnum type);
bool isFinished(const KVELTask& task);

// KVEL_RC_SUCCESS when the task's target still exists, else the code it fails with.
Uint32 checkTarget(const ArrayModel& model, const TaskEntry& task);
void onTaskStart(ArrayModel& model, TaskEntry& task);
// KVEL_RC_SUCCESS, or the result code the task fails with.
Uint32 onTaskComplete(ArrayModel& model, TaskEntry& task);
void onTaskAbort(ArrayModel& model, TaskEntry& task);

} // namespace kvelsim

PEGASUS_NAMESPACE_END

#endif
