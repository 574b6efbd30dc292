// Reading a whole file within a size limit, and replacing a file atomically, over a seam that
// tests can make fail at any single step.
//
// replaceFile writes the new bytes into a temporary file in the same folder, flushes it to disk,
// gives it the old file's permissions, renames it over the old file and flushes the folder. Until
// the rename the old file is untouched; a crash, a full disk or a read-only folder leaves it as
// it was (at worst a stray temporary file ".NAME.tmp-..." stays behind after a crash). Every
// failure is a FileAccessError naming the file, the step and the system's reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kestrinx::forms {

// Reading or writing a file failed. what() is one line: "cannot save FILE: STEP: REASON", with
// what became of the file on disk where that matters.
class FileAccessError : public std::runtime_error {
 public:
  FileAccessError(std::string path, int errorNumber, const std::string& message)
      : std::runtime_error(message), path_(std::move(path)), errorNumber_(errorNumber) {}
  const std::string& path() const { return path_; }
  int errorNumber() const { return errorNumber_; }  // errno of the failing step, 0 for none

 private:
  std::string path_;
  int errorNumber_;
};

struct FileStatus {
  bool regular = false;
  std::uint64_t size = 0;
  unsigned mode = 0;  // permission bits
};

// The file-system calls the two operations use. Each returns -1 (or a negative count) and sets
// errno on failure, as the system call it stands for does, so a test can derive from the system
// implementation and fail one step with the errno it likes.
class FileOps {
 public:
  virtual ~FileOps() = default;
  virtual int openForReading(const std::string& path);
  // Creates a new file that must not exist yet, for writing, with `mode` (less the umask).
  virtual int createNew(const std::string& path, unsigned mode);
  virtual int openFolder(const std::string& path);
  virtual int status(int fd, FileStatus& status);
  virtual int statusOfPath(const std::string& path, FileStatus& status);
  virtual long long read(int fd, char* buffer, std::size_t size);
  virtual long long write(int fd, const char* data, std::size_t size);
  virtual int setMode(int fd, unsigned mode);
  virtual int sync(int fd);
  virtual int close(int fd);
  virtual int rename(const std::string& from, const std::string& to);
  virtual int remove(const std::string& path);
};

// The real file system.
FileOps& systemFileOps();

// The whole content of a regular file. Throws FileAccessError when it cannot be read, is not a
// regular file, or holds more than `limit` bytes (without reading more than limit + 1 of them).
std::string readWholeFile(const std::string& path, std::size_t limit, FileOps& ops = systemFileOps());

// Replaces the file at `path` (or creates it) with `bytes`, atomically as described above. A
// symbolic link is followed, so the file it names is replaced and the link stays.
void replaceFile(const std::string& path, std::string_view bytes, FileOps& ops = systemFileOps());

// What a file held when this program last read or wrote it: whether there was a file, its size
// and a hash of its bytes. Compared with the file as it is before a save, it tells whether
// another program has changed the file since (a file written again with the same bytes has
// not changed). Stamps compare within one process only (the hash is the standard library's).
struct FileStamp {
  bool exists = false;
  std::uint64_t size = 0;
  std::size_t hash = 0;
  static FileStamp of(std::string_view bytes);
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the file at `path` as it is now: read whole (within `limit`; a larger file has a
// stamp of its own that no file read within the limit has), or a stamp of no file when there
// is none. Throws FileAccessError when it cannot be read.
FileStamp currentStamp(const std::string& path, std::size_t limit, FileOps& ops = systemFileOps());

// An exclusive advisory lock for one file's read-change-write. Every program of this project
// that changes a file it has read (the command-line tool, the demo, the registry) holds it from
// before the read until after the write, so programs changing the file at the same time take
// turns: the constructor waits until no other holder is left, and each change is made to the
// file as the one before left it.
//
// The lock is on a lock file "<file>.lock" beside the file, not on the file: replaceFile gives
// the file a new inode on every save, so a lock on the file itself would be left behind on the
// old inode and would not stop the next writer. The lock file is created when missing and is
// never removed (removing it would let a program still waiting on the removed file and one
// coming later on a new file hold the lock at once). A symbolic link to the file is followed
// first, so every path to one file takes the same lock. The lock goes with the object, or with
// the process if it ends first.
class FileLock {
 public:
  // Throws FileAccessError ("cannot lock FILE: REASON") when the lock file cannot be opened or
  // created (a folder the user may not write in, where the file could not be saved either).
  explicit FileLock(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace kestrinx::forms
