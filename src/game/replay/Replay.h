// Replays: one line of input per world step in, the whole world as text after every step out,
// in a form that is identical on every platform.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

class TUnit;

// A 32-bit value as printf's "%.9g" writes it (enough digits to read the same float back).
std::string FormatFloat(float Value);
// The class name of a unit ("TPlayer", "TBullet", ...; "TUnit" for the base class).
const char* UnitClassName(const TUnit& Unit);
// "slot I CLASS px py pz dx dy dz sx sy sz health damage angle age dead tf" and the class's own
// fields in declaration order, without the line end.
std::string FormatUnit(std::int32_t Slot, const TUnit& Unit);
// "tick N score S slots U count C", then one line per occupied slot in slot order.
std::string FormatWorld(std::int64_t Tick);
// "sound N NAME X Y FACTOR" for every sound reported since the last call, oldest first (NAME: the
// effect's file name without ".wav"), each line ending in a line break; takes the reports.
std::string FormatSounds(std::int64_t Tick);
// "game over score S table E1 ... E10".
std::string FormatGameOver();

// One tick of replay input: the mouse, its buttons and the keys held.
struct TReplayInput {
  std::int32_t MouseX = 0;
  std::int32_t MouseY = 0;
  bool MouseLeft = false;
  bool MouseRight = false;
  std::array<bool, 256> Keys{};
};

enum class TReplayLine { Tick, Skip, Bad };

// Reads one script line "MX MY L R KEYS" (KEYS: "-" or comma-separated codes 0..255). Blank
// lines and lines starting with '#' are skipped; a bad line gives Bad with the reason in Error.
TReplayLine ParseReplayLine(std::string_view Line, TReplayInput& Input, std::string& Error);
// Puts a tick's input into the input state that the world reads.
void ApplyReplayInput(const TReplayInput& Input);
// The input state that the world reads, as a tick's input.
TReplayInput CaptureReplayInput();
// The script line of a tick's input, without the line end; ParseReplayLine reads it back.
std::string FormatReplayInput(const TReplayInput& Input);
// Starts a new game without a window and steps it once per script line, writing the world after
// every step to Out, and with Sounds the step's sounds after it. Stops after the step that ends the
// game. Returns the exit status: 0, or 2 after a bad line (reported on Err with its line number).
int RunReplay(std::istream& In, std::ostream& Out, std::ostream& Err, bool Sounds = false);
