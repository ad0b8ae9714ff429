/*
** standard_output.cpp: printing with every write and flush checked; the
** first failure's errno is kept for the message.
*/
#include "sim/cli/standard_output.h"

#include <errno.h>
#include <limits.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "console/closed_output.h"
#include "sim/engine/stop_request.h"

namespace {

int failedErrno = 0;

/* How long a stopped run waits for a reader that takes nothing more. */
const double kStalledSeconds = 2.0;

}  // namespace

void GuardStandardOutput() {
  if (HoldClosedStandardOutput()) failedErrno = EBADF;
}

bool Print(const std::string& text) {
  if (failedErrno != 0) return false;
  size_t done = 0;
  double stalled = 0.0; /* seconds without room since a stop was asked */
  while (done < text.size()) {
    size_t chunk = text.size() - done;
    /* Once a stop is asked, write only what there is room for (a pipe
       with room takes PIPE_BUF bytes without blocking), so a reader that
       takes nothing more for a few seconds cannot hold the program. */
    if (StopSignal() != 0) {
      struct pollfd p {
        STDOUT_FILENO, POLLOUT, 0
      };
      if (poll(&p, 1, 100) <= 0 || !(p.revents & (POLLOUT | POLLERR | POLLHUP))) {
        stalled += 0.1;
        if (stalled < kStalledSeconds) continue;
        errno = EINTR;
        break;
      }
      chunk = std::min<size_t>(chunk, PIPE_BUF);
    }
    const ssize_t n = write(STDOUT_FILENO, text.data() + done, chunk);
    if (n > 0) {
      done += size_t(n);
      stalled = 0.0;
    } else if (!(n < 0 && (errno == EINTR || errno == EAGAIN))) {
      break;
    }
  }
  if (done == text.size()) return true;
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
