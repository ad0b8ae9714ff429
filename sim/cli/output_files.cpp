/*
** output_files.cpp: output files checked up front and replaced whole.
**
** Writable means what the write will need: the folder exists and takes
** a new file (a temporary one is made and removed, so a read-only disk,
** a full quota or a missing permission shows as it would later), and an
** existing file there is not a folder and may be written.  Two options
** name one file when their paths resolve to the same place, through
** links or "..", or to the same existing file.
**
** A link to a file is followed, so the file it leads to is replaced
** and the link kept.  The new file gets the mode the old one had, or what the umask leaves
** of 0666 as a plain fopen would, and reaches the disk before the rename.
*/
#include "sim/cli/output_files.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "sim/engine/stop_request.h"

namespace {

std::string Folder(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Reason(int err) {
  return std::strerror(err);
}

/* Where the path leads: the file itself when it exists, else (after the
   links, which may lead to a file not made yet) its resolved folder and
   its name. */
std::string Resolved(const std::string& given) {
  char buf[PATH_MAX];
  std::string path = given;
  for (int depth = 0; depth < 40; depth++) { /* as many links as the system follows */
    if (realpath(path.c_str(), buf) != nullptr) return buf;
    struct stat st;
    const ssize_t n = readlink(path.c_str(), buf, sizeof buf - 1);
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode) || n <= 0) break;
    const std::string target(buf, size_t(n));
    path = target[0] == '/' ? target : Folder(path) + "/" + target;
  }
  if (realpath(Folder(path).c_str(), buf) != nullptr)
    return std::string(buf) + "/" + BaseName(path);
  return path;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0)
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  return Resolved(a) == Resolved(b);
}

/* A temporary file beside path, open for writing; -1 with errno set.
   Its name is the file's with 8 characters more, the file's cut short
   where that would pass the longest name the system takes. */
int OpenTemporary(const std::string& path, std::string& temporary) {
  const std::string base = BaseName(path).substr(0, NAME_MAX - 8);
  temporary = Folder(path) + "/." + base + ".XXXXXX";
  return mkstemp(temporary.data());
}

/* True when path is the file standard output or standard error leads
   to: replacing it would lose what the run prints. */
bool IsStandardStream(const struct stat& st) {
  for (int fd : {STDOUT_FILENO, STDERR_FILENO}) {
    struct stat s;
    if (fstat(fd, &s) == 0 && s.st_dev == st.st_dev && s.st_ino == st.st_ino) return true;
  }
  return false;
}

/* Done, or failed with why path cannot be written.  A link is checked
   where it leads: the file it names may not exist yet, its folder must. */
Status CheckWritable(const std::string& given) {
  if (given.empty() || given.back() == '/')
    return Status::Failed("needs a file name, not a folder");
  const std::string path = Resolved(given);
  struct stat st;
  if (stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return Status::Failed("is a folder");
    if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode))
      return Status::Failed("is a pipe or a socket, not a file");
    if (S_ISREG(st.st_mode) && IsStandardStream(st))
      return Status::Failed("is where the report goes (standard output)");
    if (access(path.c_str(), W_OK) != 0) return Status::Failed(Reason(errno));
    if (!S_ISREG(st.st_mode)) return Status::Done(); /* a device: written straight */
  }
  std::string temporary;
  const int fd = OpenTemporary(path, temporary);
  if (fd < 0) return Status::Failed(Reason(errno) + " (folder " + Folder(path) + ")");
  close(fd);
  unlink(temporary.c_str());
  return Status::Done();
}

/* Writes all of text; a write that would block waits in short steps, so
   a stop signal ends a write that cannot go on (a device that takes
   nothing more for a few seconds) while one that goes on still ends. */
bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  double stalled = 0.0; /* seconds without progress since a stop was asked */
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n > 0) {
      done += size_t(n);
      stalled = 0.0;
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
    if (StopSignal() != 0 && stalled >= 2.0) {
      errno = EINTR;
      return false;
    }
    struct pollfd p {
      fd, POLLOUT, 0
    };
    poll(&p, 1, 100);
    stalled += StopSignal() != 0 ? 0.1 : 0.0;
  }
  return true;
}

/* The mode a new file at path gets. */
mode_t NewMode(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

Status WriteStraight(const std::string& path, const std::string& text) {
  const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK);
  if (fd < 0) return Status::Failed(Reason(errno));
  const bool ok = WriteAll(fd, text);
  const int err = errno;
  if (close(fd) != 0 || !ok) return Status::Failed(Reason(ok ? errno : err));
  return Status::Done();
}

}  // namespace

Status CheckOutputFiles(const std::vector<OutputFile>& files) {
  for (size_t i = 0; i < files.size(); i++) {
    const Status writable = CheckWritable(files[i].Path);
    if (!writable.Ok())
      return Status::Failed(std::string(files[i].Option) + ": cannot write " + files[i].Path +
                            ": " + writable.Why());
    for (size_t j = 0; j < i; j++)
      if (SameFile(files[i].Path, files[j].Path))
        return Status::Failed(std::string(files[j].Option) + " and " + files[i].Option +
                              " name one file (" + files[i].Path + ")");
  }
  return Status::Done();
}

Status WriteWholeFile(const std::string& given, const std::string& text) {
  struct stat st;
  if (stat(given.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return WriteStraight(given, text);
  /* A link stays a link: its file is the one replaced. */
  const std::string path = Resolved(given);
  const mode_t mode = NewMode(path);
  std::string temporary;
  const int fd = OpenTemporary(path, temporary);
  if (fd < 0) return Status::Failed(Reason(errno));
  bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, text) && fsync(fd) == 0;
  int err = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && rename(temporary.c_str(), path.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (ok) return Status::Done();
  unlink(temporary.c_str());
  return Status::Failed(Reason(err));
}
