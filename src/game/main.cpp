// Program entry: reads the command line, installs the window system's layer, enters the run folder
// of an installed game, sets up a demo's recording or playback and runs the main loop with the
// game's start-up, frame and shutdown procedures.
#include "MyUnit.h"
#include "OGLWnd.h"
#include "game/CommandLine.h"
#include "game/Settings.h"
#include "game/SoundOutput.h"
#include "game/replay/Demo.h"
#include "game/scenes/Scenes.h"
#include "platform/PlatformLayer.h"

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

int main(int argc, char** argv) {
  // Whatever nothing catches is reported like every other failure, never an abort.
  std::set_terminate(TerminateWithReport);
  TOptions Options;
  std::string Error;
  if (!ParseCommandLine(argc, argv, Options, Error)) {
    std::fprintf(stderr, "kelto: %s\n%s", Error.c_str(), UsageText().c_str());
    return 2;
  }
  if (Options.Help || Options.Version) {
    std::fputs((Options.Help ? UsageText() : VersionText()).c_str(), stdout);
    return 0;
  }
  InstallPlatform(&PlatformLayer());
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
  // The settings file beside the scores, overridden for this run (never kept) by the options.
  TSettings Settings = LoadSettings();
  Settings.Fullscreen = Settings.Fullscreen || Options.Fullscreen;
  Settings.Sound = Settings.Sound && !Options.Mute;
  Settings.Volume = Options.Volume >= 0 ? Options.Volume : Settings.Volume;
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
