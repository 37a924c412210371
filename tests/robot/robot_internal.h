// What the robot's own files share: messages sent with a timeout, the wait
// after an action, and the windows of a process.
#ifndef ROBOT_ROBOT_INTERNAL_H
#define ROBOT_ROBOT_INTERNAL_H

#include <string>
#include <vector>

#include "robot.h"

namespace robot {

const UINT kSendTimeoutMs = 5000;  // per round trip that acts

bool SameNoCase(const std::string& a, const char* b);

// Top-level windows of process `pid`, topmost first.
std::vector<HWND> WindowsOfProcess(DWORD pid);

// SendMessageTimeoutA that gives up on a hung or slow thread.
bool Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result = nullptr,
          UINT timeoutMs = kSendTimeoutMs);

// Waits after posting to `dialog` until its thread has handled what was
// posted, or the dialog was hidden or closed.
bool Settle(HWND dialog, DWORD timeoutMs);

// A control that exists, is visible and is enabled.
bool IsUsable(HWND control);

}  // namespace robot

#endif  // ROBOT_ROBOT_INTERNAL_H
