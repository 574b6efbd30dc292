// A form designed with the control in Qt Designer, compiled by uic at build time: the generated
// setupUi sets the control's properties in the order a loaded control reads its saved
// properties, and gives the control the form's values (enumerations by member name, colours as
// Designer writes them).
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QWidget>
#include <algorithm>
#include <string>
#include <vector>

#include "control/members.h"
#include "qt/kestrin_widget.h"
#include "ui_kestrin_form.h"

namespace kestrinx::testing {
namespace {

using Names = std::vector<std::string>;

// The properties setupUi sets on the control, in the order of the generated code.
Names setupUiOrder() {
  QFile file(QStringLiteral(KESTRINX_DESIGNER_FORM_HEADER));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QString code = QString::fromUtf8(file.readAll());
  Names order;
  static const QRegularExpression set(QStringLiteral(R"re(\bkestrin->setProperty\("(\w+)")re"));
  for (const QRegularExpressionMatch& m : set.globalMatch(code)) order.push_back(m.captured(1).toStdString());
  return order;
}

TEST(DesignerFormTest, SetupUiSetsTheSavedPropertiesInReadingOrderFirst) {
  const Names order = setupUiOrder();
  // Every saved property a designer edits: one that takes a value, and not a picture.
  Names saved;
  for (std::string_view key : members::readOrder()) {
    const members::Member* m = members::find(key);
    ASSERT_NE(m, nullptr);
    if (qt::KestrinWidget::readOnlyProperty(key)) continue;
    if (m->has(members::Put) || (m->has(members::PutRef) && m->type != values::AutoType::Picture))
      saved.emplace_back(key);
  }
  ASSERT_GE(order.size(), saved.size());
  EXPECT_EQ(Names(order.begin(), order.begin() + static_cast<long>(saved.size())), saved);
  // The rest are the published properties that are not saved, once each.
  for (auto it = order.begin() + static_cast<long>(saved.size()); it != order.end(); ++it) {
    const members::Member* m = members::find(*it);
    ASSERT_NE(m, nullptr) << *it;
    EXPECT_FALSE(m->saved) << *it;
    EXPECT_EQ(std::count(order.begin(), order.end(), *it), 1) << *it;
  }
}

TEST(DesignerFormTest, SetupUiGivesTheControlTheFormsValues) {
  QWidget form;
  Ui::KestrinForm ui;
  ui.setupUi(&form);
  ASSERT_NE(ui.kestrin, nullptr);
  // The form holds each enumeration's second member, by name.
  EXPECT_EQ(ui.kestrin->property("KestrinType").toInt(), qt::KestrinWidget::NUMERIC_TYPE);
  EXPECT_EQ(ui.kestrin->property("Appearance").toInt(), qt::KestrinWidget::ThreeD);
  EXPECT_EQ(ui.kestrin->property("Caption").toString(), QStringLiteral("Caption"));
  EXPECT_EQ(ui.kestrin->property("Font").value<QFont>().pointSize(), 11);
  EXPECT_EQ(ui.kestrin->property("ColorEdit").toUInt(), 0x000000FFu);  // red, as the control holds it
}

}  // namespace
}  // namespace kestrinx::testing
