#include "OGLWnd.h"

#include <gtest/gtest.h>

TEST(WindowProc, KeysFollowDownAndUp) {
  ResetWindowState();
  EXPECT_EQ(WindowProc(nullptr, WM_KEYDOWN, 'W', 0), 0);
  EXPECT_TRUE(Keys['W']);
  WindowProc(nullptr, WM_KEYDOWN, 'W', 0); // auto-repeat keeps it down
  EXPECT_TRUE(Keys['W']);
  WindowProc(nullptr, WM_KEYUP, 'W', 0);
  EXPECT_FALSE(Keys['W']);
}
