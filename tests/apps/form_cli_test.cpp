// `kestrinx form` run as a subprocess: what the commands themselves answer for. Exit codes, one
// line per error, and a form file that stays byte for byte as it was whenever a command fails.
// (What the control does with the values is tested with the control.)
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "forms/form_file.h"
#include "support/temp_dir.h"

namespace kestrinx::testing {
namespace {

struct ToolRun {
  int status = -1;
  std::string out, err;
};

// The repository's folder, from this file's place in it.
std::string sourceRoot() {
  const std::string self = __FILE__;
  return self.substr(0, self.rfind("/tests/apps/"));
}

class FormCommand : public ::testing::Test {
 protected:
  // Runs the tool with `args` (each single-quoted; none may hold a quote) and `input` on stdin.
  ToolRun run(const std::vector<std::string>& args, const std::string& input = "") const {
    writeBytes(dir.file(".in"), input);
    std::string cmd = std::string("'") + KESTRINX_CLI_PATH + "'";
    for (const std::string& a : args) cmd += " '" + a + "'";
    cmd += " <'" + dir.file(".in") + "' >'" + dir.file(".out") + "' 2>'" + dir.file(".err") + "'";
    const int raw = std::system(cmd.c_str());
    ToolRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = readBytes(dir.file(".out"));
    r.err = readBytes(dir.file(".err"));
    return r;
  }
  // A form made by the tool: txtName, numAmount and dteDue.
  std::string newForm() const {
    const std::string path = dir.file("form.kxform");
    const ToolRun r = run({"form", "new", path, "txtName", "numAmount", "dteDue"});
    EXPECT_EQ(r.status, 0) << r.err;
    return path;
  }
  static void expectOneLine(const ToolRun& r, const std::string& fragment) {
    EXPECT_EQ(r.out, "");
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;  // one line
    EXPECT_EQ(r.err.rfind("kestrinx: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(fragment), std::string::npos) << r.err;
  }

  TempDir dir;
};

TEST_F(FormCommand, NewPlacesTheControlsAndKeepsAnExistingFileUnlessForced) {
  const std::string path = newForm();
  const forms::FormFile form = forms::readFormFile(path);
  EXPECT_EQ(form.name, "form");
  ASSERT_EQ(form.controls.size(), 3u);
  EXPECT_EQ(form.controls[2].name, "dteDue");
  EXPECT_EQ(form.controls[2].progId, "KestrinX.Kestrin");
  EXPECT_LT(form.controls[0].placement.top + form.controls[0].placement.height, form.controls[1].placement.top);

  const std::string before = readBytes(path);
  expectOneLine(run({"form", "new", path, "txtOther"}), path + " exists (use --force to replace it)");
  EXPECT_EQ(readBytes(path), before);
  EXPECT_EQ(run({"form", "new", path, "txtOther", "--force", "--name", "Orders"}).status, 0);
  EXPECT_EQ(forms::readFormFile(path).name, "Orders");

  struct Row {
    const char* name;
    std::vector<std::string> names;
    std::string expected;
  };
  const Row refused[] = {{"TwoControlsOneName", {"txtA", "TXTA"}, "already has a control named 'TXTA'"},
                         {"NotAName", {"2nd"}, "'2nd' is not a control name"}};
  for (const Row& row : refused) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> args = {"form", "new", dir.file("refused.kxform")};
    args.insert(args.end(), row.names.begin(), row.names.end());
    const ToolRun r = run(args);
    EXPECT_EQ(r.status, 2);
    expectOneLine(r, row.expected);
    EXPECT_FALSE(std::filesystem::exists(dir.file("refused.kxform")));
  }
}

// Every set is made in memory first: one that fails is one line and exit 2, and the file is
// not touched, also when sets before it succeeded.
TEST_F(FormCommand, SetSavesOnlyWhenEverySetSucceeds) {
  const std::string path = newForm();
  const std::string before = readBytes(path);
  struct Row {
    const char* name;
    std::string assignment;
    std::string expected;
  };
  const Row rows[] = {
      {"UnknownControl", "txtNone.Caption=x", "has no control 'txtNone' (it has txtName, numAmount, dteDue)"},
      {"UnknownProperty", "txtName.Colour=1", "no property 'Colour'"},
      {"AMethod", "txtName.LinkSend=1", "no property 'LinkSend'"},
      {"ReadOnlyProperty", "txtName.hWnd=1", "hWnd is read-only"},
      {"ValueDoesNotConvert", "numAmount.Interval=abc", "run-time error 13: Type mismatch (Long expected)"},
      {"ValueOutOfRange", "numAmount.MousePointer=70000", "run-time error 6"},
      {"ControlRefusesTheValue", "txtName.ValidState=True", "run-time error 382"},
      {"NoTextForAPicture", "txtName.MouseIcon=icon.ico", "run-time error 13"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ToolRun r = run({"form", "set", path, "txtName.Caption=Changed", row.assignment});
    EXPECT_EQ(r.status, 2);
    expectOneLine(r, row.expected);
    EXPECT_EQ(readBytes(path), before);
  }

  const ToolRun ok = run({"form", "set", path, "numAmount.KestrinType=1", "numamount.caption=Amount", "txtName.Font=Arial,12,bold"});
  EXPECT_EQ(ok.status, 0) << ok.err;
  EXPECT_EQ(ok.out + ok.err, "");
  const ToolRun shown = run({"form", "show", path});
  EXPECT_NE(shown.out.find("  Caption          Amount\n"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("  Font             Arial,12,bold\n"), std::string::npos) << shown.out;
}

// Twenty commands, each setting another control's caption, run at the same time: they take
// turns at the form's lock, so every one succeeds and every caption is in the file.
TEST_F(FormCommand, TwentySetsAtOnceKeepEveryChange) {
  constexpr int kSets = 20;
  const std::string path = dir.file("busy.kxform");
  std::vector<std::string> args = {"form", "new", path};
  for (int i = 1; i <= kSets; ++i) args.push_back("ctl" + std::to_string(i));
  ASSERT_EQ(run(args).status, 0);

  std::vector<int> statuses(kSets, -1);
  std::vector<std::thread> sets;
  for (int i = 1; i <= kSets; ++i) {
    sets.emplace_back([&, i] {
      const std::string n = std::to_string(i);
      const std::string cmd = std::string("'") + KESTRINX_CLI_PATH + "' form set '" + path + "' ctl" + n +
                              ".Caption=Caption" + n + " >'" + dir.file(".out" + n) + "' 2>&1";
      const int raw = std::system(cmd.c_str());
      statuses[static_cast<std::size_t>(i - 1)] = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    });
  }
  for (std::thread& t : sets) t.join();
  EXPECT_EQ(statuses, std::vector<int>(kSets, 0));
  const forms::FormFile form = forms::readFormFile(path);
  ASSERT_EQ(form.controls.size(), static_cast<std::size_t>(kSets));
  for (const forms::FormControl& c : form.controls) {
    const auto caption = std::find_if(c.properties.begin(), c.properties.end(),
                                      [](const forms::FormEntry& e) { return e.key == "Caption"; });
    ASSERT_NE(caption, c.properties.end()) << c.name;
    EXPECT_EQ(caption->value.toString(), "Caption" + c.name.substr(3)) << c.name;
  }
}

// A box shown here otherwise than it is saved (an unlocked box in a control a wider caption
// needed on another host) is listed with the value saving keeps.
TEST_F(FormCommand, ShowSaysWhatSavingKeepsWhereItDiffersFromTheControl) {
  const std::string path = newForm();
  forms::FormFile form = forms::readFormFile(path);
  form.controls[0].placement.width += 150;  // as the other host saved it
  forms::writeFormFile(path, form);
  const ToolRun r = run({"form", "show", path});
  EXPECT_EQ(r.status, 0) << r.err;
  const ToolRun json = run({"form", "show", path, "--json"});
  EXPECT_NE(json.out.find("\"savedAs\":{\"BoxWidth\":\""), std::string::npos) << json.out;
  const auto line = r.out.find("  BoxWidth ");
  ASSERT_NE(line, std::string::npos) << r.out;
  const std::string boxWidth = r.out.substr(line, r.out.find('\n', line) - line);
  EXPECT_NE(boxWidth.find(" (saved as "), std::string::npos) << boxWidth;
  // Saving the form changes neither the box's saved width nor the control's place.
  EXPECT_EQ(run({"form", "set", path, "txtName.ToolTipText=tip"}).status, 0);
  const auto boxWidthOf = [](const forms::FormControl& c) {
    for (const forms::FormEntry& e : c.properties)
      if (e.key == "BoxWidth") return e.value.toLong();
    return 1600;
  };
  const forms::FormFile saved = forms::readFormFile(path);
  EXPECT_EQ(boxWidthOf(saved.controls[0]), boxWidthOf(form.controls[0]));
  EXPECT_EQ(saved.controls[0].placement, form.controls[0].placement);
}

TEST_F(FormCommand, PageShowsTheTabsAndAppliesOnlyWhenAsked) {
  const std::string path = newForm();
  const std::string before = readBytes(path);

  const ToolRun look = run({"form", "page", path, "txtName", "--set", "txtGeneral(0)=Full name"});
  EXPECT_EQ(look.status, 0) << look.err;
  for (const char* line : {"[General]\n", "[ColorUse/Beep]\n", "[Format]\n", "txtGeneral(0)  Caption = \"Full name\"\n",
                           "chkGeneral(3)  [x] ColorInvalidUse\n"})
    EXPECT_NE(look.out.find(line), std::string::npos) << line;
  EXPECT_EQ(readBytes(path), before);  // looking is not applying

  struct Row {
    const char* name;
    std::vector<std::string> args;
    std::string expected;
  };
  const Row refused[] = {
      {"UnknownControl", {"txtNone"}, "has no control 'txtNone'"},
      {"UnknownWidget", {"txtName", "--set", "txtGeneral(9)=1"}, "txtGeneral(9)"},
      {"EmptyNumberBoxAppliesNothing", {"txtName", "--set", "txtGeneral(1)=", "--apply"}, "BoxWidth is empty"},
  };
  for (const Row& row : refused) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> args{"form", "page", path};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const ToolRun r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(row.expected), std::string::npos) << r.err;
    EXPECT_EQ(readBytes(path), before);
  }

  const ToolRun apply =
      run({"form", "page", path, "txtName", "dteDue", "--set", "txtGeneral(0)=When", "--set", "chkGeneral(5)=1", "--apply"});
  EXPECT_EQ(apply.status, 0) << apply.err;
  const ToolRun shown = run({"form", "show", path});
  for (const char* control : {"txtName", "dteDue"}) {
    const std::size_t at = shown.out.find(std::string("\n") + control + "  ");
    ASSERT_NE(at, std::string::npos) << control;
    const std::string block = shown.out.substr(at, shown.out.find("\n\n", at + 1) - at);
    EXPECT_NE(block.find("  Caption          When\n"), std::string::npos) << block;
    EXPECT_NE(block.find("  InvalidBeep      True\n"), std::string::npos) << block;
  }
  EXPECT_NE(shown.out.find("  Caption          numAmount\n"), std::string::npos);  // not selected, unchanged
}

TEST_F(FormCommand, ShowListsEverySavedPropertyAndTheKeysItKeeps) {
  const std::string path = dir.file("kept.kxform");
  forms::FormFile form;
  form.name = "Kept";
  form.controls.push_back({"txtName", "KestrinX.Kestrin", {0, 0, 3000, 360},
                           {{"Caption", values::Variant::string("Name")},
                            {"Spellcheck", values::Variant::boolean(values::True)}}});
  forms::writeFormFile(path, form);

  const ToolRun table = run({"form", "show", path});
  EXPECT_EQ(table.status, 0) << table.err;
  EXPECT_EQ(table.err, "");
  EXPECT_EQ(table.out.rfind("Form Kept (" + path + "): 1 control\n\ntxtName  KestrinX.Kestrin  left 0  top 0  width ", 0), 0u)
      << table.out;
  EXPECT_NE(table.out.find("  Caption          Name\n"), std::string::npos);
  EXPECT_NE(table.out.find("  kept: Spellcheck (Boolean) True\n"), std::string::npos) << table.out;

  const ToolRun json = run({"form", "show", path, "--json"});
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(json.out.rfind("{\"file\":\"" + path + "\",\"form\":\"Kept\",\"controls\":[{\"name\":\"txtName\"", 0), 0u);
  EXPECT_NE(json.out.find("\"Caption\":\"Name\""), std::string::npos);
  EXPECT_NE(json.out.find("\"kept\":[{\"key\":\"Spellcheck\",\"type\":\"Boolean\",\"value\":\"True\"}]"),
            std::string::npos);
}

// A control that does not load is shown as far as it got, with its problem on stderr and exit
// 1; set refuses to touch such a form.
TEST_F(FormCommand, AControlThatDoesNotLoadIsReportedAndTheFormIsNotChanged) {
  const std::string path = dir.file("broken.kxform");
  forms::FormFile form;
  form.controls.push_back({"txtAge", "KestrinX.Kestrin", {0, 0, 3000, 360},
                           {{"Interval", values::Variant::string("abc")}}});
  forms::writeFormFile(path, form);
  const std::string before = readBytes(path);

  const ToolRun shown = run({"form", "show", path});
  EXPECT_EQ(shown.status, 1);
  EXPECT_EQ(shown.err, "kestrinx: " + path +
                           ": control 'txtAge' stopped loading at property 'Interval': run-time error 13: Type "
                           "mismatch\n");
  EXPECT_NE(shown.out.find("txtAge  KestrinX.Kestrin"), std::string::npos);

  const ToolRun set = run({"form", "set", path, "txtAge.Caption=Age"});
  EXPECT_EQ(set.status, 1);
  EXPECT_NE(set.err.find("nothing set: the form did not load completely"), std::string::npos) << set.err;
  EXPECT_EQ(readBytes(path), before);
}

TEST_F(FormCommand, FilesThatAreNotFormsAreOneLineAndExit1) {
  const std::string good = readBytes(newForm());
  struct Row {
    const char* name;
    std::string content;  // none: the file does not exist
    std::string expected;
  };
  const Row rows[] = {
      {"Missing", "", "cannot read"},
      {"Truncated", good.substr(0, good.size() / 2), ": syntax error"},
      {"NewerMajorVersion", "{\"format\": \"kestrinx-form\", \"version\": \"3.1\"}", "newer than this build reads"},
      {"UnknownClass",
       "{\"format\": \"kestrinx-form\", \"version\": \"1.0\", \"name\": \"F\", \"controls\": [{\"name\": \"g\", "
       "\"class\": \"Other.Grid\", \"left\": 0, \"top\": 0, \"width\": 1, \"height\": 1, \"properties\": []}]}",
       "control 'g': class 'Other.Grid' is not known to this build"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = dir.file(std::string(row.name) + ".kxform");
    if (!row.content.empty()) writeBytes(path, row.content);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"form", "show", path}, {"form", "set", path, "g.Caption=x"}, {"form", "try", path, "g"}}) {
      const ToolRun r = run(args);
      EXPECT_EQ(r.status, 1) << args[1];
      expectOneLine(r, row.expected);
      if (!row.content.empty()) {
        EXPECT_EQ(readBytes(path), row.content);
      }
    }
  }
}

TEST_F(FormCommand, TryTypesIntoTheNamedControlAsTheFormHasIt) {
  const std::string path = newForm();
  ASSERT_EQ(run({"form", "set", path, "numAmount.KestrinType=1"}).status, 0);
  const ToolRun r = run({"form", "try", path, "NUMAMOUNT", "--strict"}, "1234567\n12a\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')).rfind("valid   \"1,234,567\"", 0), 0u) << r.out;
  const ToolRun none = run({"form", "try", path, "txtNone"});
  EXPECT_EQ(none.status, 2);
  expectOneLine(none, "has no control 'txtNone'");
}

TEST_F(FormCommand, BadUsageIsOneLineAndExit2) {
  const std::vector<std::vector<std::string>> rows = {
      {"form"}, {"form", "bogus"}, {"form", "new", dir.file("x.kxform")}, {"form", "show"},
      {"form", "show", "a", "b"}, {"form", "set", dir.file("x.kxform"), "Caption=1"},
      {"form", "try", dir.file("x.kxform")}, {"form", "try", "a", "b", "--today", "2026-13-01"},
      {"form", "new", dir.file("x.kxform"), "a", "--name", "my form"}};
  for (const auto& args : rows) {
    const ToolRun r = run(args);
    EXPECT_EQ(r.status, 2) << args.size();
    expectOneLine(r, "");
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.kxform")));
  const ToolRun help = run({"form", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("form new FILE NAME..."), std::string::npos);
}

// The example form the README shows opens as it is committed.
TEST_F(FormCommand, TheExampleFormOpens) {
  const ToolRun r = run({"form", "show", sourceRoot() + "/examples/contacts.kxform"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find(": 4 controls\n"), std::string::npos);
}

}  // namespace
}  // namespace kestrinx::testing
