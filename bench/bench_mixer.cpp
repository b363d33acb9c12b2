// The mixer's cost: one second of 48 kHz stereo from 16 busy voices, pulled in blocks of 512
// frames as an audio device would. core_share is the CPU time one second of audio takes, as a
// share of one core (printed with an SI prefix: 1.4m is 0.14 %).
#include "Mixer.h"
#include "SoundFile.h"

#include <benchmark/benchmark.h>

namespace {

void BM_MixOneSecond(benchmark::State& State) {
  TMixer Mixer;
  Mixer.SetOutputRate(48000);
  Mixer.SetVolume(80);
  // The longest effect, so every voice plays for the whole second; slowed voices step unevenly.
  std::vector<std::int16_t> Samples;
  std::string Error;
  const std::string Name = std::string(KELTO_RUN_DIR) + "/sound/" +
                           SoundFiles[static_cast<std::size_t>(TSound::FieldCharge)];
  if (!LoadSoundFile(Name, Samples, Error)) {
    State.SkipWithError((Name + ": " + Error).c_str());
    return;
  }
  Mixer.SetEffect(TSound::FieldCharge, Samples);
  std::int16_t Out[2 * 512];
  for (auto _ : State) {
    for (int i = 0; i < TMixer::VoiceCount; ++i) {
      const float Factor = i % 2 == 0 ? 1 : 0.7f;
      Mixer.Play({TSound::FieldCharge, 100.0f * static_cast<float>(i), 300, Factor}, 400, 300);
    }
    for (int Frames = 0; Frames < 48000; Frames += 512) {
      Mixer.Mix(Out, 512);
      benchmark::DoNotOptimize(Out);
    }
    if (Mixer.ActiveVoices() != TMixer::VoiceCount) {
      State.SkipWithError("a voice ended within the second");
    }
  }
  State.counters["core_share"] =
      benchmark::Counter(static_cast<double>(State.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MixOneSecond)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
