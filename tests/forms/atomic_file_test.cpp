// Saving a file atomically and reading one within a limit: whichever step of a save fails, the
// old file stays byte for byte and no temporary file is left; the error names the file, the step
// and the system's reason.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "forms/atomic_file.h"
#include "forms/form_file.h"
#include "support/temp_dir.h"

namespace kestrinx::testing {
namespace {

using forms::FileAccessError;

// The real file system with one step made to fail with a chosen errno.
enum class Step { None, Create, Write, WriteNothing, SetMode, Sync, Close, Rename, OpenFolder, SyncFolder };

class FailingOps final : public forms::FileOps {
 public:
  FailingOps(Step step, int error) : step_(step), error_(error) {}
  int createNew(const std::string& path, unsigned mode) override {
    if (step_ == Step::Create) return fail();
    return FileOps::createNew(path, mode);
  }
  long long write(int fd, const char* data, std::size_t size) override {
    if (step_ == Step::Write) return fail();
    if (step_ == Step::WriteNothing) return 0;
    // Half at a time, so a save must finish short writes itself.
    return FileOps::write(fd, data, size > 1 ? size / 2 : size);
  }
  int setMode(int fd, unsigned mode) override { return step_ == Step::SetMode ? fail() : FileOps::setMode(fd, mode); }
  int sync(int fd) override {
    ++syncs_;
    // The first sync is the temporary file's, the second the folder's.
    if ((step_ == Step::Sync && syncs_ == 1) || (step_ == Step::SyncFolder && syncs_ == 2)) return fail();
    return FileOps::sync(fd);
  }
  int close(int fd) override {
    const int r = FileOps::close(fd);
    return step_ == Step::Close && ++closes_ == 1 ? fail() : r;
  }
  int rename(const std::string& from, const std::string& to) override {
    return step_ == Step::Rename ? fail() : FileOps::rename(from, to);
  }
  int openFolder(const std::string& path) override {
    return step_ == Step::OpenFolder ? fail() : FileOps::openFolder(path);
  }

 private:
  int fail() const {
    errno = error_;
    return -1;
  }
  Step step_;
  int error_;
  int syncs_ = 0, closes_ = 0;
};

struct FailureRow {
  const char* name;
  Step step;
  int error;
  std::string expected;  // in what()
};

TEST(AtomicFile, AFailedSaveLeavesTheOldFileByteForByte) {
  const FailureRow rows[] = {
      {"ReadOnlyFolder", Step::Create, EACCES, "cannot create a temporary file in"},
      {"DiskFull", Step::Write, ENOSPC, "writing the temporary file"},
      {"WriteMakesNoProgress", Step::WriteNothing, 0, "No space left on device"},
      {"PermissionsRefused", Step::SetMode, EPERM, "giving the temporary file the file's permissions"},
      {"FlushFails", Step::Sync, EIO, "flushing the temporary file"},
      {"DelayedWriteFailsAtClose", Step::Close, EIO, "closing the temporary file"},
      {"RenameFailsAfterTheTemporaryFileIsComplete", Step::Rename, EXDEV, "renaming"},
  };
  for (const FailureRow& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    const std::string path = dir.file("form.kxform");
    const std::string old = std::string("{\"old\": true}\n\0\xff", 16);
    writeBytes(path, old);
    FailingOps ops(row.step, row.error);
    try {
      forms::replaceFile(path, std::string(5000, 'n'), ops);
      ADD_FAILURE() << "saved";
    } catch (const FileAccessError& e) {
      const std::string what = e.what();
      EXPECT_EQ(what.rfind("cannot save " + path + ": ", 0), 0u) << what;
      EXPECT_NE(what.find(row.expected), std::string::npos) << what;
      EXPECT_NE(what.find("(the file on disk is unchanged)"), std::string::npos) << what;
      EXPECT_EQ(e.path(), path);
    }
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(dir.listing(), "form.kxform\n");  // no temporary file left behind
  }
}

// Once the new file has replaced the old one, a folder that cannot be flushed is reported as
// such: the error does not claim the old file is still there.
TEST(AtomicFile, AFolderThatCannotBeFlushedIsReportedAfterTheReplace) {
  for (Step step : {Step::OpenFolder, Step::SyncFolder}) {
    TempDir dir;
    const std::string path = dir.file("form.kxform");
    writeBytes(path, "old");
    FailingOps ops(step, EIO);
    try {
      forms::replaceFile(path, "new", ops);
      ADD_FAILURE() << "no error";
    } catch (const FileAccessError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("saved " + path + " but could not", 0), 0u) << e.what();
    }
    EXPECT_EQ(readBytes(path), "new");
  }
}

TEST(AtomicFile, ASaveReplacesTheFileKeepingItsPermissionsAndLinks) {
  TempDir dir;
  const std::string path = dir.file("form.kxform");
  writeBytes(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  const std::string link = dir.file("link.kxform");
  ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);

  forms::replaceFile(link, "new");
  EXPECT_EQ(readBytes(path), "new");
  struct stat st {};
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(dir.listing(), "form.kxform\nlink.kxform\n");

  forms::replaceFile(dir.file("fresh.kxform"), "");
  EXPECT_EQ(readBytes(dir.file("fresh.kxform")), "");
}

// The same through the system itself: a folder without write permission. (Root writes anyway,
// which is why the failure seam above exists.)
TEST(AtomicFile, AReadOnlyFolderRefusesTheSaveAndKeepsTheFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root can write into a read-only folder";
  TempDir dir;
  const std::string path = dir.file("form.kxform");
  writeBytes(path, "old");
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  try {
    forms::writeFormFile(path, forms::FormFile{});
    ADD_FAILURE() << "saved";
  } catch (const FileAccessError& e) {
    EXPECT_NE(std::string(e.what()).find("Permission denied"), std::string::npos) << e.what();
  }
  EXPECT_EQ(readBytes(path), "old");
}

TEST(AtomicFile, ReadingNamesTheFileAndTheReason) {
  TempDir dir;
  writeBytes(dir.file("big"), std::string(101, 'x'));
  writeBytes(dir.file("fits"), std::string(100, 'x'));
  struct Row {
    const char* name;
    std::string path;
    std::string expected;
  };
  const Row rows[] = {
      {"Missing", dir.file("none"), "cannot read " + dir.file("none") + ": No such file or directory"},
      {"Folder", dir.path(), "cannot read " + dir.path() + ": not a regular file"},
      {"OverTheLimit", dir.file("big"), "cannot read " + dir.file("big") + ": larger than 100 bytes"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    try {
      forms::readWholeFile(row.path, 100);
      ADD_FAILURE() << "read";
    } catch (const FileAccessError& e) {
      EXPECT_EQ(std::string(e.what()), row.expected);
    }
  }
  EXPECT_EQ(forms::readWholeFile(dir.file("fits"), 100).size(), 100u);
}

// A lock taken while another holder has it waits until it is released, through any path to
// the file; the lock file beside the file stays.
TEST(FileLock, ASecondHolderWaitsForTheFirst) {
  TempDir dir;
  const std::string path = dir.file("form.kxform");
  writeBytes(path, "{}");
  ASSERT_EQ(::symlink(path.c_str(), dir.file("link.kxform").c_str()), 0);
  std::atomic<bool> taken{false};
  std::thread second;
  {
    const forms::FileLock first(path);
    second = std::thread([&] {
      const forms::FileLock other(dir.file("link.kxform"));
      taken = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(taken);
  }
  second.join();
  EXPECT_TRUE(taken);
  EXPECT_EQ(dir.listing(), "form.kxform\nform.kxform.lock\nlink.kxform\n");

  ::chmod(dir.path().c_str(), 0500);
  if (::geteuid() != 0) {
    try {
      const forms::FileLock refused(dir.file("other.kxform"));
      ADD_FAILURE() << "a folder the user may not write in gave a lock";
    } catch (const FileAccessError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("cannot lock " + dir.file("other.kxform") + ": ", 0), 0u) << e.what();
    }
  }
}

}  // namespace
}  // namespace kestrinx::testing
