// The program's command line. With no arguments the game starts as it always has.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct TOptions {
  bool Help = false;
  bool Version = false;
  bool Fullscreen = false;
  bool Mute = false;
  std::int32_t Volume = -1; // 0 to 100; -1: not given
  std::string RecordFile;   // empty: no recording
  std::string PlayFile;     // empty: no playback
};

// Reads the arguments after the program name. False on an unknown option, a missing FILE or
// volume, a volume that is not a whole number from 0 to 100 or options that exclude each other,
// with the reason in Error.
bool ParseCommandLine(int argc, const char* const* argv, TOptions& Options, std::string& Error);

// The usage text, ending in a line break.
std::string UsageText();
// "kelto " and the version, ending in a line break.
std::string VersionText();

// A volume as the command line and the settings file write it: a whole number from 0 to 100 in
// decimal digits, nothing else. False leaves Volume alone.
bool ReadVolume(std::string_view Text, std::int32_t& Volume);
