// Failures that escape the game's procedures: the report on standard error and the text the
// platform's box is given must be the same, and the program ends with status 1, not an abort.
#include "MyUnit.h"
#include "OGLWnd.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <exception>
#include <new>
#include <stdexcept>
#include <tuple>

namespace {

// A window system whose box writes what it was given to standard error.
struct TRecordingPlatform final : TPlatform {
  bool CreateGameWindow(std::int32_t, std::int32_t) override {
    OnStartUp();
    return true;
  }
  void DestroyGameWindow() override { WindowProc(nullptr, WM_DESTROY, 0, 0); }
  void ShowErrorBox(const std::string& Text) override {
    std::fputs(("box: " + Text + "\n").c_str(), stderr);
  }
};

void Broken() {
  throw std::runtime_error("broken");
}

TEST(FailureReportDeathTest, EscapingExceptionsAreReportedOnStandardErrorAndInTheBox) {
  // No case gets to a frame: this platform has no clock to pace frames by.
  const TProc Stop = [] { Done = true; };
  const std::tuple<TProc, TProc, std::string> Cases[] = {
      {[] { throw std::bad_alloc(); }, Stop, "out of memory"},
      {Broken, Stop, "unexpected error: broken"},
      {Stop, [] { throw 7; }, "unexpected error"},
      // Where no procedure can catch it, the program's terminate handler reports it.
      {[] { []() noexcept { Broken(); }(); }, Stop, "unexpected error: broken"},
  };
  for (const auto& [StartUp, ShutDown, Text] : Cases) {
    EXPECT_EXIT(
        {
          TRecordingPlatform Recording;
          InstallPlatform(&Recording);
          std::set_terminate(TerminateWithReport);
          RunMainLoop(StartUp, Stop, ShutDown);
        },
        testing::ExitedWithCode(1), "^kelto: " + Text + "\nbox: " + Text + "\n$");
  }
}

} // namespace
