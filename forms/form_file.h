// Form files: a form's name and its controls in order, each with its instance name, its class,
// its placement on the form and its saved properties, kept as a text file any host can read.
//
// The file is JSON (UTF-8). Its top object starts with the members "format" ("kestrinx-form")
// and "version" ("MAJOR.MINOR"), then "name" and "controls". The writer puts the form's members
// on the first line, each control's members on a line of their own and each property on a line
// of its own, without spaces between items, so a change to one property is a change to one line:
//
//   {"format":"kestrinx-form","version":"1.0","name":"Contacts","controls":[
//   {"name":"txtName","class":"KestrinX.Kestrin","left":120,"top":120,"width":4800,"height":360,"properties":[
//   ["Caption","String","Name"],
//   ["Alignment","Long",3],
//   ["CaptionView","Boolean",true],
//   ["ScaleHeight","Single",360.0],
//   ["LabelFont","Font",{"name":"Arial","size":9.0,"bold":true,"italic":false,"underline":false,"strikethrough":false,"weight":700,"charset":0}],
//   ["MouseIcon","Picture",{"type":3,"width":423,"height":423,"data":"AAABAA..."}]
//   ]}
//   ]}
//
// The reader takes any layout JSON allows (white space between any two items).
//
// Placement is in twips on the form. Each property is [key, type, value] with the type one of
// Empty (value null), Integer (16-bit), Long (32-bit), Single, Double, Boolean (true, false, or
// the 16-bit number of a Boolean that is neither -1 nor 0), Date (the serial number), String,
// Font and Picture (an object, or null for no object). Single and Double are written with a
// decimal point and the fewest digits that read back exactly; "NaN", "Infinity" and "-Infinity"
// stand for the numbers JSON cannot write. A String that is not UTF-8 is written as
// {"base64":"..."}; picture bytes are always base64.
//
// Versions: a file of a newer major version is refused; one of a newer minor version of the same
// major is read, and the members it adds that this build does not know are passed over (they are
// not written back). Members this build does not know in a file of its own version are errors.
// Property keys are case-sensitive, unique within a control, and kept in their order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "forms/atomic_file.h"
#include "values/types.h"
#include "values/variant.h"

namespace kestrinx::forms {

inline constexpr std::string_view FormFormatName = "kestrinx-form";
inline constexpr int FormVersionMajor = 1;
inline constexpr int FormVersionMinor = 0;

// Bounds on what a form file may hold, so that no file can exhaust memory or the stack.
struct FormLimits {
  static constexpr std::size_t FileBytes = 64u << 20;  // 64 MiB
  static constexpr std::size_t Depth = 16;              // nested objects and arrays (the format uses 6)
  static constexpr std::size_t Controls = 10000;
  static constexpr std::size_t PropertiesPerControl = 1024;
  static constexpr std::size_t Properties = 1u << 20;  // over all controls
  static constexpr std::size_t NameLength = 40;         // form and control names
  static constexpr std::size_t TextLength = 255;        // class names and property keys
  static constexpr float Coordinate = 1e7f;             // |left|, |top|, width and height, in twips
};

// Where a control stands on its form, in twips.
struct Placement {
  values::Twips left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const Placement&, const Placement&) = default;
};

// One saved property.
struct FormEntry {
  std::string key;
  values::Variant value;
};

struct FormControl {
  std::string name;    // the instance name: a letter, then letters, digits and '_'
  std::string progId;  // the class the host creates it through
  Placement placement;
  std::vector<FormEntry> properties;  // in order, keys unique
};

struct FormFile {
  std::string name = "Form1";
  int versionMajor = FormVersionMajor;  // as read; a saved file always has this build's version
  int versionMinor = FormVersionMinor;
  std::vector<FormControl> controls;

  // The control of that name (any case), or nullptr.
  const FormControl* find(std::string_view controlName) const;
};

// Forms compare name, controls, placements and entries in order (values by values::sameValue).
bool sameForm(const FormFile& a, const FormFile& b);

// A form file that cannot be read, or a form that cannot be written as one. Carries where: the
// line and column (1-based, 0 when not known), and the control and key when the trouble is in
// one. what() is one line: "FILE:LINE:COLUMN: control 'NAME', property 'KEY': REASON".
class FormFileError : public std::runtime_error {
 public:
  FormFileError(std::string file, std::size_t line, std::size_t column, std::string control, std::string key,
                std::string reason);
  const std::string& file() const { return file_; }
  std::size_t line() const { return line_; }
  std::size_t column() const { return column_; }
  const std::string& control() const { return control_; }
  const std::string& key() const { return key_; }
  const std::string& reason() const { return reason_; }

 private:
  std::string file_;
  std::size_t line_, column_;
  std::string control_, key_, reason_;
};

// Whether `name` can name a form or a control: a letter, then letters, digits and '_', at most
// FormLimits::NameLength characters (ASCII).
bool isValidFormName(std::string_view name);

// Reads a form from the text of a file; `fileName` is used in errors only. Throws FormFileError:
// syntax errors, wrong types, values out of range, bad names, duplicate control names or
// property keys, a wrong format, an unknown or newer major version, exceeded limits.
FormFile parseForm(std::string_view text, const std::string& fileName);

// The text of a form file (this build's version). Deterministic: the same form gives the same
// bytes. Throws FormFileError for what a file cannot hold (a data object, a bad name, a
// duplicate control name or property key, a placement out of range).
std::string formText(const FormFile& form);

// Reads and parses a file. Throws FileAccessError (and FormFileError for the content).
FormFile readFormFile(const std::string& path, FileOps& ops = systemFileOps());
// The same, and `stamp` what the file held, for writeFormFileUnlessChanged.
FormFile readFormFile(const std::string& path, FileStamp& stamp, FileOps& ops = systemFileOps());

// Writes a form file atomically (see forms/atomic_file.h): the text is made before the file is
// touched, so a form that cannot be written leaves the file as it was.
void writeFormFile(const std::string& path, const FormFile& form, FileOps& ops = systemFileOps());

// A save refused because the file is no longer what it was when it was read: another program
// has changed (or removed, or created) it since. what() is one line naming the file.
class FormFileChangedError : public std::runtime_error {
 public:
  explicit FormFileChangedError(std::string path);
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Writes a form file as writeFormFile does, unless the file no longer holds what `expected`
// says it held when it was read (a stamp of no file for a form that is to be new): then it
// throws FormFileChangedError and leaves the file as it is. Afterwards `expected` is the stamp
// of what was written. For one read-change-write, hold the file's FileLock from before the read
// until after this, so that programs which take the lock queue instead of overwriting each
// other, and this check finds only the changes of programs that do not.
void writeFormFileUnlessChanged(const std::string& path, const FormFile& form, FileStamp& expected,
                                FileOps& ops = systemFileOps());

}  // namespace kestrinx::forms
