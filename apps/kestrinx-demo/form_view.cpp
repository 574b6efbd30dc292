// The demo's form: Kestrin widgets on a canvas, loaded from and saved to a form file.
#include "form_view.h"

#include <QEvent>
#include <QLineEdit>
#include <algorithm>
#include <stdexcept>

#include "control/kestrin_component.h"
#include "forms/form_property_bag.h"
#include "host/headless/form_document.h"
#include "host/qt/strings.h"
#include "host/qt/units.h"
#include "qt/form_widgets.h"
#include "values/error.h"

namespace kestrinx::demo {

namespace {

// Room left to the right of and below the controls, in pixels.
constexpr int kMargin = 16;

// The side to save for the pixels shown: the saved twips while the widget still shows them, so a
// form saved again unchanged keeps its exact placement. (The size is the control's own, in twips.)
values::Twips keptOrMeasured(values::Twips saved, int shown, int (*toPixels)(const QWidget&, values::Twips),
                           values::Twips (*toTwips)(const QWidget&, double), const QWidget& w) {
  return toPixels(w, saved) == shown ? saved : toTwips(w, shown);
}

// `control` with font objects of its own: a font in a saved entry is the object the control
// holds, which a later change of the control's font could change in place.
forms::FormControl detached(forms::FormControl control) {
  for (forms::FormEntry& e : control.properties)
    if (e.value.type() == values::VarType::Font)
      if (const values::FontRef font = e.value.toFont())
        e.value = values::Variant::font(std::make_shared<values::Font>(*font));
  return control;
}

}  // namespace

FormView::FormView(Mode mode, QWidget* parent) : QWidget(parent), mode_(mode) {
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Window);
}

FormView::~FormView() = default;

KestrinWidget* FormView::create(Control& c, values::PropertyBag* bag) {
  qt::KestrinWidgetSetup setup{qthost::toQString(c.record.name), mode_ == Mode::Run, bag};
  auto* w = new KestrinWidget(setup, this);
  if (mode_ == Mode::Design) {
    // The designer's canvas takes the mouse; the boxes take no keys.
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (int i : {0, 1}) w->box(i).setFocusPolicy(Qt::NoFocus);
  }
  w->installEventFilter(this);
  c.widget = w;
  w->show();
  return w;
}

QString FormView::open(Control& c) {
  forms::FormPropertyBag bag(c.record.properties);
  KestrinWidget* w = create(c, &bag);
  QString problem;
  if (w->lastError() != 0) {
    c.complete = false;
    const headless::LoadProblem p{c.record.name, bag.lastKeyRead(), w->lastError(),
                                  qthost::toStdString(w->lastErrorText())};
    problem = qthost::toQString(p.message());
  }
  qt::placeAt(*w, c.record.placement);
  return problem;
}

QStringList FormView::load(const forms::FormFile& file) {
  for (const forms::FormControl& fc : file.controls)
    if (fc.progId != KestrinProgId)
      throw std::runtime_error("control '" + fc.name + "' is of class '" + fc.progId + "', which this form cannot show");
  for (auto& c : controls_) delete c->widget;
  controls_.clear();
  formName_ = qthost::toQString(file.name);
  QStringList problems;
  for (const forms::FormControl& fc : file.controls) {
    auto c = std::make_unique<Control>();
    c->record = fc;
    if (const QString problem = open(*c); !problem.isEmpty()) problems << problem;
    controls_.push_back(std::move(c));
  }
  updateGeometry();
  Q_EMIT controlsChanged();
  return problems;
}

forms::FormControl FormView::recordOf(const Control& c) const {
  forms::FormControl saved = c.record;
  const KestrinWidget& w = *c.widget;
  if (c.complete) {
    forms::FormPropertyBag bag(saved.properties);
    try {
      w.writeProperties(bag);
    } catch (const values::AutomationError& e) {
      throw values::AutomationError(e.number(), "control '" + saved.name + "': " + e.what());
    }
  }
  const QRect g = w.geometry();
  forms::Placement& p = saved.placement;
  p.left = keptOrMeasured(p.left, g.x(), qthost::toPixelsX, qthost::toTwipsX, w);
  p.top = keptOrMeasured(p.top, g.y(), qthost::toPixelsY, qthost::toTwipsY, w);
  p.width = w.widthTwips();
  p.height = w.heightTwips();
  return saved;
}

forms::FormFile FormView::save() const {
  forms::FormFile file;
  file.name = qthost::toStdString(formName_);
  for (const auto& c : controls_) file.controls.push_back(recordOf(*c));
  return file;
}

forms::FormControl FormView::record(const KestrinWidget& w) const {
  for (const auto& c : controls_)
    if (c->widget == &w) return detached(recordOf(*c));
  throw std::invalid_argument("the control is not on this form");
}

KestrinWidget* FormView::restore(const forms::FormControl& saved, int index, QString* problem) {
  if (KestrinWidget* old = find(qthost::toQString(saved.name))) {
    index = indexOf(old->objectName());
    remove(old);
  }
  auto c = std::make_unique<Control>();
  c->record = detached(saved);
  const QString message = open(*c);
  if (problem != nullptr) *problem = message;
  KestrinWidget* w = c->widget;
  index = std::clamp(index, 0, static_cast<int>(controls_.size()));
  controls_.insert(controls_.begin() + index, std::move(c));
  // Stacked as the form orders them: a later control stands above an earlier one.
  if (index + 1 < static_cast<int>(controls_.size())) w->stackUnder(controls_[static_cast<std::size_t>(index) + 1]->widget);
  updateGeometry();
  Q_EMIT controlsChanged();
  return w;
}

void FormView::setPlacement(KestrinWidget& w, const forms::Placement& p) {
  for (const auto& c : controls_) {
    if (c->widget != &w) continue;
    c->record.placement = p;
    qt::placeAt(w, p);
    return;
  }
}

KestrinWidget* FormView::place(int left, int top) {
  int n = 1;
  while (find(QStringLiteral("Kestrin%1").arg(n)) != nullptr) ++n;
  auto c = std::make_unique<Control>();
  c->record.name = qthost::toStdString(QStringLiteral("Kestrin%1").arg(n));
  c->record.progId = KestrinProgId;
  KestrinWidget* w = create(*c, nullptr);
  w->move(left, top);
  c->record.placement = {qthost::toTwipsX(*w, left), qthost::toTwipsY(*w, top), w->widthTwips(), w->heightTwips()};
  controls_.push_back(std::move(c));
  updateGeometry();
  Q_EMIT controlsChanged();
  return w;
}

void FormView::remove(KestrinWidget* w) {
  for (auto it = controls_.begin(); it != controls_.end(); ++it) {
    if ((*it)->widget != w) continue;
    delete w;
    controls_.erase(it);
    updateGeometry();
    Q_EMIT controlsChanged();
    return;
  }
}

QList<KestrinWidget*> FormView::controls() const {
  QList<KestrinWidget*> list;
  for (const auto& c : controls_) list << c->widget;
  return list;
}

KestrinWidget* FormView::find(const QString& name) const {
  const int i = indexOf(name);
  return i < 0 ? nullptr : controls_[static_cast<std::size_t>(i)]->widget;
}

int FormView::indexOf(const QString& name) const {
  for (std::size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i]->widget->objectName().compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
  return -1;
}

QSize FormView::sizeHint() const {
  QRect used;
  for (const auto& c : controls_) used |= c->widget->geometry();
  return QSize(std::max(0, used.right()) + 1 + kMargin, std::max(0, used.bottom()) + 1 + kMargin);
}

QSize FormView::minimumSizeHint() const { return sizeHint(); }

bool FormView::eventFilter(QObject* watched, QEvent* event) {
  if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && watched->parent() == this) {
    updateGeometry();
    Q_EMIT controlGeometryChanged();
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace kestrinx::demo
