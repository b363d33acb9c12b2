// The file "score.txt" in the working directory that keeps the table of ten best scores.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Converts a whole line to a signed 32-bit integer (leading spaces, one sign, "$", "x", "X",
// "0x" or "0X" for hexadecimal, nothing trailing, the signed value range checked in either base).
// False on a conversion error, leaving Value alone.
bool TextToInt(std::string_view Text, std::int32_t& Value);

// Reads the first ten lines of "score.txt" into ScoreTable (an empty or missing line leaves its
// entry alone) and closes the file again, creating an empty file only when no file of that name
// exists. A bad line or an input/output error (a file that exists but cannot be read) ends the
// program with a report on standard error and exit status 1.
void LoadScoreTable();

// Writes ScoreTable as ten decimal lines ending in CR LF to "score.txt" so that a failure at any
// moment leaves the previous file whole. False, after a report, when it could not; the table and
// the game go on either way.
bool SaveScoreTable();
