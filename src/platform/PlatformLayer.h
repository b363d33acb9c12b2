// The window system's layer that this build was made with (one of the folders beside this file).
#pragma once

#include "Platform.h"

#include <string>

TPlatform& PlatformLayer();

// Test-only: when set, the file replacement calls it with the temporary file's name once that file
// is complete and flushed, before it replaces the target (a test ends the process here to imitate
// a crash).
extern void (*BeforeReplaceHook)(const std::string& TempName);
