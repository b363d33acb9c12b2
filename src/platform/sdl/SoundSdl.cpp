// The sound output over SDL2's audio. SDL's own thread calls back for every buffer the device is
// about to play, so the mix is pulled exactly when it is needed, whatever the game's frames do: a
// queue fed by the frames would have to hold more than the longest gap between two frames (a
// window being dragged stops them for seconds) to never run dry, and every sound would wait that
// long to be heard. The callback's buffer is small (512 frames, about 11 ms), so a sound reported
// in a frame reaches the device within two buffers.
#include "SoundSdl.h"

#include "platform/PlatformLayer.h"

#include <dlfcn.h>

#include <string>

namespace {

constexpr Uint16 BufferFrames = 512;

TSoundSource* Source; // set while the game wants sound
std::int32_t WantedRate;
SDL_AudioDeviceID Device;
std::int32_t DeviceRate;

// ALSA's library writes lines of its own to standard error when it finds no sound card, which
// would bury the game's one "no sound" line: it is asked to keep quiet (when SDL would use it).
void KeepQuiet(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsa() {
  using THandler = void (*)(const char*, int, const char*, int, const char*, ...);
  static void* Alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (Alsa == nullptr) {
    return;
  }
  if (auto* SetHandler =
          reinterpret_cast<int (*)(THandler)>(dlsym(Alsa, "snd_lib_error_set_handler"))) {
    SetHandler(KeepQuiet);
  }
}

void SDLCALL PullMix(void*, Uint8* Stream, int Bytes) {
  constexpr int FrameBytes = 2 * static_cast<int>(sizeof(std::int16_t));
  Source->Pull(reinterpret_cast<std::int16_t*>(Stream), Bytes / FrameBytes, DeviceRate);
}

// Opens the system's default output for the wanted sound; false when it cannot.
bool OpenDevice() {
  SDL_AudioSpec Wanted{};
  Wanted.freq = WantedRate;
  Wanted.format = AUDIO_S16SYS;
  Wanted.channels = 2;
  Wanted.samples = BufferFrames;
  Wanted.callback = PullMix;
  SDL_AudioSpec Given{};
  // Any rate the device prefers: the mixer follows it. Format, channels and buffer stay as asked
  // (SDL converts where the device differs).
  Device = SDL_OpenAudioDevice(nullptr, 0, &Wanted, &Given, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
  if (Device == 0) {
    return false;
  }
  DeviceRate = Given.freq;
  SDL_PauseAudioDevice(Device, 0);
  return true;
}

void CloseDevice() {
  if (Device != 0) {
    SDL_CloseAudioDevice(Device);
    Device = 0;
  }
}

} // namespace

bool TakeSoundDeviceEvent(const SDL_Event& Event) {
  if (Event.type != SDL_AUDIODEVICEADDED && Event.type != SDL_AUDIODEVICEREMOVED) {
    return false;
  }
  if (Event.adevice.iscapture != 0 || Source == nullptr) {
    return true;
  }
  if (Event.type == SDL_AUDIODEVICEREMOVED && Event.adevice.which == Device) {
    CloseDevice();
    // Another one may be there still: the system's default moves on to it.
    if (!OpenDevice()) {
      Source->Lost(std::string("the sound device went away (") + SDL_GetError() + ")");
    }
  } else if (Event.type == SDL_AUDIODEVICEADDED && Device == 0) {
    OpenDevice();
  }
  return true;
}

void TPlatformLayer::OpenSound(TSoundSource& Sound, std::int32_t Rate) {
  if (Source != nullptr) {
    return;
  }
  SilenceAlsa();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    Sound.Lost(SDL_GetError());
    return;
  }
  Source = &Sound;
  WantedRate = Rate;
  if (!OpenDevice()) {
    Sound.Lost(SDL_GetError());
  }
}

void TPlatformLayer::CloseSound() {
  if (Source == nullptr) {
    return;
  }
  CloseDevice();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  Source = nullptr;
}

void TPlatformLayer::LockSound() {
  if (Device != 0) {
    SDL_LockAudioDevice(Device);
  }
}

void TPlatformLayer::UnlockSound() {
  if (Device != 0) {
    SDL_UnlockAudioDevice(Device);
  }
}
