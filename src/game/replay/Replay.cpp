#include "Replay.h"

#include "OGLWnd.h"
#include "game/model/Registry.h"
#include "game/shared/GameFlow.h"
#include "game/shared/SoundEvents.h"
#include "game/units/Units.h"
#include "game/world/World.h"

#include <charconv>
#include <cstdio>
#include <istream>
#include <ostream>
#include <system_error>

std::string FormatFloat(float Value) {
  char Buffer[64];
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
  // to_chars with a precision behaves as printf "%.9g" in the C locale, on every platform (the
  // C runtimes differ in their exponent digits and rounding).
  const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, static_cast<double>(Value),
                                    std::chars_format::general, 9);
  return std::string(Buffer, Result.ptr);
#else
  // A standard library without floating-point to_chars (Emscripten's libc++): its C library is
  // musl, whose printf rounds exactly and writes two exponent digits, as to_chars does.
  const int Length = std::snprintf(Buffer, sizeof Buffer, "%.9g", static_cast<double>(Value));
  return std::string(Buffer, static_cast<std::size_t>(Length));
#endif
}

const char* UnitClassName(const TUnit& Unit) {
  if (dynamic_cast<const TPlayer*>(&Unit) != nullptr) {
    return "TPlayer";
  }
  if (dynamic_cast<const TBullet*>(&Unit) != nullptr) {
    return "TBullet";
  }
  if (dynamic_cast<const TEnemy*>(&Unit) != nullptr) {
    return "TEnemy";
  }
  if (dynamic_cast<const TTimeField*>(&Unit) != nullptr) {
    return "TTimeField";
  }
  if (dynamic_cast<const TTurret*>(&Unit) != nullptr) {
    return "TTurret";
  }
  if (dynamic_cast<const TSensor*>(&Unit) != nullptr) {
    return "TSensor";
  }
  if (dynamic_cast<const TTrap*>(&Unit) != nullptr) {
    return "TTrap";
  }
  return "TUnit";
}

namespace {

void Put(std::string& Out, float Value) {
  Out += ' ';
  Out += FormatFloat(Value);
}

void Put(std::string& Out, std::int64_t Value) {
  Out += ' ';
  Out += std::to_string(Value);
}

void Put(std::string& Out, bool Value) {
  Out += Value ? " 1" : " 0";
}

void Put(std::string& Out, const TVector& Value) {
  Put(Out, Value.x);
  Put(Out, Value.y);
  Put(Out, Value.z);
}

std::int64_t SlotOf(const TUnit* Unit) {
  if (Unit != nullptr) {
    for (std::size_t i = 0; i < Units.size(); ++i) {
      if (Units[i] == Unit) {
        return static_cast<std::int64_t>(i);
      }
    }
  }
  return -1;
}

} // namespace

std::string FormatUnit(std::int32_t Slot, const TUnit& Unit) {
  std::string Out = "slot " + std::to_string(Slot) + ' ' + UnitClassName(Unit);
  Put(Out, Unit.Pos);
  Put(Out, Unit.Dir);
  Put(Out, Unit.Size);
  Put(Out, std::int64_t{Unit.Health});
  Put(Out, std::int64_t{Unit.Damage});
  Put(Out, Unit.Angle);
  Put(Out, std::int64_t{Unit.Age});
  Put(Out, Unit.Dead);
  Put(Out, Unit.TimeFactor);
  if (const auto* Player = dynamic_cast<const TPlayer*>(&Unit)) {
    Put(Out, std::int64_t{Player->ShotTicks});
    Put(Out, std::int64_t{Player->ThrowTicks});
    Put(Out, std::int64_t{Player->Charge});
    Put(Out, Player->Charging);
  } else if (const auto* Bullet = dynamic_cast<const TBullet*>(&Unit)) {
    Out += ' ';
    Out += Bullet->Owner;
  } else if (const auto* Enemy = dynamic_cast<const TEnemy*>(&Unit)) {
    Put(Out, std::int64_t{Enemy->ShotTicks});
  } else if (const auto* Field = dynamic_cast<const TTimeField*>(&Unit)) {
    Put(Out, std::int64_t{Field->FieldAge});
    Put(Out, Field->SlowFactor);
    Put(Out, Field->SpinNegative);
  } else if (const auto* Turret = dynamic_cast<const TTurret*>(&Unit)) {
    Put(Out, Turret->Spin);
    Put(Out, Turret->FireTimer);
  } else if (const auto* Sensor = dynamic_cast<const TSensor*>(&Unit)) {
    Put(Out, Sensor->Triggered);
    Put(Out, SlotOf(Sensor->TrapLink));
  } else if (const auto* Trap = dynamic_cast<const TTrap*>(&Unit)) {
    Put(Out, Trap->Armed);
    Put(Out, Trap->Frame);
  }
  return Out;
}

std::string FormatWorld(std::int64_t Tick) {
  std::string Out = "tick " + std::to_string(Tick) + " score " + std::to_string(Score) + " slots " +
                    std::to_string(Units.size()) + " count " + std::to_string(UnitCount) + '\n';
  for (std::size_t i = 0; i < Units.size(); ++i) {
    if (Units[i] != nullptr) {
      Out += FormatUnit(static_cast<std::int32_t>(i), *Units[i]);
      Out += '\n';
    }
  }
  return Out;
}

std::string FormatSounds(std::int64_t Tick) {
  std::string Out;
  for (const TSoundEvent& Event : TakeSoundEvents()) {
    const std::string_view File = SoundFiles[static_cast<std::size_t>(Event.Sound)];
    Out += "sound " + std::to_string(Tick) + ' ';
    Out += File.substr(0, File.rfind('.'));
    Put(Out, Event.X);
    Put(Out, Event.Y);
    Put(Out, Event.Factor);
    Out += '\n';
  }
  return Out;
}

std::string FormatGameOver() {
  std::string Out = "game over score " + std::to_string(Score) + " table";
  for (const std::int32_t Entry : ScoreTable) {
    Out += ' ';
    Out += std::to_string(Entry);
  }
  Out += '\n';
  return Out;
}

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// A whole field of decimal digits (no sign) within 0..Max.
bool ReadNumber(std::string_view Text, std::int32_t Max, std::int32_t& Value) {
  if (Text.empty() || Text.size() > 10) {
    return false;
  }
  for (const char c : Text) {
    if (c < '0' || c > '9') {
      return false;
    }
  }
  std::int64_t Number = 0;
  const auto Result = std::from_chars(Text.data(), Text.data() + Text.size(), Number);
  if (Result.ec != std::errc{} || Result.ptr != Text.data() + Text.size() || Number > Max) {
    return false;
  }
  Value = static_cast<std::int32_t>(Number);
  return true;
}

} // namespace

TReplayLine ParseReplayLine(std::string_view Line, TReplayInput& Input, std::string& Error) {
  // A script written on Windows may keep its carriage returns.
  if (!Line.empty() && Line.back() == '\r') {
    Line.remove_suffix(1);
  }
  std::size_t First = 0;
  while (First < Line.size() && IsBlank(Line[First])) {
    ++First;
  }
  if (First == Line.size() || Line[First] == '#') {
    return TReplayLine::Skip;
  }
  std::string_view Fields[5];
  std::size_t Count = 0;
  std::size_t At = First;
  while (At < Line.size()) {
    const std::size_t Start = At;
    while (At < Line.size() && !IsBlank(Line[At])) {
      ++At;
    }
    if (Count == 5) {
      Error = "expected 5 fields (MX MY L R KEYS), got more";
      return TReplayLine::Bad;
    }
    Fields[Count++] = Line.substr(Start, At - Start);
    while (At < Line.size() && IsBlank(Line[At])) {
      ++At;
    }
  }
  if (Count != 5) {
    Error = "expected 5 fields (MX MY L R KEYS), got " + std::to_string(Count);
    return TReplayLine::Bad;
  }
  TReplayInput Next;
  std::int32_t Left = 0;
  std::int32_t Right = 0;
  if (!ReadNumber(Fields[0], 65535, Next.MouseX)) {
    Error = "mouse x is not an integer 0..65535: " + std::string(Fields[0]);
    return TReplayLine::Bad;
  }
  if (!ReadNumber(Fields[1], 65535, Next.MouseY)) {
    Error = "mouse y is not an integer 0..65535: " + std::string(Fields[1]);
    return TReplayLine::Bad;
  }
  if (Fields[2].size() != 1 || !ReadNumber(Fields[2], 1, Left)) {
    Error = "left button is not 0 or 1: " + std::string(Fields[2]);
    return TReplayLine::Bad;
  }
  if (Fields[3].size() != 1 || !ReadNumber(Fields[3], 1, Right)) {
    Error = "right button is not 0 or 1: " + std::string(Fields[3]);
    return TReplayLine::Bad;
  }
  Next.MouseLeft = Left == 1;
  Next.MouseRight = Right == 1;
  if (Fields[4] != "-") {
    std::string_view Keys = Fields[4];
    while (true) {
      const std::size_t Comma = Keys.find(',');
      const std::string_view Code = Keys.substr(0, Comma);
      std::int32_t Value = 0;
      if (!ReadNumber(Code, 255, Value)) {
        Error = "keys are not '-' or comma-separated codes 0..255: " + std::string(Fields[4]);
        return TReplayLine::Bad;
      }
      Next.Keys[static_cast<std::size_t>(Value)] = true;
      if (Comma == std::string_view::npos) {
        break;
      }
      Keys.remove_prefix(Comma + 1);
    }
  }
  Input = Next;
  return TReplayLine::Tick;
}

void ApplyReplayInput(const TReplayInput& Input) {
  for (std::size_t i = 0; i < Input.Keys.size(); ++i) {
    Keys[i] = Input.Keys[i];
  }
  MouseX = Input.MouseX;
  MouseY = Input.MouseY;
  MouseLeft = Input.MouseLeft;
  MouseRight = Input.MouseRight;
}

TReplayInput CaptureReplayInput() {
  TReplayInput Input;
  for (std::size_t i = 0; i < Input.Keys.size(); ++i) {
    Input.Keys[i] = Keys[i];
  }
  Input.MouseX = MouseX;
  Input.MouseY = MouseY;
  Input.MouseLeft = MouseLeft;
  Input.MouseRight = MouseRight;
  return Input;
}

std::string FormatReplayInput(const TReplayInput& Input) {
  std::string Line = std::to_string(Input.MouseX) + ' ' + std::to_string(Input.MouseY) +
                     (Input.MouseLeft ? " 1" : " 0") + (Input.MouseRight ? " 1" : " 0");
  char Separator = ' ';
  for (std::size_t i = 0; i < Input.Keys.size(); ++i) {
    if (Input.Keys[i]) {
      Line += Separator;
      Line += std::to_string(i);
      Separator = ',';
    }
  }
  if (Separator == ' ') {
    Line += " -";
  }
  return Line;
}

int RunReplay(std::istream& In, std::ostream& Out, std::ostream& Err, bool Sounds) {
  ResetWindowState();
  ResetGameFlow();
  SetKeyBindings();
  NewGame();
  TakeSoundEvents(); // only this game's sounds are heard
  std::string Line;
  std::int64_t LineNumber = 0;
  std::int64_t Tick = 0;
  TReplayInput Input;
  std::string Error;
  while (std::getline(In, Line)) {
    ++LineNumber;
    const TReplayLine Kind = ParseReplayLine(Line, Input, Error);
    if (Kind == TReplayLine::Skip) {
      continue;
    }
    if (Kind == TReplayLine::Bad) {
      Out.flush();
      Err << "kelto-replay: line " << LineNumber << ": " << Error << '\n';
      return 2;
    }
    ApplyReplayInput(Input);
    // What the game scene does, without the drawing.
    GameStarted = true;
    WorldStep();
    ++Tick;
    Out << FormatWorld(Tick);
    // Taken at every step, heard or not, so that they never pile up.
    const std::string Heard = FormatSounds(Tick);
    if (Sounds) {
      Out << Heard;
    }
    if (GameOver) {
      Out << FormatGameOver();
      break;
    }
  }
  Out.flush();
  return 0;
}
