// The game's entry with the web layer.
#include "platform/PlatformLayer.h"

int main(int argc, char** argv) {
  return RunGame(argc, argv, PlatformLayer());
}
