// The report line, in a file of its own: the build's glyph tool shares the SDL layer's glyph
// renderer, and with it this line, without the rest of the core.
#include "MyUnit.h"

#include <cstdio>

void ReportWarning(const std::string& What) {
  // fwrite: a reason may hold any byte, a NUL included.
  std::fputs("kelto: ", stderr);
  std::fwrite(What.data(), 1, What.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}
