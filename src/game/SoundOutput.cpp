#include "SoundOutput.h"

#include "Mixer.h"
#include "MyUnit.h"
#include "Platform.h"
#include "SoundFile.h"
#include "game/model/Registry.h"
#include "game/shared/GameFlow.h"
#include "game/units/Units.h"
#include "game/world/World.h"

#include <atomic>
#include <string>

namespace {

// Frames a second asked of the device; it may run at its own rate, which the mixer follows.
constexpr std::int32_t OutputRate = 48000;

class TOutput final : public TSoundSource {
public:
  void Pull(std::int16_t* Out, std::int32_t Frames, std::int32_t Rate) override {
    if (Rate != MixRate) {
      MixRate = Rate;
      Mixer.SetOutputRate(Rate);
    }
    Mixer.Mix(Out, Frames);
    Silent.store(false, std::memory_order_relaxed);
  }

  // Told once each time the sound stops, however often the platform retries in vain.
  void Lost(const std::string& Reason) override {
    if (!Silent.exchange(true)) {
      ReportWarning("no sound: " + Reason);
    }
  }

  TMixer Mixer; // pulled on the platform's thread: changed only between LockSound and UnlockSound
  std::int32_t MixRate = 0;
  std::atomic<bool> Silent{false};
  bool On = false;
  bool ChargeHeard = false; // a charging tone may be playing
};

// Never destroyed: a program that ends while the device still pulls finds it intact.
TOutput& Output = *new TOutput;

void SetSoundOn(bool On) {
  if (On == Output.On) {
    return;
  }
  Output.On = On;
  if (On) {
    Platform().OpenSound(Output, OutputRate);
    return;
  }
  Platform().CloseSound();
  // Nothing of before is left to go on when sound comes back.
  for (std::size_t i = 0; i < SoundFiles.size(); ++i) {
    Output.Mixer.Stop(static_cast<TSound>(i));
  }
  Output.ChargeHeard = false;
}

} // namespace

void StartSound(const TSettings& Settings) {
  for (std::size_t i = 0; i < SoundFiles.size(); ++i) {
    const std::string FileName = std::string(SoundFolder) + SoundFiles[i];
    std::vector<std::int16_t> Samples;
    std::string Reason;
    if (!LoadSoundFile(FileName, Samples, Reason)) {
      ReportWarning(FileName + ": " + Reason + "; played without it");
    }
    Output.Mixer.SetEffect(static_cast<TSound>(i), std::move(Samples));
  }
  Output.Mixer.SetVolume(Settings.Volume);
  SetSoundOn(Settings.Sound);
}

void HearFrame() {
  const std::vector<TSoundEvent> Events = TakeSoundEvents();
  if (!Output.On) {
    return;
  }
  const bool Charging = Player != nullptr && Player->Charging && CurrentScene == GameScene;
  if (Events.empty() && (Charging || !Output.ChargeHeard)) {
    return;
  }
  const TVector Listener = ListenerPosition();
  Platform().LockSound();
  for (const TSoundEvent& Event : Events) {
    Output.Mixer.Play(Event, Listener.x, Listener.y);
    Output.ChargeHeard = Output.ChargeHeard || Event.Sound == TSound::FieldCharge;
  }
  if (Output.ChargeHeard && !Charging) {
    Output.Mixer.Stop(TSound::FieldCharge);
    Output.ChargeHeard = false;
  }
  Platform().UnlockSound();
}

void SwitchSound() {
  // Called from the window procedure, which the window system may run inside its own code: no
  // exception may leave.
  try {
    SetSoundOn(!Output.On);
    TSettings Kept = SavedSettings();
    Kept.Sound = Output.On;
    SaveSettings(Kept);
  } catch (...) {
    FatalCurrentException();
  }
}

void StopSound() {
  SetSoundOn(false);
}
