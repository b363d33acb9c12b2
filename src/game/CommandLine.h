// The program's command line. With no arguments the game starts as it always has.
#pragma once

#include <string>

struct TOptions {
  bool Help = false;
  bool Version = false;
  bool Fullscreen = false;
  std::string RecordFile; // empty: no recording
  std::string PlayFile;   // empty: no playback
};

// Reads the arguments after the program name. False on an unknown option, a missing FILE or
// options that exclude each other, with the reason in Error.
bool ParseCommandLine(int argc, const char* const* argv, TOptions& Options, std::string& Error);

// The usage text, ending in a line break.
std::string UsageText();
// "kelto " and the version, ending in a line break.
std::string VersionText();
