#include "Gamepad.h"

#include "OGLWnd.h"
#include "UTypes.h"

#include <algorithm>
#include <cmath>

TPadMode PadMode = TPadMode::Pointer;

namespace {

// A stick counts as pushed past 30 % of its travel and as back only under 25 %, so a stick
// resting near the line does not chatter.
constexpr long double StickPressed = 0.30L;
constexpr long double StickReleased = 0.25L;
constexpr float TriggerPressed = 0.5f;
// While aiming, the pointer is held this far from the view's centre, where the player stands.
constexpr long double AimDistance = 150;
// Pixels per second of the pointer at full travel of the left stick.
constexpr long double PointerSpeed = 900;
// A longer gap between readings (the window was inactive) moves the pointer no further.
constexpr std::uint32_t LongestStepMs = 100;

enum THeld { HeldW, HeldA, HeldS, HeldD, HeldEscape, HeldLeftButton, HeldRightButton, HeldCount };

bool Pushed(bool Was, long double Travel) {
  return Was ? Travel >= StickReleased : Travel > StickPressed;
}

long double Length(float x, float y) {
  return std::sqrt(static_cast<long double>(x) * x + static_cast<long double>(y) * y);
}

TMessage Make(std::uint32_t Code, TWParam wParam, TLParam lParam) {
  return TMessage{nullptr, Code, wParam, lParam};
}

} // namespace

TPadState CombinePads(const TPadState& One, const TPadState& Other) {
  TPadState Both = One;
  if (Length(Other.LeftX, Other.LeftY) > Length(One.LeftX, One.LeftY)) {
    Both.LeftX = Other.LeftX;
    Both.LeftY = Other.LeftY;
  }
  if (Length(Other.RightX, Other.RightY) > Length(One.RightX, One.RightY)) {
    Both.RightX = Other.RightX;
    Both.RightY = Other.RightY;
  }
  Both.LeftTrigger = std::max(One.LeftTrigger, Other.LeftTrigger);
  Both.RightTrigger = std::max(One.RightTrigger, Other.RightTrigger);
  Both.Up = One.Up || Other.Up;
  Both.Down = One.Down || Other.Down;
  Both.Left = One.Left || Other.Left;
  Both.Right = One.Right || Other.Right;
  Both.A = One.A || Other.A;
  Both.Start = One.Start || Other.Start;
  Both.RightShoulder = One.RightShoulder || Other.RightShoulder;
  return Both;
}

void TranslatePad(const TPadState& Pad, const TPadMoment& Moment, TPadMemory& Memory,
                  std::vector<TMessage>& Messages) {
  const bool Play = Moment.Mode == TPadMode::Play;
  std::int32_t PointerX = Moment.MouseX;
  std::int32_t PointerY = Moment.MouseY;
  const auto MoveTo = [&](std::int32_t x, std::int32_t y) {
    Messages.push_back(Make(WM_MOUSEMOVE, 0, MakeLParam(x, y)));
    PointerX = x;
    PointerY = y;
  };

  // Aim: the pointer goes where the right stick points, and is sent again only when that point
  // changes, so a mouse that moved meanwhile keeps the pointer until the stick moves.
  const long double Aim = Length(Pad.RightX, Pad.RightY);
  Memory.Aiming = Play && Pushed(Memory.Aiming, Aim);
  if (Memory.Aiming) {
    const auto x =
        static_cast<std::int32_t>(ViewCentreX + std::lround(AimDistance * Pad.RightX / Aim));
    const auto y =
        static_cast<std::int32_t>(ViewCentreY + std::lround(AimDistance * Pad.RightY / Aim));
    if (x != Memory.AimX || y != Memory.AimY) {
      MoveTo(x, y);
      Memory.AimX = x;
      Memory.AimY = y;
    }
  } else {
    // Released, the pointer stays where it is; the next push aims afresh.
    Memory.AimX = Memory.AimY = -1;
  }

  // Outside play the left stick moves the pointer, faster the further it is pushed.
  const long double Travel = Length(Pad.LeftX, Pad.LeftY);
  if (!Play && Travel > StickPressed) {
    if (Moment.MouseX != Memory.SentX || Moment.MouseY != Memory.SentY) {
      // The mouse moved the pointer last (or nothing has): go on from where it is.
      Memory.PointerX = Moment.MouseX;
      Memory.PointerY = Moment.MouseY;
    }
    const long double Speed =
        PointerSpeed * std::min(1.0L, (Travel - StickPressed) / (1 - StickPressed));
    const long double Step = Speed * std::min(Moment.ElapsedMs, LongestStepMs) / 1000 / Travel;
    Memory.PointerX =
        std::clamp(Memory.PointerX + Step * Pad.LeftX, 0.0L, std::max(Moment.Width, 1) - 1.0L);
    Memory.PointerY =
        std::clamp(Memory.PointerY + Step * Pad.LeftY, 0.0L, std::max(Moment.Height, 1) - 1.0L);
    Memory.SentX = static_cast<std::int32_t>(std::lround(Memory.PointerX));
    Memory.SentY = static_cast<std::int32_t>(std::lround(Memory.PointerY));
    if (Memory.SentX != Moment.MouseX || Memory.SentY != Moment.MouseY) {
      MoveTo(Memory.SentX, Memory.SentY);
    }
  }

  // Keys and buttons: down when wanted and not yet held, up when held and no longer wanted.
  const long double Toward[4] = {-Pad.LeftY, -Pad.LeftX, Pad.LeftY, Pad.LeftX}; // W, A, S, D
  const bool Dpad[4] = {Pad.Up, Pad.Left, Pad.Down, Pad.Right};
  bool Wanted[HeldCount] = {};
  for (int i = HeldW; i <= HeldD; ++i) {
    Memory.StickHeld[i] = Play && Pushed(Memory.StickHeld[i], Toward[i]);
    Wanted[i] = Memory.StickHeld[i] || Dpad[i];
  }
  Wanted[HeldEscape] = Pad.Start;
  Wanted[HeldLeftButton] = Pad.RightTrigger > TriggerPressed || (!Play && Pad.A);
  Wanted[HeldRightButton] = Pad.LeftTrigger > TriggerPressed || Pad.RightShoulder;
  const TWParam KeyCodes[] = {MoveUpKey, MoveLeftKey, MoveDownKey, MoveRightKey, VK_ESCAPE};
  for (int i = 0; i < HeldCount; ++i) {
    if (Wanted[i] == Memory.Held[i]) {
      continue;
    }
    Memory.Held[i] = Wanted[i];
    const TLParam At = MakeLParam(PointerX, PointerY);
    if (i == HeldLeftButton) {
      Messages.push_back(Make(Wanted[i] ? WM_LBUTTONDOWN : WM_LBUTTONUP, 0, At));
    } else if (i == HeldRightButton) {
      Messages.push_back(Make(Wanted[i] ? WM_RBUTTONDOWN : WM_RBUTTONUP, 0, At));
    } else {
      Messages.push_back(Make(Wanted[i] ? WM_KEYDOWN : WM_KEYUP, KeyCodes[i], 0));
    }
  }
}

void TPadFeed::Read(const TPadState& Pad, std::uint32_t Now) {
  TPadMoment Moment;
  Moment.Mode = PadMode;
  Moment.ElapsedMs = Started ? Now - LastTick : 0;
  Moment.MouseX = MouseX;
  Moment.MouseY = MouseY;
  Moment.Width = ClientWidth();
  Moment.Height = ClientHeight();
  Started = true;
  LastTick = Now;
  Made.clear();
  TranslatePad(Pad, Moment, Memory, Made);
  Pending.insert(Pending.end(), Made.begin(), Made.end());
}

bool TPadFeed::Next(TMessage& Message, TWindowHandle Window, std::uint32_t Now,
                    TPadReader ReadPads) {
  if (Pending.empty() && IsAppActive()) {
    Read(ReadPads(Now), Now);
  }
  if (Pending.empty()) {
    return false;
  }
  Message = Pending.front();
  Message.Window = Window;
  Pending.pop_front();
  return true;
}
