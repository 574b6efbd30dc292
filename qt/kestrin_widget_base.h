// What every KestrinWidget is, below the part generated from the member table: a QWidget that
// owns one Kestrin control on a Qt site, places it like any widget (layouts, parents, show;
// sizeHint is the size the control asks for), serves its published members by slot in the
// member table, turns its events into signals and announces what changed. See
// qt/kestrin_widget.h for how applications use it.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <QWidget>
#include <cstddef>
#include <memory>
#include <vector>

#include "host/automation.h"
#include "host/objects.h"
#include "host/qt/services.h"

namespace kestrinx::qt {

class KestrinWidgetBase : public QWidget, private host::EventSink {
  Q_OBJECT
  // Opt-ins for the user, off by default (the control then behaves exactly as without them).
  // They are the widget's own, not published members of the control: they are not saved, and
  // automation clients do not see them.
  Q_PROPERTY(bool accessibleOutcome READ accessibleOutcome WRITE setAccessibleOutcome)
  Q_PROPERTY(bool invalidMarker READ invalidMarker WRITE setInvalidMarker)
  Q_PROPERTY(bool undoEnabled READ undoEnabled WRITE setUndoEnabled)
  Q_PROPERTY(bool strictPaste READ strictPaste WRITE setStrictPaste)
  Q_PROPERTY(int centuryWindow READ centuryWindow WRITE setCenturyWindow)
  Q_PROPERTY(bool strictDates READ strictDates WRITE setStrictDates)
  Q_PROPERTY(bool escapeRestores READ escapeRestores WRITE setEscapeRestores)

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

  // ---- opt-ins ----
  // The names of the opt-in properties above, for a program that offers its user a switch for
  // each (setProperty(name, true) switches a Boolean one on).
  static QStringList optIns();
  // After the exit check rewrote the entry or found it invalid, assistive technology is told
  // ("T+3 → 2026-12-12", "Invalid date") through the box's accessible description, and an
  // invalid entry as a change of the box's accessible invalid state.
  bool accessibleOutcome() const { return accessibleOutcome_; }
  void setAccessibleOutcome(bool on);
  // An invalid entry also shows a warning icon at the box's end (its tool tip says why), so
  // that colour is not the only cue.
  bool invalidMarker() const { return invalidMarker_; }
  void setInvalidMarker(bool on);
  // Ctrl+Z and Ctrl+Y undo and redo the user's keystrokes, pastes and the control's rewrites,
  // one step each.
  bool undoEnabled() const { return undoEnabled_; }
  void setUndoEnabled(bool on);
  // A numeric box refuses, whole and with one beep, a paste its keys would not let through
  // (letters, say) or that would pass its 15-digit limit.
  bool strictPaste() const { return strictPaste_; }
  void setStrictPaste(bool on);
  // The first year of the window a one- or two-digit year falls in (default 1930: 00-29 are
  // 2000-2029, 30-99 are 1930-1999); a year outside 100..9900 is refused with error 380.
  int centuryWindow() const;
  void setCenturyWindow(int year);
  // A date whose day and month could be read either way ("04/12/26") is invalid, not guessed.
  bool strictDates() const;
  void setStrictDates(bool on);
  // Escape restores the text the box held when focus entered it; the box keeps focus.
  bool escapeRestores() const { return escapeRestores_; }
  void setEscapeRestores(bool on);

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

  // The member in slot `slot` of the member table: read, written (coerced to its type as an
  // automation client's assignment is), called.
  QVariant readMember(std::size_t slot) const;
  void writeMember(std::size_t slot, const QVariant& value);
  void callMember(std::size_t slot);
  // Emits the signal of a raised event, with its arguments by pointer (generated).
  virtual void emitEvent(const host::EventInfo& event, host::EventArgs& args) = 0;

 private:
  struct Parts;
  void onEvent(const host::EventInfo& event, host::EventArgs& args) override { emitEvent(event, args); }
  void reportError(int number, const QString& description);
  // Emits the NOTIFY signal of every property whose value differs from the one last announced.
  void announceChanges();
  void restyle();
  // The exit check of box `index` has run: tells its outcome when accessibleOutcome is on.
  void tellOutcome(int index, const QString& before);
  // A paste into a box, under strictPaste.
  bool pasteAllowed(const QString& pasted, const QString& result);

  QString instanceName_;
  std::unique_ptr<Parts> parts_;
  std::vector<QVariant> announced_;  // by slot: the values last announced
  bool announcing_ = false;
  int lastError_ = 0;
  QString lastErrorText_;
  bool accessibleOutcome_ = false;
  bool invalidMarker_ = false;
  bool undoEnabled_ = false;
  bool strictPaste_ = false;
  bool escapeRestores_ = false;
};

}  // namespace kestrinx::qt
