#include "MyUnit.h"

#include "Platform.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

TVector MakeVector(float x, float y, float z) {
  return TVector{x, y, z};
}

bool BoxesOverlap(const TVector& A, const TVector& B, const TVector& SA, const TVector& SB) {
  // The half sizes are stored as 32-bit values; the sums are compared in extended precision.
  const float hx = static_cast<float>((static_cast<long double>(SA.x) + SB.x) / 2);
  const float hy = static_cast<float>((static_cast<long double>(SA.y) + SB.y) / 2);
  const long double ax = A.x, ay = A.y, bx = B.x, by = B.y;
  return ax + hx >= bx && ay + hy >= by && bx + hx >= ax && by + hy >= ay;
}

long double ArcCos(long double x) {
  return std::atan2(std::sqrt((1 + x) * (1 - x)), x);
}

bool AimAngle(float dx, float dy, float& Angle) {
  const long double ldx = dx, ldy = dy;
  const long double Length = std::sqrt((ldx * ldx + ldy * ldy) * 1);
  if (Length == 0) {
    return false;
  }
  const long double q = (ldx * 0 + ldy * 1) / Length;
  if (ldx * 1 > ldy * 0) {
    Angle = static_cast<float>(6.28318L - ArcCos(q));
  } else {
    Angle = static_cast<float>(ArcCos(q));
  }
  return true;
}

std::string IntToText(std::int32_t Value) {
  // to_chars: no locale, and the smallest value needs no special case.
  char Text[16];
  const auto Result = std::to_chars(Text, Text + sizeof Text, Value);
  return std::string(Text, Result.ptr);
}

void ReportWarning(const std::string& What) {
  // fwrite: a reason may hold any byte, a NUL included.
  std::fputs("kelto: ", stderr);
  std::fwrite(What.data(), 1, What.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

void ReportError(const std::string& What) {
  ReportWarning(What);
  Platform().ShowErrorBox(What);
}

void FatalError(const std::string& What) {
  ReportError(What);
  std::exit(1);
}

namespace {

// Built at start-up, so that reporting an exhausted memory needs no allocation.
const std::string OutOfMemoryText = "out of memory";
const std::string UnexpectedErrorText = "unexpected error";

[[noreturn]] void FatalReport(const std::string& What) noexcept {
  try {
    ReportError(What);
  } catch (...) {
    // Standard error has the report already; only the box failed.
  }
  std::exit(1);
}

} // namespace

void FatalCurrentException() noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    FatalReport(OutOfMemoryText);
  } catch (const std::exception& Error) {
    std::string What;
    try {
      What = UnexpectedErrorText + ": " + Error.what();
    } catch (...) {
      FatalReport(OutOfMemoryText); // not even the report's text could be put together
    }
    FatalReport(What);
  } catch (...) {
  }
  FatalReport(UnexpectedErrorText);
}

void TerminateWithReport() noexcept {
  if (std::current_exception() != nullptr) {
    FatalCurrentException();
  }
  FatalReport(UnexpectedErrorText); // ended without an exception (nothing to name)
}

namespace {

std::string NotRegularFileReason(std::filesystem::file_type Type) {
  using std::filesystem::file_type;
  switch (Type) {
  case file_type::directory:
    return "not a regular file (a folder)";
  case file_type::fifo:
    return "not a regular file (a FIFO)";
  case file_type::character:
  case file_type::block:
    return "not a regular file (a device)";
  case file_type::socket:
    return "not a regular file (a socket)";
  default:
    return "not a regular file";
  }
}

} // namespace

std::FILE* OpenRegularFile(const std::string& FileName, std::string& Reason) {
  std::error_code StatusError;
  const std::filesystem::file_status Status = std::filesystem::status(FileName, StatusError);
  if (StatusError) {
    Reason = StatusError.message();
    return nullptr;
  }
  if (!std::filesystem::is_regular_file(Status)) {
    Reason = NotRegularFileReason(Status.type());
    return nullptr;
  }
  errno = 0;
  std::FILE* File = std::fopen(FileName.c_str(), "rb");
  if (File == nullptr) {
    Reason = std::strerror(errno != 0 ? errno : EIO);
  }
  return File;
}
