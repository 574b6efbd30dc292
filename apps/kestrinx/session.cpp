#include "session.h"

#include <exception>

#include "control/member_text.h"
#include "control/members.h"
#include "values/error.h"

namespace kestrinx::cli {

namespace {

bool checkedType(std::int32_t type) { return type == NUMERIC_TYPE || type == DATE_TYPE || type == TIME_TYPE; }

}  // namespace

const char* colourRoleName(ColourRole role) {
  switch (role) {
    case ColourRole::Normal: return "normal";
    case ColourRole::Edit: return "edit";
    case ColourRole::Valid: return "valid";
    case ColourRole::Invalid: return "invalid";
    case ColourRole::Other: break;
  }
  return "other";
}

namespace {

// The form, site and control of a session that makes its own.
class OwnControl final : public Session::Host {
 public:
  headless::Form& form() override { return form_; }
  headless::ControlSite& site() override { return site_; }
  Kestrin& control() override { return control_; }

 private:
  headless::Form form_;
  headless::ControlSite site_{form_};
  Kestrin control_{site_};
};

}  // namespace

Session::Session(std::unique_ptr<Host> host, const ClockReading& clock)
    : host_(std::move(host)), form_(host_->form()), site_(host_->site()), control_(host_->control()) {
  setClock(clock);
}

Session::Session(const SessionConfig& config) : Session(std::make_unique<OwnControl>(), config.clock) {
  form_.services().setDateReading(config.dateReading);
  control_.Initialize();
  control_.InitProperties();  // placed as a designer places it

  // The tool's own choices on top.
  control_.put_KestrinType(config.kestrinType);
  control_.put_FormatDate(config.formatDate);
  control_.put_FormatTime(config.formatTime);
  if (config.leftAlign) control_.put_NumAlignment(LEFT_ALIGN);
  if (!config.separators) control_.put_NumSeparatorUse(values::False);
  control_.put_InvalidBeep(values::toBoolean(config.invalidBeep));
  control_.put_ColorEditUse(values::True);
  if (config.caption) control_.put_Caption(*config.caption);
  // A new control shows its instance name as its text; the user starts with an empty box.
  control_.put_Text("");
  for (const auto& [name, value] : config.sets) {
    const members::Member* m = members::find(name);
    if (m == nullptr) values::raiseError(values::err::MemberNotSupported);
    try {
      members::put(control_, *m, members::valueFromText(*m, value));
    } catch (const values::AutomationError& e) {
      throw values::AutomationError(e.number(), std::string(m->name) + "=" + value + ": " + e.what());
    }
  }

  form_.services().clearRecords();
}

void Session::setClock(const ClockReading& c) {
  form_.services().setNow(c.year, c.month, c.day, c.hour, c.minute, c.second);
  form_.services().clearRecords();
}

Session::~Session() {
  // Let go of the focus before the boxes go; nothing here may throw out of a destructor.
  try {
    form_.focus(nullptr);
  } catch (...) {
  }
}

headless::TextBox& Session::activeBox() { return site_.box(control_.boxIndex()); }

void Session::enter() {
  headless::TextBox& box = activeBox();
  if (form_.focused() != &box) form_.focus(&box);
}

void Session::type(std::string_view bytes) {
  enter();
  form_.type(std::string(bytes));
}

void Session::press(headless::Key key) {
  enter();
  form_.press(key);
}

void Session::leave() {
  if (form_.focused() != &elsewhere_) form_.focus(&elsewhere_);
}

bool Session::editing() { return form_.focused() == &activeBox(); }

std::string Session::boxText() { return activeBox().text(); }
std::int32_t Session::caret() { return activeBox().selStart(); }
OleColor Session::backColor() { return activeBox().backColor(); }

ColourRole Session::colourRole() {
  const OleColor c = backColor();
  // Edit and invalid colours first: with the tool's settings the valid colour is the normal one.
  if (control_.get_ColorEditUse() && c == control_.get_ColorEdit()) return ColourRole::Edit;
  if (control_.get_ColorInValidUse() && c == control_.get_ColorInValid()) return ColourRole::Invalid;
  if (control_.get_ColorValidUse() && c == control_.get_ColorValid() && control_.get_ValidState() &&
      checkedType(control_.get_KestrinType()))
    return ColourRole::Valid;
  if (c == control_.get_BackColor()) return ColourRole::Normal;
  return ColourRole::Other;
}

int Session::beeps() { return form_.services().beeps(); }

std::vector<std::string> Session::messages() {
  std::vector<std::string> out;
  for (const headless::MessageRecord& m : form_.services().messages())
    out.push_back(m.text);
  return out;
}

void Session::clearRecords() { form_.services().clearRecords(); }

std::size_t alignmentPad(std::int32_t kestrinType, const std::string& boxText) {
  // Only a numeric box pads; everything in front of its trimmed text is alignment.
  if (kestrinType != NUMERIC_TYPE) return 0;
  const std::size_t first = boxText.find_first_not_of(' ');
  return first == std::string::npos ? boxText.size() : first;
}

Outcome checkEntry(const SessionFactory& fresh, std::string_view entry, std::size_t inputBytes) {
  Outcome out;
  out.input = std::string(entry);
  out.inputBytes = inputBytes;
  out.truncated = inputBytes > entry.size();
  try {
    const std::unique_ptr<Session> session = fresh();
    try {
      session->type(entry);
      session->leave();
    } catch (const values::AutomationError& e) {
      out.error = "run-time error " + std::to_string(e.number()) + ": " + e.what();
    }
    out.boxText = session->boxText();
    out.pad = alignmentPad(session->control().get_KestrinType(), out.boxText);
    out.valid = session->control().get_ValidState() != values::False;
    out.backColor = session->backColor();
    out.colour = session->colourRole();
    out.beeps = session->beeps();
    out.messages = session->messages();
  } catch (const std::exception& e) {
    out.error = std::string("cannot check the entry: ") + e.what();
    out.valid = false;
  }
  return out;
}

}  // namespace kestrinx::cli
