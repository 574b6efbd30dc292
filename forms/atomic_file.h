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

}  // namespace kestrinx::forms
