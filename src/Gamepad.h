// Gamepads as keyboard and mouse: each platform reads its pads (SDL's game controllers, XInput)
// into one TPadState, and the translation here turns the changes into the same window messages
// that the keyboard and the mouse send. The game's rules, and anything that records its input,
// never learn that a pad was there.
#pragma once

#include "UTypes.h"
#include "WinMessages.h"

#include <cstdint>
#include <deque>
#include <vector>

// One reading of every connected pad together. Sticks run from -1 (left, up) to 1 (right, down),
// triggers from 0 (released) to 1.
struct TPadState {
  float LeftX = 0, LeftY = 0;
  float RightX = 0, RightY = 0;
  float LeftTrigger = 0, RightTrigger = 0;
  bool Up = false, Down = false, Left = false, Right = false; // the D-pad
  bool A = false, Start = false, RightShoulder = false;
};

// Several pads act as one: each stick as the pad that pushes it furthest, each trigger as the
// deepest, each button held when any pad holds it.
TPadState CombinePads(const TPadState& One, const TPadState& Other);

// What the pad means at the moment. While the player is in play the left stick walks and the
// right stick aims; elsewhere (menu, score table) the left stick moves the pointer and A clicks.
enum class TPadMode { Pointer, Play };

// Set by the scenes every frame (the game scene asks for Play); the platform layer reads it when
// it turns pad readings into messages. It lives down here, so the game never includes the
// platform and the platform never includes the game.
extern TPadMode PadMode;

// Everything the translation needs to know about the moment of a reading.
struct TPadMoment {
  TPadMode Mode = TPadMode::Play;
  std::uint32_t ElapsedMs = 0;         // since the previous reading
  std::int32_t MouseX = 0, MouseY = 0; // the pointer as the window procedure holds it
  std::int32_t Width = ViewWidth, Height = ViewHeight; // the client area the pointer moves in
};

// What the translation remembers between readings: what it holds down, where it put the pointer.
struct TPadMemory {
  bool Held[7] = {};      // W, A, S, D, Escape, left button, right button, as last sent
  bool StickHeld[4] = {}; // the left stick past its threshold toward W, A, S, D
  bool Aiming = false;
  std::int32_t AimX = -1, AimY = -1;      // the aim point last sent while aiming
  long double PointerX = 0, PointerY = 0; // the pointer the left stick moves, to a fraction
  std::int32_t SentX = -1, SentY = -1;    // that pointer as last sent
};

// Turns one reading into the messages that bring the input state in line with it, in order:
// pointer moves first, so a click lands where the pointer now is. A pure function of its
// arguments (Memory in and out).
void TranslatePad(const TPadState& Pad, const TPadMoment& Moment, TPadMemory& Memory,
                  std::vector<TMessage>& Messages);

// Reads every connected pad into one TPadState at tick Now.
using TPadReader = TPadState (*)(std::uint32_t Now);

// The pads' side of a platform's message source: readings become messages that the source hands
// out one at a time after the window system's own.
class TPadFeed {
public:
  // The pads' next message, for Window. The pads are read (with ReadPads, at tick Now, in the
  // current mode, pointer and client size) once the previous reading is all handed out; a window
  // in the background does not hear them. False when there is no message.
  bool Next(TMessage& Message, TWindowHandle Window, std::uint32_t Now, TPadReader ReadPads);

private:
  void Read(const TPadState& Pad, std::uint32_t Now);

  TPadMemory Memory;
  std::deque<TMessage> Pending;
  std::vector<TMessage> Made;
  std::uint32_t LastTick = 0;
  bool Started = false;
};
