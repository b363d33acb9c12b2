#include "Settings.h"

#include "MyUnit.h"
#include "Platform.h"
#include "game/CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

namespace {

// No good settings file comes near this; a longer one is not read to the end.
constexpr std::size_t MaxSettingsBytes = 4096;

TSettings Saved;
// Fullscreen as the last frame found it; unknown before the first.
std::optional<bool> LastFullscreen;

bool ReadSwitch(std::string_view Text, bool& On) {
  if (Text != "on" && Text != "off") {
    return false;
  }
  On = Text == "on";
  return true;
}

// Reads one "NAME VALUE" line into Settings; Seen keeps each name to one line.
bool ReadSetting(std::string_view Line, TSettings& Settings, unsigned& Seen) {
  const std::size_t Space = Line.find(' ');
  if (Space == std::string_view::npos) {
    return false;
  }
  const std::string_view Name = Line.substr(0, Space);
  const std::string_view Value = Line.substr(Space + 1);
  const unsigned Bit = Name == "sound" ? 1 : Name == "volume" ? 2 : Name == "fullscreen" ? 4 : 0;
  if (Bit == 0 || (Seen & Bit) != 0) {
    return false;
  }
  Seen |= Bit;
  if (Bit == 2) {
    return ReadVolume(Value, Settings.Volume);
  }
  return ReadSwitch(Value, Bit == 1 ? Settings.Sound : Settings.Fullscreen);
}

} // namespace

bool ParseSettings(std::string_view Text, TSettings& Settings, std::string& Error) {
  TSettings Read;
  unsigned Seen = 0;
  for (std::int32_t LineNumber = 1; !Text.empty(); ++LineNumber) {
    const std::size_t End = Text.find('\n');
    std::string_view Line = Text.substr(0, End);
    Text.remove_prefix(End == std::string_view::npos ? Text.size() : End + 1);
    if (Line.ends_with('\r')) {
      Line.remove_suffix(1);
    }
    if (Line.empty() || Line.starts_with('#') || ReadSetting(Line, Read, Seen)) {
      continue;
    }
    Error = "line " + IntToText(LineNumber) + ": '" + std::string(Line.substr(0, 40)) +
            "' is not one of 'sound on|off', 'volume 0-100', 'fullscreen on|off' (each once)";
    return false;
  }
  Settings = Read;
  return true;
}

std::string FormatSettings(const TSettings& Settings) {
  return std::string("sound ") + (Settings.Sound ? "on" : "off") + "\nvolume " +
         IntToText(Settings.Volume) + "\nfullscreen " + (Settings.Fullscreen ? "on" : "off") + "\n";
}

TSettings LoadSettings() {
  Saved = TSettings{};
  // No file yet is the usual first start, not worth a word.
  std::error_code StatusError;
  if (std::filesystem::status(SettingsFileName, StatusError).type() ==
      std::filesystem::file_type::not_found) {
    return Saved;
  }
  std::string Reason;
  std::FILE* File = OpenRegularFile(SettingsFileName, Reason);
  if (File == nullptr) {
    ReportWarning(std::string(SettingsFileName) + ": " + Reason + "; defaults used");
    return Saved;
  }
  char Buffer[MaxSettingsBytes + 1];
  errno = 0;
  const std::size_t Got = std::fread(Buffer, 1, sizeof Buffer, File);
  const int ReadError = std::ferror(File) != 0 ? (errno != 0 ? errno : EIO) : 0;
  std::fclose(File); // only read from
  TSettings Read;
  if (ReadError != 0) {
    Reason = std::strerror(ReadError);
  } else if (Got > MaxSettingsBytes) {
    Reason = "longer than " + IntToText(static_cast<std::int32_t>(MaxSettingsBytes)) + " bytes";
  } else if (ParseSettings(std::string_view(Buffer, Got), Read, Reason)) {
    Saved = Read;
    return Saved;
  }
  ReportWarning(std::string(SettingsFileName) + ": " + Reason + "; defaults used");
  return Saved;
}

const TSettings& SavedSettings() {
  return Saved;
}

void SaveSettings(const TSettings& Settings) {
  if (Settings == Saved) {
    return;
  }
  Saved = Settings;
  std::string ErrorText;
  if (!Platform().ReplaceFileContents(SettingsFileName, FormatSettings(Settings), ErrorText)) {
    ReportWarning("cannot save " + std::string(SettingsFileName) + ": " + ErrorText);
  }
}

void KeepFullscreenChoice() {
  const bool Fullscreen = Platform().IsFullscreen();
  if (LastFullscreen.has_value() && *LastFullscreen != Fullscreen) {
    TSettings Kept = Saved;
    Kept.Fullscreen = Fullscreen;
    SaveSettings(Kept);
  }
  LastFullscreen = Fullscreen;
}
