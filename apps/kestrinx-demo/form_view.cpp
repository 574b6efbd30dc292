// The demo's form: Kestrin widgets on a canvas, loaded from and saved to a form file.
#include "form_view.h"

#include <QLineEdit>
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

// The side to save for the pixels shown: the saved twips while the widget still shows them, so a
// form saved again unchanged keeps its exact placement. (The size is the control's own, in twips.)
values::Twips keptOrMeasured(values::Twips saved, int shown, int (*toPixels)(const QWidget&, values::Twips),
                           values::Twips (*toTwips)(const QWidget&, double), const QWidget& w) {
  return toPixels(w, saved) == shown ? saved : toTwips(w, shown);
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
  c.widget = w;
  w->show();
  return w;
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
    forms::FormPropertyBag bag(c->record.properties);
    KestrinWidget* w = create(*c, &bag);
    if (w->lastError() != 0) {
      c->complete = false;
      const headless::LoadProblem problem{fc.name, bag.lastKeyRead(), w->lastError(),
                                          qthost::toStdString(w->lastErrorText())};
      problems << qthost::toQString(problem.message());
    }
    qt::placeAt(*w, fc.placement);
    controls_.push_back(std::move(c));
  }
  Q_EMIT controlsChanged();
  return problems;
}

forms::FormFile FormView::save() const {
  forms::FormFile file;
  file.name = qthost::toStdString(formName_);
  for (const auto& c : controls_) {
    forms::FormControl saved = c->record;
    const KestrinWidget& w = *c->widget;
    if (c->complete) {
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
    file.controls.push_back(std::move(saved));
  }
  return file;
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
  Q_EMIT controlsChanged();
  return w;
}

void FormView::remove(KestrinWidget* w) {
  for (auto it = controls_.begin(); it != controls_.end(); ++it) {
    if ((*it)->widget != w) continue;
    delete w;
    controls_.erase(it);
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
  for (const auto& c : controls_)
    if (c->widget->objectName().compare(name, Qt::CaseInsensitive) == 0) return c->widget;
  return nullptr;
}

}  // namespace kestrinx::demo
