/// \file
/// What every KestrinWidget is, below the part generated from the member table: a QWidget that
/// owns one Kestrin control on a Qt site, places it like any widget (layouts, parents, show;
/// sizeHint is the size the control asks for), serves its published members by slot in the
/// member table, turns its events into signals and announces what changed. See
/// qt/kestrin_widget.h for how applications use it.
#pragma once

#include <QLineEdit>
#include <QMetaMethod>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <QWidget>
#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

#include "host/qt/services.h"
#include "host/qt/text_box.h"
#include "values/automation.h"
#include "values/dispatch.h"
#include "values/objects.h"
#include "values/property_bag.h"
#include "values/variant.h"

class QAccessibleInterface;

namespace kestrinx::qt {

class KestrinWidgetBase;
/// The accessible interface of `edit` when it is one of `owner`'s boxes (else nullptr).
QAccessibleInterface* accessibleBox(KestrinWidgetBase& owner, QLineEdit& edit);

/// How a widget is created: its instance name, whether a form designer shows it (UserMode False:
/// design time) or the running program does (True), and the saved properties it reads (a form's
/// property bag), or none for a control placed new (InitProperties).
struct KestrinWidgetSetup {
  QString instanceName = QStringLiteral("Kestrin1");  ///< the Extender name (a new control's caption)
  bool userMode = true;                               ///< run time (True) or design time (False)
  values::PropertyBag* saved = nullptr;                 ///< read once, during construction
};

/// What every KestrinWidget is below its generated part (see KestrinWidget).
class KestrinWidgetBase : public QWidget, private values::EventSink, private qthost::TextBox::Owner {
  Q_OBJECT
  // Opt-ins for the user, off by default (the control then behaves exactly as without them).
  // They are the widget's own, not published members of the control: they are not saved, and
  // automation clients do not see them.
  /// Tells assistive technology the outcome of the exit check (see accessibleOutcome()).
  Q_PROPERTY(bool accessibleOutcome READ accessibleOutcome WRITE setAccessibleOutcome)
  /// Shows a warning icon in an invalid box (see invalidMarker()).
  Q_PROPERTY(bool invalidMarker READ invalidMarker WRITE setInvalidMarker)
  /// Undo and redo of the user's steps (see undoEnabled()).
  Q_PROPERTY(bool undoEnabled READ undoEnabled WRITE setUndoEnabled)
  /// Refuses a numeric paste the keys would refuse (see strictPaste()).
  Q_PROPERTY(bool strictPaste READ strictPaste WRITE setStrictPaste)
  /// The first year of the two-digit-year window (see centuryWindow()).
  Q_PROPERTY(int centuryWindow READ centuryWindow WRITE setCenturyWindow)
  /// Refuses dates whose day and month could swap (see strictDates()).
  Q_PROPERTY(bool strictDates READ strictDates WRITE setStrictDates)
  /// Escape restores the text at focus entry (see escapeRestores()).
  Q_PROPERTY(bool escapeRestores READ escapeRestores WRITE setEscapeRestores)

 public:
  ~KestrinWidgetBase() override;

  /// The size the control asks for: caption, gap and box.
  QSize sizeHint() const override;
  /// The same as sizeHint(): a layout may make the control wider, not smaller.
  QSize minimumSizeHint() const override;
  /// Shows or hides the widget as QWidget does.
  void setVisible(bool visible) override;

 protected:
  /// Hands resizes, paints, shows and hides to the control before QWidget handles them.
  bool event(QEvent* e) override;

 public:

  /// This control's clock, beep and message boxes (a fixed clock, a message hook for tests).
  qthost::Services& services();
  /// A box element as the user sees it: 0 framed, 1 flat.
  QLineEdit& box(int index) const;
  /// The box element Appearance shows.
  QLineEdit& activeBox() const;
  /// Where the caption is painted on the widget, in pixels (empty while CaptionView hides it).
  /// The caption is no widget of its own: the widget paints it, in LabelFont and LabelForeColor
  /// (a system colour, the default among them, from the widget's palette, so a palette or a
  /// style sheet colour set on the widget reaches it), and the boxes' accessible name is its text.
  QRect captionRect() const;

  /// The control's saved properties (what a form file holds of it), for the constructor that
  /// creates a control again from them.
  QVariantMap savedProperties() const;

  /// Writes the control's saved properties into `bag` (WriteProperties), as a form saves it;
  /// throws values::AutomationError when the control fails to.
  void writeProperties(values::PropertyBag& bag) const;
  /// Gives the control a size in twips, as a form does when it shows a saved control: the widget
  /// shows it in pixels and the control keeps the twips exactly (one Resize when either side
  /// changes), so a form saved again keeps the sizes it was saved with.
  void resizeTwips(values::Twips width, values::Twips height);
  /// The control's size in twips, as it keeps it (what a form saves as its width and height).
  values::Twips widthTwips() const;
  /// The control's height in twips, as it keeps it.
  values::Twips heightTwips() const;
  /// Whether the control runs (UserMode True) or a designer shows it (False).
  bool userMode() const;

  /// The control by property name, as the property page and other by-name clients reach it: a
  /// set is the control's own put, delivered as a write from the program (so signals follow),
  /// and its failure is thrown to the caller as values::AutomationError instead of being reported.
  values::Dispatch& dispatch();

  /// The names of the opt-in properties above, for a program that offers its user a switch for
  /// each (setProperty(name, true) switches a Boolean one on).
  static QStringList optIns();
  /// After the exit check rewrote the entry or found it invalid, assistive technology is told
  /// ("T+3 → 2026-12-12", "Invalid date") through the box's accessible description, and an
  /// invalid entry as a change of the box's accessible invalid state.
  bool accessibleOutcome() const { return accessibleOutcome_; }
  /// Switches it on or off.
  void setAccessibleOutcome(bool on);
  /// An invalid entry also shows a warning icon at the box's end (its tool tip says why), so
  /// that colour is not the only cue.
  bool invalidMarker() const { return invalidMarker_; }
  /// Switches it on or off.
  void setInvalidMarker(bool on);
  /// Ctrl+Z and Ctrl+Y undo and redo the user's keystrokes, pastes and the control's rewrites,
  /// one step each.
  bool undoEnabled() const { return undoEnabled_; }
  /// Switches it on or off.
  void setUndoEnabled(bool on);
  /// A numeric box refuses, whole and with one beep, a paste its keys would not let through
  /// (letters, say) or that would pass its 15-digit limit.
  bool strictPaste() const { return strictPaste_; }
  /// Switches it on or off.
  void setStrictPaste(bool on);
  /// The first year of the window a one- or two-digit year falls in (default 1930: 00-29 are
  /// 2000-2029, 30-99 are 1930-1999); a year outside 100..9900 is refused with error 380.
  int centuryWindow() const;
  /// Sets the window's first year.
  void setCenturyWindow(int year);
  /// A date whose day and month could be read either way ("04/12/26") is invalid, not guessed.
  bool strictDates() const;
  /// Switches it on or off.
  void setStrictDates(bool on);
  /// Escape restores the text the box held when focus entered it; the box keeps focus.
  bool escapeRestores() const { return escapeRestores_; }
  /// Switches it on or off.
  void setEscapeRestores(bool on);

  /// The automation error the last property write, method call or event ended with (0: none).
  int lastError() const { return lastError_; }
  /// The text of that error (empty: none).
  QString lastErrorText() const { return lastErrorText_; }

 Q_SIGNALS:
  /// ValidState changed: the outcome of the check when the user left the box. Emitted for every
  /// change an application could see: before an event's signal when the control changed
  /// ValidState before raising it (the exit check sets it False, rewrites the entry, which raises
  /// Change, then sets it True), and after each user action, write or call.
  void validStateChanged(bool valid);
  /// A property write, a method call or the handling of an event failed.
  void automationError(int number, const QString& description);

 protected:
  /// A widget for the control named `instanceName`; the generated constructors call start().
  KestrinWidgetBase(const QString& instanceName, QWidget* parent);
  /// Creates the control and places it: from `saved` when given, else as newly placed. Called by
  /// the generated constructors, once the object is complete enough to emit its signals.
  void start(const QVariantMap* saved);
  /// Creates the control as `setup` says (design or run time, saved or newly placed).
  void start(const KestrinWidgetSetup& setup);

  /// Reads the member in slot `slot` of the member table (an invalid value when the get fails).
  QVariant readMember(std::size_t slot) const;
  /// Writes it, coerced to its type as an automation client's assignment is; a failure sets
  /// lastError() and emits automationError().
  void writeMember(std::size_t slot, const QVariant& value);
  /// Calls the method in slot `slot`; a failure is reported as for writeMember().
  void callMember(std::size_t slot);
  /// Emits the signal of a raised event, with its arguments by pointer (generated).
  virtual void emitEvent(const values::EventInfo& event, values::EventArgs& args) = 0;

 private:
  struct Parts;
  class ByName;
  friend QAccessibleInterface* accessibleBox(KestrinWidgetBase& owner, QLineEdit& edit);
  void onEvent(const values::EventInfo& event, values::EventArgs& args) override;
  /// A receiver connecting to a property's signal is told of changes from the value then.
  void connectNotify(const QMetaMethod& signal) override;
  void disconnectNotify(const QMetaMethod& signal) override;
  // Finds again which properties' signals have receivers, after connections changed.
  void findHeard();
  // Records the value of the property in `slot` as the one last announced.
  void record(std::size_t slot);
  // The followed property in `slot`, or nullptr; follows it from its value now.
  struct Followed;
  Followed* followed(std::size_t slot);
  void follow(std::size_t slot);
  // By slot of the member table: the NOTIFY signal of each property (found once per class).
  const std::vector<QMetaMethod>& notifiers();
  void reportError(int number, const QString& description);
  /// Emits the NOTIFY signal of every property with a receiver whose value differs from the one
  /// last announced (or recorded when the receiver connected), and validStateChanged.
  void announceChanges();
  void restyle();
  // The exit check of box `index` has run: tells its outcome when accessibleOutcome is on.
  void tellOutcome(int index, const QString& before);
  // A paste into a box, under strictPaste.
  bool pasteAllowed(const QString& pasted, const QString& result) override;
  // Focus left a box: its outcome is told when accessibleOutcome or invalidMarker is on.
  void left(qthost::TextBox& box, const QString& before) override;

  QString instanceName_;
  std::unique_ptr<Parts> parts_;
  // The properties followed (ValidState, and those whose signals have receivers), by slot, each
  // with the value last announced (compared as a form file keeps them: fonts and pictures by
  // content; Empty while none is recorded: no get reads Empty).
  struct Followed {
    std::size_t slot;
    values::Variant announced;
  };
  std::vector<Followed> followed_;
  // By slot: the property's NOTIFY signal (invalid for none), found when first needed (shared
  // by every widget of the same class).
  const std::vector<QMetaMethod>* notifiers_ = nullptr;
  std::atomic<bool> connectionsChanged_{false};
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
