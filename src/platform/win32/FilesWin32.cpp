// Replacing the score file with Win32 calls: a temporary file written, flushed and moved over the
// old one.
#include "Win32Platform.h"
#include "platform/PlatformLayer.h"

namespace {

std::string Reason(const std::string& Name, DWORD Error) {
  return Name + ": " + SystemErrorText(Error);
}

} // namespace

bool TPlatformLayer::ReplaceFileContents(const std::string& FileName, std::string_view Contents,
                                         std::string& ErrorText) {
  // MoveFileEx would refuse a read-only target only after all the work; say so at once.
  const DWORD Attributes = GetFileAttributesA(FileName.c_str());
  if (Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    ErrorText = Reason(FileName, ERROR_ACCESS_DENIED);
    return false;
  }
  const std::string TempName = ReplacementTempName(FileName);
  if (!DeleteFileA(TempName.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
    ErrorText = Reason(TempName, GetLastError());
    return false;
  }
  HANDLE File = CreateFileA(TempName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (File == INVALID_HANDLE_VALUE) {
    ErrorText = Reason(TempName, GetLastError());
    return false;
  }
  auto Fail = [&](const std::string& Name) {
    const DWORD Error = GetLastError();
    if (File != INVALID_HANDLE_VALUE) {
      CloseHandle(File);
    }
    DeleteFileA(TempName.c_str());
    ErrorText = Reason(Name, Error);
    return false;
  };
  while (!Contents.empty()) {
    const DWORD Chunk = Contents.size() > 0x10000000u ? 0x10000000u : DWORD(Contents.size());
    DWORD Written = 0;
    if (!WriteFile(File, Contents.data(), Chunk, &Written, nullptr)) {
      return Fail(TempName);
    }
    if (Written == 0) {
      // No progress and no error code of its own: the last error would be stale.
      SetLastError(ERROR_WRITE_FAULT);
      return Fail(TempName);
    }
    Contents.remove_prefix(Written);
  }
  if (!FlushFileBuffers(File)) {
    return Fail(TempName);
  }
  const HANDLE Closing = File;
  File = INVALID_HANDLE_VALUE;
  if (!CloseHandle(Closing)) {
    return Fail(TempName);
  }
  if (BeforeReplaceHook != nullptr) {
    BeforeReplaceHook(TempName);
  }
  if (!MoveFileExA(TempName.c_str(), FileName.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return Fail(FileName);
  }
  return true;
}
