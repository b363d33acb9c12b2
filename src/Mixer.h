// The one sound mixer: voices of the game's effects, placed around the listener and slowed by
// their time factor, mixed into 16-bit stereo at the output's rate. It makes no system call, so
// every build mixes the same events into the same samples; the platform only pulls them. Not
// thread-safe: an output that pulls on its own thread locks around every call.
#pragma once

#include "game/shared/SoundEvents.h"

#include <cstdint>
#include <vector>

class TMixer {
public:
  static constexpr std::int32_t VoiceCount = 16;

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
};
