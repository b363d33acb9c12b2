#include "ScoreFile.h"

#include "MyUnit.h"
#include "Platform.h"
#include "game/shared/GameFlow.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

namespace {

const std::string ScoreFileName = "score.txt";
constexpr int ScoreLines = 10;

// Creates an empty file of that name unless one exists. Append mode never truncates, so even a
// file that appeared in the meantime keeps its contents.
bool CreateIfAbsent(const std::string& FileName, std::string& ErrorText) {
  errno = 0;
  std::FILE* File = std::fopen(FileName.c_str(), "ab");
  if (File == nullptr) {
    ErrorText = FileName + ": " + std::strerror(errno != 0 ? errno : EIO);
    return false;
  }
  std::fclose(File); // nothing was written, so closing cannot lose anything
  return true;
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

enum class TLineResult { Line, End, TooLong, Error };

// Reads the next line without its line end. A line ends at LF; a CR right before the LF (or
// right before the end of the file) belongs to the line end, so files written on Windows read
// the same. Any other byte, NUL included, is part of the line. A line longer than
// MaxScoreLineBytes gives TooLong as soon as that is certain, with the rest of it unread.
TLineResult ReadLine(std::FILE* File, std::string& Line) {
  Line.clear();
  int c = 0;
  bool Any = false;
  while ((c = std::getc(File)) != EOF) {
    Any = true;
    if (c == '\n') {
      break;
    }
    // One byte beyond the limit may still be the CR of the line end.
    if (Line.size() > MaxScoreLineBytes) {
      return TLineResult::TooLong;
    }
    Line.push_back(static_cast<char>(c));
  }
  if (c == EOF && std::ferror(File)) {
    return TLineResult::Error;
  }
  if (!Any) {
    return TLineResult::End;
  }
  if (!Line.empty() && Line.back() == '\r') {
    Line.pop_back();
  }
  return Line.size() > MaxScoreLineBytes ? TLineResult::TooLong : TLineResult::Line;
}

// How much of a line a report quotes.
constexpr std::size_t QuotedBytes = 40;

// Marks a quote that was cut. Windows shows reports in its ANSI code page (the message box and
// the console), where no one byte is an ellipsis on every system; three dots are.
#ifdef _WIN32
constexpr const char* CutMark = "...";
#else
constexpr const char* CutMark = "\xE2\x80\xA6"; // U+2026 in UTF-8
#endif

} // namespace

// Rules: leading spaces, then at most one sign, then either a decimal number or a hexadecimal one
// introduced by "$", "x", "X", "0x" or "0X"; at least one digit; nothing after the digits (not
// even a space). The sign is applied to the value as read, and the signed result must lie in
// -2147483648 .. 2147483647 whatever the base: "$7FFFFFFF" is the largest hexadecimal value,
// "-$80000000" the smallest, and "$80000000" or "$FFFFFFFF" are range errors (they do not wrap to
// negative numbers). A sign is only taken before the prefix, so "$-1" and "0x+1" are errors.
bool TextToInt(std::string_view Text, std::int32_t& Value) {
  std::size_t i = 0;
  while (i < Text.size() && Text[i] == ' ') {
    ++i;
  }
  bool Negative = false;
  if (i < Text.size() && (Text[i] == '-' || Text[i] == '+')) {
    Negative = Text[i] == '-';
    ++i;
  }
  int Base = 10;
  if (i < Text.size() && (Text[i] == '$' || Text[i] == 'x' || Text[i] == 'X')) {
    Base = 16;
    i += 1;
  } else if (i + 1 < Text.size() && Text[i] == '0' && (Text[i + 1] == 'x' || Text[i + 1] == 'X')) {
    Base = 16;
    i += 2;
  }
  if (i == Text.size()) {
    return false;
  }
  constexpr std::uint64_t Limit = 0x80000000u; // the magnitude of the smallest value
  std::uint64_t Magnitude = 0;
  for (; i < Text.size(); ++i) {
    const int Digit = DigitValue(Text[i]);
    if (Digit < 0 || Digit >= Base) {
      return false;
    }
    Magnitude = Magnitude * static_cast<std::uint64_t>(Base) + static_cast<std::uint64_t>(Digit);
    if (Magnitude > Limit) {
      return false; // out of range, whatever follows (and no overflow of the accumulator)
    }
  }
  if (Negative) {
    Value = static_cast<std::int32_t>(-static_cast<std::int64_t>(Magnitude));
  } else if (Magnitude == Limit) {
    return false;
  } else {
    Value = static_cast<std::int32_t>(Magnitude);
  }
  return true;
}

std::string QuoteLine(std::string_view Line) {
  std::string Quote;
  for (const char c : Line.substr(0, QuotedBytes)) {
    const auto Byte = static_cast<unsigned char>(c);
    if (Byte >= 0x20 && Byte < 0x7F && Byte != '\\') {
      Quote += c;
    } else {
      constexpr char Hex[] = "0123456789ABCDEF";
      Quote += {'\\', 'x', Hex[Byte >> 4], Hex[Byte & 15]};
    }
  }
  if (Line.size() > QuotedBytes) {
    Quote += CutMark;
  }
  return Quote;
}

bool ReadScoreLines(std::FILE* File, std::array<std::int32_t, 10>& Table, std::string& Error) {
  std::string Line;
  for (int i = 0; i < ScoreLines; ++i) {
    // A failed read names its own reason, never one left over from an earlier call.
    errno = 0;
    const TLineResult Result = ReadLine(File, Line);
    if (Result == TLineResult::End) {
      break;
    }
    if (Result == TLineResult::Error) {
      Error = ScoreFileName + ": " + std::strerror(errno != 0 ? errno : EIO);
      return false;
    }
    const auto AtLine = [i] { return ScoreFileName + ", line " + IntToText(i + 1) + ": "; };
    if (Result == TLineResult::TooLong) {
      Error = AtLine() + "the line is too long (over " + std::to_string(MaxScoreLineBytes) +
              " bytes) to be a valid integer value";
      return false;
    }
    if (Line.empty()) {
      continue;
    }
    std::int32_t Value = 0;
    if (!TextToInt(Line, Value)) {
      Error = AtLine() + "'" + QuoteLine(Line) + "' is not a valid integer value";
      return false;
    }
    Table[i] = Value;
  }
  return true;
}

void LoadScoreTable() {
  namespace fs = std::filesystem;
  std::error_code StatusError;
  const fs::file_status Status = fs::status(ScoreFileName, StatusError);
  if (Status.type() == fs::file_type::not_found) {
    // Only a missing file is created; one that exists but cannot be read is an error and stays
    // as it is.
    std::string ErrorText;
    if (!CreateIfAbsent(ScoreFileName, ErrorText)) {
      FatalError(ErrorText);
    }
  }
  std::string Report;
  std::FILE* File = OpenRegularFile(ScoreFileName, Report);
  if (File == nullptr) {
    FatalError(ScoreFileName + ": " + Report);
  }
  const bool Read = ReadScoreLines(File, ScoreTable, Report);
  // Only read from, so closing cannot lose anything; nothing stays open after start-up.
  std::fclose(File);
  if (!Read) {
    FatalError(Report);
  }
}

bool SaveScoreTable() {
  std::string Contents;
  for (const std::int32_t Entry : ScoreTable) {
    Contents += IntToText(Entry);
    Contents += "\r\n";
  }
  std::string ErrorText;
  if (Platform().ReplaceFileContents(ScoreFileName, Contents, ErrorText)) {
    return true;
  }
  // Not fatal: the table is still shown and the game goes on.
  ReportError("cannot save " + ScoreFileName + ": " + ErrorText);
  return false;
}
