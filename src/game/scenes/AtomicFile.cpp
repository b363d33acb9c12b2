#include "AtomicFile.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

void (*BeforeReplaceHook)(const std::string& TempName) = nullptr;

namespace {

// A fixed name rather than a unique one: a file left over by a crash is reused by the next save
// instead of piling up beside the score file.
std::string TempNameFor(const std::string& FileName) {
  return FileName + ".tmp";
}

} // namespace

#ifdef _WIN32

namespace {

std::string Reason(const std::string& Name, DWORD Error) {
  char* Text = nullptr;
  const DWORD Length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, Error, 0, reinterpret_cast<LPSTR>(&Text), 0, nullptr);
  std::string Message =
      Length != 0 && Text != nullptr ? std::string(Text, Length) : "error " + std::to_string(Error);
  if (Text != nullptr) {
    LocalFree(Text);
  }
  // System messages end in a full stop and a line break; the report is one line.
  while (!Message.empty() && (Message.back() == '\r' || Message.back() == '\n' ||
                              Message.back() == ' ' || Message.back() == '.')) {
    Message.pop_back();
  }
  return Name + ": " + Message;
}

bool Exists(const std::string& Name) {
  return GetFileAttributesA(Name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

bool CreateFileIfAbsent(const std::string& FileName, std::string& ErrorText) {
  if (Exists(FileName)) {
    return true;
  }
  const HANDLE File = CreateFileA(FileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (File == INVALID_HANDLE_VALUE) {
    const DWORD Error = GetLastError();
    if (Error == ERROR_FILE_EXISTS || Error == ERROR_ALREADY_EXISTS) {
      return true;
    }
    ErrorText = Reason(FileName, Error);
    return false;
  }
  CloseHandle(File);
  return true;
}

bool ReplaceFileContents(const std::string& FileName, std::string_view Contents,
                         std::string& ErrorText) {
  // MoveFileEx would refuse a read-only target only after all the work; say so at once.
  const DWORD Attributes = GetFileAttributesA(FileName.c_str());
  if (Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    ErrorText = Reason(FileName, ERROR_ACCESS_DENIED);
    return false;
  }
  const std::string TempName = TempNameFor(FileName);
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
    if (!WriteFile(File, Contents.data(), Chunk, &Written, nullptr) || Written == 0) {
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

#else // POSIX

namespace {

std::string Reason(const std::string& Name, int Error) {
  return Name + ": " + std::strerror(Error);
}

std::string FolderOf(const std::string& FileName) {
  const std::size_t Slash = FileName.find_last_of('/');
  if (Slash == std::string::npos) {
    return ".";
  }
  return Slash == 0 ? "/" : FileName.substr(0, Slash);
}

bool WriteAll(int Fd, std::string_view Bytes) {
  while (!Bytes.empty()) {
    const ssize_t Written = ::write(Fd, Bytes.data(), Bytes.size());
    if (Written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    Bytes.remove_prefix(static_cast<std::size_t>(Written));
  }
  return true;
}

} // namespace

bool CreateFileIfAbsent(const std::string& FileName, std::string& ErrorText) {
  // O_EXCL: an existing file, folder or link of that name is never opened, let alone truncated.
  const int Fd = ::open(FileName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (Fd < 0) {
    if (errno == EEXIST) {
      return true;
    }
    ErrorText = Reason(FileName, errno);
    return false;
  }
  ::close(Fd); // nothing was written, so closing cannot lose anything
  return true;
}

bool ReplaceFileContents(const std::string& FileName, std::string_view Contents,
                         std::string& ErrorText) {
  // A rename needs only the folder's permission; honour a file that was made read-only.
  if (::access(FileName.c_str(), W_OK) != 0 && errno != ENOENT) {
    ErrorText = Reason(FileName, errno);
    return false;
  }
  const std::string TempName = TempNameFor(FileName);
  // A leftover is removed rather than reopened, so a link planted under that name cannot send
  // the write (or the truncation) anywhere else.
  if (::unlink(TempName.c_str()) != 0 && errno != ENOENT) {
    ErrorText = Reason(TempName, errno);
    return false;
  }
  int Fd = ::open(TempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (Fd < 0) {
    ErrorText = Reason(TempName, errno);
    return false;
  }
  auto Fail = [&](const std::string& Name) {
    const int Error = errno;
    if (Fd >= 0) {
      ::close(Fd);
    }
    ::unlink(TempName.c_str());
    ErrorText = Reason(Name, Error);
    return false;
  };
  // The new file keeps the permissions of the one it replaces (best effort).
  struct stat Old;
  if (::stat(FileName.c_str(), &Old) == 0 && S_ISREG(Old.st_mode)) {
    ::fchmod(Fd, Old.st_mode & 0777);
  }
  if (!WriteAll(Fd, Contents) || ::fsync(Fd) != 0) {
    return Fail(TempName);
  }
  const int Closing = Fd;
  Fd = -1;
  if (::close(Closing) != 0) {
    return Fail(TempName);
  }
  if (BeforeReplaceHook != nullptr) {
    BeforeReplaceHook(TempName);
  }
  if (::rename(TempName.c_str(), FileName.c_str()) != 0) {
    return Fail(FileName);
  }
  // Make the new name itself durable. The contents are already safe, so a failure here is not
  // reported: the worst a power cut can do now is bring back the old file.
  const int Folder = ::open(FolderOf(FileName).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (Folder >= 0) {
    ::fsync(Folder);
    ::close(Folder);
  }
  return true;
}

#endif
