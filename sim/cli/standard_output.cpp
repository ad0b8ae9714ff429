/*
** standard_output.cpp: printing with every write and flush checked; the
** first failure's errno is kept for the message.
*/
#include "sim/cli/standard_output.h"

#include <errno.h>

#include <cstdio>
#include <cstring>

#include "console/closed_output.h"

namespace {

int failedErrno = 0;

}  // namespace

void GuardStandardOutput() {
  if (HoldClosedStandardOutput()) failedErrno = EBADF;
}

bool Print(const std::string& text) {
  if (failedErrno != 0) return false;
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  if (written && std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  failedErrno = errno != 0 ? errno : EIO;
  return false;
}

bool StandardOutputFailed() {
  return failedErrno != 0;
}

std::string StandardOutputFailure() {
  if (failedErrno == 0) return "";
  return std::string("tolvarin-sim: cannot write standard output: ") + std::strerror(failedErrno);
}
