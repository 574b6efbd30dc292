// What the reader makes of files its parser refuses: the place of the first byte that is not
// JSON, with the control and property being read there, or an earlier refusal of the format; and
// JSON the parser would pass over unread (a string followed by ':' inside an array) refused.
#include <gtest/gtest.h>

#include <string>

#include "forms/form_file.h"

namespace kestrinx::testing {
namespace {

struct FaultRow {
  const char* name;
  std::string text;
  std::string what;  // the whole message
};

TEST(FormReader, AFileThatStopsBeingJsonIsRefusedAtThatPlaceWithTheControlAndKeyBeingRead) {
  const std::string head =
      "{\"format\":\"kestrinx-form\",\"version\":\"1.0\",\"name\":\"F\",\"controls\":[\n"
      "{\"name\":\"txtA\",\"class\":\"X.Y\",\"left\":0,\"top\":0,\"width\":1,\"height\":1,\"properties\":[\n";
  const FaultRow rows[] = {
      {"CutInsideAValue", head + "[\"Caption\",\"String\",\"Na",
       "f.kxform:3:24: control 'txtA', property 'Caption': syntax error: invalid string: missing closing quote"},
      {"CutAfterAKey", head + "[\"Caption\"", "f.kxform:3:11: control 'txtA', property 'Caption': syntax error: the text ends early"},
      {"NotUtf8LaterInTheFile", head + "[\"Caption\",\"String\",\"a\"],\n[\"Text\",\"String\",\"\xff\"]]}]}",
       "f.kxform:4:19: control 'txtA', property 'Text': syntax error: invalid string: ill-formed UTF-8 byte"},
      {"ARefusalOfTheFormatBeforeTheFault", head + "[\"Caption\",\"Long\",\"a\"],\n[\"Text\",\"String\",\"\xff\"]]}]}",
       "f.kxform:3:19: control 'txtA', property 'Caption': found a string; a Long is a whole number from "
       "-2147483648 to 2147483647"},
      {"AStringFollowedByAColonInAnEntry", head + "[\"Caption\",\"String\",\"a\":\"b\"]]}]}",
       "f.kxform:3:24: control 'txtA', property 'Caption': syntax error: unexpected ':'; expected ',' or ']'"},
      {"AByteOrderMarkCutShort", "\xEF\xBB{}", "f.kxform:1:2: syntax error: invalid byte order mark; it is 0xEF 0xBB 0xBF"},
      {"TextAfterTheForm", head + "]}]}\n}", "f.kxform:4:1: syntax error: text after the form's closing brace ('}')"},
  };
  for (const FaultRow& row : rows) {
    SCOPED_TRACE(row.name);
    try {
      forms::parseForm(row.text, "f.kxform");
      ADD_FAILURE() << "read without an error";
    } catch (const forms::FormFileError& e) {
      EXPECT_EQ(std::string(e.what()), row.what);
    }
  }
}

// A byte order mark may open the file; places after it are counted as without it, but for
// the mark's one column.
TEST(FormReader, AByteOrderMarkMayOpenTheFile) {
  const std::string form = "{\"format\":\"kestrinx-form\",\"version\":\"1.0\",\"name\":\"F\",\"controls\":[]}";
  EXPECT_EQ(forms::parseForm("\xEF\xBB\xBF" + form, "f.kxform").name, "F");
  try {
    forms::parseForm("\xEF\xBB\xBF{\"name\":1}", "f.kxform");
    ADD_FAILURE() << "read without an error";
  } catch (const forms::FormFileError& e) {
    EXPECT_EQ(e.column(), 3u);
  }
}

}  // namespace
}  // namespace kestrinx::testing
