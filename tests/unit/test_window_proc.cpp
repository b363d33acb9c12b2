// The window procedure's message table.
#include "OGLWnd.h"

#include <gtest/gtest.h>

#include <tuple>

#include <algorithm>
#include <vector>

namespace {

int ShutdownCalls;
void CountShutdown() {
  ++ShutdownCalls;
}

int KeysDown() {
  return static_cast<int>(std::count(std::begin(Keys), std::end(Keys), true));
}

} // namespace

TEST(WindowProc, InputStateFollowsMessages) {
  ResetWindowState();
  EXPECT_EQ(WindowProc(nullptr, WM_KEYDOWN, 'W', 0), 0);
  WindowProc(nullptr, WM_KEYDOWN, 'W', 0); // auto-repeat: still down
  WindowProc(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
  WindowProc(nullptr, WM_KEYUP, 'W', 0);
  EXPECT_TRUE(Keys[27]);
  EXPECT_EQ(KeysDown(), 1);

  // Mouse words are zero-extended: a pointer above and left of the window is a large number.
  WindowProc(nullptr, WM_MOUSEMOVE, 0, MakeLParam(-3, 599));
  EXPECT_EQ(MouseX, 65533);
  EXPECT_EQ(MouseY, 599);
  WindowProc(nullptr, WM_LBUTTONDOWN, 0, MakeLParam(5, 5));
  WindowProc(nullptr, WM_RBUTTONDOWN, 0, 0);
  EXPECT_EQ(std::pair(MouseLeft, MouseRight), std::pair(true, true));
  EXPECT_EQ(MouseX, 65533) << "a button message does not move the pointer";
  WindowProc(nullptr, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(std::pair(MouseLeft, MouseRight), std::pair(false, true));

  // System keys, double clicks and anything else go to the default handling.
  for (std::uint32_t Message : {WM_SYSKEYDOWN, WM_SYSKEYUP, WM_LBUTTONDBLCLK, 0x0400u}) {
    WindowProc(nullptr, Message, 'A', MakeLParam(7, 9));
  }
  EXPECT_FALSE(Keys['A']);
  EXPECT_FALSE(MouseLeft);

  for (TWParam Value : {1u, 0u, 2u, 3u}) {
    WindowProc(nullptr, WM_ACTIVATEAPP, Value, 0);
    EXPECT_EQ(IsAppActive(), Value == 1 || Value == 2) << Value;
  }
}

TEST(WindowProc, DestroyRunsShutdownAndCloseAsksToQuit) {
  ShutdownCalls = 0;
  OnShutdown = CountShutdown;
  WindowProc(nullptr, WM_DESTROY, 0, 0);
  EXPECT_EQ(ShutdownCalls, 1);
  OnShutdown = nullptr;

  // Closing destroys nothing: it posts the quit message that ends the loop.
  struct TQuitRecorder : TPlatform {
    void PostQuitMessage(int ExitCode) override { Posted.push_back(ExitCode); }
    std::vector<int> Posted;
  } Recorder;
  InstallPlatform(&Recorder);
  WindowProc(nullptr, WM_CLOSE, 0, 0);
  InstallPlatform(nullptr);
  EXPECT_EQ(Recorder.Posted, std::vector<int>{0});
}
