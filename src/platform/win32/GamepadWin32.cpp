// Pads through XInput, loaded when first needed: a system without it simply has no pads, and the
// game needs no DLL beyond those every Windows has.
#include "Win32Platform.h"

#include <xinput.h>

#include <algorithm>

namespace {

using TGetState = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

// A slot found empty is asked again only after this long: asking for an absent pad is slow.
constexpr std::uint32_t EmptySlotRetryMs = 1000;

TGetState GetState;
bool Loaded;
bool Empty[XUSER_MAX_COUNT];
std::uint32_t NextTry[XUSER_MAX_COUNT];

TGetState LoadXInput() {
  for (const char* Name : {"xinput1_4.dll", "xinput1_3.dll", "xinput9_1_0.dll"}) {
    if (HMODULE Module = LoadLibraryA(Name)) {
      // Through the one function type that converts to any other without a warning.
      const auto Found = reinterpret_cast<void (*)()>(GetProcAddress(Module, "XInputGetState"));
      if (Found != nullptr) {
        return reinterpret_cast<TGetState>(Found);
      }
      FreeLibrary(Module);
    }
  }
  return nullptr;
}

float Stick(SHORT Value) {
  return std::max(-1.0f, Value / 32767.0f);
}

} // namespace

TPadState ReadXInputPads(std::uint32_t Now) {
  if (!Loaded) {
    Loaded = true;
    GetState = LoadXInput();
  }
  TPadState All;
  if (GetState == nullptr) {
    return All;
  }
  for (DWORD Slot = 0; Slot < XUSER_MAX_COUNT; ++Slot) {
    if (Empty[Slot] && static_cast<std::int32_t>(Now - NextTry[Slot]) < 0) {
      continue;
    }
    XINPUT_STATE State{};
    Empty[Slot] = GetState(Slot, &State) != ERROR_SUCCESS;
    if (Empty[Slot]) {
      NextTry[Slot] = Now + EmptySlotRetryMs;
      continue;
    }
    const XINPUT_GAMEPAD& Pad = State.Gamepad;
    TPadState One;
    // XInput counts a stick's y upward; the game's y runs down the screen.
    One.LeftX = Stick(Pad.sThumbLX);
    One.LeftY = -Stick(Pad.sThumbLY);
    One.RightX = Stick(Pad.sThumbRX);
    One.RightY = -Stick(Pad.sThumbRY);
    One.LeftTrigger = Pad.bLeftTrigger / 255.0f;
    One.RightTrigger = Pad.bRightTrigger / 255.0f;
    One.Up = (Pad.wButtons & XINPUT_GAMEPAD_DPAD_UP) != 0;
    One.Down = (Pad.wButtons & XINPUT_GAMEPAD_DPAD_DOWN) != 0;
    One.Left = (Pad.wButtons & XINPUT_GAMEPAD_DPAD_LEFT) != 0;
    One.Right = (Pad.wButtons & XINPUT_GAMEPAD_DPAD_RIGHT) != 0;
    One.A = (Pad.wButtons & XINPUT_GAMEPAD_A) != 0;
    One.Start = (Pad.wButtons & XINPUT_GAMEPAD_START) != 0;
    One.RightShoulder = (Pad.wButtons & XINPUT_GAMEPAD_RIGHT_SHOULDER) != 0;
    All = CombinePads(All, One);
  }
  return All;
}
