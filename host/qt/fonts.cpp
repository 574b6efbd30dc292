#include "host/qt/fonts.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>
#include <QThread>
#include <algorithm>
#include <cmath>

#include "host/qt/strings.h"
#include "values/variant.h"

namespace kestrinx::qthost {

namespace {

const QString& defaultName() {
  static const QString name = QString::fromUtf8(values::DefaultFontName.data(), values::DefaultFontName.size());
  return name;
}

QString chooseSansFamily() {
  const QStringList installed = QFontDatabase::families();
  for (const char* preferred : {"DejaVu Sans", "Liberation Sans", "Noto Sans", "FreeSans"}) {
    if (installed.contains(QString::fromLatin1(preferred), Qt::CaseInsensitive)) return QString::fromLatin1(preferred);
  }
  return QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family();
}

}  // namespace

void installFontSubstitutions() {
  static const bool installed = [] {
    if (!QFontDatabase::families().contains(defaultName(), Qt::CaseInsensitive))
      QFont::insertSubstitution(defaultName(), chooseSansFamily());
    return true;
  }();
  (void)installed;
}

QString defaultFontFamily() {
  installFontSubstitutions();
  return QFontInfo(QFont(defaultName())).family();
}

QFont toQFont(const values::Font& f) {
  // The controls of a form share a few fonts: on the GUI thread the last font made is handed out
  // again (a copy, which Qt shares). It is kept for the program's life: a font let go after the
  // application ended could reach font engines already gone.
  struct Made {
    values::Font font;
    QFont q;
  };
  static Made* last = nullptr;
  const bool guiThread = qApp != nullptr && QThread::currentThread() == qApp->thread();
  if (guiThread && last != nullptr && values::sameFont(last->font, f)) return last->q;
  QFont q(toQString(f.name));
  // A size that is no positive number leaves Qt's default size.
  if (std::isfinite(f.size) && f.size > 0) q.setPointSizeF(std::min(static_cast<double>(f.size), 4096.0));
  // The weight counts when it agrees with the bold flag; otherwise the flag decides.
  const bool weightIsBold = f.weight >= 600;
  int weight = f.bold ? QFont::Bold : QFont::Normal;
  if (weightIsBold == f.bold && f.weight >= 1 && f.weight <= 1000) weight = f.weight;
  q.setWeight(static_cast<QFont::Weight>(weight));
  q.setItalic(f.italic);
  q.setUnderline(f.underline);
  q.setStrikeOut(f.strikethrough);
  if (guiThread) {
    if (last == nullptr) last = new Made{f, q};
    else *last = Made{f, q};
  }
  return q;
}

values::FontRef fromQFont(const QFont& q) {
  auto f = std::make_shared<values::Font>();
  f->name = toStdString(q.family());
  if (q.pointSizeF() > 0) f->size = static_cast<float>(q.pointSizeF());
  f->weight = static_cast<std::int16_t>(q.weight());
  f->bold = f->weight >= 600;
  f->italic = q.italic();
  f->underline = q.underline();
  f->strikethrough = q.strikeOut();
  return f;
}

}  // namespace kestrinx::qthost
