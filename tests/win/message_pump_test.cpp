// The message pump lets through what is queued, at most its limit, and
// never waits.
#include <gtest/gtest.h>
#include <windows.h>

#include "host/win32_host.h"

namespace {

int g_dispatched;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_APP) ++g_dispatched;
  return DefWindowProcA(window, message, w, l);
}

class MessagePump : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PumpTestWindow";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, "PumpTestWindow", "", 0, 0, 0, 10, 10,
                              HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    PumpPendingMessages(1000);
    g_dispatched = 0;
  }
  void TearDown() override { DestroyWindow(window_); }
  HWND window_ = nullptr;
};

TEST_F(MessagePump, TakesAtMostItsLimitAndLeavesTheRest) {
  for (int i = 0; i < 5; ++i) PostMessageA(window_, WM_APP, 0, 0);
  PumpPendingMessages(3);
  EXPECT_EQ(g_dispatched, 3);
  PumpPendingMessages(50);
  EXPECT_EQ(g_dispatched, 5);
  PumpPendingMessages(50);  // empty queue: returns without waiting
  EXPECT_EQ(g_dispatched, 5);
}

TEST_F(MessagePump, AQuitMessageIsTakenOutWithoutEffect) {
  PostQuitMessage(-1);
  PostMessageA(window_, WM_APP, 0, 0);
  PumpPendingMessages(50);
  EXPECT_EQ(g_dispatched, 1);
  MSG message;
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
}

}  // namespace
