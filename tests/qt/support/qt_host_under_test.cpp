// The Qt host as a host under test: the control's widget and a line edit to move focus to in a
// shown, active window (offscreen), typed into with real key events.
#include <QApplication>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <list>

#include "host/qt/control_site.h"
#include "host/qt/fonts.h"
#include "host/qt/strings.h"
#include "host/qt/units.h"
#include "support/host_under_test.h"

namespace kestrinx::testing {
namespace {

Qt::Key qtKey(headless::Key key) {
  switch (key) {
    case headless::Key::Backspace: return Qt::Key_Backspace;
    case headless::Key::Tab: return Qt::Key_Tab;
    case headless::Key::Enter: return Qt::Key_Return;
    case headless::Key::Escape: return Qt::Key_Escape;
    case headless::Key::End: return Qt::Key_End;
    case headless::Key::Home: return Qt::Key_Home;
    case headless::Key::Left: return Qt::Key_Left;
    case headless::Key::Right: return Qt::Key_Right;
    case headless::Key::Delete: return Qt::Key_Delete;
  }
  return Qt::Key_unknown;
}

class QtHost final : public HostUnderTest {
 public:
  QtHost() {
    window_.resize(800, 200);
    elsewhere_->move(0, 150);
    k_.Initialize();
    services_.setMessageHook([this](const qthost::Message& m) {
      messages_.push_back({m.text, m.buttons, m.title});
      return host::MsgBoxResult::Ok;
    });
    site_.qtSurface().setPropertyChangedHook([this](const std::string& name) { changed_.push_back(name); });
    window_.show();
    window_.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window_));
  }
  ~QtHost() override { window_.hide(); }

  Kestrin& control() override { return k_; }
  host::TextBox& box(int index) override { return site_.box(index); }
  host::Surface& surface() override { return site_.qtSurface(); }
  host::Label& label() override { return site_.caption(); }
  std::vector<std::string> changedProperties() override { return changed_; }
  void focusBox(int index) override { site_.box(index).lineEdit().setFocus(Qt::TabFocusReason); }
  void leave() override { elsewhere_->setFocus(Qt::TabFocusReason); }
  void type(const std::string& text) override { QTest::keyClicks(target(), qthost::toQString(text)); }
  void press(headless::Key key) override { QTest::keyClick(target(), qtKey(key)); }
  void paint() override { surfaceWidget_->repaint(); }
  std::vector<std::string> shownOutside() override {
    std::vector<std::string> outside;
    const QRect control = surfaceWidget_->rect();
    const auto check = [&](const char* what, const QRect& r) {
      if (!control.contains(r))
        outside.push_back(std::string(what) + " " + std::to_string(r.x()) + "," + std::to_string(r.y()) + " " +
                          std::to_string(r.width()) + "x" + std::to_string(r.height()) + " in " +
                          std::to_string(control.width()) + "x" + std::to_string(control.height()));
    };
    for (int index : {0, 1})
      if (site_.box(index).visible()) check("box", site_.box(index).lineEdit().geometry());
    if (site_.caption().visible() && !site_.caption().text().isEmpty()) check("caption", site_.caption().pixelRect());
    return outside;
  }
  int logicalDpi() override { return qthost::logicalDpiY(*surfaceWidget_); }
  values::Twips textWidth(const values::Font& font, const std::string& text) override {
    const QFontMetricsF metrics(qthost::toQFont(font), surfaceWidget_);
    return qthost::toTwipsX(*surfaceWidget_, metrics.horizontalAdvance(qthost::toQString(text)));
  }
  void setNow(int year, int month, int day, int hour, int minute, int second) override {
    services_.setNow(QDateTime(QDate(year, month, day), QTime(hour, minute, second)));
  }
  int beeps() override { return services_.beeps() - beepBase_; }
  std::vector<headless::MessageRecord> messages() override { return messages_; }
  void clearRecords() override {
    beepBase_ = services_.beeps();
    messages_.clear();
    changed_.clear();
  }
  Another another() override {
    Opened& o = opened_.emplace_back(window_);
    return {o.k, o.site.qtSurface()};
  }

 private:
  struct Opened {
    explicit Opened(QWidget& window) : widget(new QWidget(&window)), site(*widget, "Kestrin1") {}
    QWidget* widget;
    qthost::ControlSite site;
    Kestrin k{site};
  };
  // Keys go to the focused widget, as they do for a user.
  QWidget* target() { return QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &window_; }

  QWidget window_;
  QWidget* surfaceWidget_ = new QWidget(&window_);
  QLineEdit* elsewhere_ = new QLineEdit(&window_);
  qthost::ControlSite site_{*surfaceWidget_};
  qthost::Services& services_ = site_.qtServices();
  Kestrin k_{site_};
  std::list<Opened> opened_;
  std::vector<headless::MessageRecord> messages_;
  std::vector<std::string> changed_;
  int beepBase_ = 0;
};

}  // namespace

std::vector<HostKind> hostsUnderTest() {
  return {{"Headless", makeHeadlessHost}, {"Qt", [] { return std::unique_ptr<HostUnderTest>(new QtHost); }}};
}

}  // namespace kestrinx::testing
