// An embedder's headless test: a date box on the in-memory host, typed into and left.
#include <cstdio>
#include <string>

#include "control/kestrin.h"
#include "control/members.h"
#include "host/headless/headless.h"

int main() {
  using namespace kestrinx;
  headless::Form form;
  form.services().setNow(2026, 12, 9);
  headless::ControlSite site(form, "Due");
  headless::TextBox elsewhere(form);
  Kestrin due(site);
  due.Initialize();
  due.InitProperties();
  members::put(due, "KestrinType", values::Variant::longValue(DATE_TYPE));
  members::put(due, "FormatDate", values::Variant::longValue(YYMMDD));
  form.focus(&site.box(due.boxIndex()));
  form.type("t+1");
  form.focus(&elsewhere);
  const std::string text = due.get_Text();
  const bool valid = due.get_ValidState() != values::False;
  std::printf("%s %s\n", text.c_str(), valid ? "valid" : "invalid");
  form.focus(nullptr);
  return text == "2026-12-10" && valid ? 0 : 1;
}
