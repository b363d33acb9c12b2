// Program entry: the main loop with the game's start-up, frame and shutdown procedures.
#include "OGLWnd.h"
#include "game/scenes/Scenes.h"

int main() {
  // A window that could not be set up has been reported already; that is a failed run.
  return RunMainLoop(StartUp, DoFrame, ShutDown) ? 0 : 1;
}
