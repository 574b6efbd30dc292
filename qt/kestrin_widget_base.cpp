#include "qt/kestrin_widget_base.h"

#include <QAccessible>
#include <QApplication>
#include <QMetaProperty>
#include <QStyle>
#include <QThread>
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "control/kestrin_component.h"
#include "control/key_filter.h"
#include "control/members.h"
#include "forms/form_file.h"
#include "host/qt/control_site.h"
#include "host/qt/strings.h"
#include "qt/box_accessible.h"
#include "qt/box_outcome.h"
#include "qt/variants.h"
#include "values/property_bag.h"

namespace kestrinx::qt {

namespace {

// Saved properties as a map from property name to value.
class MapBag final : public values::PropertyBag {
 public:
  explicit MapBag(QVariantMap map = {}) : map_(std::move(map)) {}
  values::Variant readProperty(const std::string& name, const values::Variant& defaultValue) override {
    const auto it = map_.constFind(qthost::toQString(name));
    return it == map_.constEnd() ? defaultValue : fromQVariant(*it);
  }
  void writeProperty(const std::string& name, const values::Variant& value,
                     const values::Variant& /*defaultValue*/) override {
    map_.insert(qthost::toQString(name), toQVariant(value));
  }
  const QVariantMap& map() const { return map_; }

 private:
  QVariantMap map_;
};

// A member's value now when it is not the one announced before (any value, while none was:
// no get reads Empty); none when it is, or when its get fails.
std::optional<values::Variant> changedSinceAnnounced(const Kestrin& control, const members::Member& m,
                                                   const values::Variant& before) {
  try {
    return members::changed(control, m, before);
  } catch (const values::AutomationError&) {
    return std::nullopt;
  }
}

// Whether two different values of a member of type `t` are certainly different Qt values, known
// without making them: whole numbers are Qt ints each, and ASCII texts Qt strings of the same
// characters (other UTF-8 may not be: bytes that are no UTF-8 all read as one replacement
// character).
bool differInQt(values::AutoType t, const values::Variant& a, const values::Variant& b) {
  if (t == values::AutoType::Integer || t == values::AutoType::Long || t == values::AutoType::Enum) return true;
  const auto ascii = [](const std::string* s) {
    return s != nullptr && std::all_of(s->begin(), s->end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  };
  return t == values::AutoType::String && ascii(a.stringIf()) && ascii(b.stringIf());
}

// By slot of the member table: each property's NOTIFY signal in the class `meta` describes
// (invalid for a member that is no property), found by name once for each class.
const std::vector<QMetaMethod>& notifiersOf(const QMetaObject* meta) {
  // Widgets live on the GUI thread alone; a program has a class or two of them.
  static std::vector<std::pair<const QMetaObject*, std::unique_ptr<const std::vector<QMetaMethod>>>> found;
  for (const auto& [m, notifiers] : found)
    if (m == meta) return *notifiers;
  auto notifiers = std::make_unique<std::vector<QMetaMethod>>(members::kMembers.size());
  for (std::size_t slot = 0; slot < members::kMembers.size(); ++slot) {
    const int index = meta->indexOfProperty(std::string(members::kMembers[slot].name).c_str());
    if (index >= 0) (*notifiers)[slot] = meta->property(index).notifySignal();
  }
  found.emplace_back(meta, std::move(notifiers));
  return *found.back().second;
}

// Gives each box of a KestrinWidget its accessible interface (qt/box_accessible.h).
QAccessibleInterface* boxAccessibleFactory(const QString& /*className*/, QObject* object) {
  auto* edit = qobject_cast<QLineEdit*>(object);
  if (edit == nullptr) return nullptr;
  auto* owner = qobject_cast<KestrinWidgetBase*>(edit->parentWidget());
  return owner != nullptr ? accessibleBox(*owner, *edit) : nullptr;
}

constexpr std::size_t kValidStateSlot = members::slotOf<&Kestrin::put_ValidState>();
// Announcing stops after this many rounds of handlers changing what was just announced.
constexpr int kAnnounceRounds = 8;

}  // namespace

// The control by name; a set is delivered as a program's write and its failure thrown.
class KestrinWidgetBase::ByName final : public values::Dispatch {
 public:
  explicit ByName(KestrinWidgetBase& w) : w_(w) {}
  values::Variant getProperty(const std::string& name) override;
  void setProperty(const std::string& name, const values::Variant& value) override;

 private:
  KestrinWidgetBase& w_;
};

struct KestrinWidgetBase::Parts {
  Parts(KestrinWidgetBase& widget, const QString& name)
      : site(widget, qthost::toStdString(name), qthost::Surface::Events::HandedOn), component(site), byName(widget) {}
  std::array<BoxOutcome, 2> outcomes;  // before the site: its boxes' interfaces refer to them
  qthost::ControlSite site;
  KestrinComponent component;  // after the site: the control goes first
  ByName byName;
};

values::Variant KestrinWidgetBase::ByName::getProperty(const std::string& name) {
  return members::get(w_.parts_->component.control(), name);
}

void KestrinWidgetBase::ByName::setProperty(const std::string& name, const values::Variant& value) {
  std::optional<values::AutomationError> failure;
  w_.parts_->site.delivery().deliver([&] {
    try {
      members::put(w_.parts_->component.control(), name, value);
    } catch (const values::AutomationError& e) {
      failure = e;
    }
  });
  if (failure) throw *failure;
}

KestrinWidgetBase::KestrinWidgetBase(const QString& instanceName, QWidget* parent)
    : QWidget(parent),
      instanceName_(instanceName),
      followed_{Followed{kValidStateSlot, values::Variant()}} {
  // No receiver can have connected before the widget is made: ValidState alone is followed.
  setObjectName(instanceName);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

// The parts go with parts_ already empty: a box's accessible interface, asked while its line edit
// is destroyed, finds no control to read.
KestrinWidgetBase::~KestrinWidgetBase() { parts_.reset(); }

void KestrinWidgetBase::start(const QVariantMap* saved) {
  KestrinWidgetSetup setup{instanceName_, true, nullptr};
  MapBag bag(saved != nullptr ? *saved : QVariantMap());
  if (saved != nullptr) setup.saved = &bag;
  start(setup);
}

QAccessibleInterface* accessibleBox(KestrinWidgetBase& owner, QLineEdit& edit) {
  if (!owner.parts_) return nullptr;
  for (int index : {0, 1}) {
    qthost::TextBox& box = owner.parts_->site.box(index);
    if (!box.isLineEdit(&edit)) continue;
    // Its leading spaces are padding while the control is a numeric box.
    KestrinWidgetBase* widget = &owner;
    return new BoxAccessible(
        &edit,
        [widget] { return widget->parts_ && widget->parts_->component.control().get_KestrinType() == NUMERIC_TYPE; },
        owner.parts_->outcomes[static_cast<std::size_t>(index)]);
  }
  return nullptr;
}

void KestrinWidgetBase::start(const KestrinWidgetSetup& setup) {
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(&boxAccessibleFactory);
    return true;
  }();
  (void)factoryInstalled;
  parts_ = std::make_unique<Parts>(*this, instanceName_);
  parts_->site.qtSurface().setUserMode(setup.userMode ? values::True : values::False);
  qthost::Delivery& delivery = parts_->site.delivery();
  delivery.setErrorHandler(
      [this](const values::AutomationError& e) { reportError(e.number(), QString::fromUtf8(e.what())); });
  // Which signals have receivers is found again before an event after connections changed, so
  // a receiver connected from another thread hears of what the next event changes.
  delivery.setBeforeEvents([this] {
    if (connectionsChanged_.exchange(false)) findHeard();
  });
  delivery.setAfterEvents([this] { announceChanges(); });
  for (int index : {0, 1}) parts_->site.box(index).setOwner(this);
  KestrinComponent& c = parts_->component;
  c.Initialize();
  c.connect(this);
  {
    // The widgets are placed once, where the control's first properties leave them.
    struct Hold {
      qthost::ControlSite& site;
      explicit Hold(qthost::ControlSite& s) : site(s) { site.holdPlacing(); }
      ~Hold() { site.releasePlacing(); }
      Hold(const Hold&) = delete;
      Hold& operator=(const Hold&) = delete;
    } hold(parts_->site);
    delivery.deliver([&] {
      if (setup.saved != nullptr) {
        c.ReadProperties(*setup.saved);
      } else {
        c.InitProperties();
      }
    });
  }
  updateGeometry();
}

QSize KestrinWidgetBase::sizeHint() const {
  if (!parts_) return {};
  // The size the control asks for, made as tall as the box and caption stand (a box keeps the
  // height its font needs, which may be more than the control asked of it).
  QSize size = parts_->site.qtSurface().requestedPixelSize();
  qthost::TextBox& box = parts_->site.box(parts_->component.control().boxIndex());
  qthost::Caption& caption = parts_->site.caption();
  if (box.visible()) size.setHeight(std::max(size.height(), box.lineEdit().geometry().bottom() + 1));
  if (caption.visible()) size.setHeight(std::max(size.height(), caption.pixelRect().bottom() + 1));
  return size;
}
// The control's own size is the least it wants; a layout may stretch it wider.
QSize KestrinWidgetBase::minimumSizeHint() const { return sizeHint(); }

void KestrinWidgetBase::setVisible(bool visible) {
  // Boxes made on demand are made just before the widget shows, so that Qt shows them with the
  // caption (a child added to a shown widget costs a show of its own and a layout request).
  if (visible && parts_ && !isVisible() && (isWindow() || (parentWidget() != nullptr && parentWidget()->isVisible())))
    parts_->site.surfaceShowing();
  QWidget::setVisible(visible);
}

bool KestrinWidgetBase::event(QEvent* e) {
  if (parts_) parts_->site.qtSurface().widgetEvent(*e);
  return QWidget::event(e);
}

qthost::Services& KestrinWidgetBase::services() { return parts_->site.qtServices(); }
QLineEdit& KestrinWidgetBase::box(int index) const { return parts_->site.box(index == 1 ? 1 : 0).lineEdit(); }
QLineEdit& KestrinWidgetBase::activeBox() const { return box(parts_->component.control().boxIndex()); }
QRect KestrinWidgetBase::captionRect() const {
  const qthost::Caption& caption = parts_->site.caption();
  return caption.visible() ? caption.pixelRect() : QRect();
}

void KestrinWidgetBase::writeProperties(values::PropertyBag& bag) const { parts_->component.WriteProperties(bag); }

void KestrinWidgetBase::resizeTwips(values::Twips width, values::Twips height) {
  parts_->site.delivery().deliver([&] { parts_->site.qtSurface().resize(width, height); });
}

values::Twips KestrinWidgetBase::widthTwips() const { return parts_->site.qtSurface().width(); }
values::Twips KestrinWidgetBase::heightTwips() const { return parts_->site.qtSurface().height(); }

bool KestrinWidgetBase::userMode() const { return parts_->site.qtSurface().ambientUserMode() != values::False; }

values::Dispatch& KestrinWidgetBase::dispatch() { return parts_->byName; }

QVariantMap KestrinWidgetBase::savedProperties() const {
  MapBag bag;
  try {
    parts_->component.WriteProperties(bag);
  } catch (const values::AutomationError& e) {
    const_cast<KestrinWidgetBase*>(this)->reportError(e.number(), QString::fromUtf8(e.what()));
  }
  return bag.map();
}

QVariant KestrinWidgetBase::readMember(std::size_t slot) const {
  const members::Member& m = members::kMembers[slot];
  try {
    return toQVariant(members::get(parts_->component.control(), m), m.type);
  } catch (const values::AutomationError& e) {
    const_cast<KestrinWidgetBase*>(this)->reportError(e.number(), QString::fromUtf8(e.what()));
    return {};
  }
}

void KestrinWidgetBase::writeMember(std::size_t slot, const QVariant& value) {
  lastError_ = 0;
  lastErrorText_.clear();
  parts_->site.delivery().deliver(
      [&] { members::put(parts_->component.control(), members::kMembers[slot], fromQVariant(value)); });
}

void KestrinWidgetBase::callMember(std::size_t slot) {
  lastError_ = 0;
  lastErrorText_.clear();
  parts_->site.delivery().deliver([&] { members::call(parts_->component.control(), members::kMembers[slot]); });
}

void KestrinWidgetBase::onEvent(const values::EventInfo& event, values::EventArgs& args) {
  // The application's handlers see the boxes as the control left them (an edit a box holds
  // back while the control handles it is settled first).
  parts_->site.delivery().settle();
  // ... and the properties as its signals last said: a change the control made before raising
  // the event (ValidState set False by the exit check that is rewriting the entry) is announced
  // first, so a check that sets ValidState back to True is announced too.
  announceChanges();
  emitEvent(event, args);
}

void KestrinWidgetBase::reportError(int number, const QString& description) {
  lastError_ = number;
  lastErrorText_ = description;
  Q_EMIT automationError(number, description);
}

const std::vector<QMetaMethod>& KestrinWidgetBase::notifiers() {
  if (notifiers_ == nullptr) notifiers_ = &notifiersOf(metaObject());
  return *notifiers_;
}

namespace {

// Whether `signal` may be a property's NOTIFY signal: one this class or a class made from it
// declares, or any (an invalid one: every signal was disconnected). A connection to a signal
// every object or widget has, destroyed say, changes no property's receivers.
bool isOwnSignal(const QMetaMethod& signal) {
  if (!signal.isValid()) return true;
  const QMetaObject* declaring = signal.enclosingMetaObject();
  return declaring == nullptr || declaring->inherits(&KestrinWidgetBase::staticMetaObject);
}

}  // namespace

// Connections may be made from any thread; the widget's own thread reads the control.
void KestrinWidgetBase::connectNotify(const QMetaMethod& signal) {
  QWidget::connectNotify(signal);
  if (!isOwnSignal(signal)) return;
  connectionsChanged_ = true;
  if (!parts_ || QThread::currentThread() != thread() || signal.methodType() != QMetaMethod::Signal) return;
  const std::vector<QMetaMethod>& notifiers = this->notifiers();
  const auto it = std::find(notifiers.begin(), notifiers.end(), signal);
  if (it == notifiers.end()) return;
  follow(static_cast<std::size_t>(it - notifiers.begin()));
}

KestrinWidgetBase::Followed* KestrinWidgetBase::followed(std::size_t slot) {
  const auto it = std::lower_bound(followed_.begin(), followed_.end(), slot,
                                   [](const Followed& f, std::size_t s) { return f.slot < s; });
  return it != followed_.end() && it->slot == slot ? &*it : nullptr;
}

void KestrinWidgetBase::follow(std::size_t slot) {
  if (followed(slot) != nullptr) return;
  const auto it = std::lower_bound(followed_.begin(), followed_.end(), slot,
                                   [](const Followed& f, std::size_t s) { return f.slot < s; });
  followed_.insert(it, Followed{slot, values::Variant()});
  record(slot);
}

// A new receiver hears of changes from the value now (one connected from another thread, from
// the value when the widget's thread next finds the receivers: before its next event).
void KestrinWidgetBase::record(std::size_t slot) {
  if (!members::kMembers[slot].has(members::Get)) return;
  Followed* f = followed(slot);
  if (f == nullptr) return;
  f->announced = values::Variant();
  if (std::optional<values::Variant> now =
          changedSinceAnnounced(parts_->component.control(), members::kMembers[slot], f->announced))
    f->announced = std::move(*now);
}

void KestrinWidgetBase::disconnectNotify(const QMetaMethod& signal) {
  QWidget::disconnectNotify(signal);
  if (isOwnSignal(signal)) connectionsChanged_ = true;
}

void KestrinWidgetBase::findHeard() {
  const std::vector<QMetaMethod>& notifiers = this->notifiers();
  for (std::size_t slot = 0; slot < notifiers.size(); ++slot) {
    const bool heard = slot == kValidStateSlot || (notifiers[slot].isValid() && isSignalConnected(notifiers[slot]));
    if (heard) {
      follow(slot);  // a receiver connected from another thread
    } else if (Followed* f = followed(slot)) {
      followed_.erase(followed_.begin() + (f - followed_.data()));
    }
  }
}

void KestrinWidgetBase::announceChanges() {
  if (announcing_ || !parts_) return;
  announcing_ = true;
  const Kestrin& control = parts_->component.control();
  // Which signals have receivers was found before the event (see start()).
  const std::vector<QMetaMethod>& notifiers = this->notifiers();
  // Code that runs for the signals (their receivers, a restyle) may change more; announce again
  // until nothing is new. Without such code another round would read the same values.
  for (int round = 0; round < kAnnounceRounds; ++round) {
    bool codeRan = false;
    // Only what someone hears of is read: a property whose signal has no receiver is not
    // followed (its receiver records its value when it connects). Receivers may connect to more
    // while they are told: the list is read by position.
    for (std::size_t i = 0; i < followed_.size(); ++i) {
      const std::size_t slot = followed_[i].slot;
      const members::Member& m = members::kMembers[slot];
      if (!m.has(members::Get)) continue;
      // Compared as the control holds them first, in place, so nothing is made for an unchanged
      // property; a changed one is announced when its Qt value changed (True -1 and 1 are both
      // true). A value that cannot be read now has nothing to announce.
      values::Variant& before = followed_[i].announced;
      const bool first = before.isEmpty();
      std::optional<values::Variant> now = changedSinceAnnounced(control, m, before);
      if (!now) continue;
      const bool same =
          !first && !differInQt(m.type, before, *now) && toQVariant(before, m.type) == toQVariant(*now, m.type);
      before = std::move(*now);
      const bool valid = slot == kValidStateSlot && toQVariant(before, m.type).toBool();  // read before receivers run
      if (first || same) continue;  // the first values are recorded, not announced
      if (const QMetaMethod& notify = notifiers[slot]; notify.isValid() && isSignalConnected(notify)) {
        codeRan = true;
        notify.invoke(this, Qt::DirectConnection);
      }
      if (slot == kValidStateSlot) {
        codeRan = true;
        Q_EMIT validStateChanged(valid);
        restyle();
      }
    }
    if (!codeRan) break;
  }
  announcing_ = false;
}

// Style sheets may select on ValidState; they are applied again when it changes.
void KestrinWidgetBase::restyle() {
  if (styleSheet().isEmpty() && qApp->styleSheet().isEmpty()) return;
  // The caption is painted with the widget's own style and palette.
  for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(&box(0)),
                     parts_->site.box(1).lineEditMade() ? static_cast<QWidget*>(&box(1)) : nullptr}) {
    if (w == nullptr) continue;  // a box not made yet is styled when it is made
    w->style()->unpolish(w);
    w->style()->polish(w);
    w->update();
  }
}

}  // namespace kestrinx::qt

namespace kestrinx::qt {

// ---- opt-ins ------------------------------------------------------------------------------

QStringList KestrinWidgetBase::optIns() {
  return {"accessibleOutcome", "invalidMarker", "undoEnabled", "strictPaste", "centuryWindow", "strictDates",
          "escapeRestores"};
}

void KestrinWidgetBase::setAccessibleOutcome(bool on) {
  accessibleOutcome_ = on;
  if (on) return;
  // Nothing told stays behind.
  for (int index : {0, 1}) {
    qthost::TextBox& box = parts_->site.box(index);
    if (!box.lineEditMade()) continue;  // nothing was told to a box never made
    BoxOutcome& outcome = parts_->outcomes[static_cast<std::size_t>(index)];
    if (outcome.anythingTold(box.lineEdit())) outcome.tell(box.lineEdit(), {}, false, false);
  }
}

void KestrinWidgetBase::setInvalidMarker(bool on) {
  invalidMarker_ = on;
  for (int index : {0, 1}) {
    qthost::TextBox& box = parts_->site.box(index);
    if (!box.lineEditMade()) continue;  // nothing was told to a box never made
    BoxOutcome& outcome = parts_->outcomes[static_cast<std::size_t>(index)];
    if (outcome.invalid() || !box.lineEdit().actions().isEmpty())
      outcome.tell(box.lineEdit(), box.lineEdit().accessibleDescription(), outcome.invalid(), on);
  }
}

void KestrinWidgetBase::setUndoEnabled(bool on) {
  undoEnabled_ = on;
  for (int index : {0, 1}) parts_->site.box(index).setUndoEnabled(on);
}

void KestrinWidgetBase::setStrictPaste(bool on) { strictPaste_ = on; }

int KestrinWidgetBase::centuryWindow() const { return parts_->site.qtServices().dateReading().centuryStart; }

void KestrinWidgetBase::setCenturyWindow(int year) {
  lastError_ = 0;
  lastErrorText_.clear();
  if (year < values::kFirstCenturyStart || year > values::kLastCenturyStart) {
    reportError(values::err::InvalidPropertyValue,
                QString::fromUtf8(values::AutomationError(values::err::InvalidPropertyValue).what()));
    return;
  }
  values::DateReading r = parts_->site.qtServices().dateReading();
  r.centuryStart = year;
  parts_->site.qtServices().setDateReading(r);
}

bool KestrinWidgetBase::strictDates() const { return parts_->site.qtServices().dateReading().strictOrder; }

void KestrinWidgetBase::setStrictDates(bool on) {
  values::DateReading r = parts_->site.qtServices().dateReading();
  r.strictOrder = on;
  parts_->site.qtServices().setDateReading(r);
}

void KestrinWidgetBase::setEscapeRestores(bool on) {
  escapeRestores_ = on;
  for (int index : {0, 1}) parts_->site.box(index).setEscapeRestores(on);
}

void KestrinWidgetBase::tellOutcome(int index, const QString& before) {
  if (!accessibleOutcome_ && !invalidMarker_) return;
  const Kestrin& control = parts_->component.control();
  qthost::TextBox& box = parts_->site.box(index);
  const std::int32_t type = control.get_KestrinType();
  const char* kind = type == NUMERIC_TYPE ? "number" : type == DATE_TYPE ? "date" : type == TIME_TYPE ? "time" : nullptr;
  const bool invalid = kind != nullptr && control.get_ValidState() == values::False;
  const QString after = box.lineEdit().text().trimmed();
  QString message;
  if (invalid) {
    message = QStringLiteral("Invalid %1").arg(QLatin1String(kind));
  } else if (after != before.trimmed()) {
    message = before.trimmed() + QStringLiteral(" \u2192 ") + after;
  }
  BoxOutcome& outcome = parts_->outcomes[static_cast<std::size_t>(index)];
  outcome.tell(box.lineEdit(), accessibleOutcome_ ? message : box.lineEdit().accessibleDescription(), invalid,
               invalidMarker_);
}

void KestrinWidgetBase::left(qthost::TextBox& box, const QString& before) {
  tellOutcome(&box == &parts_->site.box(1) ? 1 : 0, before);
}

bool KestrinWidgetBase::pasteAllowed(const QString& pasted, const QString& result) {
  const Kestrin& control = parts_->component.control();
  if (!strictPaste_ || control.get_KestrinType() != NUMERIC_TYPE) return true;
  if (keyfilter::PasteAccepted(qthost::toStdString(pasted), qthost::toStdString(result),
                               control.get_NumSeparatorUse() != values::False))
    return true;
  parts_->site.qtServices().beep();
  return false;
}

}  // namespace kestrinx::qt
