// What every KestrinWidget is, below the part generated from the member table: a QWidget that
// owns one Kestrin control on a Qt site, places it like any widget (layouts, parents, show;
// sizeHint is the size the control asks for), serves its published members by slot in the
// member table, turns its events into signals and announces what changed. See
// qt/kestrin_widget.h for how applications use it.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <QWidget>
#include <cstddef>
#include <memory>
#include <vector>

#include "host/automation.h"
#include "host/objects.h"
#include "host/property_bag.h"
#include "host/variant.h"
#include "host/qt/services.h"

namespace kestrinx::qt {

class KestrinWidgetBase : public QWidget, private host::EventSink {
  Q_OBJECT

 public:
  ~KestrinWidgetBase() override;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  // This control's clock, beep and message boxes (a fixed clock, a message hook for tests).
  qthost::Services& services();
  // The two box elements (0 framed, 1 flat) and the caption, as the user sees them; the active
  // box is the one Appearance shows.
  QLineEdit& box(int index) const;
  QLineEdit& activeBox() const;
  QLabel& caption() const;

  // The control's saved properties (what a form file holds of it), for the constructor that
  // creates a control again from them.
  QVariantMap savedProperties() const;

  // The automation error the last property write, method call or event ended with (0: none).
  int lastError() const { return lastError_; }
  QString lastErrorText() const { return lastErrorText_; }

 Q_SIGNALS:
  // ValidState changed: the outcome of the check when the user left the box.
  void validStateChanged(bool valid);
  // A property write, a method call or the handling of an event failed.
  void automationError(int number, const QString& description);

 protected:
  KestrinWidgetBase(const QString& instanceName, QWidget* parent);
  // Creates the control and places it: from `saved` when given, else as newly placed. Called by
  // the generated constructors, once the object is complete enough to emit its signals.
  void start(const QVariantMap* saved);
  void start(host::PropertyBag& saved) { startFrom(&saved); }

  // The member in slot `slot` of the member table: read, written (coerced to its type as an
  // automation client's assignment is), called.
  QVariant readMember(std::size_t slot) const;
  void writeMember(std::size_t slot, const QVariant& value);
  void callMember(std::size_t slot);
  // Emits the signal of a raised event, with its arguments by pointer (generated).
  virtual void emitEvent(const host::EventInfo& event, host::EventArgs& args) = 0;

 private:
  struct Parts;
  void startFrom(host::PropertyBag* saved);
  void onEvent(const host::EventInfo& event, host::EventArgs& args) override { emitEvent(event, args); }
  void reportError(int number, const QString& description);
  // Emits the NOTIFY signal of every property whose value differs from the one last announced.
  void announceChanges();
  void restyle();

  QString instanceName_;
  std::unique_ptr<Parts> parts_;
  // By slot: the values last announced (compared as a form file keeps them: fonts and pictures
  // by content), and whether one was recorded yet.
  std::vector<host::Variant> announced_;
  std::vector<bool> recorded_;
  bool announcing_ = false;
  int lastError_ = 0;
  QString lastErrorText_;
};

}  // namespace kestrinx::qt
