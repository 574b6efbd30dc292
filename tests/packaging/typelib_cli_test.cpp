// `kestrinx typelib dump` run as a subprocess: the listing of the built-in library and of the
// file the build writes, errors for unreadable and malformed files, and bad usage.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "control/members.h"

namespace kestrinx::testing {
namespace {

struct ToolRun {
  int status = -1;
  std::string out, err;
};

std::string slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

class TypelibDump : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/kestrinx_typelib_XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    dir_ = dir;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Runs the tool with `args` (each single-quoted; none may hold a quote).
  ToolRun run(const std::vector<std::string>& args) const {
    std::string cmd = std::string("'") + KESTRINX_CLI_PATH + "'";
    for (const std::string& a : args) cmd += " '" + a + "'";
    cmd += " </dev/null >'" + dir_ + "/out' 2>'" + dir_ + "/err'";
    const int raw = std::system(cmd.c_str());
    ToolRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = slurp(dir_ + "/out");
    r.err = slurp(dir_ + "/err");
    return r;
  }
  std::string file(const std::string& name, const std::string& content) const {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  std::string dir_;
};

TEST_F(TypelibDump, ListsTheBuiltInLibraryAsTheBuildWritesIt) {
  const ToolRun builtIn = run({"typelib", "dump"});
  ASSERT_EQ(builtIn.status, 0) << builtIn.err;
  EXPECT_EQ(builtIn.err, "");
  const ToolRun fromFile = run({"typelib", "dump", KESTRINX_TYPELIB_PATH});
  ASSERT_EQ(fromFile.status, 0) << fromFile.err;
  EXPECT_EQ(fromFile.out, builtIn.out);

  for (const std::string line :
       {"Type library KestrinX", "  GUID         {A7D52C6E-91AD-11D2-A265-00A0C93C9297}", "  system       SYS_WIN32",
        "  help file    \"KestrinX.chm\"",
        "  1  Kestrin  TKIND_COCLASS  {A7D52C63-91AD-11D2-A265-00A0C93C9297}  flags 0x0020 (control)",
        "       implements __Kestrin [default, source]", "0x68030008  propputref  HRESULT Font([in] Font* Value)",
        "0x68030015  propget     HRESULT hWnd([out, retval] long* Value)",
        "0x00000008  func        void KeyPress([in, out] short* KeyAscii)",
        "0x40000004  CenterMiddle = 4 (long)  help \"CenterMiddle\"",
        "TKIND_DISPATCH {41A7D760-6018-11CF-9016-00AA0068841E}"})
    EXPECT_NE(builtIn.out.find(line), std::string::npos) << line;
  for (const members::Member& m : members::kMembers)
    EXPECT_NE(builtIn.out.find(" " + std::string(m.name) + "("), std::string::npos) << m.name;
}

TEST_F(TypelibDump, UnreadableOrMalformedFilesExitWithOne) {
  struct Row {
    std::string path;
    const char* error;
  };
  const Row rows[] = {
      {dir_ + "/missing.tlb", "cannot read"},
      {dir_, "cannot read"},
      {file("empty.tlb", ""), "malformed type library: the file has 0 bytes"},
      {file("text.tlb", std::string(200, 'A')), "no \"MSFT\" signature"},
      {file("cut.tlb", slurp(KESTRINX_TYPELIB_PATH).substr(0, 4000)), "malformed type library"},
  };
  for (const Row& r : rows) {
    const ToolRun res = run({"typelib", "dump", r.path});
    EXPECT_EQ(res.status, 1) << r.path;
    EXPECT_EQ(res.out, "") << r.path;
    EXPECT_NE(res.err.find(r.error), std::string::npos) << r.path << ": " << res.err;
    EXPECT_EQ(std::count(res.err.begin(), res.err.end(), '\n'), 1) << "one line";
  }
}

TEST_F(TypelibDump, BadUsageExitsWithTwo) {
  const std::vector<std::vector<std::string>> rows = {
      {"typelib"}, {"typelib", "list"}, {"typelib", "dump", "a", "b"}, {"typelib", "dump", "--json"}};
  for (const auto& args : rows) {
    const ToolRun res = run(args);
    EXPECT_EQ(res.status, 2) << args.back();
    EXPECT_NE(res.err.find("typelib"), std::string::npos) << res.err;
  }
}

}  // namespace
}  // namespace kestrinx::testing
