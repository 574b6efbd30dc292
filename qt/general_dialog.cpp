// The General page on the Qt page site, in a dialog with OK, Cancel and Apply.
#include "qt/general_dialog.h"

#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "host/qt/page_site.h"
#include "host/qt/strings.h"
#include "propertypage/general.h"
#include "qt/kestrin_widget.h"
#include "values/error.h"

namespace kestrinx::qt {

namespace {

// A selected control as the page reaches it by name, for as long as its widget lives.
class Selected final : public values::Dispatch {
 public:
  explicit Selected(KestrinWidget* w) : w_(w) {}
  values::Variant getProperty(const std::string& name) override { return widget().dispatch().getProperty(name); }
  void setProperty(const std::string& name, const values::Variant& value) override {
    widget().dispatch().setProperty(name, value);
  }

 private:
  KestrinWidget& widget() {
    if (!w_) values::raiseError(values::err::ObjectVariableNotSet);
    return *w_;
  }
  QPointer<KestrinWidget> w_;
};

QString messageOf(const values::AutomationError& e) { return QString::fromUtf8(e.what()); }

}  // namespace

struct GeneralDialog::Parts {
  explicit Parts(QWidget& area) : site(area) {}
  qthost::PageSite site;
  std::vector<std::unique_ptr<Selected>> selected;
  std::unique_ptr<propertypage::General> page;  // after the site: the page goes first
};

GeneralDialog::GeneralDialog(QList<KestrinWidget*> selection, QWidget* parent) : QDialog(parent) {
  auto* area = new QWidget(this);
  parts_ = std::make_unique<Parts>(*area);
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(area);
  layout->addWidget(buttons_);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  qthost::PageSite& site = parts_->site;
  QPushButton* applyButton = buttons_->button(QDialogButtonBox::Apply);
  site.setChangedHook([applyButton](bool changed) { applyButton->setEnabled(changed); });
  site.setErrorHook([this](const values::AutomationError& e) {
    QMessageBox::warning(this, windowTitle(), messageOf(e));
  });
  connect(buttons_, &QDialogButtonBox::accepted, this, &GeneralDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &GeneralDialog::reject);
  connect(applyButton, &QPushButton::clicked, this, [this] { apply(); });

  std::vector<values::Dispatch*> controls;
  for (KestrinWidget* w : selection) {
    parts_->selected.push_back(std::make_unique<Selected>(w));
    controls.push_back(parts_->selected.back().get());
  }
  site.select(std::move(controls));
  // Creating and loading the page fills its widgets; that is no edit, so the page starts clean.
  try {
    parts_->page = std::make_unique<propertypage::General>(site);
    setWindowTitle(qthost::toQString(site.pageCaption()));
    parts_->page->PropertyPage_Initialize();
    parts_->page->PropertyPage_SelectionChanged();
  } catch (const values::AutomationError& e) {
    QMessageBox::warning(this, windowTitle(), messageOf(e));
  }
  site.setChanged(values::False);
  applyButton->setEnabled(false);
}

GeneralDialog::~GeneralDialog() = default;

bool GeneralDialog::apply() {
  if (!parts_->page) return false;
  try {
    parts_->page->PropertyPage_ApplyChanges();
  } catch (const values::AutomationError& e) {
    // Shown without waiting, so the dialog stays usable (and testable) behind it.
    auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(), messageOf(e), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return false;
  }
  parts_->site.setChanged(values::False);
  Q_EMIT applied();
  return true;
}

void GeneralDialog::accept() {
  if (parts_->site.changed() != values::False && !apply()) return;
  QDialog::accept();
}

}  // namespace kestrinx::qt
