// A form document on the headless host: a form created from a form file (forms/form_file.h) with
// one site and one control per saved control, or a new form a designer places controls on, and
// saved back to a file. Controls are created through the classes the caller hands in, so the
// host knows no control class of its own.
//
// Opening: for each saved control in order, a ControlSite with its instance name, UserMode
// (False in design mode, True in run mode), the component created, Initialize, ReadProperties
// from the control's saved properties (a forms::FormPropertyBag), then the saved placement: the
// surface is resized to the saved size and painted, as the form shows it, so the control lays
// itself out for exactly the size it was saved with. A control whose ReadProperties fails stays
// on the form as far as it got; the failure (control, key, error) is collected in problems().
//
// Saving: each control writes its properties (WriteProperties), the saved properties it did not
// read when it was loaded go back to their places among them, so keys it does not know survive,
// and its placement is taken from the host's geometry. A control that did not load completely
// is saved exactly as it was loaded, since its properties after the failing key were never read.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "forms/atomic_file.h"
#include "forms/form_file.h"
#include "forms/form_property_bag.h"
#include "host/component.h"

namespace kestrinx::headless {

class ControlSite;
class Form;

enum class FormMode : std::uint8_t { Design, Run };  // UserMode False, True

// A control whose ReadProperties (or Initialize, or the host's first sizing) failed.
struct LoadProblem {
  std::string control;
  std::string key;  // the key being read when it stopped; "" when it stopped outside a read
  std::int32_t number = 0;
  std::string text;
  // "control 'txtAge' stopped loading at property 'Interval': run-time error 13: Type mismatch"
  std::string message() const;
};

// A request the document refuses: an unknown class, a name that is not a name or is taken.
class FormDocumentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class FormDocument;

// One control of a document: its site, the component, and what it was loaded from.
class DocumentControl {
 public:
  DocumentControl(const DocumentControl&) = delete;
  DocumentControl& operator=(const DocumentControl&) = delete;
  ~DocumentControl();

  const std::string& name() const { return name_; }
  const std::string& progId() const { return progId_; }
  ControlSite& site() { return *site_; }
  host::Component& component() { return *component_; }
  const host::Component& component() const { return *component_; }

  // Left and top as the form keeps them; width and height the surface's own.
  forms::Placement placement() const;
  // Moves and resizes the control (a size change raises Resize).
  void setPlacement(const forms::Placement& placement);

  // The saved properties the document keeps beside the control, to save them again: those the
  // control did not read when it loaded (a newer build's keys, say) and has not written since; or,
  // for a control that did not load completely, all of them as they were loaded.
  std::vector<forms::FormEntry> keptEntries() const;
  // How loading failed, or nullptr.
  const LoadProblem* problem() const { return problem_ ? &*problem_ : nullptr; }

 private:
  friend class FormDocument;
  DocumentControl(Form& form, std::string name, std::string progId, const host::ComponentClass& cls,
                  const forms::FormKeyOrder& keys, FormMode mode);
  // Initialize, ReadProperties from `properties`, then the placement; failures become problem_.
  void load(std::vector<forms::FormEntry> properties, const forms::Placement& placement);
  // Shows the control at its new placement and forgets the changes loading or placing reported.
  void show(const forms::Placement& placement);
  // This control as a file holds it; throws values::AutomationError from WriteProperties. The
  // control writes into an empty list (room made for `expected` entries) and the kept entries it
  // did not write go back to their places, so a form saved again unchanged is saved the same.
  // `keptAt` receives the places of those kept entries in the saved list.
  forms::FormControl saved(std::vector<std::size_t>* keptAt = nullptr, std::size_t expected = 0) const;
  // After a save: keeps the entries of `saved` the control did not write, those at `keptAt`.
  void keepUnwritten(const std::vector<forms::FormEntry>& saved, const std::vector<std::size_t>& keptAt);

  // A saved property kept beside the control, with its place in the control's list.
  struct Kept {
    std::size_t place;
    forms::FormEntry entry;
  };
  std::string name_, progId_;
  std::unique_ptr<ControlSite> site_;
  std::unique_ptr<host::Component> component_;
  const forms::FormKeyOrder* keys_;  // the class's reading order, for the control's bags
  values::Twips left_ = 0, top_ = 0;
  std::vector<Kept> kept_;
  std::optional<LoadProblem> problem_;
};

class FormDocument {
 public:
  // A new form with no controls.
  FormDocument(std::string name, std::vector<host::ComponentClass> classes, FormMode mode);
  // Opens `file` as described above. Throws FormDocumentError, before creating anything, when a
  // control's class is not among `classes`.
  FormDocument(forms::FormFile file, std::vector<host::ComponentClass> classes, FormMode mode);
  FormDocument(const FormDocument&) = delete;
  FormDocument& operator=(const FormDocument&) = delete;
  ~FormDocument();

  const std::string& name() const { return name_; }
  FormMode mode() const { return mode_; }
  Form& form() { return *form_; }
  std::size_t size() const { return controls_.size(); }
  DocumentControl& control(std::size_t i) { return *controls_.at(i); }
  // The control of that name (any case), or nullptr.
  DocumentControl* find(std::string_view name);
  // The controls that did not load completely, in form order.
  std::vector<const LoadProblem*> problems() const;

  // Places a new control as a designer does: a site with the name, the component, Initialize,
  // InitProperties, then the placement. Throws FormDocumentError for a name that is not a name
  // or is taken, and for an unknown class.
  DocumentControl& place(const std::string& name, const std::string& progId, const forms::Placement& placement);

  // The form as a file holds it. Throws values::AutomationError (its text naming the control) when
  // a control's WriteProperties fails; nothing changes then.
  forms::FormFile toFile() const;
  // Writes toFile() to `path` atomically; afterwards each control's record is what was saved.
  // Throws what toFile and forms::writeFormFile throw; the file is unchanged then.
  void save(const std::string& path, forms::FileOps& ops = forms::systemFileOps());
  // The same through forms::writeFormFileUnlessChanged: refused with forms::FormFileChangedError
  // when the file no longer holds what `expected` says it held when it was read; afterwards
  // `expected` is the stamp of what was saved.
  void save(const std::string& path, forms::FileStamp& expected, forms::FileOps& ops = forms::systemFileOps());

 private:
  const host::ComponentClass& classOf(const std::string& control, const std::string& progId) const;
  const forms::FormKeyOrder& keysOf(const host::ComponentClass& cls) const {
    return *keys_[static_cast<std::size_t>(&cls - classes_.data())];
  }
  void makeKeyOrders();
  forms::FormFile toFile(std::vector<std::vector<std::size_t>>* keptAt) const;
  void save(const std::string& path, forms::FileStamp* expected, forms::FileOps& ops);

  std::string name_;
  std::vector<host::ComponentClass> classes_;
  std::vector<std::unique_ptr<forms::FormKeyOrder>> keys_;  // each class's reading order
  FormMode mode_;
  std::unique_ptr<Form> form_;  // outlives the controls on it
  std::vector<std::unique_ptr<DocumentControl>> controls_;
  std::unordered_map<std::string, std::size_t> byName_;  // each control's place, by its name in lower case
};

}  // namespace kestrinx::headless
