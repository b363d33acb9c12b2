// Pads as keyboard and mouse, and the scaled fullscreen view's sizes and pointer positions.
#include "Gamepad.h"
#include "OGLWnd.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr TPadMode P = TPadMode::Pointer;

struct TStep {
  TPadState Pad;
  std::string Expected; // "W+" / "W-" key down / up (E: Escape, L and R: buttons), "@x,y": a move
  TPadMode Mode = TPadMode::Play;
  std::uint32_t Ms = 10;
  std::int32_t MouseX = -1, MouseY = -1; // a mouse move before the reading; -1: none
};

// Readings in turn on one memory; the pointer follows the pad's moves as the window procedure's.
void Feed(const std::vector<TStep>& Steps) {
  TPadMemory Memory;
  std::int32_t X = 100, Y = 100;
  for (std::size_t i = 0; i < Steps.size(); ++i) {
    const TStep& S = Steps[i];
    X = S.MouseX >= 0 ? S.MouseX : X;
    Y = S.MouseY >= 0 ? S.MouseY : Y;
    std::vector<TMessage> Messages;
    TranslatePad(S.Pad, TPadMoment{S.Mode, S.Ms, X, Y, 800, 600}, Memory, Messages);
    std::string Text;
    for (const TMessage& M : Messages) {
      if (M.Code == WM_MOUSEMOVE) {
        X = LowWord(M.lParam);
        Y = HighWord(M.lParam);
        Text += " @" + std::to_string(X) + "," + std::to_string(Y);
        continue;
      }
      const bool Down =
          M.Code == WM_KEYDOWN || M.Code == WM_LBUTTONDOWN || M.Code == WM_RBUTTONDOWN;
      const bool Key = M.Code == WM_KEYDOWN || M.Code == WM_KEYUP;
      const char Name = !Key             ? (M.Code <= WM_LBUTTONUP ? 'L' : 'R')
                        : M.wParam == 27 ? 'E'
                                         : M.wParam;
      Text += std::string(" ") + Name + (Down ? '+' : '-');
    }
    EXPECT_EQ(Text.empty() ? Text : Text.substr(1), S.Expected) << "step " << i;
  }
}

} // namespace

TEST(Gamepad, LeftStickAndDpadHoldWasdWithHysteresis) {
  Feed({{{.LeftX = 0.29f}, ""},
        {{.LeftX = 0.31f}, "D+"},
        {{.LeftX = 0.26f}, ""},
        {{.LeftX = 0.24f}, "D-"},
        {{.LeftX = -0.7f, .LeftY = -0.7f}, "W+ A+"},
        {{.LeftX = 0.7f, .LeftY = 0.7f}, "W- A- S+ D+"},
        {{}, "S- D-"},
        {{.Up = true}, "W+"},
        {{.LeftY = -1, .Up = true}, ""},
        {{.LeftY = -1}, ""},
        {{}, "W-"}});
}

TEST(Gamepad, RightStickAimsTriggersAndButtonsPress) {
  Feed({{{.RightX = 1}, "@550,300"},
        {{.RightX = 0.6f, .RightY = 0.8f}, "@490,420"},
        {{.RightX = 0.162f, .RightY = 0.216f}, ""},     // 27 %: still aiming at the same point
        {{}, ""},                                       // released: the pointer stays
        {{.RightX = 0.174f, .RightY = 0.232f}, ""},     // 29 %: not yet
        {{.RightX = 0.6f, .RightY = 0.8f}, "@490,420"}, // pushed again: aims again
        {{.RightTrigger = 0.5f}, ""},
        {{.RightTrigger = 0.51f}, "L+"},
        {{.A = true}, "L-"}, // A clicks only outside play
        {{.LeftTrigger = 0.6f}, "R+"},
        {{.RightShoulder = true}, ""},
        {{.Start = true}, "E+ R-"},
        {{}, "E-"}});
}

TEST(Gamepad, OutsidePlayTheLeftStickMovesThePointerAndAClicksAndTheMouseTakesOver) {
  // 12.9 px/s: the fractions add up to half a pixel after 40 ms.
  std::vector<TStep> Slow(4, TStep{{.LeftX = 0.31f}, "", P});
  Slow.back().Expected = "@101,100";
  Feed(Slow);
  Feed({{{.LeftX = 1}, "@190,100", P, 100},
        {{.LeftX = 0.65f}, "@235,100", P, 100}, // half way past the dead zone: half speed
        {{.LeftX = 0.29f}, "", P, 100},
        {{.LeftY = 1}, "@235,190", P, 5000}, // a long gap counts as 100 ms
        {{.LeftX = 1}, "@799,190", P, 100, 790},
        {{.A = true}, "L+", P},
        {{.LeftX = 1}, "D+ L-"}}); // into play: the stick walks, A lets go
  // A mouse move takes the pointer until the stick moves again.
  Feed({{{.RightX = 1}, "@550,300"},
        {{.RightX = 1}, "", TPadMode::Play, 10, 20, 30},
        {{.RightY = 1}, "@400,450"},
        {{.LeftX = 1}, "@409,450", P},
        {{.LeftX = 1}, "@509,500", P, 10, 500, 500}});
}

TEST(Gamepad, SeveralPadsActAsOne) {
  const TPadState Both = CombinePads({.LeftX = 0.2f, .RightTrigger = 0.7f},
                                     {.LeftY = -0.9f, .RightTrigger = 0.3f, .Start = true});
  EXPECT_EQ(Both.LeftX, 0.0f);
  EXPECT_EQ(Both.LeftY, -0.9f);
  EXPECT_EQ(Both.RightTrigger, 0.7f);
  EXPECT_TRUE(Both.Start);
}

TEST(ScaledView, FitsInProportionCentredAndMapsThePointerBack) {
  const int Fits[][6] = {{1920, 1080, 240, 0, 1440, 1080},
                         {1024, 768, 0, 0, 1024, 768},
                         {1280, 1024, 0, 32, 1280, 960},
                         {640, 480, 0, 0, 640, 480},
                         {1366, 768, 171, 0, 1024, 768}};
  for (const auto& F : Fits) {
    const TPixelRect R = FitView(F[0], F[1], 800, 600);
    EXPECT_EQ((std::vector{R.X, R.Y, R.Width, R.Height}), (std::vector<int>(F + 2, F + 6)));
  }
  EXPECT_EQ(SizeForWindowProc(true, MakeLParam(1920, 1080)), MakeLParam(800, 600));
  const int Points[][4] = {{960, 540, 400, 300}, {241, 1, 0, 0},    {1919, 1079, 799, 599},
                           {100, 540, 0, 300},   {-5, 540, 0, 300}, {1800, 540, 799, 300}};
  for (const auto& P : Points) {
    EXPECT_EQ(PointerForWindowProc(MakeLParam(P[0], P[1])), MakeLParam(P[2], P[3])) << P[0];
  }
  // In a window, and minimised in fullscreen, sizes and positions pass as they are.
  for (const TLParam Size : {MakeLParam(1000, 740), TLParam{0}}) {
    EXPECT_EQ(SizeForWindowProc(Size == 0, Size), Size);
    EXPECT_EQ(PointerForWindowProc(MakeLParam(1919, 5)), MakeLParam(1919, 5));
  }
}
