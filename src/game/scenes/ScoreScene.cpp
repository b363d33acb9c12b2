#include "FontUnit.h"
#include "MyUnit.h"
#include "Scenes.h"
#include "ScoreFile.h"

#include "GlApi.h"

// The table of best scores with the score of the game just ended. The clear colour is the black
// the menu set.
void RunScoreScene() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  Button(MenuScene, "back_to_menu", 110, 210, 180, 30);
  glColor3f(1, 1, 1);
  PrintText(320, 90, "BEST_SCORE");
  SortScoreTable();
  PrintText(320, 400, "You_Score: " + IntToText(Score));
  for (int i = 1; i <= 10; ++i) {
    PrintText(350, 100 + 25 * i, IntToText(ScoreTable[i - 1]));
  }
  // One save per finished game, not one per frame; a failed save has been reported and the table
  // is still shown, so there is nothing to retry.
  if (SaveScores) {
    SaveScoreTable();
    SaveScores = false;
  }
}
