// The sound output over Web Audio: the browser pulls the game's mix (TSoundSource) buffer by
// buffer on the page's thread, between the game's passes.
#include "platform/PlatformLayer.h"

#include <emscripten/emscripten.h>

#include <cstdint>
#include <vector>

extern "C" {
int kelto_sound_open(char* Reason, std::size_t ReasonSize);
void kelto_sound_close();
}

namespace {

TSoundSource* Source;
std::vector<std::int16_t> Buffer;

} // namespace

// Mixes Frames stereo frames at Rate and hands back where they are.
extern "C" EMSCRIPTEN_KEEPALIVE const std::int16_t* KeltoPullSound(std::int32_t Frames,
                                                                   std::int32_t Rate) {
  Buffer.assign(static_cast<std::size_t>(Frames) * 2, 0);
  if (Source != nullptr) {
    Source->Pull(Buffer.data(), Frames, Rate);
  }
  return Buffer.data();
}

void TPlatformLayer::OpenSound(TSoundSource& Sound, std::int32_t) {
  if (Source != nullptr) {
    return;
  }
  char Reason[128] = {};
  if (kelto_sound_open(Reason, sizeof Reason) == 0) {
    Sound.Lost(Reason);
    return;
  }
  Source = &Sound;
}

void TPlatformLayer::CloseSound() {
  if (Source != nullptr) {
    kelto_sound_close();
    Source = nullptr;
  }
}

// The pull runs on the page's one thread, never during the game's own code.
void TPlatformLayer::LockSound() {}

void TPlatformLayer::UnlockSound() {}
