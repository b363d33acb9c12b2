// kelto-replay: plays a script of input ticks through the world without a window and prints the
// whole world after every step.
#include "game/replay/Replay.h"

#include <cstdio>
#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main() {
#ifdef _WIN32
  // The same bytes on every platform: '\n' line ends, no translation.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::ios::sync_with_stdio(false);
  const int Status = RunReplay(std::cin, std::cout, std::cerr);
  std::cout.flush();
  return Status;
}
