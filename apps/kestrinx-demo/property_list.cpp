// The designer's property list and its editors.
#include "property_list.h"

#include <QColorDialog>
#include <QComboBox>
#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <array>
#include <vector>

#include "control/member_text.h"
#include "control/members.h"
#include "host/qt/colors.h"
#include "host/qt/strings.h"
#include "values/error.h"

namespace kestrinx::demo {

namespace {

constexpr quint32 kSystemBit = 0x80000000u;

// The system colours by number, as a designer offers them.
constexpr std::array<const char*, 25> kSystemColorNames = {
    "Scroll bars",        "Desktop",          "Active title bar",     "Inactive title bar",
    "Menu bar",           "Window background", "Window frame",        "Menu text",
    "Window text",        "Active title bar text", "Active border",   "Inactive border",
    "Application workspace", "Highlight",     "Highlighted text",     "Button face",
    "Button shadow",      "Disabled text",    "Button text",          "Inactive title bar text",
    "Button highlight",   "Button dark shadow", "Button light shadow", "ToolTip text",
    "ToolTip background"};

// The rows: every member with a get, in slot order.
const std::vector<const members::Member*>& rows() {
  static const std::vector<const members::Member*> listed = [] {
    std::vector<const members::Member*> r;
    for (const members::Member& m : members::kMembers)
      if (m.has(members::Get)) r.push_back(&m);
    return r;
  }();
  return listed;
}

QString nameOf(const members::Member& m) { return QString::fromLatin1(m.name.data(), static_cast<qsizetype>(m.name.size())); }

// A colour as a small framed square, visible on any background.
QIcon swatch(const QColor& c, const QColor& frame) {
  QPixmap p(14, 14);
  p.fill(frame);
  QPainter painter(&p);
  painter.fillRect(1, 1, 12, 12, c);
  painter.end();
  return QIcon(p);
}

// The value a row shows for the editors to start from: an enumeration's number, a colour's.
constexpr int kValueRole = Qt::UserRole;

}  // namespace

// Drop-downs for enumerations and colours; the default text editor for the rest.
class PropertyList::Delegate final : public QStyledItemDelegate {
 public:
  explicit Delegate(PropertyList& list) : QStyledItemDelegate(&list), list_(list) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const members::Member& m = list_.member(index.row());
    if (readOnly(m)) return nullptr;
    if (m.type == values::AutoType::Enum && m.enumeration != nullptr) {
      auto* combo = new QComboBox(parent);
      for (const values::EnumMember& e : m.enumeration->members)
        combo->addItem(QStringLiteral("%1 %2").arg(e.value).arg(QLatin1String(e.name.data(), static_cast<qsizetype>(e.name.size()))),
                       QString::fromLatin1(e.name.data(), static_cast<qsizetype>(e.name.size())));
      commitOnChoice(combo);
      return combo;
    }
    if (m.type == values::AutoType::Color) {
      auto* combo = new QComboBox(parent);
      const quint32 now = index.data(kValueRole).toUInt();
      if ((now & kSystemBit) == 0)
        combo->addItem(swatch(qthost::toQColor(now, list_.palette()), list_.palette().color(QPalette::Text)), colorText(now), QString::number(now));
      for (quint32 n = 0; n < kSystemColorNames.size(); ++n) {
        const quint32 c = kSystemBit | n;
        combo->addItem(swatch(qthost::toQColor(c, list_.palette()), list_.palette().color(QPalette::Text)), colorText(c), QString::number(c));
      }
      combo->addItem(tr("Other colour..."), QString());
      combo->setMaxVisibleItems(static_cast<int>(kSystemColorNames.size()) + 2);
      commitOnChoice(combo);
      return combo;
    }
    return QStyledItemDelegate::createEditor(parent, option, index);
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (combo == nullptr) return QStyledItemDelegate::setEditorData(editor, index);
    const members::Member& m = list_.member(index.row());
    const QString now = m.type == values::AutoType::Enum
                            ? QString::fromStdString(members::textFromValue(m, values::Variant::longValue(index.data(kValueRole).toInt())))
                            : QString();
    QSignalBlocker quiet(combo);
    for (int i = 0; i < combo->count(); ++i) {
      const bool current = m.type == values::AutoType::Enum ? combo->itemText(i) == now
                                                              : combo->itemData(i).toString() ==
                                                                    QString::number(index.data(kValueRole).toUInt());
      if (current) combo->setCurrentIndex(i);
    }
  }

  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (combo == nullptr) return QStyledItemDelegate::setModelData(editor, model, index);
    const QString text = combo->currentData().toString();
    if (!text.isEmpty()) model->setData(index, text, Qt::EditRole);
  }

 private:
  // A choice in the drop-down is the edit: it is committed at once and the editor closes. The
  // colour drop-down's last entry asks for any colour in a colour dialog.
  void commitOnChoice(QComboBox* combo) const {
    auto* self = const_cast<Delegate*>(this);
    connect(combo, &QComboBox::activated, self, [self, combo, this](int i) {
      if (combo->itemData(i).toString().isEmpty()) {
        const QColor start = qthost::toQColor(combo->itemData(0).toUInt(), list_.palette());
        const QColor chosen = QColorDialog::getColor(start, &list_, tr("Colour"));
        if (!chosen.isValid()) {
          Q_EMIT self->closeEditor(combo, QAbstractItemDelegate::RevertModelCache);
          return;
        }
        const quint32 ole = static_cast<quint32>(chosen.red()) | (static_cast<quint32>(chosen.green()) << 8) |
                            (static_cast<quint32>(chosen.blue()) << 16);
        combo->setItemData(i, QString::number(ole));
      }
      Q_EMIT self->commitData(combo);
      Q_EMIT self->closeEditor(combo);
    });
  }

  PropertyList& list_;
};

PropertyList::PropertyList(QWidget* parent) : QTableWidget(0, 2, parent) {
  setHorizontalHeaderLabels({tr("Property"), tr("Value")});
  horizontalHeader()->setStretchLastSection(true);
  verticalHeader()->setVisible(false);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                  QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  setItemDelegateForColumn(1, new Delegate(*this));
  setRowCount(static_cast<int>(rows().size()));
  for (int r = 0; r < rowCount(); ++r) {
    auto* name = new QTableWidgetItem(nameOf(member(r)));
    name->setFlags(Qt::ItemIsEnabled);
    setItem(r, 0, name);
  }
  resizeColumnToContents(0);
  showValues(nullptr);
  connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (showing_ || item->column() != 1) return;
    const members::Member& m = member(item->row());
    if (m.type == values::AutoType::Boolean) {
      Q_EMIT edited(nameOf(m), item->checkState() == Qt::Checked ? QStringLiteral("True") : QStringLiteral("False"));
    } else {
      Q_EMIT edited(nameOf(m), item->text());
    }
  });
}

const members::Member& PropertyList::member(int row) const { return *rows().at(static_cast<std::size_t>(row)); }

int PropertyList::rowOf(std::string_view name) const {
  for (std::size_t r = 0; r < rows().size(); ++r)
    if (rows()[r]->name == name) return static_cast<int>(r);
  return -1;
}

bool PropertyList::readOnly(const members::Member& m) {
  return qt::KestrinWidget::readOnlyProperty(std::string(m.name).c_str());
}

QString PropertyList::colorText(quint32 color) {
  if ((color & kSystemBit) != 0 && (color & ~kSystemBit) < kSystemColorNames.size())
    return QString::fromLatin1(kSystemColorNames[color & ~kSystemBit]);
  return QStringLiteral("0x%1").arg(color, 8, 16, QLatin1Char('0')).toUpper().replace(QLatin1String("0X"), QLatin1String("0x"));
}

void PropertyList::showValues(qt::KestrinWidget* control) {
  showing_ = true;
  const QColor greyed = palette().color(QPalette::Disabled, QPalette::Text);
  for (int r = 0; r < rowCount(); ++r) {
    const members::Member& m = member(r);
    auto* value = new QTableWidgetItem;
    Qt::ItemFlags flags = Qt::ItemIsEnabled;
    if (control != nullptr) {
      try {
        const values::Variant v = control->dispatch().getProperty(std::string(m.name));
        value->setText(qthost::toQString(members::textFromValue(m, v)));
        if (m.type == values::AutoType::Boolean) {
          value->setCheckState(v.toBoolean() != values::False ? Qt::Checked : Qt::Unchecked);
          if (!readOnly(m)) flags |= Qt::ItemIsUserCheckable;
        } else if (m.type == values::AutoType::Color) {
          const quint32 c = values::toColor(v);
          value->setText(colorText(c));
          value->setIcon(swatch(qthost::toQColor(c, palette()), palette().color(QPalette::Text)));
          value->setData(kValueRole, c);
        } else if (m.type == values::AutoType::Enum) {
          value->setData(kValueRole, static_cast<int>(v.toLong()));
        }
        if (!readOnly(m) && m.type != values::AutoType::Boolean) flags |= Qt::ItemIsSelectable | Qt::ItemIsEditable;
      } catch (const values::AutomationError& e) {
        value->setText(QStringLiteral("(run-time error %1: %2)").arg(e.number()).arg(QString::fromUtf8(e.what())));
      }
    }
    if (readOnly(m)) {
      value->setForeground(greyed);
      value->setToolTip(tr("%1 is read-only").arg(nameOf(m)));
      item(r, 0)->setForeground(greyed);
    }
    value->setFlags(flags);
    setItem(r, 1, value);
  }
  showing_ = false;
}

}  // namespace kestrinx::demo
