#include "form_cmd.h"

#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <memory>
#include <optional>

#include "batch.h"
#include "control/kestrin_component.h"
#include "control/member_text.h"
#include "control/members.h"
#include "forms/form_file.h"
#include "forms/form_property_bag.h"
#include "host/headless/headless.h"
#include "host/headless/page_site.h"
#include "options.h"
#include "output.h"
#include "propertypage/general.h"
#include "terminal.h"
#include "values/automation.h"
#include "values/error.h"
#include "values/text.h"

namespace kestrinx::cli {

namespace {

using headless::DocumentControl;
using headless::FormDocument;
using headless::FormMode;

// A request the form refuses: one line and exit status 2, like a bad argument; nothing changed.
class Refusal : public UsageError {
 public:
  using UsageError::UsageError;
};

std::vector<host::ComponentClass> classes() { return {kestrinClass()}; }

Kestrin& kestrinOf(DocumentControl& c) { return dynamic_cast<KestrinComponent&>(c.component()).control(); }

// A value in the table: control characters as '?', so each property keeps one line.
std::string tableText(std::string s) {
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  return s;
}

std::string twips(float v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

// A value the member table does not describe (a key kept for a newer build): its text as the
// tool shows values of that kind.
std::string keptText(const values::Variant& v) {
  switch (v.type()) {
    case values::VarType::Font: return members::fontText(v.toFont());
    case values::VarType::Picture: {
      const values::PictureRef p = v.toPicture();
      return p ? "(picture, " + std::to_string(p->bytes.size()) + " bytes)" : "(none)";
    }
    case values::VarType::DataObject: return "(data object)";
    default: return v.toString();
  }
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

std::string stemOf(const std::string& path) {
  std::string base = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
  return base.substr(0, base.find('.'));
}

// ---- new -------------------------------------------------------------------------------------

int runNew(const std::vector<std::string>& args) {
  std::optional<std::string> file, formName;
  std::vector<std::string> names;
  bool force = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--force") {
      force = true;
    } else if (a == "--name") {
      if (i + 1 >= args.size()) throw UsageError("form new: --name needs a value");
      formName = args[++i];
    } else if (!a.empty() && a[0] == '-') {
      throw UsageError("form new: unknown option " + shown(a) + " (see 'kestrinx form --help')");
    } else if (!file) {
      file = a;
    } else {
      names.push_back(a);
    }
  }
  if (!file || names.empty()) throw UsageError("form new: expected 'form new FILE NAME...'");
  if (!formName) formName = forms::isValidFormName(stemOf(*file)) ? stemOf(*file) : "Form1";
  if (!forms::isValidFormName(*formName))
    throw UsageError("form new: the form name " + shown(*formName) + " is not a name (a letter, then letters, digits and _)");
  // Another command making or changing the file at the same time waits for this one.
  const forms::FileLock lock(*file);
  if (fileExists(*file) && !force) throw Refusal(*file + " exists (use --force to replace it)");

  FormDocument doc(*formName, classes(), FormMode::Design);
  for (std::size_t i = 0; i < names.size(); ++i) {
    try {
      // One under another, each as wide as a caption beside a comfortable box.
      doc.place(names[i], KestrinProgId, {120, 120.0f + 480.0f * static_cast<float>(i), 4800, 360});
    } catch (const headless::FormDocumentError& e) {
      throw Refusal(e.what());
    }
  }
  if (force) {
    doc.save(*file);
  } else {
    forms::FileStamp none;  // a file another program makes meanwhile is not replaced
    doc.save(*file, none);
  }
  return 0;
}

// ---- opening ---------------------------------------------------------------------------------

// Opens a form file; problems of controls that did not load completely are written to `err`.
// `stamp`, when given, receives what the file held, for the save that follows.
std::unique_ptr<FormDocument> open(const std::string& file, FormMode mode, std::FILE* err,
                                   forms::FileStamp* stamp = nullptr) {
  forms::FileStamp read;
  auto doc = std::make_unique<FormDocument>(forms::readFormFile(file, read), classes(), mode);
  if (stamp != nullptr) *stamp = read;
  for (const headless::LoadProblem* p : doc->problems())
    std::fprintf(err, "kestrinx: %s: %s\n", file.c_str(), p->message().c_str());
  return doc;
}

// ---- show ------------------------------------------------------------------------------------

int runShow(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  std::optional<std::string> file;
  bool json = false;
  for (const std::string& a : args) {
    if (a == "--json")
      json = true;
    else if (!a.empty() && a[0] == '-')
      throw UsageError("form show: unknown option " + shown(a) + " (only --json)");
    else if (!file)
      file = a;
    else
      throw UsageError("form show: unexpected argument " + shown(a));
  }
  if (!file) throw UsageError("form show: expected 'form show FILE [--json]'");

  const auto doc = open(*file, FormMode::Design, err);
  std::string s;
  if (json) {
    s = "{\"file\":" + jsonString(*file) + ",\"form\":" + jsonString(doc->name()) + ",\"controls\":[";
  } else {
    s = "Form " + doc->name() + " (" + tableText(*file) + "): " + std::to_string(doc->size()) +
        (doc->size() == 1 ? " control\n" : " controls\n");
  }
  for (std::size_t i = 0; i < doc->size(); ++i) {
    DocumentControl& c = doc->control(i);
    const forms::Placement p = c.placement();
    values::Dispatch& d = c.component().dispatch();
    if (json) {
      s += std::string(i ? "," : "") + "{\"name\":" + jsonString(c.name()) + ",\"class\":" + jsonString(c.progId()) +
           ",\"left\":" + twips(p.left) + ",\"top\":" + twips(p.top) + ",\"width\":" + twips(p.width) +
           ",\"height\":" + twips(p.height) + ",\"properties\":{";
    } else {
      s += "\n" + c.name() + "  " + c.progId() + "  left " + twips(p.left) + "  top " + twips(p.top) + "  width " +
           twips(p.width) + "  height " + twips(p.height) + "\n";
    }
    // What a save would write, to tell where it differs from what the control reports (an
    // unlocked box saved by another host keeps the width it was saved with).
    std::vector<forms::FormEntry> written;
    forms::FormPropertyBag writtenBag(written);
    try {
      c.component().WriteProperties(writtenBag);
    } catch (const values::AutomationError&) {
      written.clear();
    }
    std::string savedAs;  // JSON: the members saved otherwise than they read
    bool first = true;
    for (const members::Member& m : members::kMembers) {
      if (!m.saved) continue;
      std::string value, saved;
      try {
        value = members::textFromValue(m, d.getProperty(std::string(m.name)));
        if (!written.empty()) {
          values::Variant v = members::defaultValue(m.fallback, c.site().surface());
          for (const forms::FormEntry& e : written)
            if (e.key == m.name) v = e.value;
          saved = members::textFromValue(m, v);
        }
      } catch (const values::AutomationError& e) {
        value = "(error " + std::to_string(e.number()) + ": " + e.what() + ")";
      }
      const bool savedOtherwise = !saved.empty() && saved != value;
      if (json) {
        s += std::string(first ? "" : ",") + jsonString(m.name) + ":" + jsonString(value);
        if (savedOtherwise)
          savedAs += std::string(savedAs.empty() ? "" : ",") + jsonString(m.name) + ":" + jsonString(saved);
      } else {
        char line[64];
        std::snprintf(line, sizeof line, "  %-16s ", std::string(m.name).c_str());
        s += line + tableText(value) + (savedOtherwise ? " (saved as " + tableText(saved) + ")" : "") + "\n";
      }
      first = false;
    }
    const std::vector<forms::FormEntry> kept = c.keptEntries();
    if (json) {
      s += "},\"savedAs\":{" + savedAs + "},\"kept\":[";
      for (std::size_t k = 0; k < kept.size(); ++k)
        s += std::string(k ? "," : "") + "{\"key\":" + jsonString(kept[k].key) +
             ",\"type\":" + jsonString(values::varTypeName(kept[k].value.type())) +
             ",\"value\":" + jsonString(keptText(kept[k].value)) + "}";
      s += "]";
      if (c.problem()) s += ",\"problem\":" + jsonString(c.problem()->message());
      s += "}";
    } else {
      for (const forms::FormEntry& e : kept)
        s += "  kept: " + tableText(e.key) + " (" + std::string(values::varTypeName(e.value.type())) + ") " +
             tableText(keptText(e.value)) + "\n";
      if (c.problem()) s += "  did not load completely: " + c.problem()->message() + "\n";
    }
  }
  if (json) s += "]}\n";
  std::fputs(s.c_str(), out);
  return doc->problems().empty() ? 0 : 1;
}

// ---- set -------------------------------------------------------------------------------------

struct Assignment {
  std::string control, property, value, text;
};

Assignment parseAssignment(const std::string& text) {
  Assignment a;
  a.text = text;
  std::string target;
  const std::size_t dot = text.find('.');
  if (!members::splitAssignment(text, target, a.value) || dot == std::string::npos || dot == 0 ||
      dot + 1 >= target.size())
    throw UsageError("form set: bad assignment " + shown(text) + " (expected NAME.Property=VALUE)");
  a.control = target.substr(0, dot);
  a.property = target.substr(dot + 1);
  return a;
}

int runSet(const std::vector<std::string>& args, std::FILE* err) {
  std::optional<std::string> file;
  std::vector<Assignment> sets;
  for (const std::string& a : args) {
    if (!a.empty() && a[0] == '-')
      throw UsageError("form set: unknown option " + shown(a));
    else if (!file)
      file = a;
    else
      sets.push_back(parseAssignment(a));
  }
  if (!file || sets.empty()) throw UsageError("form set: expected 'form set FILE NAME.Property=VALUE...'");

  // From the read to the write: commands changing the file at the same time take turns.
  const forms::FileLock lock(*file);
  forms::FileStamp stamp;
  const auto doc = open(*file, FormMode::Design, err, &stamp);
  if (!doc->problems().empty()) {
    std::fprintf(err, "kestrinx: %s: nothing set: the form did not load completely\n", file->c_str());
    return 1;
  }
  // Every set first, in memory; the file is saved only when all of them succeeded.
  for (const Assignment& a : sets) {
    DocumentControl* c = doc->find(a.control);
    if (c == nullptr) {
      std::string names;
      for (std::size_t i = 0; i < doc->size(); ++i) names += (i ? ", " : "") + doc->control(i).name();
      throw Refusal(*file + " has no control " + shown(a.control) + (names.empty() ? "" : " (it has " + names + ")"));
    }
    const members::Member* m = members::find(a.property);
    if (m == nullptr || m->has(members::Method))
      throw Refusal(shown(a.text) + ": no property " + shown(a.property) + " (see 'kestrinx members')");
    if (!m->has(members::Put) && !m->has(members::PutRef))
      throw Refusal(shown(a.text) + ": " + std::string(m->name) + " is read-only");
    try {
      c->component().dispatch().setProperty(std::string(m->name), members::valueFromText(*m, a.value));
    } catch (const values::AutomationError& e) {
      const bool conversion = e.number() == values::err::TypeMismatch || e.number() == values::err::Overflow;
      throw Refusal(shown(a.text) + ": run-time error " + std::to_string(e.number()) + ": " + e.what() +
                    (conversion ? " (" + std::string(values::autoTypeName(m->type)) + " expected)" : ""));
    }
  }
  doc->save(*file, stamp);
  return 0;
}

// ---- page ------------------------------------------------------------------------------------

// One widget of the page as a designer sees it: check boxes with their mark, boxes and lists
// with the property they edit and what they hold.
std::string pageLine(const propertypage::WidgetState& w) {
  using propertypage::WidgetKind;
  const std::string indent = w.frame.empty() ? "  " : "    ";
  switch (w.kind) {
    case WidgetKind::Frame: return "  " + w.name + " \"" + tableText(w.caption) + "\"";
    case WidgetKind::Label: return indent + w.name + "  \"" + tableText(w.caption) + "\"";
    case WidgetKind::CheckBox: {
      const char* mark = w.value == "1" ? "[x]" : w.value == "0" ? "[ ]" : "[-]";
      const bool sameName = values::equalsIgnoreCase(w.caption, w.property);
      return indent + w.name + "  " + mark + " " + tableText(w.caption) + (sameName ? "" : "  -> " + w.property);
    }
    case WidgetKind::TextBox:
    case WidgetKind::List: return indent + w.name + "  " + w.property + " = \"" + tableText(w.value) + "\"";
    case WidgetKind::TabControl: break;
  }
  return indent + w.name;
}

int runPage(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  std::optional<std::string> file;
  std::vector<std::string> names, widgetSets;
  bool apply = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--apply") {
      apply = true;
    } else if (a == "--set") {
      if (i + 1 >= args.size()) throw UsageError("form page: --set needs Widget(index)=value");
      widgetSets.push_back(args[++i]);
    } else if (!a.empty() && a[0] == '-') {
      throw UsageError("form page: unknown option " + shown(a) + " (see 'kestrinx form --help')");
    } else if (!file) {
      file = a;
    } else {
      names.push_back(a);
    }
  }
  if (!file || names.empty())
    throw UsageError("form page: expected 'form page FILE NAME... [--set Widget(index)=value ...] [--apply]'");

  // Applying changes the file: from the read to the write, commands changing it take turns.
  std::optional<forms::FileLock> lock;
  if (apply) lock.emplace(*file);
  forms::FileStamp stamp;
  const auto doc = open(*file, FormMode::Design, err, &stamp);
  if (apply && !doc->problems().empty()) {
    std::fprintf(err, "kestrinx: %s: nothing applied: the form did not load completely\n", file->c_str());
    return 1;
  }
  std::vector<values::Dispatch*> selection;
  for (const std::string& name : names) {
    DocumentControl* c = doc->find(name);
    if (c == nullptr) throw Refusal(*file + " has no control " + shown(name));
    selection.push_back(&c->component().dispatch());
  }

  headless::PageSite site;
  propertypage::General page(site);
  site.select(selection);
  try {
    page.PropertyPage_Initialize();
    page.PropertyPage_SelectionChanged();
  } catch (const values::AutomationError& e) {
    std::fprintf(err, "kestrinx: the page could not load %s: %s\n", names.front().c_str(), e.what());
    return 1;
  }
  for (const std::string& w : widgetSets) {
    try {
      page.setWidget(w);
    } catch (const values::AutomationError& e) {
      throw Refusal("--set " + shown(w) + ": " + e.what());
    }
  }

  std::string s = "General page of " + names.front();
  for (std::size_t i = 1; i < names.size(); ++i) s += (i + 1 == names.size() ? " and " : ", ") + names[i];
  s += "\n";
  for (const propertypage::TabState& tab : page.describeTabs()) {
    s += "\n[" + tab.caption + "]\n";
    for (const propertypage::WidgetState& w : tab.widgets) s += pageLine(w) + "\n";
  }
  std::fputs(s.c_str(), out);

  if (!apply) return 0;
  try {
    page.PropertyPage_ApplyChanges();
  } catch (const values::AutomationError& e) {
    throw Refusal("the page was not applied: " + std::string(e.what()));
  }
  doc->save(*file, stamp);
  std::fprintf(out, "\nApplied to %zu control%s and saved %s\n", names.size(), names.size() == 1 ? "" : "s",
               file->c_str());
  return 0;
}

// ---- try -------------------------------------------------------------------------------------

// A control of a form opened in run mode, as a session's host.
class DocumentHost final : public Session::Host {
 public:
  DocumentHost(forms::FormFile file, const std::string& name)
      : doc_(std::move(file), classes(), FormMode::Run), control_(*doc_.find(name)) {}
  headless::Form& form() override { return doc_.form(); }
  headless::ControlSite& site() override { return control_.site(); }
  Kestrin& control() override { return kestrinOf(control_); }

 private:
  FormDocument doc_;
  DocumentControl& control_;
};

int runTry(const std::vector<std::string>& args, const ClockReading& startClock, std::FILE* out, std::FILE* err) {
  std::optional<std::string> file, name;
  bool json = false, batch = false, strict = false;
  ClockReading clock = startClock;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) throw UsageError("form try: " + a + " needs a value");
      return args[++i];
    };
    if (a == "--json") {
      json = true;
    } else if (a == "--batch") {
      batch = true;
    } else if (a == "--strict") {
      strict = true;
    } else if (a == "--today") {
      const std::string v = value();
      if (!parseDateOption(v, clock)) throw UsageError("bad --today " + shown(v) + " (expected a calendar date YYYY-MM-DD)");
    } else if (a == "--now") {
      const std::string v = value();
      if (!parseTimeOption(v, clock)) throw UsageError("bad --now " + shown(v) + " (expected HH:MM[:SS])");
    } else if (!a.empty() && a[0] == '-') {
      throw UsageError("form try: unknown option " + shown(a) + " (see 'kestrinx form --help')");
    } else if (!file) {
      file = a;
    } else if (!name) {
      name = a;
    } else {
      throw UsageError("form try: unexpected argument " + shown(a));
    }
  }
  if (!file || !name) throw UsageError("form try: expected 'form try FILE NAME'");

  const forms::FormFile form = forms::readFormFile(*file);
  const forms::FormControl* saved = form.find(*name);
  if (saved == nullptr) throw Refusal(*file + " has no control " + shown(*name));
  const std::string controlName = saved->name;
  // Opened once to report what does not load; each session below opens its own copy.
  open(*file, FormMode::Run, err);

  const bool interactive = !json && !batch && ::isatty(STDIN_FILENO) && ::isatty(STDOUT_FILENO);
  if (interactive) {
    Session session(std::make_unique<DocumentHost>(form, controlName), clock);
    return runInteractive(session);
  }
  // Line by line, each line is the whole entry of a fresh copy of the control as the form has it.
  const SessionFactory fresh = [&] {
    auto host = std::make_unique<DocumentHost>(form, controlName);
    host->control().put_Text("");
    return std::make_unique<Session>(std::move(host), clock);
  };
  const BatchSummary summary = runBatch(stdin, out, fresh, json ? OutputFormat::Json : OutputFormat::Human);
  if (std::ferror(stdin)) {
    std::fputs("kestrinx: error reading standard input\n", err);
    return 1;
  }
  if (summary.errors > 0 || (strict && summary.invalid > 0)) return 1;
  return 0;
}

}  // namespace

int runForm(const std::vector<std::string>& args, const ClockReading& startClock, std::FILE* out, std::FILE* err) {
  try {
    if (args.empty()) throw UsageError("form: expected new, show, set, try or page (see 'kestrinx form --help')");
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "-h" || command == "--help" || command == "help") {
      std::fputs(formHelp().c_str(), out);
      return 0;
    }
    if (command == "new") return runNew(rest);
    if (command == "show") return runShow(rest, out, err);
    if (command == "set") return runSet(rest, err);
    if (command == "try") return runTry(rest, startClock, out, err);
    if (command == "page") return runPage(rest, out, err);
    throw UsageError("form: unknown command " + shown(command) + " (expected new, show, set, try or page)");
  } catch (const UsageError& e) {
    std::fprintf(err, "kestrinx: %s\n", e.what());
    return 2;
  } catch (const std::exception& e) {
    // A file that cannot be read or saved, is not a form, or holds a class this build lacks.
    std::fprintf(err, "kestrinx: %s\n", e.what());
    return 1;
  }
}

std::string formHelp() {
  return R"(Usage: kestrinx form new|show|set|try|page ...

Form files (.kxform) hold a form's controls: each one's name, class, place on the form and saved
properties, as JSON text (format "kestrinx-form", version 1.0).

  form new FILE NAME... [--name FORM] [--force]
      Places a new Kestrin control for each NAME (a letter, then letters, digits and _) on a new
      form, one under another, as a designer places them, and saves the form to FILE. The form
      is named FORM, or after FILE. An existing FILE is replaced only with --force.
  form show FILE [--json]
      Opens FILE as a designer does and lists each control's place and every saved property as
      the control reports it (saved keys the control does not know are listed as "kept"), with
      a note (saved as VALUE) where saving would write another value: an unlocked box saved on
      another host keeps its saved BoxWidth while it shows the width this host gives it.
  form set FILE NAME.Property=VALUE...
      Opens FILE as a designer does, sets each property through the control's own put (values
      as for 'try --set': Alignment=4, BackColor=255, Font=Arial,12,bold) and saves FILE. When
      any set fails, nothing is saved.
  form try FILE NAME [--json] [--batch] [--strict] [--today YYYY-MM-DD] [--now HH:MM[:SS]]
      Opens FILE as the running program does and types into control NAME as 'kestrinx try'
      does: interactively in a terminal, or line by line, each line the whole entry of a fresh
      copy of the control (its text emptied first).
  form page FILE NAME... [--set Widget(index)=VALUE ...] [--apply]
      Opens the General property page for the named controls as a designer does: the page
      loads the first control's values and shows its three tabs. --set changes a widget as the
      designer would (txtGeneral(1)=2400, chkGeneral(0)=0, cmbGeneral(0)=Date); --apply then
      writes the page's fifteen properties to every named control, in order, and saves FILE.
      A BoxWidth or Interval box that does not hold a whole number applies nothing.

Saving replaces FILE atomically: a failed save leaves it as it was. new, set and page --apply
hold a lock on FILE (the file FILE.lock beside it, which stays) from reading it to saving it,
so commands changing one form at the same time take turns and each change is kept; a save
that finds FILE changed since it was read, by a program that does not take the lock, is
refused (exit 1) and FILE is left as that program saved it. A control whose saved properties
cannot all be read is reported (control, property, error) and the form opens with that
control as far as it got.

Exit status: 0; 1 when a file cannot be read or saved or is not a valid form, a control did not
load completely, or (try) as for 'kestrinx try'; 2 for a bad argument, an unknown control or
property, a read-only property, a value the control refuses, or a FILE that exists.
)";
}

}  // namespace kestrinx::cli
