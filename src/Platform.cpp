#include "Platform.h"

#include "OGLWnd.h"

namespace {

// Without a window there is no loop to feed.
class TNoMessages final : public TMessagePump {
public:
  std::uint32_t TickCount() override { return 0; }
  bool Peek(TMessage&) override { return false; }
  void Dispatch(const TMessage&) override {}
  void Wait(std::uint32_t) override {}
  void SetTitle(const std::string&) override {}
};

TPlatform Headless;
TPlatform* Installed = &Headless;

} // namespace

bool TPlatform::CreateGameWindow(std::int32_t, std::int32_t) {
  return false;
}

void TPlatform::DestroyGameWindow() {}

void TPlatform::SwapWindowBuffers() {}

bool TPlatform::HasCurrentContext() {
  return false;
}

void TPlatform::SetFullscreen(bool) {}

TMessagePump& TPlatform::MessagePump() {
  static TNoMessages None;
  return None;
}

TLResult TPlatform::DefaultWindowProc(TWindowHandle, std::uint32_t, TWParam, TLParam) {
  return 0;
}

void TPlatform::PostQuitMessage(int) {}

void TPlatform::RunLoop(TFrameLoop& Loop, void (*End)()) {
  RunPasses(Loop);
  End();
}

bool TPlatform::IsFullscreen() {
  return false;
}

void TPlatform::OpenSound(TSoundSource& Source, std::int32_t) {
  Source.Lost("no sound output in this build");
}

void TPlatform::CloseSound() {}

void TPlatform::LockSound() {}

void TPlatform::UnlockSound() {}

void TPlatform::MakeGlyphLists(std::uint32_t, std::int32_t) {}

bool TPlatform::ReplaceFileContents(const std::string& FileName, std::string_view,
                                    std::string& ErrorText) {
  ErrorText = FileName + ": no file system layer";
  return false;
}

void TPlatform::OfferFile(const std::string&) {}

bool TPlatform::EnterInstalledRunFolder(bool& Moved, std::string&) {
  Moved = false;
  return true;
}

void TPlatform::ShowErrorBox(const std::string&) {}

TPlatform& Platform() {
  return *Installed;
}

void InstallPlatform(TPlatform* Platform) {
  Installed = Platform != nullptr ? Platform : &Headless;
}
