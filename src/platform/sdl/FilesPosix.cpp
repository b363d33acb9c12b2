// Replacing the score file with POSIX calls: a temporary file written, flushed and renamed over
// the old one.
#include "platform/PlatformLayer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

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
    if (Written == 0) {
      // No progress and no reason: asking again would only spin.
      errno = EIO;
      return false;
    }
    Bytes.remove_prefix(static_cast<std::size_t>(Written));
  }
  return true;
}

} // namespace

bool TPlatformLayer::ReplaceFileContents(const std::string& FileName, std::string_view Contents,
                                         std::string& ErrorText) {
  // Beyond a file-size limit a write must fail (EFBIG) like a full disk, not end the game.
  std::signal(SIGXFSZ, SIG_IGN);
  // A rename needs only the folder's permission; honour a file that was made read-only.
  if (::access(FileName.c_str(), W_OK) != 0 && errno != ENOENT) {
    ErrorText = Reason(FileName, errno);
    return false;
  }
  const std::string TempName = ReplacementTempName(FileName);
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
