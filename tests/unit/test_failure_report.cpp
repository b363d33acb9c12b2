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

// Activates the loop once, then lets every frame run at once.
class TActivePump final : public TMessagePump {
public:
  std::uint32_t TickCount() override { return Now += 20; }
  bool Peek(TMessage& Message) override {
    if (Activated) {
      return false;
    }
    Activated = true;
    Message = TMessage{nullptr, WM_ACTIVATEAPP, 1, 0};
    return true;
  }
  void Dispatch(const TMessage& Message) override {
    WindowProc(nullptr, Message.Code, Message.wParam, Message.lParam);
  }
  void Wait(std::uint32_t) override {}
  void SetTitle(const std::string&) override {}

private:
  std::uint32_t Now = 0;
  bool Activated = false;
};

// A window system that records on standard error what its box would show.
class TRecordingPlatform final : public TPlatform {
public:
  bool CreateGameWindow(std::int32_t, std::int32_t) override {
    OnStartUp();
    return true;
  }
  void DestroyGameWindow() override { WindowProc(nullptr, WM_DESTROY, 0, 0); }
  TMessagePump& MessagePump() override { return Pump; }
  void ShowErrorBox(const std::string& Text) override {
    std::fprintf(stderr, "box: %s\n", Text.c_str());
  }

private:
  TActivePump Pump;
};

void Nothing() {}
void StopLoop() {
  Done = true;
}
void ThrowBadAlloc() {
  throw std::bad_alloc();
}
void ThrowRuntimeError() {
  throw std::runtime_error("broken");
}
void ThrowInt() {
  throw 7;
}

TEST(FailureReportDeathTest, EscapingExceptionsAreReportedOnStandardErrorAndInTheBox) {
  const std::tuple<TProc, TProc, TProc, std::string> Cases[] = {
      {ThrowBadAlloc, StopLoop, Nothing, "out of memory"},
      {Nothing, ThrowRuntimeError, Nothing, "unexpected error: broken"},
      {Nothing, StopLoop, ThrowInt, "unexpected error"},
  };
  for (const auto& [StartUp, Frame, ShutDown, Text] : Cases) {
    EXPECT_EXIT(
        {
          TRecordingPlatform Recording;
          InstallPlatform(&Recording);
          ResetWindowState();
          RunMainLoop(StartUp, Frame, ShutDown);
        },
        testing::ExitedWithCode(1), "^kelto: " + Text + "\nbox: " + Text + "\n$");
  }
  // Outside those procedures the program's terminate handler reports instead of aborting.
  EXPECT_EXIT(
      {
        std::set_terminate(TerminateWithReport);
        []() noexcept { ThrowRuntimeError(); }();
      },
      testing::ExitedWithCode(1), "^kelto: unexpected error: broken\n$");
}

} // namespace
