#include "invoke_cmd.h"

#include <cerrno>
#include <cstdlib>

#include "control/kestrin_component.h"
#include "control/member_text.h"
#include "host/headless/control_site.h"
#include "host/headless/form.h"
#include "options.h"
#include "output.h"
#include "values/dispatch.h"
#include "values/error.h"

namespace kestrinx::cli {

namespace {

// A new control on a headless form of its own.
class NewControl final : public OpenedControl {
 public:
  explicit NewControl(const std::string& name) : site_(form_, name), component_(kestrinClass().create(site_)) {
    component_->Initialize();
    component_->InitProperties();
  }
  host::Component& component() override { return *component_; }

 private:
  headless::Form form_;
  headless::ControlSite site_;
  std::unique_ptr<host::Component> component_;
};

// A member given by identifier: "0x" and 1 to 8 hexadecimal digits, or a decimal number that
// fits 32 bits.
std::optional<std::int32_t> identifier(const std::string& text) {
  if (text.empty()) return std::nullopt;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : (text[0] == '-' ? text.substr(1) : text);
  if (digits.empty() || (hex && digits.size() > 8)) return std::nullopt;
  for (char c : digits)
    if (!(values::isDigit(c) || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))))) return std::nullopt;
  errno = 0;
  if (hex) return static_cast<std::int32_t>(std::strtoul(digits.c_str(), nullptr, 16));
  const long long v = std::strtoll(text.c_str(), nullptr, 10);
  if (errno != 0 || v < INT32_MIN || v > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(v);
}

}  // namespace

std::unique_ptr<OpenedControl> openControl(const std::string& form, const std::string& control) {
  if (form != "-")
    throw UsageError("invoke: cannot open form " + shown(form) +
                     ": invoke takes '-', a newly placed control, as its form");
  if (control.empty()) throw UsageError("invoke: the control needs a name");
  return std::make_unique<NewControl>(control);
}

int invokeMember(host::Component& control, const std::string& member, const std::optional<std::string>& value,
                 std::FILE* out, std::FILE* err) {
  values::Automation* automation = control.automation();
  if (automation == nullptr) {
    std::fputs("kestrinx: invoke: the control publishes no members by identifier\n", err);
    return 1;
  }
  const std::optional<std::int32_t> id = identifier(member);
  const values::MemberInfo* m = id ? automation->find(*id) : automation->find(member);
  std::string name = m != nullptr ? std::string(m->name) : shown(member);
  try {
    if (m == nullptr) values::raiseError(values::err::MemberNotSupported);
    if (value) {
      const values::Variant v = members::valueFromText(m->type, m->enumeration, *value);
      automation->invoke(m->id, values::InvokePut | values::InvokePutRef, std::span<const values::Variant>(&v, 1));
      if (m->has(values::InvokeGet)) {
        const values::Variant now = automation->invoke(m->id, values::InvokeGet, {});
        std::fprintf(out, "%s\n", members::textFromValue(m->type, m->enumeration, now).c_str());
      }
    } else if (m->has(values::InvokeGet)) {
      const values::Variant now = automation->invoke(m->id, values::InvokeGet, {});
      std::fprintf(out, "%s\n", members::textFromValue(m->type, m->enumeration, now).c_str());
    } else {
      automation->invoke(m->id, values::InvokeMethod, {});
    }
  } catch (const values::AutomationError& e) {
    std::fprintf(err, "kestrinx: invoke: %s: run-time error %d: %s\n", name.c_str(), static_cast<int>(e.number()),
                 e.what());
    return 1;
  }
  return 0;
}

int invokeCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  try {
    if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help")) {
      std::fputs(invokeHelp().c_str(), out);
      return 0;
    }
    if (args.size() < 3 || args.size() > 4)
      throw UsageError("invoke needs FORM CONTROL MEMBER [VALUE] (see 'kestrinx invoke --help')");
    InvokeRequest r{args[0], args[1], args[2], args.size() == 4 ? std::optional<std::string>(args[3]) : std::nullopt};
    std::unique_ptr<OpenedControl> opened = openControl(r.form, r.control);
    return invokeMember(opened->component(), r.member, r.value, out, err);
  } catch (const UsageError& e) {
    std::fprintf(err, "kestrinx: %s\n", e.what());
    return 2;
  }
}

std::string invokeHelp() {
  return R"(Usage: kestrinx invoke FORM CONTROL MEMBER [VALUE]

Reads, sets or calls one member of one control through its published interface, by name in any
case or by identifier (0x6803001F, as 'kestrinx members' lists them), as a scripting client does:
  no VALUE   read the property and print its value, or call the method
  VALUE      set the property (converted as --set converts it: Alignment=CenterMiddle or 4,
             Font=Arial,12,bold) and print the value it has afterwards
FORM '-' is a new control named CONTROL, placed as a designer places one.
A run-time error (438 no such member, 383 read-only, 13 type mismatch, 6 overflow, or the
control's own) is one line on standard error and exit status 1; bad arguments exit 2.

  kestrinx invoke - Kestrin1 0x6803001F 4
  kestrinx invoke - Kestrin1 caption
)";
}

}  // namespace kestrinx::cli
