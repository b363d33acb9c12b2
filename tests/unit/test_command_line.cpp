// The command line: options, their FILE, and what is refused.
#include "game/CommandLine.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

TEST(CommandLine, OptionsAndTheirFiles) {
  TOptions Options;
  std::string Error;
  const auto Parse = [&Options, &Error](std::vector<const char*> Arguments) {
    Arguments.insert(Arguments.begin(), "kelto");
    return ParseCommandLine(static_cast<int>(Arguments.size()), Arguments.data(), Options, Error);
  };
  ASSERT_TRUE(Parse({}));
  EXPECT_EQ(std::tuple(Options.Help, Options.Version, Options.Fullscreen),
            std::tuple(false, false, false));
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
