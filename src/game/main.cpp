// Program entry: reads the command line, installs the window system's layer and runs the main
// loop with the game's start-up, frame and shutdown procedures.
#include "MyUnit.h"
#include "OGLWnd.h"
#include "game/CommandLine.h"
#include "game/scenes/Scenes.h"
#include "platform/PlatformLayer.h"

#include <cstdio>
#include <exception>

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
  // A window that could not be set up has been reported already; that is a failed run.
  return RunMainLoop(StartUp, DoFrame, ShutDown) ? 0 : 1;
}
