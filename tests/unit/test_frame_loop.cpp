// Pacing of the main loop against a scripted clock and message queue.
#include "OGLWnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// Messages pending from given ticks on, and a clock moved only by waits and frames.
class TScriptedPump final : public TMessagePump {
public:
  std::uint32_t Now = 0;
  std::deque<std::pair<std::uint32_t, TMessage>> Script; // tick and message
  std::vector<std::string> Titles;
  std::string Events; // 'm' for a message, 'f' for a frame, in the order the loop ran them
  int Waits = 0;

  void Post(std::uint32_t Tick, std::uint32_t Message, TWParam wParam = 0) {
    Script.emplace_back(Tick, TMessage{nullptr, Message, wParam, 0});
  }
  std::uint32_t TickCount() override { return Now; }
  bool Peek(TMessage& Message) override {
    if (Script.empty() || Ahead() > 0) {
      return false;
    }
    Message = Script.front().second;
    Script.pop_front();
    return true;
  }
  void Dispatch(const TMessage& Message) override {
    Events += 'm';
    WindowProc(nullptr, Message.Code, Message.wParam, Message.lParam);
  }
  void Wait(std::uint32_t TimeoutMs) override {
    if (++Waits > 10000 || (TimeoutMs == Infinite && Script.empty())) {
      ADD_FAILURE() << "the loop sleeps for ever";
      Done = true;
    }
    Now += Script.empty() ? TimeoutMs : std::min<std::uint32_t>(TimeoutMs, std::max(Ahead(), 0));
  }
  void SetTitle(const std::string& Title) override { Titles.push_back(Title); }

private:
  // Milliseconds until the next message is pending, 0 or negative when it is.
  std::int32_t Ahead() const { return static_cast<std::int32_t>(Script.front().first - Now); }
};

TScriptedPump* Pump;
std::vector<std::uint32_t> FrameStarts;
std::uint32_t FrameCost;
std::size_t StopAfterFrames;

void RecordFrame() {
  FrameStarts.push_back(Pump->Now);
  Pump->Events += 'f';
  Pump->Now += FrameCost;
  Done = FrameStarts.size() == StopAfterFrames; // as the exit scene does
}

class FrameLoopTest : public testing::Test {
protected:
  TScriptedPump Scripted;
  void SetUp() override {
    ResetWindowState();
    Scripted = TScriptedPump();
    Pump = &Scripted;
    FrameStarts.clear();
  }
  // Activates the app at Start and runs Frames frames of Cost milliseconds (0: until a quit).
  void Run(std::uint32_t Start, std::uint32_t Cost, std::size_t Frames) {
    Scripted.Now = Start;
    Scripted.Script.emplace_front(Start, TMessage{nullptr, WM_ACTIVATEAPP, 1, 0});
    FrameCost = Cost;
    StopAfterFrames = Frames;
    RunFrameLoop(Scripted, RecordFrame, Start);
  }
};

} // namespace

TEST_F(FrameLoopTest, FramesStartMoreThanTenMillisecondsApartAcrossTheCounterWrap) {
  // A message 10 ms after the first frame wakes the loop; the counter wraps after the 17th frame.
  const std::uint32_t Start = 0xFFFFFF06u;
  Scripted.Post(Start + 14, WM_MOUSEMOVE);
  Run(Start, 4, 40);
  ASSERT_EQ(FrameStarts.size(), 40u);
  // The previous frame "ended" at tick 0, so the first one follows the activation at once.
  EXPECT_EQ(FrameStarts[0], Start);
  for (std::size_t i = 1; i < FrameStarts.size(); ++i) {
    EXPECT_EQ(FrameStarts[i] - FrameStarts[i - 1], 4u + 11) << i;
  }
  EXPECT_LT(FrameStarts.back(), 0x1000u) << "the counter wrapped while frames ran";
  EXPECT_LE(Scripted.Waits, 2 * 40) << "the loop sleeps between frames instead of polling";
}

TEST_F(FrameLoopTest, MessagesComeFirstNoFramesRunWhileInactiveAndQuitEndsTheLoop) {
  Scripted.Post(2000, WM_KEYDOWN, 'W');
  Scripted.Post(2000, WM_KEYUP, 'W');
  Scripted.Post(2008, WM_MOUSEMOVE);
  Scripted.Post(2008, WM_MOUSEMOVE);
  Scripted.Post(2030, WM_ACTIVATEAPP, 0);
  Scripted.Post(9000, WM_QUIT);
  Scripted.Post(9000, WM_KEYDOWN, 'A'); // never dispatched
  Run(2000, 0, 0);
  EXPECT_EQ(Scripted.Events, "mmmfmmffm");
}

// Frames 35 ms apart: the 30th starts 1015 ms into the interval, 29.6 a second shown as 29.
// Frames 100 ms apart: the 11th comes exactly 1000 ms in, too early; the 12th makes 10.9.
TEST_F(FrameLoopTest, FrameRateIsShownTruncatedOnceMoreThanASecondHasPassed) {
  for (const auto& [Cost, Frames, Title] :
       {std::tuple{24u, 31u, " [ FPS - 29 ] "}, std::tuple{89u, 12u, " [ FPS - 10 ] "}}) {
    SetUp();
    Run(20000, Cost, Frames);
    EXPECT_EQ(Scripted.Titles, std::vector<std::string>{Title}) << Cost;
  }
}
