// libFuzzer target for the replay script reader (run by scripts/fuzz.sh): whole scripts through
// RunReplay, the real reader and the world it drives. Any bytes must end without a crash, leak or
// undefined behaviour, with status 0, or 2 and one report line naming the bad line.
#include "game/replay/Replay.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  std::istringstream In(std::string(reinterpret_cast<const char*>(Data), Size));
  std::ostream Out(nullptr); // the world after each step goes nowhere
  std::ostringstream Err;
  const int Status = RunReplay(In, Out, Err);
  const std::string Report = Err.str();
  const bool Sound = Status == 0 ? Report.empty()
                                 : Status == 2 && Report.rfind("kelto-replay: line ", 0) == 0 &&
                                       Report.find('\n') == Report.size() - 1;
  if (!Sound) {
    std::abort();
  }
  return 0;
}
