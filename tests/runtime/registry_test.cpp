// The registry: its file format, files it refuses, where the file is, atomic saving, and what
// registering and unregistering the library write and remove.
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "runtime/registration.h"
#include "runtime/registry.h"
#include "runtime/runtime_fixture.h"

namespace kestrinx::testing {
namespace {

using runtime::Registry;
using runtime::RegistryError;

TEST(Registry, TheFileIsSortedJsonOfKeysAndValues) {
  Registry r;
  r.setValue("CLSID\\{X}", "", "Kestrin");
  r.setValue("clsid\\{x}\\InprocServer32", "ThreadingModel", "Apartment");
  r.createKey("CLSID\\{X}\\Control");
  r.setValue("Alpha", "b", "2");
  r.setValue("Alpha", "A", "1");
  const std::string json = r.toJson();
  EXPECT_EQ(json, R"({
  "format": "kestrinx-registry",
  "version": 1,
  "keys": {
    "Alpha": {
      "values": {
        "A": "1",
        "b": "2"
      }
    },
    "CLSID": {
      "keys": {
        "{X}": {
          "values": {
            "": "Kestrin"
          },
          "keys": {
            "Control": {},
            "InprocServer32": {
              "values": {
                "ThreadingModel": "Apartment"
              }
            }
          }
        }
      }
    }
  }
}
)");
  EXPECT_EQ(Registry::fromJson(json), r);
  EXPECT_EQ(r.find("CLSID\\{x}")->values.at(""), "Kestrin");  // names do not depend on case
  EXPECT_THROW(r.find("CLSID\\\\{X}"), RegistryError);         // an empty name
}

TEST(Registry, FilesThatAreNotRegistriesAreRefusedAndLeftAsTheyAre) {
  struct Row {
    const char* name;
    std::string text;
  };
  std::string deep = R"({"format":"kestrinx-registry","version":1,"keys":)";
  for (int i = 0; i < 40; ++i) deep += R"({"k":{"keys":)";
  deep += "{}";
  for (int i = 0; i < 40; ++i) deep += "}}";
  deep += "}";
  const std::string head = R"({"format":"kestrinx-registry","version":1,)";
  const Row rows[] = {
      {"not JSON", "{\"format\": "},
      {"empty", ""},
      {"another format", R"({"format":"other","version":1,"keys":{}})"},
      {"a newer version", R"({"format":"kestrinx-registry","version":2,"keys":{}})"},
      {"an unknown member", head + R"("keys":{},"extra":1})"},
      {"an unknown key member", head + R"("keys":{"A":{"values":{},"comment":"x"}}})"},
      {"a value that is not text", head + R"("keys":{"A":{"values":{"":1}}}})"},
      {"two names differing in case", head + R"("keys":{"A":{},"a":{}}})"},
      {"a name with a backslash", head + R"("keys":{"A\\B":{}}})"},
      {"keys nested too deep", deep},
  };
  TempDir folder;
  const std::string path = folder.file("registry.json");
  runtime::Project project = packaging::kestrinxProject("/opt/kestrinx/lib/libKestrinX.so.1");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    writeBytes(path, row.text);
    EXPECT_THROW(runtime::loadRegistry(path), RegistryError);
    EXPECT_EQ(runtime::registerServer(project, {path}), KX_SELFREG_E_CLASS);
    EXPECT_EQ(readBytes(path), row.text);
  }
}

TEST(Registry, TheFileIsFoundThroughTheConfigurationAndTheEnvironment) {
  struct Saved {
    const char* name;
    std::optional<std::string> value;
  };
  std::vector<Saved> saved;
  for (const char* name : {"KESTRINX_REGISTRY", "XDG_DATA_HOME", "HOME"}) {
    const char* v = ::getenv(name);
    saved.push_back({name, v ? std::optional<std::string>(v) : std::nullopt});
  }
  struct Row {
    const char* name;
    std::optional<std::string> explicitPath, registry, data, home;
    std::string expected;
  };
  const Row rows[] = {
      {"explicit path first", "/x/r.json", "/env/r.json", "/data", "/home/u", "/x/r.json"},
      {"then the variable", std::nullopt, "/env/r.json", "/data", "/home/u", "/env/r.json"},
      {"then the data folder", std::nullopt, std::nullopt, "/data", "/home/u", "/data/kestrinx/registry.json"},
      {"a relative data folder is ignored", std::nullopt, std::nullopt, "data", "/home/u",
       "/home/u/.local/share/kestrinx/registry.json"},
      {"empty variables are unset", std::nullopt, "", "", "/home/u", "/home/u/.local/share/kestrinx/registry.json"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto set = [](const char* name, const std::optional<std::string>& v) {
      if (v) ::setenv(name, v->c_str(), 1); else ::unsetenv(name);
    };
    set("KESTRINX_REGISTRY", row.registry);
    set("XDG_DATA_HOME", row.data);
    set("HOME", row.home);
    EXPECT_EQ(runtime::registryPath({row.explicitPath}), row.expected);
  }
  for (const Saved& s : saved) {
    if (s.value) ::setenv(s.name, s.value->c_str(), 1); else ::unsetenv(s.name);
  }
}

TEST(Registry, SavingReplacesTheFileWholeAndCreatesItsFolder) {
  TempDir folder;
  const std::string path = folder.file("a/b/registry.json");
  Registry r;
  r.setValue("K", "", "one");
  runtime::saveRegistry(path, r);
  r.setValue("K", "", "two");
  runtime::saveRegistry(path, r);
  EXPECT_EQ(runtime::loadRegistry(path), r);
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(folder.file("a/b")))
    files.push_back(e.path().filename().string());
  EXPECT_EQ(files, std::vector<std::string>{"registry.json"});  // no temporary file left behind
  EXPECT_EQ(runtime::loadRegistry(folder.file("missing.json")), Registry{});
}

class Registration : public RuntimeTest {
 protected:
  TempDir folder;
  std::string path = folder.file("registry.json");
  runtime::Configuration config{path};
};

TEST_F(Registration, RegisteringWritesBothClassesTheTypeLibraryAndTheInterfaces) {
  ASSERT_EQ(runtime::registerServer(project, config), KX_S_OK);
  const Registry r = runtime::loadRegistry(path);
  const auto value = [&](const std::string& key, const std::string& name = "") -> std::string {
    const runtime::RegistryKey* k = r.find(key);
    return k != nullptr && k->values.count(name) ? k->values.at(name) : "(none)";
  };
  const std::string kestrin = "CLSID\\{A7D52C63-91AD-11D2-A265-00A0C93C9297}";
  const std::string general = "CLSID\\{A7D52C6D-91AD-11D2-A265-00A0C93C9297}";
  const std::string lib = "/opt/kestrinx/lib/libKestrinX.so.1";
  EXPECT_EQ(value(kestrin), "Kestrin");
  EXPECT_EQ(value(kestrin + "\\InprocServer32"), lib);
  EXPECT_EQ(value(kestrin + "\\ProgID"), "KestrinX.Kestrin");
  EXPECT_EQ(value(kestrin + "\\ToolboxBitmap32"), lib + ", 30000");
  EXPECT_NE(r.find(kestrin + "\\Control"), nullptr);
  EXPECT_EQ(value(general + "\\ProgID"), "KestrinX.General");
  EXPECT_EQ(r.find(general + "\\Control"), nullptr);  // a page is not a control
  EXPECT_EQ(value("KestrinX.General\\CLSID"), "{A7D52C6D-91AD-11D2-A265-00A0C93C9297}");
  EXPECT_EQ(value("TypeLib\\{A7D52C6E-91AD-11D2-A265-00A0C93C9297}\\1.0\\409\\win32"), lib);
  EXPECT_EQ(value("Interface\\{A7D52C6B-91AD-11D2-A265-00A0C93C9297}"), "__Kestrin");
  EXPECT_EQ(value("Interface\\{A7D52C6C-91AD-11D2-A265-00A0C93C9297}\\TypeLib", "Version"), "1.0");
}

TEST_F(Registration, RegisterUnregisterAndRegisterAgainLeaveTheSameRegistryAndOthersEntriesAlone) {
  // Someone else's class, and a value someone added under ours.
  Registry others;
  others.setValue("CLSID\\{00000000-0000-0000-0000-00000000AAAA}\\InprocServer32", "", "/usr/lib/other.so");
  others.setValue("CLSID\\{A7D52C63-91AD-11D2-A265-00A0C93C9297}\\Implemented Categories", "", "x");
  runtime::saveRegistry(path, others);
  const std::string before = readBytes(path);

  ASSERT_EQ(runtime::registerServer(project, config), KX_S_OK);
  const std::string registered = readBytes(path);
  ASSERT_EQ(runtime::registerServer(project, config), KX_S_OK);
  EXPECT_EQ(readBytes(path), registered);  // twice is once
  ASSERT_EQ(runtime::unregisterServer(project, config), KX_S_OK);
  EXPECT_EQ(readBytes(path), before);
  ASSERT_EQ(runtime::unregisterServer(project, config), KX_S_OK);
  EXPECT_EQ(readBytes(path), before);
  ASSERT_EQ(runtime::registerServer(project, config), KX_S_OK);
  EXPECT_EQ(readBytes(path), registered);

  // From an empty registry, unregistering leaves an empty registry.
  std::filesystem::remove(path);
  ASSERT_EQ(runtime::registerServer(project, config), KX_S_OK);
  ASSERT_EQ(runtime::unregisterServer(project, config), KX_S_OK);
  EXPECT_EQ(runtime::loadRegistry(path), Registry{});
}

}  // namespace
}  // namespace kestrinx::testing
