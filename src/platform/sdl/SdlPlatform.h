// The game's platform over SDL2 (window, context, input, timer, message boxes), FreeType with
// fontconfig (glyphs) and POSIX (file replacement, the run folder of an installed game).
#pragma once

#include "Platform.h"

class TSdlPlatform : public TPlatform {
public:
  bool CreateGameWindow(std::int32_t Width, std::int32_t Height) override;
  void DestroyGameWindow() override;
  void SwapWindowBuffers() override;
  bool HasCurrentContext() override;
  TMessagePump& MessagePump() override;
  void SetFullscreen(bool On) override;
  TLResult DefaultWindowProc(TWindowHandle Window, std::uint32_t Message, TWParam wParam,
                             TLParam lParam) override;
  void PostQuitMessage(int ExitCode) override;
  void MakeGlyphLists(std::uint32_t Base, std::int32_t Count) override;
  bool ReplaceFileContents(const std::string& FileName, std::string_view Contents,
                           std::string& ErrorText) override;
  bool EnterInstalledRunFolder(bool& Moved, std::string& ErrorText) override;
  void ShowErrorBox(const std::string& Text) override;
};
