// A clean world for every test: no slots, no player, flags as at load, key bindings set, no
// input held.
#pragma once

#include "MyUnit.h"
#include "OGLWnd.h"
#include "game/model/Registry.h"
#include "game/shared/GameFlow.h"
#include "game/units/Units.h"
#include "game/world/World.h"

#include <gtest/gtest.h>

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
