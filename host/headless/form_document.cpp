#include "host/headless/form_document.h"

#include <algorithm>

#include "forms/form_file_rules.h"
#include "forms/form_property_bag.h"
#include "host/headless/control_site.h"
#include "host/headless/form.h"
#include "host/headless/surface.h"
#include "values/text.h"

namespace kestrinx::headless {

std::string LoadProblem::message() const {
  std::string s = "control '" + control + "' ";
  s += key.empty() ? "did not load" : "stopped loading at property '" + key + "'";
  return s + ": run-time error " + std::to_string(number) + ": " + text;
}

// ---- one control ---------------------------------------------------------------------------------

DocumentControl::DocumentControl(Form& form, std::string name, std::string progId, const host::ComponentClass& cls,
                                 const forms::FormKeyOrder& keys, FormMode mode)
    : name_(std::move(name)),
      progId_(std::move(progId)),
      site_(std::make_unique<ControlSite>(form, name_)),
      keys_(&keys) {
  site_->headlessSurface().setUserMode(mode == FormMode::Run ? values::True : values::False);
  component_ = cls.create(*site_);
}

DocumentControl::~DocumentControl() = default;

forms::Placement DocumentControl::placement() const {
  ControlSite& site = *site_;
  return {left_, top_, site.headlessSurface().width(), site.headlessSurface().height()};
}

void DocumentControl::setPlacement(const forms::Placement& placement) {
  left_ = placement.left;
  top_ = placement.top;
  site_->headlessSurface().resize(placement.width, placement.height);
}

void DocumentControl::show(const forms::Placement& placement) {
  // The form shows the control at its size: a Resize when the size differs from the site's,
  // and a Paint either way, so the control is laid out for that size however it got there.
  setPlacement(placement);
  site_->headlessSurface().paint();
  site_->headlessSurface().clearChangedProperties();
}

void DocumentControl::load(std::vector<forms::FormEntry> properties, const forms::Placement& placement) {
  const auto stop = [&](const std::string& key, const values::AutomationError& e) {
    if (!problem_) problem_ = LoadProblem{name_, key, e.number(), e.what()};
  };
  forms::FormPropertyBag bag(properties, keys_);
  try {
    component_->Initialize();
    try {
      component_->ReadProperties(bag);
    } catch (const values::AutomationError& e) {
      stop(bag.lastKeyRead(), e);
    }
  } catch (const values::AutomationError& e) {
    stop("", e);
  }
  // What the control read it writes again itself; the rest waits beside it (all of it when
  // loading stopped early).
  std::size_t unread = 0;
  for (std::size_t i = 0; i < properties.size(); ++i) unread += problem_ || !bag.touched(i) ? 1 : 0;
  kept_.reserve(unread);
  for (std::size_t i = 0; i < properties.size(); ++i)
    if (problem_ || !bag.touched(i)) kept_.push_back({i, std::move(properties[i])});
  try {
    show(placement);
  } catch (const values::AutomationError& e) {
    stop("", e);
  }
}

forms::FormControl DocumentControl::saved(std::vector<std::size_t>* keptAt, std::size_t expected) const {
  forms::FormControl out{name_, progId_, placement(), {}};
  if (problem_) {
    // What was never read is saved as it was.
    for (const Kept& k : kept_) out.properties.push_back(k.entry);
    return out;
  }
  out.properties.reserve(expected + kept_.size());
  forms::FormPropertyBag bag(out.properties, keys_);
  try {
    component_->WriteProperties(bag);
  } catch (const values::AutomationError& e) {
    throw values::AutomationError(e.number(), "control '" + name_ + "' could not save its properties: " + e.what());
  }
  // Each goes back after those before it, so its place stays where it is put.
  for (const Kept& k : kept_) {
    if (bag.wrote(k.entry.key)) continue;  // the control's own now
    const std::size_t at = std::min(k.place, out.properties.size());
    out.properties.insert(out.properties.begin() + static_cast<std::ptrdiff_t>(at), k.entry);
    if (keptAt) keptAt->push_back(at);
  }
  return out;
}

void DocumentControl::keepUnwritten(const std::vector<forms::FormEntry>& saved,
                                    const std::vector<std::size_t>& keptAt) {
  if (problem_) return;  // still what it was loaded from
  // Every other entry of `saved` the control wrote itself.
  kept_.clear();
  for (std::size_t i : keptAt) kept_.push_back({i, saved[i]});
}

std::vector<forms::FormEntry> DocumentControl::keptEntries() const {
  std::vector<forms::FormEntry> scratch;
  forms::FormPropertyBag bag(scratch, keys_);
  try {
    component_->WriteProperties(bag);
  } catch (const values::AutomationError&) {
    // The keys written before the failure still count as the control's own.
  }
  std::vector<forms::FormEntry> kept;
  for (const Kept& k : kept_)
    if (problem_ || !bag.wrote(k.entry.key)) kept.push_back(k.entry);
  return kept;
}

// ---- the document -------------------------------------------------------------------------------

FormDocument::FormDocument(std::string name, std::vector<host::ComponentClass> classes, FormMode mode)
    : name_(std::move(name)), classes_(std::move(classes)), mode_(mode), form_(std::make_unique<Form>()) {
  makeKeyOrders();
}

void FormDocument::makeKeyOrders() {
  keys_.reserve(classes_.size());
  for (const host::ComponentClass& c : classes_) keys_.push_back(std::make_unique<forms::FormKeyOrder>(c.readOrder));
}

FormDocument::FormDocument(forms::FormFile file, std::vector<host::ComponentClass> classes, FormMode mode)
    : name_(std::move(file.name)), classes_(std::move(classes)), mode_(mode), form_(std::make_unique<Form>()) {
  makeKeyOrders();
  std::vector<const host::ComponentClass*> classOfControl;
  classOfControl.reserve(file.controls.size());
  for (const forms::FormControl& c : file.controls) classOfControl.push_back(&classOf(c.name, c.progId));
  controls_.reserve(file.controls.size());
  byName_.reserve(file.controls.size());
  for (std::size_t i = 0; i < file.controls.size(); ++i) {
    forms::FormControl& c = file.controls[i];
    const host::ComponentClass& cls = *classOfControl[i];
    std::unique_ptr<DocumentControl> control(
        new DocumentControl(*form_, std::move(c.name), std::move(c.progId), cls, keysOf(cls), mode));
    control->load(std::move(c.properties), c.placement);
    byName_.emplace(forms::rules::foldedName(control->name()), i);
    controls_.push_back(std::move(control));
  }
}

FormDocument::~FormDocument() {
  // The focus goes before the boxes do.
  try {
    form_->focus(nullptr);
  } catch (...) {
  }
  // Last placed first, so each box leaves the form's list from its end.
  while (!controls_.empty()) controls_.pop_back();
}

const host::ComponentClass& FormDocument::classOf(const std::string& control, const std::string& progId) const {
  for (const host::ComponentClass& c : classes_)
    if (values::equalsIgnoreCase(c.progId, progId)) return c;
  std::string known;
  for (const host::ComponentClass& c : classes_) known += (known.empty() ? "" : ", ") + c.progId;
  throw FormDocumentError("control '" + control + "': class '" + progId + "' is not known to this build" +
                          (known.empty() ? std::string() : " (it knows " + known + ")"));
}

DocumentControl* FormDocument::find(std::string_view name) {
  const auto at = byName_.find(forms::rules::foldedName(name));
  return at == byName_.end() ? nullptr : controls_[at->second].get();
}

std::vector<const LoadProblem*> FormDocument::problems() const {
  std::vector<const LoadProblem*> out;
  for (const auto& c : controls_)
    if (c->problem()) out.push_back(c->problem());
  return out;
}

DocumentControl& FormDocument::place(const std::string& name, const std::string& progId,
                                     const forms::Placement& placement) {
  if (!forms::isValidFormName(name))
    throw FormDocumentError("'" + name + "' is not a control name (a letter, then letters, digits and _, at most 40)");
  if (find(name) != nullptr) throw FormDocumentError("the form already has a control named '" + name + "'");
  if (controls_.size() >= forms::FormLimits::Controls)
    throw FormDocumentError("the form already has " + std::to_string(controls_.size()) + " controls");
  const host::ComponentClass& cls = classOf(name, progId);
  std::unique_ptr<DocumentControl> control(new DocumentControl(*form_, name, cls.progId, cls, keysOf(cls), mode_));
  control->component().Initialize();
  control->component().InitProperties();
  control->show(placement);
  byName_.emplace(forms::rules::foldedName(name), controls_.size());
  controls_.push_back(std::move(control));
  return *controls_.back();
}

forms::FormFile FormDocument::toFile() const { return toFile(nullptr); }

forms::FormFile FormDocument::toFile(std::vector<std::vector<std::size_t>>* keptAt) const {
  forms::FormFile file;
  file.name = name_;
  file.controls.reserve(controls_.size());
  if (keptAt) keptAt->assign(controls_.size(), {});
  std::size_t expected = 0;  // as many entries as the control before saved, room made at once
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    file.controls.push_back(controls_[i]->saved(keptAt ? &(*keptAt)[i] : nullptr, expected));
    expected = file.controls.back().properties.size() + 4;
  }
  return file;
}

void FormDocument::save(const std::string& path, forms::FileOps& ops) { save(path, nullptr, ops); }

void FormDocument::save(const std::string& path, forms::FileStamp& expected, forms::FileOps& ops) {
  save(path, &expected, ops);
}

void FormDocument::save(const std::string& path, forms::FileStamp* expected, forms::FileOps& ops) {
  std::vector<std::vector<std::size_t>> keptAt;
  const forms::FormFile file = toFile(&keptAt);
  if (expected != nullptr)
    forms::writeFormFileUnlessChanged(path, file, *expected, ops);
  else
    forms::writeFormFile(path, file, ops);
  for (std::size_t i = 0; i < controls_.size(); ++i) controls_[i]->keepUnwritten(file.controls[i].properties, keptAt[i]);
}

}  // namespace kestrinx::headless
