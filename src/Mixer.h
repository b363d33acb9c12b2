// The one sound mixer: voices of the game's effects, placed around the listener and slowed by
// their time factor, mixed into 16-bit stereo at the output's rate. It makes no system call, so
// every build mixes the same events into the same samples; the platform only pulls them. Not
// thread-safe: an output that pulls on its own thread locks around every call.
//
// All of it is integer arithmetic, so no build's floating point or maths library can change a
// sample: a voice's place in its effect is a 32.32 fixed-point sample index, gains are 1.15 fixed
// point. The rules (docs/sound.md):
// - Distance: full loudness within 100 pixels of the listener, falling linearly to silence at 900.
// - Pan: the horizontal offset moves the sound left or right, the far channel down to 30 % at 400
//   pixels (the view's edge) and beyond; a sound at the listener's x is full in both.
// - Factor: a voice steps through its effect at Factor * SoundRate / OutputRate samples per output
//   frame (interpolated linearly), so a slowed sound is lower and longer; Factor is held within
//   MinFactor..MaxFactor.
// - Volume: the percentage squared (50 is a quarter of the amplitude), nearer to how loud it
// sounds.
// - The sum saturates at the 16-bit limits instead of wrapping.
#pragma once

#include "game/shared/SoundEvents.h"

#include <array>
#include <cstdint>
#include <vector>

class TMixer {
public:
  static constexpr std::int32_t VoiceCount = 16;
  static constexpr float MinFactor = 0.01f, MaxFactor = 4;

  // The samples of one effect (mono, SoundRate a second); an effect without samples is silent.
  void SetEffect(TSound Sound, std::vector<std::int16_t> Samples);
  // Frames a second of the output.
  void SetOutputRate(std::int32_t Rate);
  // 0 (silent) to 100.
  void SetVolume(std::int32_t Percent);
  // Starts a voice for Event, heard by a listener at (ListenerX, ListenerY) in the view's centre;
  // when all voices are busy the oldest one gives way.
  void Play(const TSoundEvent& Event, float ListenerX, float ListenerY);
  // Ends every voice of Sound at once (the charging tone when the button is let go).
  void Stop(TSound Sound);
  // Writes Frames stereo frames (left, right) to Out and moves every voice on.
  void Mix(std::int16_t* Out, std::int32_t Frames);
  std::int32_t ActiveVoices() const;

private:
  struct TVoice {
    bool Active = false;
    TSound Sound{};
    std::uint32_t Started = 0;  // the order voices were started in: the oldest gives way
    std::uint64_t Position = 0; // in its effect's samples, 32.32 fixed point
    std::uint32_t FactorQ16 = 0;
    std::int32_t GainLeft = 0, GainRight = 0; // 1.15 fixed point
    std::int32_t FadeLeft = 0; // frames left of a stopped voice's fade-out; 0 while it plays
  };
  std::array<std::vector<std::int16_t>, SoundFiles.size()> Effects;
  std::array<TVoice, VoiceCount> Voices;
  std::uint32_t StartCount = 0;
  std::int32_t OutputRate = SoundRate;
  std::int32_t VolumeQ15 = 1 << 15;
};
