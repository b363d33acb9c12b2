// The window procedure's message table: the input state, activation and the default handling.
#include "OGLWnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

TEST(WindowProc, InputStateFollowsMessages) {
  ResetWindowState();
  EXPECT_EQ(WindowProc(nullptr, WM_KEYDOWN, 'W', 0), 0);
  WindowProc(nullptr, WM_KEYDOWN, 'W', 0); // auto-repeat: still down
  WindowProc(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
  WindowProc(nullptr, WM_KEYUP, 'W', 0);
  EXPECT_TRUE(Keys[VK_ESCAPE]);
  EXPECT_EQ(std::count(std::begin(Keys), std::end(Keys), true), 1);
  // Mouse words are zero-extended: a pointer above and left of the window is a large number.
  WindowProc(nullptr, WM_MOUSEMOVE, 0, MakeLParam(-3, 599));
  WindowProc(nullptr, WM_LBUTTONDOWN, 0, MakeLParam(5, 5)); // moves no pointer
  WindowProc(nullptr, WM_RBUTTONDOWN, 0, 0);
  EXPECT_EQ(std::tuple(MouseX, MouseY, MouseLeft, MouseRight), std::tuple(65533, 599, true, true));
  WindowProc(nullptr, WM_LBUTTONUP, 0, 0);
  EXPECT_FALSE(MouseLeft);
  // System keys, double clicks and anything else go to the default handling.
  for (std::uint32_t Message : {WM_SYSKEYDOWN, WM_SYSKEYUP, WM_LBUTTONDBLCLK, 0x0400u}) {
    WindowProc(nullptr, Message, 'A', MakeLParam(7, 9));
  }
  EXPECT_EQ(std::tuple(Keys['A'], MouseLeft, MouseX), std::tuple(false, false, 65533));
  for (TWParam Value : {1u, 0u, 2u, 3u}) {
    WindowProc(nullptr, WM_ACTIVATEAPP, Value, 0);
    EXPECT_EQ(IsAppActive(), Value == 1 || Value == 2) << Value;
  }
}
