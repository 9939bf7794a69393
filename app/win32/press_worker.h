// The program's one press worker: the work of each press after its grab runs
// there, one press after another in press order, below normal priority.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "app/win32/capture_action.h"

namespace orbilux {

// Posted to the main dialog by the press worker: a press is done.
constexpr UINT kPressFinishedMessage = WM_APP + 0x22;
// Posted to the main dialog by the press worker: a press's files could not be
// written (lParam a SaveOutcome* the receiver deletes).
constexpr UINT kPressSaveFailedMessage = WM_APP + 0x23;
// Posted to the main dialog by the press worker: a press wrote its files and
// the settings ask to say so (lParam a SaveOutcome* the receiver deletes).
constexpr UINT kPressSavedMessage = WM_APP + 0x24;

// Queues the press's worker part (FinishPress with steps that report to
// `notify`); false when the pictures waiting already fill the queue's budget.
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
