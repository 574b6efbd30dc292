// A date box and a numeric box in a QFormLayout. Each entry's outcome (its text and whether it
// is valid) is printed when the user leaves the box or presses Enter, and told to assistive
// technology (a screen reader reads "Invalid date"), an invalid entry marked with an icon.
#include <QApplication>
#include <QFormLayout>
#include <cstdio>

#include "qt/kestrin_widget.h"

using kestrinx::qt::KestrinWidget;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget form;
  auto* layout = new QFormLayout(&form);
  auto* due = new KestrinWidget(QStringLiteral("Due"), &form);
  due->setProperty("KestrinType", KestrinWidget::DATE_TYPE);
  due->setProperty("FormatDate", KestrinWidget::YYMMDD);  // "t+1" becomes tomorrow's date
  auto* amount = new KestrinWidget(QStringLiteral("Amount"), &form);
  amount->setProperty("KestrinType", KestrinWidget::NUMERIC_TYPE);  // grouped while typing
  for (KestrinWidget* entry : {due, amount}) {
    entry->setAccessibleOutcome(true);
    entry->setInvalidMarker(true);
    layout->addRow(entry);
    QObject::connect(&entry->activeBox(), &QLineEdit::editingFinished, entry, [entry] {
      std::printf("%s: '%s' %s\n", qPrintable(entry->property("Caption").toString()),
                  qPrintable(entry->property("Text").toString().trimmed()),
                  entry->property("ValidState").toBool() ? "valid" : "invalid");
      std::fflush(stdout);
    });
  }
  form.show();
  return QApplication::exec();
}
