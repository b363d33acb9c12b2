// Temporary: replaced by the score table.
#include "game/scenes/ScoreFile.h"
#include "game/scenes/GameFlow.h"
bool TextToInt(std::string_view, std::int32_t&) { return false; }
void LoadScoreTable() {}
bool SaveScoreTable() { return false; }
void SortScoreTable() {}
void ApplyBestScore() {}
