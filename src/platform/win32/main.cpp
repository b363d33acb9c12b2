// The game's entry with the Win32 layer.
#include "platform/PlatformLayer.h"

int main(int argc, char** argv) {
  return RunGame(argc, argv, PlatformLayer());
}
