/*
** standard_output.cpp: printing with every write and flush checked; the
** first failure's errno is kept for the message.
*/
#include "sim/standard_output.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

int failedErrno = 0;

}  // namespace

void GuardStandardOutput() {
  if (fcntl(1, F_GETFD) >= 0 || errno != EBADF) return;
  const int fd = open("/dev/null", O_WRONLY);
  if (fd >= 0 && fd != 1) {
    dup2(fd, 1);
    close(fd);
  }
  failedErrno = EBADF;
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
