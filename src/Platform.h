// What the game needs from the window system and the operating system, in one interface. Each
// window system implements it once under src/platform/ (SDL2 with FreeType and fontconfig; Win32
// with GDI and WGL) and the program entry installs it before anything else runs. Everything
// above it is the same on every system. The replay tool and the logic tests run on this base
// class itself, which has no window, shows no box and replaces no file.
#pragma once

#include "WinMessages.h"

#include <cstdint>
#include <string>
#include <string_view>

// The message source of the paced loop.
class TMessagePump {
public:
  static constexpr std::uint32_t Infinite = 0xFFFFFFFFu;
  virtual ~TMessagePump() = default;
  // Millisecond counter (32 bits, wraps).
  virtual std::uint32_t TickCount() = 0;
  // Removes the next pending message, if any.
  virtual bool Peek(TMessage& Message) = 0;
  // Translates and dispatches a message to the window procedure.
  virtual void Dispatch(const TMessage& Message) = 0;
  // Blocks until a message is pending or TimeoutMs has passed (Infinite: no limit).
  virtual void Wait(std::uint32_t TimeoutMs) = 0;
  virtual void SetTitle(const std::string& Title) = 0;
};

class TFrameLoop;

// The game's side of the sound output: the platform pulls the mixed sound from it.
class TSoundSource {
public:
  virtual ~TSoundSource() = default;
  // Writes Frames 16-bit stereo frames (left, right) at Rate frames a second to Out. Runs on the
  // output's own thread, never between the game's LockSound and UnlockSound.
  virtual void Pull(std::int16_t* Out, std::int32_t Frames, std::int32_t Rate) = 0;
  // There is no output (none could be opened, or it went away); the game goes on silent.
  virtual void Lost(const std::string& Reason) = 0;
};

class TPlatform {
public:
  virtual ~TPlatform() = default;

  // --- The window and its rendering context ---
  // Creates the window with a Width x Height client area and a double-buffered RGBA context with
  // a depth buffer, shows it, sets the view and runs OnStartUp. False, after a report, when a
  // step failed; whatever it had set up is released again then.
  virtual bool CreateGameWindow(std::int32_t Width, std::int32_t Height);
  // Releases the context, destroys the window (WindowProc hears WM_DESTROY and runs OnShutdown
  // without a current context) and lets the window system go.
  virtual void DestroyGameWindow();
  virtual void SwapWindowBuffers();
  virtual bool HasCurrentContext();
  virtual TMessagePump& MessagePump();
  // Switches between the window and fullscreen: the whole display at its own resolution, with the
  // view scaled to fit it (see SizeForWindowProc). Leaving gives the window back as it was. Before
  // the window exists it chooses how the window opens.
  virtual void SetFullscreen(bool On);
  // What the window system does with a message the game does not handle.
  virtual TLResult DefaultWindowProc(TWindowHandle Window, std::uint32_t Message, TWParam wParam,
                                     TLParam lParam);
  // Posts the quit message; the loop sees it once nothing else is waiting.
  virtual void PostQuitMessage(int ExitCode);

  // Runs Loop's passes until Done, then End (the window's teardown). Here the loop sleeps in the
  // message pump between passes. A system whose own event loop must run between passes (a
  // browser) schedules them as its callbacks instead and returns at once, running End later.
  virtual void RunLoop(TFrameLoop& Loop, void (*End)());

  // Whether the window is fullscreen now (the player's keys switch it too).
  virtual bool IsFullscreen();

  // --- Sound ---
  // Starts pulling from Source at about Rate frames a second. When there is no output, Source
  // hears why (Lost) and nothing else happens; a platform that learns of devices coming and going
  // gives up a device that goes and takes up one that comes on its own. The base class has none.
  virtual void OpenSound(TSoundSource& Source, std::int32_t Rate);
  // Stops pulling and gives the device back; no device is taken up any more.
  virtual void CloseSound();
  // Keeps Pull from running in between, while the game changes what is mixed.
  virtual void LockSound();
  virtual void UnlockSound();

  // --- Text ---
  // Records the glyphs of the 18-pixel "Courier New" in code page 1251 into the Count display
  // lists from Base: list Base + k draws byte k and moves the raster position on.
  virtual void MakeGlyphLists(std::uint32_t Base, std::int32_t Count);

  // --- Files ---
  // Replaces FileName with exactly Contents so that a crash or a full disk at any moment leaves
  // the old file or the new one, never a mixture: the bytes go to FileName + ".tmp", are flushed
  // to the disk and renamed over FileName. An existing FileName that is not writable is left
  // alone. On failure nothing is left behind and ErrorText says "<name>: <system's reason>".
  virtual bool ReplaceFileContents(const std::string& FileName, std::string_view Contents,
                                   std::string& ErrorText);

  // The game has just finished writing FileName for the player (a recorded demo). A browser,
  // whose files vanish with the page, offers it as a download; elsewhere it already is where the
  // player named it.
  virtual void OfferFile(const std::string& FileName);

  // --- The run folder ---
  // An installed game keeps its pictures in the installation and each player's scores in the
  // player's own folder. Started from an installed place, this makes the player's folder the
  // working folder, with "picture" in it leading to the installed pictures, and sets Moved; so
  // the game's relative names mean the same there as in any other run folder. Elsewhere (a build
  // tree, an unpacked zip) it changes nothing. False with ErrorText when an installed game's
  // folder cannot be made ready.
  virtual bool EnterInstalledRunFolder(bool& Moved, std::string& ErrorText);

  // --- Reports ---
  // A message box with the caption "Error" and Text; nothing where no display can be opened.
  virtual void ShowErrorBox(const std::string& Text);
};

// The installed platform; the base class until one is installed.
TPlatform& Platform();
void InstallPlatform(TPlatform* Installed);
