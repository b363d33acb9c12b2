// The few file operations whose safety depends on the operating system: creating a file only
// when none exists, and replacing a file's contents so that a crash or a full disk at any moment
// leaves either the old contents or the new ones, never a mixture or an empty file.
#pragma once

#include <string>
#include <string_view>

// Creates an empty file named FileName unless a file (or folder) of that name already exists;
// never truncates or replaces anything. True when the name exists afterwards; otherwise false,
// with "<name>: <system's reason>" in ErrorText.
bool CreateFileIfAbsent(const std::string& FileName, std::string& ErrorText);

// Replaces FileName with exactly Contents: the bytes go to FileName + ".tmp" in the same folder,
// which is flushed to the disk and then renamed over FileName; the only file ever truncated or
// written is that temporary one. An existing FileName that is not writable is left alone. On
// failure the temporary file is removed, FileName is as it was, and ErrorText receives
// "<name>: <system's reason>".
bool ReplaceFileContents(const std::string& FileName, std::string_view Contents,
                         std::string& ErrorText);

// Test-only: when set, called with the temporary file's name after it is complete and flushed and
// before it replaces the target (a test ends the process here to imitate a crash).
extern void (*BeforeReplaceHook)(const std::string& TempName);
