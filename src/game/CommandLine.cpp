#include "CommandLine.h"

#include <string_view>

#ifndef KELTO_VERSION
#error "the build defines KELTO_VERSION from the project's version"
#endif

bool ParseCommandLine(int argc, const char* const* argv, TOptions& Options, std::string& Error) {
  TOptions Read;
  for (int i = 1; i < argc; ++i) {
    const std::string_view Argument = argv[i];
    if (Argument == "--help" || Argument == "-h") {
      Read.Help = true;
    } else if (Argument == "--version") {
      Read.Version = true;
    } else if (Argument == "--fullscreen") {
      Read.Fullscreen = true;
    } else if (Argument == "--record" || Argument == "--play") {
      if (i + 1 >= argc || std::string_view(argv[i + 1]).empty()) {
        Error = "option " + std::string(Argument) + " needs a FILE";
        return false;
      }
      (Argument == "--record" ? Read.RecordFile : Read.PlayFile) = argv[++i];
    } else {
      Error = "unknown option '" + std::string(Argument) + "'";
      return false;
    }
  }
  if (!Read.RecordFile.empty() && !Read.PlayFile.empty()) {
    Error = "--record and --play exclude each other";
    return false;
  }
  Options = Read;
  return true;
}

std::string UsageText() {
  return "usage: kelto [--fullscreen] [--record FILE | --play FILE]\n"
         "       kelto --help | --version\n"
         "\n"
         "  --record FILE  play as usual and write the next game started to FILE as a demo\n"
         "  --play FILE    play the demo in FILE back in the window\n"
         "  --fullscreen   start in fullscreen (Alt+Enter or F11 switches)\n"
         "  --help         show this text\n"
         "  --version      show the version\n";
}

std::string VersionText() {
  return std::string("kelto ") + KELTO_VERSION + "\n";
}
