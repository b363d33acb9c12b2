// The player's settings that stay between runs: sound on or off, its volume and fullscreen. They
// live in a small text file beside the score file, one "NAME VALUE" line each:
//   sound on        (or off)
//   volume 80       (0 to 100)
//   fullscreen off  (or on)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct TSettings {
  bool Sound = true;
  std::int32_t Volume = 80;
  bool Fullscreen = false;
  bool operator==(const TSettings&) const = default;
};

inline constexpr const char* SettingsFileName = "settings.txt";

// Reads a settings file's text: lines in any order, each setting at most once, any left out keeps
// its default; blank lines and lines starting with '#' are skipped. False on anything else, with
// the line and why in Error.
bool ParseSettings(std::string_view Text, TSettings& Settings, std::string& Error);
// The file's text for Settings.
std::string FormatSettings(const TSettings& Settings);

// Reads the settings file. A missing one gives the defaults; one that cannot be read or holds
// anything else is named in one line on standard error and gives the defaults too (never fatal).
TSettings LoadSettings();
// What the file holds as far as this run knows (the defaults when it holds nothing good).
const TSettings& SavedSettings();
// Makes the file hold Settings: rewritten whole (as the score file is) when they differ from what
// it holds, left alone otherwise. A failed rewrite is reported and not retried until the next
// change.
void SaveSettings(const TSettings& Settings);
// Once a frame: a switch the player made between the window and fullscreen is kept.
void KeepFullscreenChoice();
