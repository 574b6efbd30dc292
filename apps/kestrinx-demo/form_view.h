// A form of Kestrin controls on the Qt host, as the demo shows it: a canvas holding one
// KestrinWidget per control of a form file, each at its saved place (twips at the canvas's
// logical DPI), in design mode (UserMode False: the canvas takes the mouse, the controls take no
// keys) or run mode (UserMode True: the user types into them).
//
// Each control reads its saved properties through the form file's property bag
// (forms/form_property_bag.h) and writes them back into the same entries when the form is saved,
// so keys it does not know (a newer build's) stay where they were. A control whose loading
// stopped is saved exactly as it was loaded.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "forms/form_file.h"
#include "qt/kestrin_widget.h"

namespace kestrinx::demo {

using qt::KestrinWidget;

class FormView final : public QWidget {
  Q_OBJECT

 public:
  enum class Mode { Design, Run };
  explicit FormView(Mode mode, QWidget* parent = nullptr);
  ~FormView() override;

  Mode mode() const { return mode_; }
  // Replaces the controls with those of `file`. Returns one message per control whose saved
  // properties stopped its loading (it stays, as far as it got). A control of a class other
  // than Kestrin is refused before anything changes (std::runtime_error).
  QStringList load(const forms::FormFile& file);
  // The form as a file holds it; throws values::AutomationError naming the control whose
  // WriteProperties failed.
  forms::FormFile save() const;

  // Places a new control as a designer does (InitProperties), at `left`, `top` in pixels, named
  // Kestrin<n> with the first free n.
  KestrinWidget* place(int left, int top);
  // Removes a control.
  void remove(KestrinWidget* w);
  // The controls in form order.
  QList<KestrinWidget*> controls() const;
  KestrinWidget* find(const QString& name) const;
  const QString& formName() const { return formName_; }

 Q_SIGNALS:
  // A control was added (loaded or placed); the form's controls changed.
  void controlsChanged();

 private:
  struct Control {
    KestrinWidget* widget = nullptr;
    forms::FormControl record;  // as loaded or last saved; its entries are the control's bag
    bool complete = true;      // its loading did not stop
  };
  KestrinWidget* create(Control& c, values::PropertyBag* bag);

  Mode mode_;
  QString formName_ = QStringLiteral("Form1");
  std::vector<std::unique_ptr<Control>> controls_;
};

}  // namespace kestrinx::demo
