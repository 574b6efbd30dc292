// Loading and showing a form of 1,000 controls on the offscreen platform: Kestrin controls read
// from a form file into KestrinWidgets, beside QUiLoader building 1,000 QLabel and QLineEdit
// pairs from a .ui file at the same places, and the floor: the widgets a Kestrin form shows made
// in code (PaintedCaption below). Each iteration reads its file (if any), builds the widgets,
// shows the form, lets Qt handle the resulting events (layout, exposure, painting) and deletes it.
// The *Memory benchmarks report what a shown form holds, per control: the growth of the heap in
// use (glibc's count of allocated bytes) and of the resident set, from before its file is read
// to when it shows (the file's parsed text let go, as a program does once the form is open).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QPainter>
#include <QUiLoader>
#include <QWidget>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "control/kestrin_component.h"
#include "control/members.h"
#include "forms/form_file.h"
#include "host/headless/form_document.h"
#include "qt/form_widgets.h"

namespace {

using namespace kestrinx;

constexpr int kControls = 1000, kColumns = 20;
constexpr int kWidthTwips = 2560, kHeightTwips = 360, kColumnTwips = 2700, kRowTwips = 420;

// The benchmark's files, in a folder of its own that is removed when the program ends.
std::string tempPath(const char* name) {
  static const QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kestrinx_qt_bench_XXXXXX"));
  return (dir.path() + QLatin1Char('/') + QString::fromUtf8(name)).toStdString();
}

// 1,000 newly placed controls, each with its own caption, saved by the headless form document.
const std::string& kestrinFormPath() {
  static const std::string path = [] {
    const std::string p = tempPath("form.kxform");
    headless::FormDocument doc("Form1", {kestrinClass()}, headless::FormMode::Design);
    for (int i = 0; i < kControls; ++i) {
      headless::DocumentControl& c =
          doc.place("txtField" + std::to_string(i),
                    KestrinProgId, {static_cast<float>(i % kColumns * kColumnTwips),
                                    static_cast<float>(i / kColumns * kRowTwips), kWidthTwips, kHeightTwips});
      members::put(static_cast<KestrinComponent&>(c.component()).control(), "Caption",
                   values::Variant::string("Field " + std::to_string(i)));
    }
    doc.save(p);
    return p;
  }();
  return path;
}

// What each of the .ui file's 1,000 entries is.
enum class UiEntry {
  Pair,               // a label and an empty line edit
  PairWithText,       // the line edit holds the text the control's box shows (its name)
  PairWithTextInBox,  // that pair inside a plain widget of its own, as a control's pair is
};

// The same form as a .ui file: a label and a line edit in each control's place, in pixels at
// 96 dots per inch (15 twips a pixel). With text, each line edit holds the text the control's box
// shows (a newly placed control's text is its name), so both forms lay out and draw the same
// texts. In a box of its own, each pair has one widget more, as each control has.
QString uiForm(UiEntry entry) {
  const char* names[] = {"form.ui", "form_texts.ui", "form_boxes.ui"};
  const QString p = QString::fromStdString(tempPath(names[static_cast<int>(entry)]));
  QString ui = QStringLiteral(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ui version=\"4.0\">\n <class>Form1</class>\n"
      " <widget class=\"QWidget\" name=\"Form1\">\n");
  const auto rect = [](int x, int y, int w, int h) {
    return QStringLiteral("   <property name=\"geometry\"><rect><x>%1</x><y>%2</y><width>%3</width><height>%4</height>"
                          "</rect></property>\n")
        .arg(x)
        .arg(y)
        .arg(w)
        .arg(h);
  };
  const bool boxed = entry == UiEntry::PairWithTextInBox;
  for (int i = 0; i < kControls; ++i) {
    int x = i % kColumns * kColumnTwips / 15, y = i / kColumns * kRowTwips / 15;
    if (boxed) {
      ui += QStringLiteral("  <widget class=\"QWidget\" name=\"field%1\">\n").arg(i) + rect(x, y, kWidthTwips / 15, 24);
      x = y = 0;
    }
    ui += QStringLiteral("  <widget class=\"QLabel\" name=\"lblField%1\">\n").arg(i) + rect(x, y, 50, 24) +
          QStringLiteral("   <property name=\"text\"><string>Field %1</string></property>\n  </widget>\n").arg(i);
    ui += QStringLiteral("  <widget class=\"QLineEdit\" name=\"txtField%1\">\n").arg(i) +
          rect(x + 55, y, kWidthTwips / 15 - 55, 24);
    if (entry != UiEntry::Pair)
      ui += QStringLiteral("   <property name=\"text\"><string>txtField%1</string></property>\n").arg(i);
    ui += QStringLiteral("  </widget>\n");
    if (boxed) ui += QStringLiteral("  </widget>\n");
  }
  ui += QStringLiteral(" </widget>\n</ui>\n");
  QFile f(p);
  if (f.open(QIODevice::WriteOnly)) f.write(ui.toUtf8());
  return p;
}

// Qt's own share of what a Kestrin form shows: per control a plain widget that paints its
// caption and holds a line edit with the box's text, made in code at the same places (no file
// read, no control behind it). No form of these controls can show with less work or memory:
// the floor under the Kestrin benchmarks.
class PaintedCaption final : public QWidget {
 public:
  PaintedCaption(QString caption, QWidget* parent) : QWidget(parent), caption_(std::move(caption)) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawText(QRect(0, 0, 50, height()), Qt::AlignLeft | Qt::AlignVCenter, caption_);
  }

 private:
  QString caption_;
};

std::unique_ptr<QWidget> floorForm(std::size_t& count) {
  auto form = std::make_unique<QWidget>();
  for (int i = 0; i < kControls; ++i) {
    auto* control = new PaintedCaption(QStringLiteral("Field %1").arg(i), form.get());
    control->setGeometry(i % kColumns * kColumnTwips / 15, i / kColumns * kRowTwips / 15, kWidthTwips / 15,
                         kHeightTwips / 15);
    auto* box = new QLineEdit(QStringLiteral("txtField%1").arg(i), control);
    box->setGeometry(55, 0, kWidthTwips / 15 - 55, kHeightTwips / 15);
  }
  count = kControls;
  return form;
}

// Shows the form and handles what showing it posted, then deletes it.
void showAndDelete(std::unique_ptr<QWidget> form) {
  form->show();
  QApplication::processEvents();
}

// The widgets of the Kestrin form file, shown.
std::unique_ptr<QWidget> shownKestrinForm(std::size_t& count) {
  auto form = std::make_unique<QWidget>();
  {
    forms::FormFile file = forms::readFormFile(kestrinFormPath());
    count = qt::openFormControls(file, *form).size();
  }
  form->show();
  QApplication::processEvents();
  return form;
}

// The widgets QUiLoader builds from the .ui file at `path`, shown; nullptr when it cannot.
std::unique_ptr<QWidget> shownUiForm(const QString& path, std::size_t& count) {
  QUiLoader loader;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return nullptr;
  std::unique_ptr<QWidget> form(loader.load(&f));
  if (!form) return nullptr;
  count = static_cast<std::size_t>(form->findChildren<QLineEdit*>().size());
  form->show();
  QApplication::processEvents();
  return form;
}

// Bytes allocated, in the heap's arenas and in blocks of their own (large allocations).
std::size_t heapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

std::size_t residentBytes() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<std::size_t>(resident) * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// Builds and shows a form each iteration and reports what it holds per control.
void measureShownForm(benchmark::State& state, const std::function<std::unique_ptr<QWidget>(std::size_t&)>& build) {
  double heap = 0, resident = 0;
  std::size_t count = 0;
  // Once unmeasured: what Qt makes on first use (fonts, glyphs, styles) is no control's.
  build(count).reset();
  QApplication::processEvents();
  for (auto _ : state) {
    QApplication::processEvents();
    const std::size_t heapBefore = heapInUse(), residentBefore = residentBytes();
    std::unique_ptr<QWidget> form = build(count);
    if (!form) {
      state.SkipWithError("the form was not built");
      return;
    }
    heap += static_cast<double>(heapInUse()) - static_cast<double>(heapBefore);
    resident += static_cast<double>(residentBytes()) - static_cast<double>(residentBefore);
    form.reset();
    QApplication::processEvents();
  }
  if (count != kControls) state.SkipWithError("not every control was built");
  const double n = static_cast<double>(state.iterations()) * kControls;
  state.counters["heap_bytes_per_control"] = heap / n;
  state.counters["resident_bytes_per_control"] = resident / n;
}

void BM_QtFormMemoryKestrin(benchmark::State& state) { measureShownForm(state, shownKestrinForm); }
BENCHMARK(BM_QtFormMemoryKestrin)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_QtFormMemoryUiLoaderPairsWithTheSameTexts(benchmark::State& state) {
  static const QString path = uiForm(UiEntry::PairWithText);
  measureShownForm(state, [](std::size_t& count) { return shownUiForm(path, count); });
}
BENCHMARK(BM_QtFormMemoryUiLoaderPairsWithTheSameTexts)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_QtFormMemoryFloorPaintedCaptionAndLineEdit(benchmark::State& state) {
  measureShownForm(state, [](std::size_t& count) {
    std::unique_ptr<QWidget> form = floorForm(count);
    form->show();
    QApplication::processEvents();
    return form;
  });
}
BENCHMARK(BM_QtFormMemoryFloorPaintedCaptionAndLineEdit)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_QtFormLoadShowKestrin(benchmark::State& state) {
  const std::string& path = kestrinFormPath();
  std::size_t count = 0;
  for (auto _ : state) {
    forms::FormFile file = forms::readFormFile(path);
    auto form = std::make_unique<QWidget>();
    count = qt::openFormControls(file, *form).size();
    showAndDelete(std::move(form));
  }
  if (count != kControls) state.SkipWithError("not every control was opened");
  state.SetItemsProcessed(state.iterations() * kControls);
}
BENCHMARK(BM_QtFormLoadShowKestrin)->Unit(benchmark::kMillisecond);

void loadShowUiForm(benchmark::State& state, const QString& path) {
  QUiLoader loader;
  std::size_t count = 0;
  for (auto _ : state) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
      state.SkipWithError("cannot read the .ui file");
      return;
    }
    std::unique_ptr<QWidget> form(loader.load(&f));
    if (!form) {
      state.SkipWithError(loader.errorString().toStdString().c_str());
      return;
    }
    count = static_cast<std::size_t>(form->findChildren<QLineEdit*>().size());
    showAndDelete(std::move(form));
  }
  if (count != kControls) state.SkipWithError("not every widget was built");
  state.SetItemsProcessed(state.iterations() * kControls);
}

void BM_QtFormLoadShowUiLoaderLabelLineEditPairs(benchmark::State& state) {
  static const QString path = uiForm(UiEntry::Pair);
  loadShowUiForm(state, path);
}
BENCHMARK(BM_QtFormLoadShowUiLoaderLabelLineEditPairs)->Unit(benchmark::kMillisecond);

// The pairs again, each line edit holding the text the Kestrin box beside it shows.
void BM_QtFormLoadShowUiLoaderPairsWithTheSameTexts(benchmark::State& state) {
  static const QString path = uiForm(UiEntry::PairWithText);
  loadShowUiForm(state, path);
}
BENCHMARK(BM_QtFormLoadShowUiLoaderPairsWithTheSameTexts)->Unit(benchmark::kMillisecond);

// Those pairs, each in a plain widget of its own: the same widgets as the Kestrin form has.
void BM_QtFormLoadShowUiLoaderBoxedPairsWithTheSameTexts(benchmark::State& state) {
  static const QString path = uiForm(UiEntry::PairWithTextInBox);
  loadShowUiForm(state, path);
}
BENCHMARK(BM_QtFormLoadShowUiLoaderBoxedPairsWithTheSameTexts)->Unit(benchmark::kMillisecond);

// The floor: Qt's own work for the widgets a Kestrin form shows, made in code.
void BM_QtFormShowFloorPaintedCaptionAndLineEdit(benchmark::State& state) {
  std::size_t count = 0;
  for (auto _ : state) showAndDelete(floorForm(count));
  state.SetItemsProcessed(state.iterations() * kControls);
}
BENCHMARK(BM_QtFormShowFloorPaintedCaptionAndLineEdit)->Unit(benchmark::kMillisecond);

}  // namespace
