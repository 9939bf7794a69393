// The program's one press worker: the work of each press after its grab runs
// there, one press after another in press order, below normal priority.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "app/win32/app_messages.h"
#include "app/win32/capture_action.h"

namespace orbilux {

// Queues the press's worker part (FinishPress with steps that report to
// `notify`, then kPressFinishedMessage, whatever became of the work); false
// when the pictures waiting already fill the queue's budget.
bool QueuePressWork(const std::shared_ptr<Press>& press, HWND notify);

// The key's part of a press on Windows: its moment read from the system, and
// the rest of its computer information gathered on a thread of its own.
void ReadPressMoment(Press& press);
void StartPressGathering(Press& press);

// Lets every queued press finish (files written, printing handed on), then
// ends the worker. At Exit, after the icon and the single-instance lock have gone.
void FinishPressesAtExit();

// Lowers the calling thread below normal priority: background work of a press
// gives way to the user-interface thread.
void LowerThreadPriority();

}  // namespace orbilux
