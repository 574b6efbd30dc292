// kestrinx registry and kestrinx invoke, run as a subprocess: registering the built library into
// a registry file and listing it, and members read, set and called by name or identifier.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace kestrinx::testing {
namespace {

struct Outcome {
  int status = -1;
  std::string out, err;
};

// Runs the tool with `args`, its outputs collected in files of `folder`.
Outcome run(const TempDir& folder, const std::vector<std::string>& args) {
  const std::string out = folder.file("stdout"), err = folder.file("stderr");
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (!::freopen(out.c_str(), "w", stdout) || !::freopen(err.c_str(), "w", stderr)) ::_exit(126);
    std::vector<char*> argv{const_cast<char*>(KESTRINX_CLI_PATH)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(KESTRINX_CLI_PATH, argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(out), readBytes(err)};
}

TEST(RegistryCommand, RegistersListsAndUnregistersTheLibrary) {
  TempDir folder;
  const std::string registry = folder.file("reg/registry.json");
  const std::vector<std::string> where = {"--registry", registry, "--library", KESTRINX_LIBRARY_PATH};
  const auto with = [&](std::vector<std::string> args) {
    args.insert(args.end(), where.begin(), where.end());
    return args;
  };
  Outcome r = run(folder, with({"registry", "register"}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("registered"), std::string::npos);
  r = run(folder, {"registry", "list", "--registry=" + registry});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("KestrinX.Kestrin\n  (default) = \"Kestrin\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("CLSID\\{A7D52C6D-91AD-11D2-A265-00A0C93C9297}\\ProgID\n  (default) = \"KestrinX.General\""),
            std::string::npos);
  r = run(folder, with({"registry", "unregister"}));
  EXPECT_EQ(r.status, 0) << r.err;
  r = run(folder, {"registry", "list", "--registry", registry});
  EXPECT_EQ(r.out, "registry " + registry + "\n");
}

TEST(RegistryCommand, RefusesWhatItCannotDo) {
  TempDir folder;
  const std::string broken = folder.file("broken.json");
  writeBytes(broken, "{");
  struct Row {
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const Row rows[] = {
      {{"registry"}, 2, "registry needs register, unregister or list"},
      {{"registry", "erase"}, 2, "unknown action"},
      {{"registry", "list", "--registry"}, 2, "needs a value"},
      {{"registry", "list", "--registry", broken}, 1, "not JSON"},
      {{"registry", "register", "--registry", broken, "--library", KESTRINX_LIBRARY_PATH}, 1, "not JSON"},
      {{"registry", "register", "--registry", broken, "--library", folder.file("none.so")}, 1, "cannot load"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args.back());
    const Outcome r = run(folder, row.args);
    EXPECT_EQ(r.status, row.status);
    EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
  }
  EXPECT_EQ(readBytes(broken), "{");
}

TEST(InvokeCommand, ReadsSetsAndCallsByNameOrIdentifier) {
  TempDir folder;
  struct Row {
    std::vector<std::string> args;
    int status;
    std::string out;
    const char* err;  // part of the error line (nullptr: no error)
  };
  const Row rows[] = {
      {{"-", "Kestrin1", "0x6803001F", "4"}, 0, "4 CenterMiddle\n", nullptr},
      {{"-", "Kestrin1", "alignment", "rightbottom"}, 0, "8 RightBottom\n", nullptr},
      {{"-", "Age", "caption"}, 0, "Age\n", nullptr},
      {{"-", "Kestrin1", "1745027104", "2.5"}, 0, "2\n", nullptr},  // Interval, halves to even
      {{"-", "Kestrin1", "BackColor"}, 0, "0x80000005\n", nullptr},
      {{"-", "Kestrin1", "LinkSend"}, 0, "", nullptr},
      {{"-", "Kestrin1", "Interval", "abc"}, 1, "", "Interval: run-time error 13: Type mismatch"},
      {{"-", "Kestrin1", "hWnd", "1"}, 1, "", "hWnd: run-time error 383"},
      {{"-", "Kestrin1", "0x68030012"}, 1, "", "run-time error 438"},
      {{"-", "Kestrin1", "LinkSend", "1"}, 1, "", "LinkSend: run-time error 438"},
      {{"-", "Kestrin1", "ValidState", "True"}, 1, "", "error 393: Property is read-only at run time"},
      {{"form.kxf", "Kestrin1", "Text"}, 2, "", "cannot open form"},
      {{"-", "Kestrin1"}, 2, "", "invoke needs FORM CONTROL MEMBER [VALUE]"},
  };
  for (const Row& row : rows) {
    std::vector<std::string> args{"invoke"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    SCOPED_TRACE(row.args.size() > 2 ? row.args[2] : row.args[0]);
    const Outcome r = run(folder, args);
    EXPECT_EQ(r.status, row.status) << r.err;
    EXPECT_EQ(r.out, row.out);
    if (row.err != nullptr) {
      EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
    } else {
      EXPECT_EQ(r.err, "");
    }
  }
}

}  // namespace
}  // namespace kestrinx::testing
