// kelto-replay: plays a script of input ticks through the world without a window and prints the
// whole world after every step; with --sounds, the sounds of each step after it.
#include "game/replay/Replay.h"

#include <cstdio>
#include <iostream>
#include <string_view>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
  const bool Sounds = argc == 2 && std::string_view(argv[1]) == "--sounds";
  if (argc > 1 && !Sounds) {
    std::fputs("usage: kelto-replay [--sounds] < SCRIPT\n", stderr);
    return 2;
  }
#ifdef _WIN32
  // The same bytes on every platform: '\n' line ends, no translation.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::ios::sync_with_stdio(false);
  const int Status = RunReplay(std::cin, std::cout, std::cerr, Sounds);
  std::cout.flush();
  return Status;
}
