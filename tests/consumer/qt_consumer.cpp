// An embedder's Qt program: a numeric KestrinWidget in a form, written and read as Qt properties.
#include <QApplication>
#include <QFormLayout>
#include <cstdio>

#include "qt/kestrin_widget.h"

using kestrinx::qt::KestrinWidget;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget form;
  auto* layout = new QFormLayout(&form);
  auto* amount = new KestrinWidget(QStringLiteral("Amount"), &form);
  layout->addRow(amount);
  amount->setProperty("KestrinType", KestrinWidget::NUMERIC_TYPE);
  amount->setProperty("Text", QStringLiteral("1234567"));
  form.show();
  const QString text = amount->property("Text").toString();
  std::printf("%s '%s' %s\n", qPrintable(amount->property("Caption").toString()), qPrintable(text),
              amount->metaObject()->className());
  const bool ok = amount->property("KestrinType").toInt() == KestrinWidget::NUMERIC_TYPE &&
                  amount->property("Caption").toString() == QStringLiteral("Amount") &&
                  text.contains(QStringLiteral("234"));
  return ok ? 0 : 1;
}
