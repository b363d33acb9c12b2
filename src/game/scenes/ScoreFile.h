// The table of ten best scores and its file "score.txt" in the working directory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Converts a whole line to a signed 32-bit integer (leading spaces, one sign, "$", "x", "X",
// "0x" or "0X" for hexadecimal, nothing trailing, range checked). False on a conversion error.
bool TextToInt(std::string_view Text, std::int32_t& Value);

// Reads the first ten lines of "score.txt" into ScoreTable (an empty or missing line leaves its
// entry alone), creating an empty file when none exists. A bad line or an input/output error ends
// the program.
void LoadScoreTable();

// Writes ScoreTable as ten decimal lines to "score.txt" so that a failure at any moment leaves
// the previous file whole. False, with a report on standard error, when it could not.
bool SaveScoreTable();

// Sorts ScoreTable in descending order by exchanges (equal entries never swap).
void SortScoreTable();

// Puts Score in the last entry of ScoreTable when that entry is smaller.
void ApplyBestScore();
