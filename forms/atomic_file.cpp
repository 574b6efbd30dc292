#include "forms/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

namespace kestrinx::forms {

int FileOps::openForReading(const std::string& path) { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); }

int FileOps::createNew(const std::string& path, unsigned mode) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
}

int FileOps::openFolder(const std::string& path) { return ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); }

namespace {

void fill(const struct stat& st, FileStatus& status) {
  status.regular = S_ISREG(st.st_mode);
  status.size = static_cast<std::uint64_t>(st.st_size);
  status.mode = static_cast<unsigned>(st.st_mode & 07777);
}

}  // namespace

int FileOps::status(int fd, FileStatus& status) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return -1;
  fill(st, status);
  return 0;
}

int FileOps::statusOfPath(const std::string& path, FileStatus& status) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return -1;
  fill(st, status);
  return 0;
}

long long FileOps::read(int fd, char* buffer, std::size_t size) { return ::read(fd, buffer, size); }
long long FileOps::write(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }
int FileOps::setMode(int fd, unsigned mode) { return ::fchmod(fd, static_cast<mode_t>(mode)); }
int FileOps::sync(int fd) { return ::fsync(fd); }
int FileOps::close(int fd) { return ::close(fd); }
int FileOps::rename(const std::string& from, const std::string& to) { return ::rename(from.c_str(), to.c_str()); }
int FileOps::remove(const std::string& path) { return ::unlink(path.c_str()); }

FileOps& systemFileOps() {
  static FileOps ops;
  return ops;
}

namespace {

std::string reason(int errorNumber) { return std::strerror(errorNumber); }

// Closes a descriptor once, on every way out.
class Descriptor {
 public:
  Descriptor(FileOps& ops, int fd) : ops_(ops), fd_(fd) {}
  ~Descriptor() { closeQuietly(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes and reports the result (close can report a failed delayed write).
  int close() {
    const int fd = fd_;
    fd_ = -1;
    return ops_.close(fd);
  }
  void closeQuietly() {
    if (fd_ >= 0) {
      const int saved = errno;
      ops_.close(fd_);
      errno = saved;
      fd_ = -1;
    }
  }

 private:
  FileOps& ops_;
  int fd_;
};

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a path names, following symbolic links; the path itself when it names nothing yet.
std::string resolved(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : path;
}

}  // namespace

std::string readWholeFile(const std::string& path, std::size_t limit, FileOps& ops) {
  const auto fail = [&](int e, const std::string& what) -> FileAccessError {
    return FileAccessError(path, e, "cannot read " + path + ": " + what);
  };
  const int fd = ops.openForReading(path);
  if (fd < 0) throw fail(errno, reason(errno));
  Descriptor file(ops, fd);
  FileStatus st;
  if (ops.status(fd, st) != 0) throw fail(errno, reason(errno));
  if (!st.regular) throw fail(0, "not a regular file");
  if (st.size > limit) throw fail(EFBIG, "larger than " + std::to_string(limit) + " bytes");

  std::string bytes;
  bytes.resize(static_cast<std::size_t>(st.size) + 1);  // one more, to see a file that grew
  std::size_t done = 0;
  for (;;) {
    if (done == bytes.size()) {
      if (bytes.size() > limit) throw fail(EFBIG, "larger than " + std::to_string(limit) + " bytes");
      bytes.resize(std::min(limit + 1, bytes.size() * 2));
    }
    const long long n = ops.read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw fail(errno, reason(errno));
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  if (done > limit) throw fail(EFBIG, "larger than " + std::to_string(limit) + " bytes");
  bytes.resize(done);
  return bytes;
}

void replaceFile(const std::string& path, std::string_view bytes, FileOps& ops) {
  const std::string target = resolved(path);
  const std::string folder = folderOf(target);
  const auto fail = [&](int e, const std::string& what, bool unchanged) -> FileAccessError {
    return FileAccessError(path, e,
                           "cannot save " + path + ": " + what + ": " + reason(e) +
                               (unchanged ? " (the file on disk is unchanged)" : ""));
  };

  // The old file's permissions carry over to the new one; a new file gets the usual 0666 less
  // the umask.
  FileStatus old;
  const bool existed = ops.statusOfPath(target, old) == 0;
  if (existed && !old.regular) throw FileAccessError(path, 0, "cannot save " + path + ": not a regular file");

  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = folder + "/." + baseNameOf(target) + ".tmp-" + std::to_string(::getpid()) + "-" +
                std::to_string(attempt);
    fd = ops.createNew(temporary, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) throw fail(errno, "cannot create a temporary file in " + folder, true);
  Descriptor file(ops, fd);
  // Until the rename, any failure removes the temporary file and leaves the old one alone.
  const auto abandon = [&](const std::string& what) -> FileAccessError {
    const int e = errno;
    file.closeQuietly();
    ops.remove(temporary);
    return fail(e, what, true);
  };

  for (std::size_t done = 0; done < bytes.size();) {
    const long long n = ops.write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      throw abandon("writing the temporary file " + temporary);
    }
    done += static_cast<std::size_t>(n);
  }
  if (existed && ops.setMode(fd, old.mode) != 0) throw abandon("giving the temporary file the file's permissions");
  if (ops.sync(fd) != 0) throw abandon("flushing the temporary file " + temporary + " to disk");
  if (file.close() != 0) {
    const int e = errno;
    ops.remove(temporary);
    throw fail(e, "closing the temporary file " + temporary, true);
  }
  if (ops.rename(temporary, target) != 0) {
    const int e = errno;
    ops.remove(temporary);
    throw fail(e, "renaming " + temporary + " over the file", true);
  }

  // The new file is in place; flushing the folder makes the rename itself survive a power loss.
  const int dir = ops.openFolder(folder);
  if (dir < 0)
    throw FileAccessError(path, errno,
                          "saved " + path + " but could not open its folder to flush it: " + reason(errno) +
                              " (the new file may not survive a power failure)");
  Descriptor folderFd(ops, dir);
  if (ops.sync(dir) != 0 && errno != EINVAL)  // some file systems cannot flush a folder
    throw FileAccessError(path, errno,
                          "saved " + path + " but could not flush its folder: " + reason(errno) +
                              " (the new file may not survive a power failure)");
}

FileStamp FileStamp::of(std::string_view bytes) { return {true, bytes.size(), std::hash<std::string_view>{}(bytes)}; }

FileStamp currentStamp(const std::string& path, std::size_t limit, FileOps& ops) {
  try {
    return FileStamp::of(readWholeFile(path, limit, ops));
  } catch (const FileAccessError& e) {
    if (e.errorNumber() == ENOENT) return {};
    // A file grown past the limit: no stamp of a file read within it is the same.
    if (e.errorNumber() == EFBIG) return {true, static_cast<std::uint64_t>(limit) + 1, 0};
    throw;
  }
}

FileLock::FileLock(const std::string& path) {
  const std::string lockPath = resolved(path) + ".lock";
  fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ < 0 && (errno == EACCES || errno == EROFS)) fd_ = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) throw FileAccessError(path, errno, "cannot lock " + path + ": " + lockPath + ": " + reason(errno));
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    const int e = errno;
    ::close(fd_);
    throw FileAccessError(path, e, "cannot lock " + path + ": " + reason(e));
  }
}

FileLock::~FileLock() { ::close(fd_); }  // closing the last descriptor releases the lock

}  // namespace kestrinx::forms
