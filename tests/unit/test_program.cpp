// The command line, and escaping failures: one report on standard error and in the box, status 1.
#include "MyUnit.h"
#include "OGLWnd.h"
#include "game/CommandLine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <exception>
#include <new>
#include <stdexcept>
#include <tuple>
#include <vector>

TEST(CommandLine, OptionsAndTheirFiles) {
  TOptions Options;
  std::string Error;
  const auto Parse = [&Options, &Error](std::vector<const char*> Arguments) {
    Arguments.insert(Arguments.begin(), "kelto");
    return ParseCommandLine(static_cast<int>(Arguments.size()), Arguments.data(), Options, Error);
  };
  ASSERT_TRUE(Parse({"--version"}));
  EXPECT_EQ(std::tuple(Options.Help, Options.Version), std::tuple(false, true));
  ASSERT_TRUE(Parse({"-h"}));
  EXPECT_EQ(std::tuple(Options.Help, Options.Version), std::tuple(true, false));
  ASSERT_TRUE(Parse({"--fullscreen", "--record", "a.demo"}));
  EXPECT_EQ(std::tuple(Options.Fullscreen, Options.RecordFile), std::tuple(true, "a.demo"));
  ASSERT_TRUE(Parse({"--play", "--fullscreen"})); // a file may be named so
  EXPECT_EQ(Options.PlayFile, "--fullscreen");
  for (const auto& Bad : std::vector<std::vector<const char*>>{
           {"--record"}, {"--play", ""}, {"-x"}, {"game"}, {"--record", "a", "--play", "b"}}) {
    Options.Fullscreen = true;
    EXPECT_FALSE(Parse(Bad)) << Bad[0];
    EXPECT_FALSE(Error.empty());
    EXPECT_TRUE(Options.Fullscreen) << "left alone on an error";
  }
}

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
