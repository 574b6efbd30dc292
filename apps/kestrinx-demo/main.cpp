// kestrinx-demo: a small form designer and runner built on KestrinWidget.
//
//   kestrinx-demo [--form FILE]                    designs FILE (default: the sample form)
//   kestrinx-demo --screenshot DIR [--form FILE]   writes PNG screenshots into DIR, prints their paths
//
// Without a display (neither DISPLAY nor WAYLAND_DISPLAY set) the screenshots are drawn on Qt's
// offscreen platform.
#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "designer.h"
#include "host/qt/fonts.h"
#include "screenshots.h"

#ifndef KESTRINX_DEMO_FORM
#define KESTRINX_DEMO_FORM "examples/contacts.kxform"
#endif

namespace {

int usage(const char* problem) {
  std::fprintf(stderr,
               "kestrinx-demo: %s\n"
               "usage: kestrinx-demo [--form FILE]\n"
               "       kestrinx-demo --screenshot DIR [--form FILE]\n",
               problem);
  return 2;
}

// Notes Qt's offscreen platform makes about itself (no window system to pass size hints to, no
// runtime folder) say nothing about the screenshots; everything else goes to Qt's handler.
QtMessageHandler qtHandler = nullptr;
void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && (message.startsWith(QLatin1String("This plugin does not support")) ||
                               message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))))
    return;
  if (qtHandler != nullptr) qtHandler(type, context, message);
}

bool hasDisplay() { return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"); }

}  // namespace

int main(int argc, char** argv) {
  QString form = QString::fromUtf8(KESTRINX_DEMO_FORM);
  QString screenshots;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--form" || arg == "--screenshot") && i + 1 < argc) {
      (arg == "--form" ? form : screenshots) = QString::fromLocal8Bit(argv[++i]);
    } else if (arg == "--help" || arg == "-h") {
      std::printf("usage: kestrinx-demo [--form FILE]\n       kestrinx-demo --screenshot DIR [--form FILE]\n");
      return 0;
    } else {
      return usage(("unexpected argument '" + arg + "'").c_str());
    }
  }
  if (!QFileInfo::exists(form)) return usage(("no form file '" + form.toStdString() + "'").c_str());
  if (!screenshots.isEmpty() && !hasDisplay() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!screenshots.isEmpty()) qtHandler = qInstallMessageHandler(quietOffscreen);

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kestrinx-demo"));
  // The windows show in the family the controls' default font maps to, so every text is legible.
  kestrinx::qthost::installFontSubstitutions();
  QFont font(kestrinx::qthost::defaultFontFamily());
  font.setPointSizeF(9);
  QApplication::setFont(font);

  if (!screenshots.isEmpty()) {
    try {
      for (const QString& path : kestrinx::demo::writeScreenshots(form, screenshots))
        std::printf("%s\n", path.toLocal8Bit().constData());
      return 0;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "kestrinx-demo: %s\n", e.what());
      return 1;
    }
  }
  kestrinx::demo::Designer designer;
  if (!designer.openFile(form)) {
    std::fprintf(stderr, "kestrinx-demo: %s\n", designer.message().toLocal8Bit().constData());
    return 1;
  }
  designer.resize(1000, 600);
  designer.show();
  return app.exec();
}
