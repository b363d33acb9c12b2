// The command line: options, their FILE, and what is refused.
#include "game/CommandLine.h"

#include <gtest/gtest.h>

#include <tuple>

#include <vector>

namespace {

bool Parse(std::vector<const char*> Arguments, TOptions& Options, std::string& Error) {
  Arguments.insert(Arguments.begin(), "kelto");
  return ParseCommandLine(static_cast<int>(Arguments.size()), Arguments.data(), Options, Error);
}

} // namespace

TEST(CommandLine, OptionsAndTheirFiles) {
  TOptions Options;
  std::string Error;
  ASSERT_TRUE(Parse({}, Options, Error));
  EXPECT_EQ(std::tuple(Options.Help, Options.Version, Options.Fullscreen),
            std::tuple(false, false, false));
  ASSERT_TRUE(Parse({"--fullscreen", "--record", "a.demo"}, Options, Error));
  EXPECT_TRUE(Options.Fullscreen);
  EXPECT_EQ(Options.RecordFile, "a.demo");
  ASSERT_TRUE(Parse({"--play", "--fullscreen"}, Options, Error)); // a file may be named so
  EXPECT_EQ(Options.PlayFile, "--fullscreen");
  for (const auto& Bad : std::vector<std::vector<const char*>>{
           {"--record"}, {"--play", ""}, {"-x"}, {"game"}, {"--record", "a", "--play", "b"}}) {
    Options.Fullscreen = true;
    EXPECT_FALSE(Parse(Bad, Options, Error)) << Bad[0];
    EXPECT_FALSE(Error.empty());
    EXPECT_TRUE(Options.Fullscreen) << "left alone on an error";
  }
}
