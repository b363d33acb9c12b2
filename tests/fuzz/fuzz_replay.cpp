// libFuzzer target for the replay script reader (scripts/fuzz.sh): whole scripts through RunReplay
// and the world end without a crash, leak or undefined behaviour, with status 0 or 2 (bad line).
#include "game/replay/Replay.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  std::istringstream In(std::string(reinterpret_cast<const char*>(Data), Size));
  std::ostream Out(nullptr); // the world after each step goes nowhere
  std::ostringstream Err;
  const int Status = RunReplay(In, Out, Err);
  if (Status != 0 && Status != 2) {
    std::abort();
  }
  return 0;
}
