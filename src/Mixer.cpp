// The sound mixer: integer arithmetic only (see Mixer.h for the rules it follows).
#include "Mixer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::int32_t Unity = 1 << 15; // a gain of 1 in 1.15 fixed point

// Distance: full within NearPixels, silent from FarPixels on, a straight line between.
constexpr std::int64_t NearPixels = 100, FarPixels = 900;
// Pan: the far channel falls to FarSideQ15 at EdgePixels to the side and beyond.
constexpr std::int64_t EdgePixels = 400, FarSideQ15 = Unity * 3 / 10;
// A stopped voice fades out over this share of a second instead of clicking.
constexpr std::int32_t FadeDivisor = 200;

// A place in whole pixels, held to a range whose squares add up without overflow.
std::int64_t Pixels(float Value) {
  constexpr float Limit = 1e6f;
  return static_cast<std::int64_t>(std::clamp(std::isnan(Value) ? 0.0f : Value, -Limit, Limit));
}

std::int64_t SquareRoot(std::int64_t Value) {
  std::int64_t Root = 0;
  for (std::int64_t Bit = std::int64_t{1} << 42; Bit > 0; Bit >>= 2) { // Value < 2^43 here
    if (Value >= Root + Bit) {
      Value -= Root + Bit;
      Root = (Root >> 1) + Bit;
    } else {
      Root >>= 1;
    }
  }
  return Root;
}

std::int32_t DistanceGain(std::int64_t dx, std::int64_t dy) {
  const std::int64_t Square = dx * dx + dy * dy;
  if (Square <= NearPixels * NearPixels) {
    return Unity;
  }
  if (Square >= FarPixels * FarPixels) {
    return 0;
  }
  return static_cast<std::int32_t>((FarPixels - SquareRoot(Square)) * Unity /
                                   (FarPixels - NearPixels));
}

std::int32_t Scale(std::int32_t Gain, std::int32_t By) {
  return static_cast<std::int32_t>((std::int64_t{Gain} * By) >> 15);
}

} // namespace

void TMixer::SetEffect(TSound Sound, std::vector<std::int16_t> Samples) {
  for (TVoice& Voice : Voices) {
    Voice.Active = Voice.Active && Voice.Sound != Sound; // they would read the old samples
  }
  Effects.at(static_cast<std::size_t>(Sound)) = std::move(Samples);
}

void TMixer::SetOutputRate(std::int32_t Rate) {
  OutputRate = std::clamp(Rate, 1000, 1 << 20);
}

void TMixer::SetVolume(std::int32_t Percent) {
  Percent = std::clamp(Percent, 0, 100);
  VolumeQ15 = Percent * Percent * Unity / 10000;
}

void TMixer::Play(const TSoundEvent& Event, float ListenerX, float ListenerY) {
  const auto Index = static_cast<std::size_t>(Event.Sound);
  if (Index >= Effects.size() || Effects[Index].empty()) {
    return;
  }
  // A free voice, else the one started longest ago (counted modulo 2^32, so the count may wrap).
  TVoice* Voice = &Voices[0];
  for (TVoice& Other : Voices) {
    if (!Other.Active) {
      Voice = &Other;
      break;
    }
    if (StartCount - Other.Started > StartCount - Voice->Started) {
      Voice = &Other;
    }
  }
  const std::int64_t dx = Pixels(Event.X) - Pixels(ListenerX);
  const std::int64_t dy = Pixels(Event.Y) - Pixels(ListenerY);
  const std::int32_t Near = DistanceGain(dx, dy);
  const std::int64_t Side = std::min(dx < 0 ? -dx : dx, EdgePixels);
  const std::int32_t Far =
      static_cast<std::int32_t>(Unity - (Unity - FarSideQ15) * Side / EdgePixels);
  const float Factor =
      std::isnan(Event.Factor) ? 1 : std::clamp(Event.Factor, MinFactor, MaxFactor);
  *Voice = {.Active = true,
            .Sound = Event.Sound,
            .Started = StartCount++,
            .Position = 0,
            .FactorQ16 = static_cast<std::uint32_t>(Factor * 65536.0f), // exact: a power of two
            .GainLeft = Scale(Near, dx > 0 ? Far : Unity),
            .GainRight = Scale(Near, dx < 0 ? Far : Unity),
            .FadeLeft = 0};
}

void TMixer::Stop(TSound Sound) {
  for (TVoice& Voice : Voices) {
    if (Voice.Active && Voice.Sound == Sound && Voice.FadeLeft == 0) {
      Voice.FadeLeft = std::max(OutputRate / FadeDivisor, 1);
    }
  }
}

void TMixer::Mix(std::int16_t* Out, std::int32_t Frames) {
  // In blocks, summed at 32 bits on the stack: no allocation, so an audio thread may call it.
  constexpr std::int32_t Block = 256;
  std::int32_t Sum[2 * Block];
  const std::int32_t FadeFrames = std::max(OutputRate / FadeDivisor, 1);
  for (std::int32_t Done = 0; Done < Frames; Done += Block) {
    const std::int32_t Count = std::min(Block, Frames - Done);
    std::fill(Sum, Sum + 2 * Count, 0);
    for (TVoice& Voice : Voices) {
      if (!Voice.Active) {
        continue;
      }
      const std::vector<std::int16_t>& Samples = Effects[static_cast<std::size_t>(Voice.Sound)];
      const std::uint64_t Length = Samples.size();
      const std::uint64_t Step = (std::uint64_t{Voice.FactorQ16} * SoundRate << 16) /
                                 static_cast<std::uint64_t>(OutputRate);
      for (std::int32_t i = 0; i < Count; ++i) {
        const std::uint64_t Index = Voice.Position >> 32;
        if (Index >= Length) {
          Voice.Active = false;
          break;
        }
        // Linear interpolation towards the next sample (silence after the last).
        const std::int64_t a = Samples[Index];
        const std::int64_t b = Index + 1 < Length ? Samples[Index + 1] : 0;
        const std::int64_t Fraction = (Voice.Position >> 16) & 0xFFFF;
        std::int64_t Sample = a + (((b - a) * Fraction) >> 16);
        if (Voice.FadeLeft > 0) {
          Sample = Sample * std::min(Voice.FadeLeft, FadeFrames) / FadeFrames;
        }
        Sum[2 * i] += static_cast<std::int32_t>((Sample * Voice.GainLeft) >> 15);
        Sum[2 * i + 1] += static_cast<std::int32_t>((Sample * Voice.GainRight) >> 15);
        Voice.Position += Step;
        if (Voice.FadeLeft > 0 && --Voice.FadeLeft == 0) {
          Voice.Active = false;
          break;
        }
      }
    }
    for (std::int32_t i = 0; i < 2 * Count; ++i) {
      const std::int64_t Value = (std::int64_t{Sum[i]} * VolumeQ15) >> 15;
      Out[2 * Done + i] = static_cast<std::int16_t>(std::clamp<std::int64_t>(Value, -32768, 32767));
    }
  }
}

std::int32_t TMixer::ActiveVoices() const {
  return static_cast<std::int32_t>(std::count_if(Voices.begin(), Voices.end(),
                                                 [](const TVoice& Voice) { return Voice.Active; }));
}
