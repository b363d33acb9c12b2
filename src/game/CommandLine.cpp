#include "CommandLine.h"

#include <string_view>

#ifndef KELTO_VERSION
#error "the build defines KELTO_VERSION from the project's version"
#endif

bool ReadVolume(std::string_view Text, std::int32_t& Volume) {
  if (Text.empty() || Text.size() > 3 ||
      Text.find_first_not_of("0123456789") != std::string_view::npos) {
    return false;
  }
  std::int32_t Value = 0;
  for (const char Digit : Text) {
    Value = Value * 10 + (Digit - '0');
  }
  if (Value > 100) {
    return false;
  }
  Volume = Value;
  return true;
}

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
    } else if (Argument == "--mute") {
      Read.Mute = true;
    } else if (Argument == "--volume") {
      const std::string_view Value = i + 1 < argc ? argv[i + 1] : "";
      std::int32_t Volume = 0;
      if (!ReadVolume(Value, Volume)) {
        Error =
            "option --volume needs a whole number from 0 to 100, not '" + std::string(Value) + "'";
        return false;
      }
      Read.Volume = Volume;
      ++i;
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
  return "usage: kelto [--fullscreen] [--mute] [--volume N] [--record FILE | --play FILE]\n"
         "       kelto --help | --version\n"
         "\n"
         "  --record FILE  play as usual and write the next game started to FILE as a demo\n"
         "  --play FILE    play the demo in FILE back in the window\n"
         "  --fullscreen   start in fullscreen (Alt+Enter or F11 switches)\n"
         "  --mute         start without sound (M switches sound on and off)\n"
         "  --volume N     sound volume from 0 to 100 (default 80), kept for the next runs\n"
         "  --help         show this text\n"
         "  --version      show the version\n"
         "\n"
         "The sound, volume and fullscreen chosen last are kept in settings.txt beside\n"
         "score.txt; --mute and --fullscreen apply to their run only.\n";
}

std::string VersionText() {
  return std::string("kelto ") + KELTO_VERSION + "\n";
}
