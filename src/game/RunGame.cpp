// The game program: reads the command line, installs the window system's layer, enters the run
// folder of an installed game, sets up a demo's recording or playback and runs the main loop with
// the game's start-up, frame and shutdown procedures.
#include "MyUnit.h"
#include "OGLWnd.h"
#include "Platform.h"
#include "game/CommandLine.h"
#include "game/Settings.h"
#include "game/SoundOutput.h"
#include "game/replay/Demo.h"
#include "game/scenes/Scenes.h"

#include <cstdio>
#include <exception>
#include <filesystem>

namespace {

void Frame() {
  DoFrame();
  HearFrame();
  KeepFullscreenChoice();
}

// The sound goes with the window: in a browser the loop ends long after main has returned.
void ShutDownWithSound() {
  ShutDown();
  StopSound();
}

} // namespace

int RunGame(int argc, char** argv, TPlatform& Layer) {
  // Whatever nothing catches is reported like every other failure, never an abort.
  std::set_terminate(TerminateWithReport);
  TOptions Options;
  std::string Error;
  if (!ParseCommandLine(argc, argv, Options, Error)) {
    ReportWarning(Error);
    std::fputs(UsageText().c_str(), stderr);
    return 2;
  }
  if (Options.Help || Options.Version) {
    std::fputs((Options.Help ? UsageText() : VersionText()).c_str(), stdout);
    return 0;
  }
  InstallPlatform(&Layer);
  // An installed game goes on in the player's own folder; demo files named on the command line
  // still mean files in the folder it was started from.
  std::error_code NoFolder;
  const std::filesystem::path StartFolder = std::filesystem::current_path(NoFolder);
  bool Moved = false;
  if (!Platform().EnterInstalledRunFolder(Moved, Error)) {
    FatalError(Error);
  }
  for (std::string* File : {&Options.RecordFile, &Options.PlayFile}) {
    if (Moved && !File->empty()) {
      *File = (StartFolder / *File).string();
    }
  }
  if (!Options.RecordFile.empty()) {
    RecordDemo(Options.RecordFile);
  }
  // A demo that cannot be played is refused before the window opens.
  if (std::string DemoError; !Options.PlayFile.empty() && !PlayDemo(Options.PlayFile, DemoError)) {
    FatalError(DemoError);
  }
  // The settings file beside the scores. --mute and --fullscreen say how this run starts and are
  // not kept, so a shortcut that starts muted does not mute the next start; a volume given is the
  // player's new choice (no key sets one), kept like a choice made with the keys.
  TSettings Settings = LoadSettings();
  if (Options.Volume >= 0) {
    Settings.Volume = Options.Volume;
    TSettings Kept = SavedSettings();
    Kept.Volume = Options.Volume;
    SaveSettings(Kept);
  }
  Settings.Fullscreen = Settings.Fullscreen || Options.Fullscreen;
  Settings.Sound = Settings.Sound && !Options.Mute;
  Platform().SetFullscreen(Settings.Fullscreen);
  StartSound(Settings);
  OnSoundKey = SwitchSound;
  // A window that could not be set up has been reported already; that is a failed run.
  if (!RunMainLoop(StartUp, Frame, ShutDownWithSound)) {
    StopSound();
    return 1;
  }
  return 0;
}
