/*
** closed_output.cpp: /dev/null in the place of a closed standard output.
*/
#include "console/closed_output.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

bool HoldClosedStandardOutput() {
  if (fcntl(1, F_GETFD) >= 0 || errno != EBADF) return false;
  const int fd = open("/dev/null", O_WRONLY);
  /* Descriptor 1 is the lowest free one unless 0 is closed too. */
  if (fd >= 0 && fd != 1) {
    dup2(fd, 1);
    close(fd);
  }
  return true;
}
