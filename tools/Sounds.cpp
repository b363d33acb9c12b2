// The effects, built in a buffer of doubles from tones and noise, then finished alike: faded in
// and out, their offset from zero removed, scaled to their loudness and rounded to 16 bits.
//
// Loudness is a share of PeakLimit. The frequent sounds (shots, hits, buttons) stay at a third to
// a half of it, so ten of them in a second still add up below full scale and stay apart; the rare
// ones that matter (an enemy destroyed, the player struck) stand above them.
#include "Sounds.h"

#include "PictureKit.h"

#include <algorithm>
#include <cmath>

namespace {

using TBuffer = std::vector<double>;

constexpr double Rate = SoundRate;

// Sine of a phase in turns (1 is a whole cycle): its Taylor series on a quarter turn, mirrored.
double Sine(double Turns) {
  double t = Turns - std::floor(Turns), Sign = 1;
  if (t >= 0.5) {
    t -= 0.5;
    Sign = -1;
  }
  t = t > 0.25 ? 0.5 - t : t;
  const double x = 2 * 3.14159265358979323846 * t, x2 = x * x;
  double s = 1 - x2 / 156;
  for (const double d : {110.0, 72.0, 42.0, 20.0, 6.0}) {
    s = 1 - x2 / d * s;
  }
  return Sign * x * s;
}

// A square wave with rounded edges: fewer high harmonics to fold back below the sample rate.
double Square(double Turns) {
  return std::clamp(2.5 * Sine(Turns), -1.0, 1.0);
}

double Triangle(double Turns) {
  const double t = Turns - std::floor(Turns);
  return t < 0.5 ? 4 * t - 1 : 3 - 4 * t;
}

double Power(double x, int n) {
  double p = 1;
  for (int i = 0; i < n; ++i) {
    p *= x;
  }
  return p;
}

// Rises over the first Attack of the sound, then falls to nothing as (1 - u)^Fall.
auto Hit(double Attack, int Fall) {
  return [=](double u) {
    return u < Attack ? u / Attack : Power(1 - (u - Attack) / (1 - Attack), Fall);
  };
}

// From f0 towards f1, most of the way early on when Bend > 1.
auto Sweep(double f0, double f1, int Bend) {
  return [=](double u) { return f0 + (f1 - f0) * (1 - Power(1 - u, Bend)); };
}

TBuffer Silence(double Seconds) {
  return TBuffer(static_cast<std::size_t>(Seconds * Rate));
}

// Calls Add(i, u, Sample) for each sample of Out from Start for Seconds: i counts them from 0, u is
// the sound's progress from 0 to 1.
template <class TAdd> void Over(TBuffer& Out, double Start, double Seconds, TAdd Add) {
  const auto First = static_cast<std::size_t>(Start * Rate);
  const auto Count = static_cast<std::size_t>(Seconds * Rate);
  for (std::size_t i = 0; i < Count && First + i < Out.size(); ++i) {
    Add(i, static_cast<double>(i) / static_cast<double>(Count), Out[First + i]);
  }
}

// Adds a tone: its frequency and loudness follow the sound's progress, its phase accumulates so
// a sweep has no jumps.
template <class TFrequency, class TWave, class TEnvelope>
void AddTone(TBuffer& Out, double Start, double Seconds, TFrequency Frequency, TWave Wave,
             TEnvelope Envelope, double Level) {
  double Phase = 0;
  Over(Out, Start, Seconds, [&](std::size_t, double u, double& Sample) {
    Sample += Level * Envelope(u) * Wave(Phase);
    Phase += Frequency(u) / Rate;
  });
}

// Adds white noise (a fixed-seed hash, so the same every run) through a low-pass whose
// coefficient slides from Bright to Dull, less what a second low-pass at Floor keeps (0: none):
// a band that can darken as the sound goes.
template <class TEnvelope>
void AddNoise(TBuffer& Out, double Start, double Seconds, double Bright, double Dull, double Floor,
              TEnvelope Envelope, double Level, std::uint32_t Seed) {
  double Low = 0, Lower = 0;
  Over(Out, Start, Seconds, [&](std::size_t i, double u, double& Sample) {
    const auto n = static_cast<std::uint32_t>(i);
    const double White =
        static_cast<double>(kit::Hash(n * 0x9E3779B1u + kit::Hash(Seed)) >> 8) / 8388608.0 - 1;
    Low += (Bright + (Dull - Bright) * u) * (White - Low);
    Lower += Floor * (Low - Lower);
    Sample += Level * Envelope(u) * (Low - Lower);
  });
}

// Half a raised cosine: 0 at x = 0, 1 from x = 1 on.
double Ramp(double x) {
  return x >= 1 ? 1 : (1 - Sine(x / 2 + 0.25)) / 2;
}

std::vector<std::int16_t> Finish(TBuffer Out, double Loudness) {
  // Fades of 2 ms in and 6 ms out: the first and last samples are exactly 0, no click.
  const double In = 0.002 * Rate, Away = 0.006 * Rate;
  const std::size_t n = Out.size();
  TBuffer Window(n);
  double Sum = 0, WindowSum = 0;
  for (std::size_t i = 0; i < n; ++i) {
    Window[i] =
        std::min(Ramp(static_cast<double>(i) / In), Ramp(static_cast<double>(n - 1 - i) / Away));
    Out[i] *= Window[i];
    Sum += Out[i];
    WindowSum += Window[i];
  }
  // The offset comes off in the window's shape, so the ends stay at 0 and the mean becomes 0.
  double Peak = 0;
  for (std::size_t i = 0; i < n; ++i) {
    Out[i] -= Sum / WindowSum * Window[i];
    Peak = std::max(Peak, std::fabs(Out[i]));
  }
  std::vector<std::int16_t> Samples(n);
  for (std::size_t i = 0; i < n; ++i) {
    Samples[i] = static_cast<std::int16_t>(std::floor(Out[i] / Peak * Loudness * PeakLimit + 0.5));
  }
  return Samples;
}

// A bright falling "pew": a rounded square swept down fast, a click of noise at its start.
std::vector<std::int16_t> PlayerShot() {
  TBuffer Out = Silence(0.12);
  AddTone(Out, 0, 0.12, Sweep(1600, 380, 2), Square, Hit(0.03, 2), 0.7);
  AddTone(Out, 0, 0.12, Sweep(3200, 760, 2), Sine, Hit(0.03, 3), 0.2);
  AddNoise(Out, 0, 0.015, 0.6, 0.6, 0, Hit(0.1, 2), 0.3, 1);
  return Finish(Out, 0.4);
}

// Lower and rougher than the player's: a triangle with a fast warble, falling further.
std::vector<std::int16_t> EnemyShot() {
  TBuffer Out = Silence(0.15);
  const auto Warble = [](double u) { return (760 - 560 * u) * (1 + 0.12 * Sine(u * 9)); };
  AddTone(Out, 0, 0.15, Warble, Triangle, Hit(0.04, 2), 0.8);
  AddTone(Out, 0, 0.15, Sweep(380, 120, 1), Square, Hit(0.04, 3), 0.25);
  return Finish(Out, 0.4);
}

// A short cannon: a low thump and a burst of dark noise.
std::vector<std::int16_t> TurretShot() {
  TBuffer Out = Silence(0.2);
  AddTone(Out, 0, 0.2, Sweep(170, 48, 2), Sine, Hit(0.02, 3), 0.8);
  AddNoise(Out, 0, 0.16, 0.35, 0.06, 0, Hit(0.03, 3), 0.9, 2);
  return Finish(Out, 0.45);
}

// A dry tick: bright noise with its lows taken out, and a faint high ring.
std::vector<std::int16_t> WallHit() {
  TBuffer Out = Silence(0.07);
  AddNoise(Out, 0, 0.07, 0.7, 0.4, 0.25, Hit(0.05, 4), 1, 3);
  AddTone(Out, 0, 0.07, Sweep(2300, 2100, 1), Sine, Hit(0.05, 3), 0.25);
  return Finish(Out, 0.3);
}

// A dull crunch: noise over a low square falling.
std::vector<std::int16_t> UnitHit() {
  TBuffer Out = Silence(0.1);
  AddNoise(Out, 0, 0.1, 0.3, 0.15, 0, Hit(0.04, 2), 0.8, 4);
  AddTone(Out, 0, 0.1, Sweep(280, 130, 2), Square, Hit(0.04, 2), 0.5);
  return Finish(Out, 0.45);
}

// An explosion: noise that darkens as it dies, over a deep falling boom.
std::vector<std::int16_t> EnemyDestroyed() {
  TBuffer Out = Silence(0.6);
  AddNoise(Out, 0, 0.6, 0.5, 0.02, 0, Hit(0.01, 2), 1, 5);
  AddTone(Out, 0, 0.5, Sweep(110, 34, 2), Sine, Hit(0.02, 2), 0.7);
  AddNoise(Out, 0.04, 0.2, 0.8, 0.5, 0.3, Hit(0.05, 3), 0.3, 6);
  return Finish(Out, 1);
}

// A sour buzz: two close square tones beating, shaken by a tremolo.
std::vector<std::int16_t> PlayerStruck() {
  TBuffer Out = Silence(0.18);
  const auto Tremolo = [](double u) { return Hit(0.05, 1)(u) * (0.7 + 0.3 * Sine(u * 5)); };
  AddTone(Out, 0, 0.18, Sweep(330, 300, 1), Square, Tremolo, 0.5);
  AddTone(Out, 0, 0.18, Sweep(311, 285, 1), Square, Tremolo, 0.5);
  return Finish(Out, 0.6);
}

// A charge takes its cap of 100 ticks to fill, and a tick lasts at least 11 ms, so the tone rises
// for 1.1 s; the mixer stops it when the field is thrown earlier.
constexpr double ChargeSeconds = 100 * 0.011;

// A rising tone with two harmonics, pulsing faster as it climbs.
std::vector<std::int16_t> FieldCharge() {
  TBuffer Out = Silence(ChargeSeconds + 0.04);
  const auto Rise = [](double u) { return 180 + 720 * u; };
  const auto Pulse = [](double u) {
    return std::min(1.0, u * 20) * (0.6 + 0.4 * u) * (0.85 + 0.15 * Sine(u * (4 + 12 * u)));
  };
  const auto Wave = [](double p) { return Sine(p) + 0.3 * Sine(2 * p) + 0.15 * Sine(3 * p); };
  AddTone(Out, 0, ChargeSeconds + 0.04, Rise, Wave, Pulse, 1);
  return Finish(Out, 0.35);
}

// A whoosh: a band of noise opening upwards, and a rising sine beneath it.
std::vector<std::int16_t> FieldThrow() {
  TBuffer Out = Silence(0.3);
  const auto Swell = [](double u) { return Sine(u / 2); };
  AddNoise(Out, 0, 0.3, 0.04, 0.5, 0.02, Swell, 1, 7);
  AddTone(Out, 0, 0.3, Sweep(400, 1400, 1), Sine, Swell, 0.3);
  return Finish(Out, 0.5);
}

// Winding down: a falling triangle with a slow wobble and a falling sine above it.
std::vector<std::int16_t> FieldEnd() {
  TBuffer Out = Silence(0.4);
  const auto Wobble = [](double u) { return (1000 - 780 * u) * (1 + 0.03 * Sine(u * 6)); };
  AddTone(Out, 0, 0.4, Wobble, Triangle, Hit(0.05, 1), 0.7);
  AddTone(Out, 0, 0.4, Sweep(2000, 440, 1), Sine, Hit(0.05, 2), 0.25);
  return Finish(Out, 0.45);
}

// Lightning: crackles of bright noise switched on and off at random every 4 ms, over a buzz.
std::vector<std::int16_t> TrapFire() {
  TBuffer Out = Silence(0.35);
  const auto Crackle = [](double u) {
    const auto Slot = static_cast<std::uint32_t>(u * 87);
    return (kit::Hash(Slot + 0xC0FFEEu) & 3) != 0 ? 1 - u : 0.15 * (1 - u);
  };
  AddNoise(Out, 0, 0.35, 0.9, 0.7, 0.2, Crackle, 1, 8);
  AddTone(
      Out, 0, 0.35, [](double) { return 120.0; }, Square, Hit(0.02, 1), 0.35);
  return Finish(Out, 0.6);
}

// A soft, high blip.
std::vector<std::int16_t> ButtonHover() {
  TBuffer Out = Silence(0.045);
  AddTone(
      Out, 0, 0.045, [](double) { return 1760.0; }, Sine, [](double u) { return Sine(u / 2); }, 1);
  return Finish(Out, 0.2);
}

// Two quick notes, the second higher.
std::vector<std::int16_t> ButtonPress() {
  TBuffer Out = Silence(0.1);
  const auto Wave = [](double p) { return Sine(p) + 0.2 * Sine(2 * p); };
  AddTone(
      Out, 0, 0.045, [](double) { return 880.0; }, Wave, Hit(0.1, 2), 1);
  AddTone(
      Out, 0.045, 0.055, [](double) { return 1320.0; }, Wave, Hit(0.1, 2), 1);
  return Finish(Out, 0.35);
}

// A rising arpeggio of a major chord, each note ringing on under the next.
std::vector<std::int16_t> ScoreScene() {
  TBuffer Out = Silence(0.8);
  const auto Wave = [](double p) { return Sine(p) + 0.25 * Sine(2 * p); };
  const double Notes[] = {523.25, 659.26, 783.99, 1046.5};
  for (int i = 0; i < 4; ++i) {
    const double f = Notes[i];
    AddTone(
        Out, 0.12 * i, 0.8 - 0.12 * i, [f](double) { return f; }, Wave, Hit(0.02, 2), 1);
  }
  return Finish(Out, 0.5);
}

} // namespace

std::vector<std::int16_t> MakeSound(TSound Sound) {
  using enum TSound;
  switch (Sound) {
  case PlayerShot:
    return ::PlayerShot();
  case EnemyShot:
    return ::EnemyShot();
  case TurretShot:
    return ::TurretShot();
  case WallHit:
    return ::WallHit();
  case UnitHit:
    return ::UnitHit();
  case EnemyDestroyed:
    return ::EnemyDestroyed();
  case PlayerStruck:
    return ::PlayerStruck();
  case FieldCharge:
    return ::FieldCharge();
  case FieldThrow:
    return ::FieldThrow();
  case FieldEnd:
    return ::FieldEnd();
  case TrapFire:
    return ::TrapFire();
  case ButtonHover:
    return ::ButtonHover();
  case ButtonPress:
    return ::ButtonPress();
  case ScoreScene:
    return ::ScoreScene();
  }
  return {};
}

std::vector<std::uint8_t> WavBytes(const std::vector<std::int16_t>& Samples) {
  std::vector<std::uint8_t> Bytes;
  const auto Text = [&Bytes](const char* Four) {
    for (int i = 0; i < 4; ++i) {
      Bytes.push_back(static_cast<std::uint8_t>(Four[i]));
    }
  };
  const auto Number = [&Bytes](std::uint32_t Value, int Count) {
    for (int i = 0; i < Count; ++i) {
      Bytes.push_back(static_cast<std::uint8_t>(Value >> (8 * i)));
    }
  };
  const auto DataBytes = static_cast<std::uint32_t>(2 * Samples.size());
  Text("RIFF");
  Number(36 + DataBytes, 4);
  Text("WAVE");
  Text("fmt ");
  Number(16, 4);
  Number(1, 2); // PCM
  Number(1, 2); // mono
  Number(SoundRate, 4);
  Number(2 * SoundRate, 4); // bytes a second
  Number(2, 2);             // bytes a frame
  Number(16, 2);            // bits a sample
  Text("data");
  Number(DataBytes, 4);
  for (const std::int16_t Sample : Samples) {
    Number(static_cast<std::uint16_t>(Sample), 2);
  }
  return Bytes;
}
