// The command line, and escaping failures: one report on standard error and in the box, status 1.
#include "MyUnit.h"
#include "OGLWnd.h"
#include "game/CommandLine.h"
#include "game/Settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
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
  EXPECT_EQ(std::tuple(Options.Mute, Options.Volume), std::tuple(false, -1));
  ASSERT_TRUE(Parse({"--volume", "100", "--mute"}));
  EXPECT_EQ(std::tuple(Options.Mute, Options.Volume), std::tuple(true, 100));
  ASSERT_TRUE(Parse({"--volume", "0"}));
  EXPECT_EQ(Options.Volume, 0);
  for (const auto& Bad : std::vector<std::vector<const char*>>{{"--record"},
                                                               {"--play", ""},
                                                               {"-x"},
                                                               {"game"},
                                                               {"--record", "a", "--play", "b"},
                                                               {"--volume"},
                                                               {"--volume", "101"},
                                                               {"--volume", "-1"},
                                                               {"--volume", "+5"},
                                                               {"--volume", "5%"},
                                                               {"--volume", "0x10"}}) {
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

// The settings file: what it may hold, what it says when it holds anything else (defaults used,
// never fatal), and a rewrite, through the platform's atomic replacement, only when one changes.
TEST(Settings, ReadWhatItMayHoldNameTheRestAndRewriteOnlyOnAChange) {
  const std::tuple<const char*, bool, TSettings> Rows[] = {
      {"", true, {}},
      {"# mine\r\nvolume 0\r\n\r\nfullscreen on\nsound off", true, {false, 0, true}},
      {"volume 100\n", true, {true, 100, false}},
      {"volume 101\n", false, {}},
      {"volume 5 \n", false, {}},
      {"sound yes\n", false, {}},
      {"sound on\nsound off\n", false, {}},
      {"Sound on\n", false, {}},
      {"fullscreen\n", false, {}},
  };
  for (const auto& [Text, Good, Expected] : Rows) {
    const TSettings Before{false, 1, true};
    TSettings Read = Before;
    std::string Error;
    EXPECT_EQ(ParseSettings(Text, Read, Error), Good) << Text;
    EXPECT_EQ(Read, Good ? Expected : Before) << Text;
  }
  struct TSaving final : TPlatform {
    bool ReplaceFileContents(const std::string& Name, std::string_view Text,
                             std::string&) override {
      Saved.push_back(Name + ": " + std::string(Text));
      return true;
    }
    std::vector<std::string> Saved;
  } Saving;
  InstallPlatform(&Saving);
  const std::filesystem::path Old = std::filesystem::current_path();
  std::filesystem::current_path(testing::TempDir());
  std::ofstream(SettingsFileName) << "volume 50\nvolume 60\n";
  testing::internal::CaptureStderr();
  EXPECT_EQ(LoadSettings(), TSettings{});
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "kelto: settings.txt: line 2: 'volume 60' is not one of 'sound on|off', 'volume "
            "0-100', 'fullscreen on|off' (each once); defaults used\n");
  std::filesystem::remove(SettingsFileName);
  std::filesystem::current_path(Old);
  SaveSettings(TSettings{});
  SaveSettings(TSettings{true, 80, true});
  SaveSettings(TSettings{true, 80, true});
  InstallPlatform(nullptr);
  EXPECT_EQ(Saving.Saved,
            std::vector<std::string>{"settings.txt: sound on\nvolume 80\nfullscreen on\n"});
}
