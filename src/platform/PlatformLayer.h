// The window system's layer that this build was made with: one class, declared once, defined by
// the folder of this build's window system (sdl/ or win32/ beside this file).
#pragma once

#include "Platform.h"

#include <string>

class TPlatformLayer : public TPlatform {
public:
  bool CreateGameWindow(std::int32_t Width, std::int32_t Height) override;
  void DestroyGameWindow() override;
  void SwapWindowBuffers() override;
  bool HasCurrentContext() override;
  TMessagePump& MessagePump() override;
  void SetFullscreen(bool On) override;
  bool IsFullscreen() override;
  void OpenSound(TSoundSource& Source, std::int32_t Rate) override;
  void CloseSound() override;
  void LockSound() override;
  void UnlockSound() override;
  TLResult DefaultWindowProc(TWindowHandle Window, std::uint32_t Message, TWParam wParam,
                             TLParam lParam) override;
  void PostQuitMessage(int ExitCode) override;
  void MakeGlyphLists(std::uint32_t Base, std::int32_t Count) override;
  bool ReplaceFileContents(const std::string& FileName, std::string_view Contents,
                           std::string& ErrorText) override;
  bool EnterInstalledRunFolder(bool& Moved, std::string& ErrorText) override;
  void ShowErrorBox(const std::string& Text) override;
};

TPlatformLayer& PlatformLayer();

// The temporary file a replacement of FileName writes first. A fixed name rather than a unique
// one: a file left over by a crash is reused by the next save instead of piling up beside it.
inline std::string ReplacementTempName(const std::string& FileName) {
  return FileName + ".tmp";
}

// Test-only: when set, the file replacement calls it with the temporary file's name once that file
// is complete and flushed, before it replaces the target (a test ends the process here to imitate
// a crash).
inline void (*BeforeReplaceHook)(const std::string& TempName) = nullptr;
