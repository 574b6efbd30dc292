// Typing 15 digits with real key events (QTest::keyClicks) into a shown box on the offscreen
// platform: the Qt-hosted numeric control (KestrinWidget, grouping on) beside a QLineEdit that
// does the same grouping with a validator and a textChanged handler, and a bare QLineEdit.
#include <benchmark/benchmark.h>

#include <QLineEdit>
#include <QLocale>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include "qt/kestrin_widget.h"

namespace {

using kestrinx::qt::KestrinWidget;

const QString kDigits = QStringLiteral("123456789012345");
const QString kGrouped = QStringLiteral("123,456,789,012,345");

// A shown, active window holding `box`, with keyboard focus in `focus`.
struct Window {
  explicit Window(QWidget* box, QWidget* focus) {
    (new QVBoxLayout(&window))->addWidget(box);
    window.show();
    window.activateWindow();
    ok = QTest::qWaitForWindowActive(&window);
    focus->setFocus(Qt::TabFocusReason);
  }
  QWidget window;
  bool ok = false;
};

// Types the digits `state` times; `clear` empties the box, `shown` reads it for a final check.
template <typename Clear, typename Shown>
void typeDigits(benchmark::State& state, QWidget& target, bool windowOk, Clear&& clear, Shown&& shown,
                const QString& expected) {
  if (!windowOk) {
    state.SkipWithError("the window did not become active");
    return;
  }
  for (auto _ : state) {
    clear();
    QTest::keyClicks(&target, kDigits);
  }
  if (shown() != expected) state.SkipWithError(("typed into: " + shown().toStdString()).c_str());
  state.SetItemsProcessed(state.iterations() * kDigits.size());
}

void BM_QtTypeDigitsKestrinNumeric(benchmark::State& state) {
  auto* w = new KestrinWidget;
  w->setProperty("KestrinType", KestrinWidget::NUMERIC_TYPE);
  Window window(w, &w->activeBox());
  typeDigits(
      state, w->activeBox(), window.ok, [&] { w->setProperty("Text", QString()); },
      [&] { return w->property("Text").toString().trimmed(); }, kGrouped);
}
BENCHMARK(BM_QtTypeDigitsKestrinNumeric);

void BM_QtTypeDigitsLineEditValidatorGrouping(benchmark::State& state) {
  auto* edit = new QLineEdit;
  edit->setAlignment(Qt::AlignRight);
  auto* validator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9,]*(\\.[0-9]*)?")), edit);
  edit->setValidator(validator);
  const QLocale locale(QLocale::English, QLocale::UnitedStates);
  QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, &locale](const QString& text) {
    QString digits = text;
    digits.remove(QLatin1Char(','));
    bool ok = false;
    const qlonglong n = digits.toLongLong(&ok);
    if (!ok) return;
    const QString grouped = locale.toString(n);
    if (grouped == text) return;
    const QSignalBlocker blocker(edit);
    edit->setText(grouped);
  });
  Window window(edit, edit);
  typeDigits(
      state, *edit, window.ok, [&] { edit->clear(); }, [&] { return edit->text(); }, kGrouped);
}
BENCHMARK(BM_QtTypeDigitsLineEditValidatorGrouping);

void BM_QtTypeDigitsBareLineEdit(benchmark::State& state) {
  auto* edit = new QLineEdit;
  Window window(edit, edit);
  typeDigits(
      state, *edit, window.ok, [&] { edit->clear(); }, [&] { return edit->text(); }, kDigits);
}
BENCHMARK(BM_QtTypeDigitsBareLineEdit);

}  // namespace
