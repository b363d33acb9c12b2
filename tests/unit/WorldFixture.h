// A clean world for every test: no slots, no player, flags as at load, key bindings set, no
// input held.
#pragma once

#include "OGLWnd.h"
#include "game/scenes/GameFlow.h"
#include "game/units/Units.h"
#include "game/world/World.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

class WorldTest : public testing::Test {
protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }

  static void Reset() {
    ReleaseUnits();
    ResetGameFlow();
    SetKeyBindings();
    ResetWindowState();
    ReachMask.fill(false);
  }

  // Steps the world as the game scene does, Ticks times.
  static void Play(int Ticks) {
    for (int i = 0; i < Ticks; ++i) {
      GameStarted = true;
      WorldStep();
    }
  }

  static std::int32_t SlotOf(const TUnit* Unit) {
    for (std::size_t i = 0; i < Units.size(); ++i) {
      if (Units[i] == Unit) {
        return static_cast<std::int32_t>(i);
      }
    }
    return -1;
  }

  template <class T> static std::vector<T*> All() {
    std::vector<T*> Found;
    for (TUnit* Unit : Units) {
      if (auto* Typed = dynamic_cast<T*>(Unit)) {
        Found.push_back(Typed);
      }
    }
    return Found;
  }
};

// A unit that records what happens to it, in one log shared by all probes.
class TProbe : public TUnit {
public:
  TProbe(std::string ProbeName, const TVector& Position, const TVector& UnitSize)
      : TUnit(Position, UnitSize, TVector{0, 0, 0}), Name(std::move(ProbeName)) {}
  ~TProbe() override { Log().push_back("free " + Name); }

  void Draw() override {}
  void Update() override {
    Log().push_back("update " + Name);
    if (OnUpdate) {
      OnUpdate(*this);
    }
  }
  void Collide(TUnit& Other) override {
    auto* Probe = dynamic_cast<TProbe*>(&Other);
    Log().push_back(Name + ">" + (Probe ? Probe->Name : std::string("?")));
    if (OnCollide) {
      OnCollide(*this, Other);
    }
  }

  static std::vector<std::string>& Log() {
    static std::vector<std::string> Entries;
    return Entries;
  }

  std::string Name;
  std::function<void(TProbe&)> OnUpdate;
  std::function<void(TProbe&, TUnit&)> OnCollide;
};

inline TProbe* AddProbe(const std::string& Name, float x, float y, float Size = 10) {
  auto* Probe = new TProbe(Name, TVector{x, y, 1}, TVector{Size, Size, 0});
  AddUnit(Probe);
  return Probe;
}
