// Demos: the file a recording writes and reading one back.
#include "OGLWnd.h"
#include "game/replay/Demo.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string FileText(const std::string& Name) {
  std::ostringstream Text;
  Text << std::ifstream(Name, std::ios::binary).rdbuf();
  return Text.str();
}

} // namespace

TEST(Demo, RecordingReplacesTheFileAtTheFirstStepAndWritesAsItGoes) {
  const std::string Name = testing::TempDir() + "kelto_recorded.demo";
  std::ofstream(Name) << "an older demo\n";
  TReplayInput Input{1, 65535, true};
  Input.Keys[VK_ESCAPE] = Input.Keys[87] = true;
  TDemoRecorder Recorder(Name);
  EXPECT_EQ(FileText(Name), "an older demo\n") << "replaced before anything was played";
  const std::string First = "# kelto demo 1\n1 65535 1 0 27,87\n", Idle = "0 0 0 0 -\n";
  Recorder.Record(Input, 0xFFFFFF00u);
  EXPECT_EQ(FileText(Name), First);
  // Half a second later, across the wrap of the millisecond counter, the lines are out.
  Recorder.Record({}, 0x000000F0u);
  Recorder.Record({}, 0x000000F4u);
  EXPECT_EQ(FileText(Name), First + Idle + Idle);
  Recorder.Record({}, 0x000000F5u);
  Recorder.Close();
  EXPECT_EQ(FileText(Name), First + Idle + Idle + Idle);
}

TEST(Demo, AWriteFailureIsReportedOnceAndTheGameGoesOn) {
  testing::internal::CaptureStderr();
  TDemoRecorder Recorder("/dev/full");
  for (std::uint32_t Now = 0; Now < 3000; Now += 100) {
    Recorder.Record({}, Now);
  }
  Recorder.Close();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "kelto: cannot write /dev/full: No space left on device\n");
  EXPECT_EQ(Recorder.Ticks(), 30);
}

TEST(Demo, ReadingTakesWindowsLineEndsAndRefusesAnotherVersionOrADevice) {
  std::vector<TReplayInput> Steps;
  std::string Error;
  EXPECT_TRUE(ReadDemo("# kelto demo 1\r\n\r\n400 300 0 1 68\r\n", Steps, Error)) << Error;
  EXPECT_FALSE(ReadDemo("# kelto demo 2\n400 300 0 0 -\n", Steps, Error));
  EXPECT_FALSE(PlayDemo("/dev/zero", Error)) << "a device is refused, not read without end";
}
