// A form of Kestrin controls on the Qt host, as the demo shows it: a canvas holding one
// KestrinWidget per control of a form file, each at its saved place (twips at the canvas's
// logical DPI), in design mode (UserMode False: the canvas takes the mouse, the controls take no
// keys) or run mode (UserMode True: the user types into them).
//
// Each control reads its saved properties through the form file's property bag
// (forms/form_property_bag.h) and writes them back into the same entries when the form is saved,
// so keys it does not know (a newer build's) stay where they were. A control whose loading
// stopped is saved exactly as it was loaded.
//
// The canvas asks for the room its controls take (sizeHint, minimumSizeHint), so a scroll area
// around it scrolls to every control and a window sizes itself to the form.
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

  // One control as the form file holds it now (its saved properties written into its entries,
  // its placement), detached from the control: a later change of the control does not reach
  // it. Throws values::AutomationError naming the control whose WriteProperties failed.
  forms::FormControl record(const KestrinWidget& w) const;
  // Puts the control `saved` describes at position `index` of the form order (clamped), read
  // from its saved properties as loading does; a control of the same name is replaced. Returns
  // the new widget; `problem` (when given) gets the message of a loading that stopped, or "".
  KestrinWidget* restore(const forms::FormControl& saved, int index, QString* problem = nullptr);

  // Gives the control `w` the placement `p` (the saved twips kept exactly), as restore() would,
  // without creating it again.
  void setPlacement(KestrinWidget& w, const forms::Placement& p);

  // Places a new control as a designer does (InitProperties), at `left`, `top` in pixels, named
  // Kestrin<n> with the first free n (which InitProperties makes its caption and text).
  KestrinWidget* place(int left, int top);
  // Removes a control.
  void remove(KestrinWidget* w);
  // The controls in form order.
  QList<KestrinWidget*> controls() const;
  KestrinWidget* find(const QString& name) const;
  // The position of the control named `name` in form order, or -1.
  int indexOf(const QString& name) const;
  const QString& formName() const { return formName_; }

  // The room the controls take, from the canvas's origin, with a margin to the right and below.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 Q_SIGNALS:
  // A control was added, restored or removed; the form's controls changed.
  void controlsChanged();
  // A control moved or changed its size (a drag, a property, its own layout).
  void controlGeometryChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Control {
    KestrinWidget* widget = nullptr;
    forms::FormControl record;  // as loaded or last saved; its entries are the control's bag
    bool complete = true;      // its loading did not stop
  };
  KestrinWidget* create(Control& c, values::PropertyBag* bag);
  // Makes the control `c` from its record (ReadProperties) and places it; the loading problem's
  // message, or "" when it read all its properties.
  QString open(Control& c);
  forms::FormControl recordOf(const Control& c) const;

  Mode mode_;
  QString formName_ = QStringLiteral("Form1");
  std::vector<std::unique_ptr<Control>> controls_;
};

}  // namespace kestrinx::demo
