// One world step: the full level in play, and a registry of 1,000 units with bullets in flight.
#include "MyUnit.h"
#include "OGLWnd.h"
#include "game/model/Registry.h"
#include "game/shared/GameFlow.h"
#include "game/units/Units.h"
#include "game/world/World.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

void StartLevel() {
  ResetWindowState();
  ResetGameFlow();
  SetKeyBindings();
  NewGame();
  GameStarted = true;
}

// The level with the player walking down into range of enemy 1 and firing all the time, so
// every turret and the enemy fire and their bullets are in flight.
void BM_WorldStepLevel(benchmark::State& State) {
  StartLevel();
  MouseX = 500;
  MouseY = 500;
  MouseLeft = true;
  Keys[KeyDown] = true;
  for (int i = 0; i < 200; ++i) {
    WorldStep();
  }
  Keys[KeyDown] = false;
  for (int i = 0; i < 300; ++i) {
    WorldStep();
  }
  for (auto _ : State) {
    WorldStep();
    benchmark::DoNotOptimize(UnitCount);
  }
  State.counters["units"] = UnitCount;
  State.counters["slots"] = static_cast<double>(Units.size());
  ReleaseUnits();
}
BENCHMARK(BM_WorldStepLevel);

// The level plus player bullets until 1,000 units are registered, spread over the floor and
// flying in all directions; the world is rebuilt (outside the timing) before they run out.
void FillWithBullets(std::mt19937& Random) {
  StartLevel();
  std::uniform_real_distribution<float> Angle(0, 6.2831853f);
  std::uniform_int_distribution<int> Cell(0, MapColumns * MapRows - 1);
  while (UnitCount < 1000) {
    const int c = Cell(Random);
    if (MapGrid[static_cast<std::size_t>(c)] != 0) {
      continue;
    }
    const float a = Angle(Random);
    auto* Bullet = new TBullet(MakeVector(static_cast<float>(c % MapColumns * 64 + 32),
                                          static_cast<float>(c / MapColumns * 64 + 32), 1),
                               MakeVector(5, 15, 1), MakeVector(std::sin(a), std::cos(a), 0));
    Bullet->Setup((UnitCount % 2) ? "TPlayer" : "TEnemy", 5, a);
  }
}

void BM_WorldStepThousandUnits(benchmark::State& State) {
  std::mt19937 Random(1);
  FillWithBullets(Random);
  int Steps = 0;
  double Units = 0;
  for (auto _ : State) {
    if (++Steps == 4) {
      State.PauseTiming();
      ReleaseUnits();
      FillWithBullets(Random);
      Steps = 1;
      State.ResumeTiming();
    }
    Units += UnitCount;
    WorldStep();
  }
  State.counters["units"] = benchmark::Counter(Units, benchmark::Counter::kAvgIterations);
  ReleaseUnits();
}
BENCHMARK(BM_WorldStepThousandUnits);

} // namespace

BENCHMARK_MAIN();
