// The game's sound effects, each synthesized in code: oscillators, noise, envelopes, pitch sweeps
// and one-pole filters, computed with +, -, *, / and floor alone (no maths library), so the
// samples come out the same on every run and build.
#pragma once

#include "game/shared/SoundFiles.h"

#include <cstdint>
#include <vector>

// The samples of one effect, SoundRate a second. Every effect peaks at PeakLimit or below, has no
// offset from zero (its mean is within half a step), and fades in from and out to silence.
std::vector<std::int16_t> MakeSound(TSound Sound);

// 1 dB below full scale.
constexpr std::int32_t PeakLimit = 29204;

// Samples as a WAV file: 16-bit PCM, mono, SoundRate samples a second.
std::vector<std::uint8_t> WavBytes(const std::vector<std::int16_t>& Samples);
