// Program entry: installs the window system's layer and runs the main loop with the game's
// start-up, frame and shutdown procedures.
#include "OGLWnd.h"
#include "game/scenes/Scenes.h"
#include "platform/PlatformLayer.h"

int main() {
  InstallPlatform(&PlatformLayer());
  // A window that could not be set up has been reported already; that is a failed run.
  return RunMainLoop(StartUp, DoFrame, ShutDown) ? 0 : 1;
}
