// Form files on their own: typed values through the text, the text's layout, every kind of
// damaged or hostile file as one clear error with its place, newer versions, the limits, and the
// file-backed property bag.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "forms/form_file.h"
#include "forms/form_property_bag.h"
#include "support/temp_dir.h"
#include "support/test_helpers.h"

namespace kestrinx::testing {
namespace {

using forms::FormEntry;
using forms::FormFile;
using forms::FormFileError;
using values::Variant;
using values::VarType;

values::FontRef fullFont() {
  auto f = std::make_shared<values::Font>();
  f->name = "Fixedsys \xc3\xa9";
  f->size = 10.5f;
  f->bold = true;
  f->italic = true;
  f->underline = true;
  f->strikethrough = true;
  f->weight = 600;
  f->charset = 2;
  return f;
}

values::PictureRef picture(std::string bytes) {
  auto p = std::make_shared<values::Picture>();
  p->type = 3;
  p->width = -7;
  p->height = 2147483647;
  p->bytes = std::move(bytes);
  return p;
}

FormFile oneControl(std::vector<FormEntry> entries) {
  FormFile f;
  f.name = "Contacts";
  f.controls.push_back({"txtName", "KestrinX.Kestrin", {120, -240.5f, 4800, 360}, std::move(entries)});
  return f;
}

struct ValueRow {
  const char* name;
  Variant value;
};

// Every kind a bag holds comes back with its type and its exact value, and writing what was read
// gives the same text again.
TEST(FormFile, TypedValuesKeepTheirTypesAndValues) {
  const ValueRow rows[] = {
      {"IntegerLowest", Variant::integer(-32768)},
      {"IntegerHighest", Variant::integer(32767)},
      {"LongLowest", Variant::longValue(std::numeric_limits<std::int32_t>::min())},
      {"LongColour", Variant::longValue(static_cast<std::int32_t>(0x80000005u))},
      {"BooleanTrue", Variant::boolean(values::True)},
      {"BooleanFalse", Variant::boolean(values::False)},
      {"BooleanUnnormalised", Variant::boolean(1)},
      {"SingleWhole", Variant::single(408.0f)},
      {"SingleShortest", Variant::single(0.1f)},
      {"SingleNegativeZero", Variant::single(-0.0f)},
      {"SingleLargest", Variant::single(FLT_MAX)},
      {"SingleSubnormal", Variant::single(std::numeric_limits<float>::denorm_min())},
      {"SingleNaN", Variant::single(std::numeric_limits<float>::quiet_NaN())},
      {"SingleInfinity", Variant::single(-std::numeric_limits<float>::infinity())},
      {"DoubleThird", Variant::doubleValue(1.0 / 3)},
      {"DoubleLarge", Variant::doubleValue(1e300)},
      {"DoubleInfinity", Variant::doubleValue(std::numeric_limits<double>::infinity())},
      {"Date", Variant::date(values::Date{36526.75})},
      {"StringEscapes", Variant::string(std::string("tab\t \"quote\" back\\slash nul\0 \x01 caf\xc3\xa9", 36))},
      {"StringNotUtf8", Variant::string("\xff\xfe half \xe2\x82")},
      {"StringEmpty", Variant::string("")},
      {"Empty", Variant()},
      {"FontEveryAttribute", Variant::font(fullFont())},
      {"FontNone", Variant::font(nullptr)},
      {"PictureBytes", Variant::picture(picture(std::string("\0\x01\xff\x7f" "GIF89a", 10)))},
      {"PictureNoBytes", Variant::picture(picture(""))},
      {"PictureNone", Variant::picture(nullptr)},
  };
  std::vector<FormEntry> entries;
  for (const ValueRow& row : rows) entries.push_back({row.name, row.value});
  const FormFile form = oneControl(entries);

  const std::string text = forms::formText(form);
  const FormFile read = forms::parseForm(text, "typed.kxform");
  ASSERT_EQ(read.controls.size(), 1u);
  const std::vector<FormEntry>& back = read.controls[0].properties;
  ASSERT_EQ(back.size(), std::size(rows));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].name);
    EXPECT_EQ(back[i].key, rows[i].name);
    EXPECT_EQ(back[i].value.type(), rows[i].value.type());
    EXPECT_TRUE(values::sameValue(back[i].value, rows[i].value)) << back[i].value.toString() << " written as\n" << text;
  }
  EXPECT_TRUE(forms::sameForm(read, form));
  EXPECT_EQ(read.controls[0].placement, form.controls[0].placement);
  EXPECT_EQ(forms::formText(read), text);
}

// The layout a reader of the file sees: the header on the first line, each control's members on
// a line of their own, then one property per line as [key, type, value].
TEST(FormFile, TheTextLaysOutTheFormOnePropertyPerLine) {
  FormFile form = oneControl({{"Caption", Variant::string("Name")},
                              {"Alignment", Variant::longValue(3)},
                              {"CaptionView", Variant::boolean(values::True)},
                              {"ScaleHeight", Variant::single(360)},
                              {"MousePointer", Variant::integer(2)},
                              {"Note", Variant::string("\xff")},
                              {"MouseIcon", Variant::picture(picture("ab"))}});
  form.controls.push_back({"txtEmpty", "KestrinX.Kestrin", {0, 0, 0, 0}, {}});
  EXPECT_EQ(forms::formText(form),
            "{\"format\":\"kestrinx-form\",\"version\":\"1.0\",\"name\":\"Contacts\",\"controls\":[\n"
            "{\"name\":\"txtName\",\"class\":\"KestrinX.Kestrin\",\"left\":120,\"top\":-240.5,\"width\":4800,"
            "\"height\":360,\"properties\":[\n"
            "[\"Caption\",\"String\",\"Name\"],\n"
            "[\"Alignment\",\"Long\",3],\n"
            "[\"CaptionView\",\"Boolean\",true],\n"
            "[\"ScaleHeight\",\"Single\",360.0],\n"
            "[\"MousePointer\",\"Integer\",2],\n"
            "[\"Note\",\"String\",{\"base64\":\"/w==\"}],\n"
            "[\"MouseIcon\",\"Picture\",{\"type\":3,\"width\":-7,\"height\":2147483647,\"data\":\"YWI=\"}]\n"
            "]},\n"
            "{\"name\":\"txtEmpty\",\"class\":\"KestrinX.Kestrin\",\"left\":0,\"top\":0,\"width\":0,\"height\":0,"
            "\"properties\":[]}\n"
            "]}\n");
  EXPECT_EQ(forms::formText(FormFile{}),
            "{\"format\":\"kestrinx-form\",\"version\":\"1.0\",\"name\":\"Form1\",\"controls\":[]}\n");
}

// A form around one control whose members and properties are given as JSON text.
std::string formWith(const std::string& controlMembers, const std::string& version = "1.0") {
  return "{\"format\": \"kestrinx-form\", \"version\": \"" + version +
         "\", \"name\": \"F\", \"controls\": [{\"name\": \"a\", \"class\": \"X.Y\", " + controlMembers + "}]}";
}
std::string formWithProperty(const std::string& entry) {
  return formWith("\"left\": 0, \"top\": 0, \"width\": 1, \"height\": 1, \"properties\": [" + entry + "]");
}
std::string deep(std::size_t levels) { return std::string(levels, '[') + std::string(levels, ']'); }

struct DamageRow {
  const char* name;
  std::string text;
  std::string expected;  // what() holds this
};

// Each damaged or hostile file is refused with one FormFileError naming the file and the place.
TEST(FormFile, DamagedFilesAreOneClearErrorWithThePlace) {
  const std::string placed = "\"left\": 0, \"top\": 0, \"width\": 1, \"height\": 1, ";
  const DamageRow rows[] = {
      {"Empty", "", "bad.kxform:1:1: syntax error"},
      {"NotJson", "form: 1", "bad.kxform:1:2: syntax error"},
      {"TrailingText", formWithProperty("") + " x", "syntax error"},
      {"NotAnObject", "[1, 2]", "bad.kxform:1:1: a form file is one JSON object"},
      {"WrongFormat", "{\"format\": \"other\", \"version\": \"1.0\"}", "not a form file"},
      {"FormatNotFirst", "{\"name\": \"F\"}", "a form file starts with \"format\""},
      {"NewerMajorVersion", "{\"format\": \"kestrinx-form\", \"version\": \"2.0\", \"name\": [1]}",
       "bad.kxform:1:40: the form is version 2.0, newer than this build reads (1.x)"},
      {"UnknownOlderVersion", "{\"format\": \"kestrinx-form\", \"version\": \"0.9\"}", "unknown version 0.9"},
      {"MalformedVersion", "{\"format\": \"kestrinx-form\", \"version\": \"1\"}", "the version '1' is not MAJOR.MINOR"},
      {"NumericVersion", "{\"format\": \"kestrinx-form\", \"version\": 1.0}", "\"version\" must be a string"},
      {"MissingControls", "{\"format\": \"kestrinx-form\", \"version\": \"1.0\", \"name\": \"F\"}",
       "the form has no 'controls'"},
      {"ControlsNotAnArray", "{\"format\": \"kestrinx-form\", \"version\": \"1.0\", \"controls\": {}}",
       "\"controls\" must be an array"},
      {"UnknownMemberInOwnVersion", formWith(placed + "\"colour\": 1, \"properties\": []"),
       "control 'a': unknown member 'colour'"},
      {"DuplicateMember", formWith(placed + "\"left\": 2, \"properties\": []"),
       "control 'a': the member 'left' appears twice"},
      {"MissingMember", formWith("\"left\": 0, \"properties\": []"), "control 'a': the control has no 'top'"},
      {"BadControlName",
       "{\"format\": \"kestrinx-form\", \"version\": \"1.0\", \"name\": \"F\", \"controls\": "
       "[{\"name\": \"2nd box\"}]}",
       "control #1: the control name '2nd box' is not a name"},
      {"DuplicateControlName",
       "{\"format\": \"kestrinx-form\", \"version\": \"1.0\", \"name\": \"F\", \"controls\": [{\"name\": \"txtA\", "
       "\"class\": \"X\", " +
           placed + "\"properties\": []},\n {\"name\": \"TXTA\"}]}",
       "bad.kxform:2:11: control #2: two controls are named 'TXTA'"},
      {"DuplicateKey", formWithProperty("[\"Text\", \"String\", \"a\"], [\"Text\", \"String\", \"b\"]"),
       "control 'a': the property 'Text' appears twice"},
      {"WrongTypeUnderKey", formWithProperty("[\"Interval\", \"Long\", \"abc\"]"),
       "control 'a', property 'Interval': found a string; a Long is a whole number"},
      {"LongTooLarge", formWithProperty("[\"Interval\", \"Long\", 2147483648]"),
       "property 'Interval': found a whole number"},
      {"IntegerTooLarge", formWithProperty("[\"LinkMode\", \"Integer\", 40000]"), "an Integer is a whole number"},
      {"HugeInteger", formWithProperty("[\"N\", \"Long\", 123456789012345678901234567890]"),
       "a Long is a whole number"},
      {"HugeExponent", formWithProperty("[\"N\", \"Double\", 1e400]"), "property 'N': number overflow"},
      {"SingleTooLarge", formWithProperty("[\"S\", \"Single\", 1e39]"), "a Single is a number within"},
      {"FractionForInteger", formWithProperty("[\"N\", \"Integer\", 2.5]"), "an Integer is a whole number"},
      {"UnknownValueType", formWithProperty("[\"N\", \"Currency\", 1]"), "property 'N': unknown value type 'Currency'"},
      {"DataObjectType", formWithProperty("[\"N\", \"DataObject\", null]"), "unknown value type 'DataObject'"},
      {"PropertyWithoutValue", formWithProperty("[\"N\", \"Long\"]"), "the property has no value"},
      {"PropertyWithFourItems", formWithProperty("[\"N\", \"Long\", 1, 2]"), "this one has more items"},
      {"PropertyAsObject", formWithProperty("{\"N\": 1}"), "each property is [key, type, value]"},
      {"EmptyKey", formWithProperty("[\"\", \"Long\", 1]"), "a property key has 1 to 255 bytes"},
      {"FontMissingAttribute", formWithProperty("[\"Font\", \"Font\", {\"name\": \"Arial\", \"size\": 8}]"),
       "property 'Font': the font has no 'bold'"},
      {"FontSizeZero",
       formWithProperty("[\"Font\", \"Font\", {\"name\": \"A\", \"size\": 0, \"bold\": false, \"italic\": false, "
                        "\"underline\": false, \"strikethrough\": false, \"weight\": 400, \"charset\": 0}]"),
       "a font's size is a number above 0"},
      {"PictureNotBase64",
       formWithProperty("[\"Icon\", \"Picture\", {\"type\": 3, \"width\": 1, \"height\": 1, \"data\": \"a*==\"}]"),
       "property 'Icon': a picture's data is not base64"},
      {"StringBytesNotBase64", formWithProperty("[\"T\", \"String\", {\"base64\": \"abc\"}]"), "not base64"},
      {"PlacementOutOfRange", formWith("\"left\": 1e8, \"properties\": []"),
       "control 'a': 'left' must be a number from -10000000 to 10000000"},
      {"NegativeWidth", formWith("\"left\": 0, \"top\": 0, \"width\": -1, \"properties\": []"),
       "'width' must be a number from 0"},
      {"NotUtf8InString", formWithProperty("[\"T\", \"String\", \"\xff\"]"), "ill-formed UTF-8"},
      {"NotUtf8OutsideStrings", "{\"format\": \"kestrinx-form\", \xc3\xa9}", "bad.kxform:1:29: syntax error"},
      {"DeepNestingInANewerMinor",
       "{\"format\": \"kestrinx-form\", \"version\": \"1.5\", \"name\": \"F\", \"extra\": " + deep(100000) + "}",
       "nested deeper than 16 levels"},
      {"DeepNestingWhereNoneBelongs", "{\"format\": " + deep(100000) + "}", "not a form file"},
      {"Truncated", formWithProperty("[\"T\", \"String\", \"ab").substr(0, 150), "bad.kxform:1:"},
  };
  for (const DamageRow& row : rows) {
    SCOPED_TRACE(row.name);
    try {
      forms::parseForm(row.text, "bad.kxform");
      ADD_FAILURE() << "read without an error";
    } catch (const FormFileError& e) {
      const std::string what = e.what();
      EXPECT_NE(what.find(row.expected), std::string::npos) << what;
      EXPECT_EQ(what.rfind("bad.kxform:", 0), 0u) << what;
      EXPECT_EQ(what.find('\n'), std::string::npos) << what;
      EXPECT_EQ(e.file(), "bad.kxform");
    }
  }
}

// A small form with every kind of value, cut after each of its bytes: every cut is an error
// (the text stays valid only once the form's closing brace is in).
TEST(FormFile, AFormCutAtAnyByteIsAnError) {
  const std::string text = forms::formText(oneControl({{"Caption", Variant::string("N\xc3\xa9")},
                                                      {"Interval", Variant::longValue(-80)},
                                                      {"Scale", Variant::single(1.5f)},
                                                      {"Font", Variant::font(fullFont())},
                                                      {"Icon", Variant::picture(picture("xyz"))},
                                                      {"Raw", Variant::string("\xff")},
                                                      {"Nothing", Variant()}}));
  const std::size_t lastBrace = text.rfind('}');
  for (std::size_t n = 0; n <= lastBrace; ++n) {
    SCOPED_TRACE(n);
    EXPECT_THROW(forms::parseForm(text.substr(0, n), "cut.kxform"), FormFileError);
  }
  EXPECT_NO_THROW(forms::parseForm(text.substr(0, lastBrace + 1), "cut.kxform"));
}

// A newer minor version is read: members this build does not know are passed over wherever they
// stand, and everything it knows is read as usual.
TEST(FormFile, ANewerMinorVersionIsReadWithoutItsNewMembers) {
  const std::string text =
      "{\"format\": \"kestrinx-form\", \"version\": \"1.12\", \"theme\": {\"dark\": [true, {\"a\": null}]},"
      " \"name\": \"F\", \"controls\": [{\"name\": \"a\", \"tabIndex\": 3, \"class\": \"X\", \"left\": 1, "
      "\"top\": 2, \"width\": 3, \"height\": 4, \"properties\": [[\"Font\", \"Font\", {\"name\": \"Arial\", "
      "\"size\": 9, \"bold\": false, \"italic\": false, \"underline\": false, \"strikethrough\": false, \"weight\": "
      "400, \"charset\": 0, \"quality\": 5}], [\"T\", \"String\", {\"base64\": \"/w==\", \"note\": 1}]]}]}";
  const FormFile form = forms::parseForm(text, "new.kxform");
  EXPECT_EQ(form.versionMajor, 1);
  EXPECT_EQ(form.versionMinor, 12);
  ASSERT_EQ(form.controls.size(), 1u);
  EXPECT_EQ(form.controls[0].placement, (forms::Placement{1, 2, 3, 4}));
  ASSERT_EQ(form.controls[0].properties.size(), 2u);
  EXPECT_EQ(form.controls[0].properties[0].value.toFont()->name, "Arial");
  EXPECT_EQ(form.controls[0].properties[1].value, Variant::string("\xff"));
  // Saved again, the form is this build's version.
  EXPECT_NE(forms::formText(form).find("\"version\":\"1.0\""), std::string::npos);
}

// The bounds that keep any file from exhausting memory: counts are checked as they grow.
TEST(FormFile, FilesBeyondTheLimitsAreRefused) {
  std::string controls;
  for (std::size_t i = 0; i <= forms::FormLimits::Controls; ++i)
    controls += (i ? "," : "") + std::string("{\"name\": \"c") + std::to_string(i) +
                "\", \"class\": \"X\", \"left\": 0, \"top\": 0, \"width\": 0, \"height\": 0, \"properties\": []}";
  const std::string manyControls =
      "{\"format\": \"kestrinx-form\", \"version\": \"1.0\", \"name\": \"F\", \"controls\": [" + controls + "]}";
  std::string entries;
  for (std::size_t i = 0; i <= forms::FormLimits::PropertiesPerControl; ++i)
    entries += (i ? "," : "") + std::string("[\"k") + std::to_string(i) + "\", \"Empty\", null]";
  const DamageRow rows[] = {
      {"TooManyControls", manyControls, "more than 10000 controls"},
      {"TooManyProperties", formWithProperty(entries), "more than 1024 properties"},
      {"TooLarge", std::string(forms::FormLimits::FileBytes + 1, ' '), "larger than 67108864 bytes"},
  };
  for (const DamageRow& row : rows) {
    SCOPED_TRACE(row.name);
    try {
      forms::parseForm(row.text, "big.kxform");
      ADD_FAILURE() << "read without an error";
    } catch (const FormFileError& e) {
      EXPECT_NE(std::string(e.what()).find(row.expected), std::string::npos) << e.what();
    }
  }
}

// What the writer refuses, it refuses before touching the file.
TEST(FormFile, FormsAFileCannotHoldAreRefusedAndTheFileStays) {
  TempDir dir;
  const std::string path = dir.file("form.kxform");
  writeBytes(path, "old bytes");
  struct Row {
    const char* name;
    FormFile form;
    std::string expected;
  };
  FormFile twoNamesAlike = oneControl({});
  twoNamesAlike.controls.push_back(twoNamesAlike.controls[0]);
  twoNamesAlike.controls[1].name = "TXTNAME";
  const Row rows[] = {
      {"DataObject", oneControl({{"Drag", Variant::dataObject(std::make_shared<values::DataObject>())}}),
       "control 'txtName', property 'Drag': a DataObject cannot be kept in a form file"},
      {"DuplicateKey", oneControl({{"A", Variant()}, {"A", Variant()}}), "property 'A': the key appears twice"},
      {"BadFont", oneControl({{"Font", Variant::font(values::makeFont("", 8))}}), "a font's name is UTF-8 text"},
      {"TwoControlsOneName", twoNamesAlike, "control 'TXTNAME': two controls have this name"},
      {"FormNameNotAName", [] {
         FormFile f;
         f.name = "my form";
         return f;
       }(),
       "the form name 'my form' is not a name"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    try {
      forms::writeFormFile(path, row.form);
      ADD_FAILURE() << "written";
    } catch (const FormFileError& e) {
      EXPECT_NE(std::string(e.what()).find(row.expected), std::string::npos) << e.what();
      EXPECT_EQ(std::string(e.what()).rfind(path + ": ", 0), 0u) << e.what();
    }
    EXPECT_EQ(readBytes(path), "old bytes");
  }
}

// A save over a file read earlier is refused, naming the file and leaving it as it is, when
// another program has changed, removed or made the file since; the same bytes written again
// are no change. A save that goes through is what the next one is checked against.
TEST(FormFile, ASaveOverAFileChangedSinceItWasReadIsRefused) {
  TempDir dir;
  const std::string path = dir.file("form.kxform");
  const FormFile mine = oneControl({{"Caption", Variant::string("mine")}});
  forms::writeFormFile(path, oneControl({}));
  const std::string original = readBytes(path);
  struct Row {
    const char* name;
    std::function<void()> meanwhile;  // what the other program does after the read
    bool refused;
  };
  const Row rows[] = {
      {"Changed", [&] { writeBytes(path, original + " "); }, true},
      {"Removed", [&] { std::filesystem::remove(path); }, true},
      {"WrittenAgainAlike", [&] { forms::writeFormFile(path, oneControl({})); }, false},
      {"Untouched", [] {}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    forms::writeFormFile(path, oneControl({}));
    forms::FileStamp stamp;
    forms::readFormFile(path, stamp);
    row.meanwhile();
    const std::string before = std::filesystem::exists(path) ? readBytes(path) : "(none)";
    try {
      forms::writeFormFileUnlessChanged(path, mine, stamp);
      EXPECT_FALSE(row.refused);
      EXPECT_EQ(readBytes(path), forms::formText(mine));
      forms::writeFormFileUnlessChanged(path, oneControl({}), stamp);  // checked against what it saved
    } catch (const forms::FormFileChangedError& e) {
      EXPECT_TRUE(row.refused);
      EXPECT_EQ(e.path(), path);
      EXPECT_EQ(std::string(e.what()).rfind("cannot save " + path + ": the file has changed on disk", 0), 0u);
      EXPECT_EQ(std::filesystem::exists(path) ? readBytes(path) : "(none)", before);
    }
  }

  // A form to be new is refused where a file has appeared.
  forms::FileStamp none;
  EXPECT_THROW(forms::writeFormFileUnlessChanged(path, mine, none), forms::FormFileChangedError);
  std::filesystem::remove(path);
  forms::writeFormFileUnlessChanged(path, mine, none);
  EXPECT_EQ(readBytes(path), forms::formText(mine));
}

// Duplicate keys are found however many keys a control has and however alike they are: keys
// that differ only inside, a control past the hash set's room, the shortest of two repeated keys.
TEST(FormFile, EveryRepeatedKeyIsFoundAndNoOtherIs) {
  const auto keys = [](std::vector<std::string> names) {
    std::vector<FormEntry> entries;
    for (std::string& n : names) entries.push_back({std::move(n), Variant()});
    return entries;
  };
  std::vector<std::string> many;
  for (int i = 0; i < 300; ++i) many.push_back("Key" + std::to_string(i));
  std::vector<std::string> manyTwice = many;
  manyTwice.push_back("Key123");
  struct Row {
    const char* name;
    std::vector<FormEntry> entries;
    std::string twice;  // "" when the form is written
  };
  const Row rows[] = {
      {"AlikeButForTheMiddle",
       keys({"ColorInValidUseXYZ", "ColorInValidUseXYZ1", "ColorInValidUse_XYZ", "ColorOnValidUseXYZ", "A", "B"}), ""},
      {"LongKeyTwice", keys({"ColorInValidUseAndMore", "X", "ColorInValidUseAndMore"}), "ColorInValidUseAndMore"},
      {"ShortestOfTwo", keys({"Caption", "Text", "Caption", "Text"}), "Text"},
      {"ManyKeys", keys(many), ""},
      {"ManyKeysOneTwice", keys(manyTwice), "Key123"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const FormFile form = oneControl(row.entries);
    if (row.twice.empty()) {
      EXPECT_EQ(forms::parseForm(forms::formText(form), "f").controls.at(0).properties.size(), row.entries.size());
      continue;
    }
    try {
      forms::formText(form);
      ADD_FAILURE() << "written";
    } catch (const FormFileError& e) {
      EXPECT_EQ(e.key(), row.twice);
    }
  }
}

// ---- the file-backed property bag ----------------------------------------------------------

struct BagRow {
  const char* name;
  std::vector<FormEntry> before;
  std::vector<std::pair<std::string, Variant>> writes;  // each with the default Integer 0
  std::vector<std::pair<std::string, Variant>> after;
};

TEST(FormPropertyBag, WritesKeepEachKeyOnceInItsPlace) {
  const Variant zero = Variant::integer(0);
  const BagRow rows[] = {
      {"NewKeysAreAddedInOrder", {}, {{"A", Variant::longValue(1)}, {"B", Variant::longValue(2)}},
       {{"A", Variant::longValue(1)}, {"B", Variant::longValue(2)}}},
      {"AKeyWrittenTwiceKeepsTheLaterValueInTheFirstPlace", {},
       {{"Text", Variant::string("one")}, {"X", Variant::longValue(1)}, {"Text", Variant::string("zero")}},
       {{"Text", Variant::string("zero")}, {"X", Variant::longValue(1)}}},
      {"AValueEqualToItsDefaultIsNotStored", {}, {{"A", zero}, {"B", Variant::longValue(0)}},
       {{"B", Variant::longValue(0)}}},  // a Long 0 is not the Integer 0 written with it
      {"AValueBackAtItsDefaultRemovesTheKey", {{"A", Variant::longValue(5)}, {"B", Variant::longValue(6)}},
       {{"A", zero}}, {{"B", Variant::longValue(6)}}},
      {"AKeyWrittenTwiceEndingAtItsDefaultIsGone", {},
       {{"Text", Variant::string("one")}, {"Text", zero}}, {}},
      {"KeysNotWrittenStayWhereTheyWere",
       {{"A", Variant::longValue(1)}, {"Future", Variant::string("x")}, {"B", Variant::longValue(2)}},
       {{"B", Variant::longValue(3)}, {"A", Variant::longValue(4)}, {"C", Variant::longValue(5)}},
       {{"A", Variant::longValue(4)}, {"Future", Variant::string("x")}, {"B", Variant::longValue(3)},
        {"C", Variant::longValue(5)}}},
  };
  for (const BagRow& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<FormEntry> entries = row.before;
    forms::FormPropertyBag bag(entries);
    for (const auto& [key, value] : row.writes) bag.writeProperty(key, value, zero);
    ASSERT_EQ(entries.size(), row.after.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(entries[i].key, row.after[i].first);
      EXPECT_EQ(entries[i].value, row.after[i].second);
    }
  }
}

TEST(FormPropertyBag, ReadsGiveTheStoredValueOrTheDefaultAndRememberTheKey) {
  const values::FontRef font = values::makeFont("Arial", 9);
  std::vector<FormEntry> entries = {{"Font", Variant::font(font)}, {"Interval", Variant::string("abc")}};
  forms::FormPropertyBag bag(entries);
  EXPECT_EQ(bag.lastKeyRead(), "");
  EXPECT_EQ(bag.readProperty("Interval", Variant::integer(80)), Variant::string("abc"));
  EXPECT_EQ(bag.lastKeyRead(), "Interval");
  EXPECT_EQ(bag.readProperty("Font", Variant()).toFont(), font);  // the stored object itself
  EXPECT_EQ(bag.readProperty("Missing", Variant::integer(7)), Variant::integer(7));
  EXPECT_EQ(bag.lastKeyRead(), "Missing");
  EXPECT_EQ(bag.readProperty("interval", Variant::integer(80)), Variant::integer(80));  // keys are exact
}

// A bag handed its class's reading order answers exactly as one without: reads in order, a key
// read twice, keys out of order and outside the order, exact case; then writes into a new list.
TEST(FormPropertyBag, AnswersAlikeWithOrWithoutTheClassReadingOrder) {
  constexpr std::string_view kOrder[] = {"KestrinType", "Appearance", "Enabled", "Text", "Interval"};
  const forms::FormKeyOrder order(kOrder);
  const Variant none = Variant::integer(0);
  struct Read {
    const char* key;
    Variant expected;
  };
  const Read reads[] = {
      {"KestrinType", none},           {"Appearance", Variant::longValue(2)}, {"Enabled", none},
      {"Enabled", none},               {"Text", Variant::string("t")},        {"Future", Variant::longValue(1)},
      {"Appearance", Variant::longValue(2)}, {"text", none},                  {"Interval", none},
  };
  for (const forms::FormKeyOrder* keys : {static_cast<const forms::FormKeyOrder*>(nullptr), &order}) {
    SCOPED_TRACE(keys ? "with the order" : "without an order");
    std::vector<FormEntry> entries = {
        {"Text", Variant::string("t")}, {"Future", Variant::longValue(1)}, {"Appearance", Variant::longValue(2)}};
    forms::FormPropertyBag bag(entries, keys);
    for (const Read& r : reads) {
      EXPECT_EQ(bag.readProperty(r.key, none), r.expected) << r.key;
      EXPECT_EQ(bag.lastKeyRead(), r.key);
    }
    EXPECT_TRUE(bag.touched(0) && bag.touched(1) && bag.touched(2));

    std::vector<FormEntry> saved;
    forms::FormPropertyBag writer(saved, keys);
    writer.writeProperty("Text", Variant::string("one"), none);
    writer.writeProperty("Newer", Variant::longValue(3), none);
    writer.writeProperty("KestrinType", none, none);
    writer.writeProperty("Text", Variant::string("zero"), none);
    writer.writeProperty("Interval", Variant::longValue(80), none);
    writer.writeProperty("Newer", none, none);
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].key, "Text");
    EXPECT_EQ(saved[0].value, Variant::string("zero"));
    EXPECT_EQ(saved[1].key, "Interval");
    EXPECT_TRUE(writer.wrote("Text") && writer.wrote("KestrinType") && writer.wrote("Newer"));
    EXPECT_FALSE(writer.wrote("Enabled") || writer.wrote("Other"));
    EXPECT_EQ(writer.keysWritten(),
              (std::vector<std::string>{"Text", "Newer", "KestrinType", "Text", "Interval", "Newer"}));
  }
}

}  // namespace
}  // namespace kestrinx::testing
