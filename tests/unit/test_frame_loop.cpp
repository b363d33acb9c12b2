// Pacing of the main loop against a scripted clock and message queue.
#include "OGLWnd.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

// A message queue whose messages become pending at given ticks, and a clock that only moves
// when the loop waits or a frame spends time.
class TScriptedPump final : public TMessagePump {
public:
  struct TTimed {
    std::uint32_t Tick;
    TMessage Message;
  };

  std::uint32_t Now = 0;
  std::deque<TTimed> Script;
  std::vector<std::string> Titles;
  std::vector<std::string> Events; // what the loop did, in order
  int Waits = 0;

  void Post(std::uint32_t Tick, std::uint32_t Message, TWParam wParam = 0) {
    Script.push_back({Tick, TMessage{nullptr, Message, wParam, 0}});
  }

  std::uint32_t TickCount() override { return Now; }

  bool Peek(TMessage& Message) override {
    if (Script.empty() || static_cast<std::int32_t>(Script.front().Tick - Now) > 0) {
      return false;
    }
    Message = Script.front().Message;
    Script.pop_front();
    return true;
  }

  void Dispatch(const TMessage& Message) override {
    Events.push_back("msg");
    WindowProc(nullptr, Message.Code, Message.wParam, Message.lParam);
  }

  void Wait(std::uint32_t TimeoutMs) override {
    ++Waits;
    ASSERT_FALSE(TimeoutMs == Infinite && Script.empty()) << "the loop would sleep for ever";
    std::uint32_t Until = TimeoutMs == Infinite ? Script.front().Tick : Now + TimeoutMs;
    if (!Script.empty() && static_cast<std::int32_t>(Script.front().Tick - Until) < 0) {
      Until = Script.front().Tick;
    }
    if (static_cast<std::int32_t>(Until - Now) > 0) {
      Now = Until;
    }
  }

  void SetTitle(const std::string& Title) override { Titles.push_back(Title); }
};

TScriptedPump* Pump;
std::vector<std::uint32_t> FrameStarts;
std::vector<std::uint32_t> FrameEnds;
std::uint32_t FrameCost;
std::size_t StopAfterFrames;

void RecordFrame() {
  FrameStarts.push_back(Pump->Now);
  Pump->Events.push_back("frame");
  Pump->Now += FrameCost;
  FrameEnds.push_back(Pump->Now);
  if (FrameStarts.size() == StopAfterFrames) {
    Done = true; // as the exit scene does
  }
}

class FrameLoopTest : public testing::Test {
protected:
  TScriptedPump Scripted;

  void SetUp() override {
    ResetWindowState();
    Pump = &Scripted;
    FrameStarts.clear();
    FrameEnds.clear();
    FrameCost = 0;
    StopAfterFrames = 0;
  }

  void Run(std::uint32_t StartTick) { RunFrameLoop(Scripted, RecordFrame, StartTick); }
};

} // namespace

TEST_F(FrameLoopTest, FirstFrameOnActivationThenMoreThanTenMillisecondsApart) {
  Scripted.Now = 50000;
  Scripted.Post(50300, WM_ACTIVATEAPP, 1);
  FrameCost = 4;
  StopAfterFrames = 20;
  Run(50000);
  ASSERT_EQ(FrameStarts.size(), 20u);
  // The previous frame "ended" at tick 0, so the first one follows the activation at once.
  EXPECT_EQ(FrameStarts[0], 50300u);
  for (std::size_t i = 1; i < FrameStarts.size(); ++i) {
    EXPECT_EQ(FrameStarts[i], FrameEnds[i - 1] + 11) << i;
  }
  // Before activation and between frames the loop sleeps instead of polling.
  EXPECT_LE(Scripted.Waits, 2 * 20 + 1);
}

TEST_F(FrameLoopTest, FrameRateIsTruncatedAndShownOncePerSecond) {
  // Frames every 35 ms from tick 1: the 30th starts at 1016 ms into the interval.
  Scripted.Now = 10000;
  Scripted.Post(10001, WM_ACTIVATEAPP, 1);
  FrameCost = 24;
  StopAfterFrames = 31;
  Run(10000);
  ASSERT_EQ(FrameStarts.size(), 31u);
  EXPECT_EQ(FrameStarts[29], 10000u + 1016);
  ASSERT_EQ(Scripted.Titles.size(), 1u);
  EXPECT_EQ(Scripted.Titles[0], " [ FPS - 29 ] ");
}

TEST_F(FrameLoopTest, MessagesComeBeforeFramesOneAPass) {
  Scripted.Now = 2000;
  Scripted.Post(2000, WM_ACTIVATEAPP, 1);
  Scripted.Post(2000, WM_KEYDOWN, 'W');
  Scripted.Post(2000, WM_KEYUP, 'W');
  Scripted.Post(2008, WM_MOUSEMOVE);
  Scripted.Post(2008, WM_MOUSEMOVE);
  FrameCost = 0;
  StopAfterFrames = 3;
  Run(2000);
  const std::vector<std::string> Expected = {"msg", "msg", "msg",   "frame",
                                             "msg", "msg", "frame", "frame"};
  EXPECT_EQ(Scripted.Events, Expected);
}

TEST_F(FrameLoopTest, InactiveAppRunsNoFramesAndQuitEndsTheLoopUndispatched) {
  Scripted.Now = 3000;
  Scripted.Post(3000, WM_ACTIVATEAPP, 1);
  Scripted.Post(3500, WM_ACTIVATEAPP, 0);
  Scripted.Post(9000, WM_QUIT);
  Scripted.Post(9000, WM_KEYDOWN, 'A');
  FrameCost = 20;
  Run(3000);
  ASSERT_FALSE(FrameStarts.empty());
  EXPECT_LT(FrameStarts.back(), 3500u);
  EXPECT_TRUE(Scripted.Titles.empty()) << "no second has passed while frames ran";
  EXPECT_TRUE(Done);
  EXPECT_FALSE(Keys['A']) << "nothing after the quit message is dispatched";
}

TEST_F(FrameLoopTest, PacingHoldsAcrossTheCounterWrap) {
  Scripted.Now = 0xFFFFFF00u;
  Scripted.Post(0xFFFFFF00u, WM_ACTIVATEAPP, 1);
  FrameCost = 5;
  StopAfterFrames = 40;
  Run(0xFFFFFF00u);
  ASSERT_EQ(FrameStarts.size(), 40u);
  for (std::size_t i = 1; i < FrameStarts.size(); ++i) {
    EXPECT_EQ(FrameStarts[i] - FrameEnds[i - 1], 11u) << i;
  }
  EXPECT_LT(FrameStarts.back(), 0x1000u) << "the counter wrapped while frames ran";
}

TEST_F(FrameLoopTest, TenMillisecondsAfterAFrameAreNotEnough) {
  // A message 10 ms after the first frame wakes the loop; the next frame still waits for 11.
  Scripted.Now = 5000;
  Scripted.Post(5000, WM_ACTIVATEAPP, 1);
  Scripted.Post(5010, WM_MOUSEMOVE);
  StopAfterFrames = 2;
  Run(5000);
  EXPECT_EQ(FrameStarts, (std::vector<std::uint32_t>{5000, 5011}));
}

TEST_F(FrameLoopTest, TitleWaitsForMoreThanASecond) {
  // Frames 100 ms apart: the 11th comes exactly 1000 ms into the interval, too early for a rate;
  // the 12th gives 12 frames in 1100 ms.
  Scripted.Now = 20000;
  Scripted.Post(20000, WM_ACTIVATEAPP, 1);
  FrameCost = 89;
  StopAfterFrames = 12;
  Run(20000);
  EXPECT_EQ(FrameStarts[10], 21000u);
  EXPECT_EQ(Scripted.Titles, std::vector<std::string>{" [ FPS - 10 ] "});
}
