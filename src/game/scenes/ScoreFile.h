// The file "score.txt" in the working directory that keeps the table of ten best scores.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Converts a whole line to a signed 32-bit integer (leading spaces, one sign, "$", "x", "X",
// "0x" or "0X" for hexadecimal, nothing trailing, the signed value range checked in either base).
// False on a conversion error, leaving Value alone.
bool TextToInt(std::string_view Text, std::int32_t& Value);

// The longest line the score file may hold, without its line end. A longer line is a conversion
// error, and its rest is never read: one line of a broken or foreign file (megabytes of digits,
// or a link to /dev/zero) could otherwise take any amount of memory and time at start-up.
inline constexpr std::size_t MaxScoreLineBytes = 4096;

// Reads the first ten lines of an open score file into Table (an empty or missing line leaves
// its entry alone). False at the first bad line or read error, with the report in Error; the
// entries before it stay as read. At most ten lines of MaxScoreLineBytes (and their line ends)
// are read.
bool ReadScoreLines(std::FILE* File, std::array<std::int32_t, 10>& Table, std::string& Error);

// A line as a report quotes it: at most its first 40 bytes, each byte outside printable ASCII
// (and the backslash) as \xNN, and a cut mark where the line went on.
std::string QuoteLine(std::string_view Line);

// Reads "score.txt" into ScoreTable with ReadScoreLines and closes the file again, creating an
// empty file only when no file of that name exists. A bad line, a path that is not a regular
// file or an input/output error ends the program with a report (FatalError).
void LoadScoreTable();

// Writes ScoreTable as ten decimal lines ending in CR LF to "score.txt" so that a failure at any
// moment leaves the previous file whole. False, after a report, when it could not; the table and
// the game go on either way.
bool SaveScoreTable();
