// Input: the window procedure's messages, pads as keyboard and mouse, the scaled fullscreen view.
#include "Gamepad.h"
#include "OGLWnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

TEST(WindowProc, InputStateFollowsMessages) {
  ResetWindowState();
  EXPECT_EQ(WindowProc(nullptr, WM_KEYDOWN, 'W', 0), 0);
  WindowProc(nullptr, WM_KEYDOWN, 'W', 0); // auto-repeat: still down
  EXPECT_TRUE(Keys['W']);
  WindowProc(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
  WindowProc(nullptr, WM_KEYUP, 'W', 0);
  WindowProc(nullptr, WM_KEYUP, 'A', 0); // pressed while another window had the keyboard
  EXPECT_TRUE(Keys[VK_ESCAPE]);
  EXPECT_EQ(std::count(std::begin(Keys), std::end(Keys), true), 1);
  // Mouse words are zero-extended: a pointer above and left of the window is a large number.
  WindowProc(nullptr, WM_MOUSEMOVE, 0, MakeLParam(-3, 599));
  WindowProc(nullptr, WM_LBUTTONDOWN, 0, MakeLParam(5, 5)); // moves no pointer
  WindowProc(nullptr, WM_RBUTTONDOWN, 0, 0);
  EXPECT_EQ(std::tuple(MouseX, MouseY, MouseLeft, MouseRight), std::tuple(65533, 599, true, true));
  WindowProc(nullptr, WM_LBUTTONUP, 0, 0);
  EXPECT_FALSE(MouseLeft);
  // System keys, double clicks and anything else go to the default handling.
  for (std::uint32_t Message : {WM_SYSKEYDOWN, WM_SYSKEYUP, WM_LBUTTONDBLCLK, 0x0400u}) {
    WindowProc(nullptr, Message, 'A', MakeLParam(7, 9));
  }
  EXPECT_EQ(std::tuple(Keys['A'], MouseLeft, MouseX), std::tuple(false, false, 65533));
  for (TWParam Value : {1u, 0u, 2u, 3u}) {
    WindowProc(nullptr, WM_ACTIVATEAPP, Value, 0);
    EXPECT_EQ(IsAppActive(), Value == 1 || Value == 2) << Value;
  }
}

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
      const bool Key = M.Code == WM_KEYDOWN || M.Code == WM_KEYUP;
      const bool Down =
          M.Code == WM_KEYDOWN || M.Code == WM_LBUTTONDOWN || M.Code == WM_RBUTTONDOWN;
      const char Name = Key ? (M.wParam == VK_ESCAPE ? 'E' : static_cast<char>(M.wParam))
                            : (M.Code <= WM_LBUTTONUP ? 'L' : 'R');
      X = M.Code == WM_MOUSEMOVE ? LowWord(M.lParam) : X;
      Y = M.Code == WM_MOUSEMOVE ? HighWord(M.lParam) : Y;
      Text += M.Code == WM_MOUSEMOVE ? " @" + std::to_string(X) + "," + std::to_string(Y)
                                     : std::string(" ") + Name + (Down ? '+' : '-');
    }
    EXPECT_EQ(Text.substr(Text.empty() ? 0 : 1), S.Expected) << "step " << i;
  }
}

} // namespace

TEST(Gamepad, SticksDpadTriggersAndButtonsInPlay) {
  // Sticks act past 30 % and let go under 25 %; a mouse move (to 20, 30) keeps the pointer until
  // the right stick points elsewhere; A clicks only outside play.
  // clang-format off
  Feed({{{.LeftX = 0.29f}, ""}, {{.LeftX = 0.31f}, "D+"}, {{.LeftX = 0.26f}, ""},
        {{.LeftX = 0.24f}, "D-"}, {{.LeftX = -0.7f, .LeftY = -0.7f}, "W+ A+"},
        {{.LeftX = 0.7f, .LeftY = 0.7f}, "W- A- S+ D+"}, {{}, "S- D-"}, {{.Up = true}, "W+"},
        {{.LeftY = -1, .Up = true}, ""}, {{.LeftY = -1}, ""}, {{}, "W-"},
        {{.RightX = 1}, "@550,300"}, {{.RightX = 0.6f, .RightY = 0.8f}, "@490,420"},
        {{.RightX = 0.162f, .RightY = 0.216f}, "", TPadMode::Play, 10, 20, 30}, {{}, ""},
        {{.RightX = 0.174f, .RightY = 0.232f}, ""}, {{.RightX = 0.6f, .RightY = 0.8f}, "@490,420"},
        {{.RightTrigger = 0.5f}, ""},
        {{.RightTrigger = 0.51f}, "L+"}, {{.A = true}, "L-"}, {{.LeftTrigger = 0.6f}, "R+"},
        {{.RightShoulder = true}, ""}, {{.Start = true}, "E+ R-"}, {{}, "E-"}});
  // clang-format on
}

TEST(Gamepad, OutsidePlayTheLeftStickMovesThePointerAndAClicks) {
  // 31 % (12.9 px/s) adds up to half a pixel in 40 ms; full travel is 900 px/s; a long gap counts
  // as 100 ms; after a mouse move (to 790) the stick goes on from there.
  const TPadState Slow{.LeftX = 0.31f};
  // clang-format off
  Feed({{Slow, "", P}, {Slow, "", P}, {Slow, "", P}, {Slow, "@101,100", P},
        {{.LeftX = 1}, "@191,100", P, 100}, {{.LeftX = 0.65f}, "@236,100", P, 100},
        {{.LeftX = 0.29f}, "", P, 100}, {{.LeftY = 1}, "@236,190", P, 5000},
        {{.LeftX = 1}, "@799,190", P, 100, 790}, {{.A = true}, "L+", P}, {{.LeftX = 1}, "D+ L-"}});
  // clang-format on
}

// Each stick from the pad that pushes it furthest, each trigger the deepest, buttons from either.
TEST(Gamepad, SeveralPadsActAsOne) {
  const TPadState One{.LeftX = 0.5f, .RightX = 1, .LeftTrigger = 0.6f, .Up = true};
  const TPadState Other{.LeftX = -0.6f, .RightY = 0.8f, .RightTrigger = 0.7f, .Start = true};
  Feed({{CombinePads(One, Other), "@550,300 W+ A+ E+ L+ R+"}, {CombinePads(Other, One), ""}});
}

TEST(ScaledView, PointerOffTheViewStaysAtItsEdgeAndAMinimisedWindowIsNotScaled) {
  EXPECT_EQ(SizeForWindowProc(true, MakeLParam(1920, 1080)), MakeLParam(800, 600));
  EXPECT_EQ(PointerForWindowProc(MakeLParam(1919, 1079)), MakeLParam(799, 599));
  EXPECT_EQ(PointerForWindowProc(MakeLParam(-5, 540)), MakeLParam(0, 300));
  EXPECT_EQ(PointerForWindowProc(MakeLParam(960, 270)), MakeLParam(400, 150)); // past the bar
  EXPECT_EQ(SizeForWindowProc(true, 0), 0);
  EXPECT_EQ(PointerForWindowProc(MakeLParam(960, 270)), MakeLParam(960, 270));
}
