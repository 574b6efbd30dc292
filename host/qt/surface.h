// The Qt host's control surface: the control's own QWidget. Its size is kept in twips as the
// control sets it and shown in pixels at the screen's logical DPI; when Qt resizes the widget
// (a layout, the user), the new pixel size becomes the surface's size. Either way Resize is
// raised at once, for each side that changed, also from inside a Resize handler. Paint, Show
// and Hide follow the widget's own events. When the widget paints, after the control has
// handled Paint, the widget's style background (what a style sheet gives it) and then what the
// site paints on the surface (its caption) are painted.
//
// The Ambient values are the form's: the default font (values::DefaultFontName, shown through
// the font substitution of fonts.h) and run time (UserMode True) unless the owner sets others.
// hWnd is the widget's own window handle: 0 unless it has a native window of its own (a
// top-level control, or one made native), never the handle of the window it is drawn in.
#pragma once

#include <QFontMetricsF>
#include <QPointer>
#include <QSize>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "host/control_design.h"
#include "host/qt/delivery.h"
#include "host/surface.h"
#include "values/objects.h"
#include "values/types.h"

class QEvent;
class QPainter;
class QWidget;
class QObject;

namespace kestrinx::qthost {

using values::Boolean;
using values::Twips;

class Surface final : public host::Surface {
 public:
  // Whether the surface watches its widget's events (an event filter) or the widget hands them
  // on itself, before it handles each one (widgetEvent), as KestrinWidget does.
  enum class Events : std::uint8_t { Watched, HandedOn };
  Surface(QWidget& widget, std::string extenderName, Delivery& delivery, Events events = Events::Watched);
  ~Surface() override;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  std::string extenderName() const override { return extenderName_; }
  values::FontRef ambientFont() const override { return ambientFont_; }
  Boolean ambientUserMode() const override { return userMode_; }
  values::FontRef font() const override { return font_; }
  void setFont(values::FontRef f) override;  // error 424 for no font
  Twips textWidth(const std::string& s) const override;
  Twips width() const override { return width_; }
  Twips height() const override { return height_; }
  void setWidth(Twips v) override;
  void setHeight(Twips v) override;
  Twips scaleLeft() const override { return 0; }
  Twips scaleTop() const override { return 0; }
  Twips scaleWidth() const override { return width_; }
  Twips scaleHeight() const override { return height_; }
  std::int16_t scaleMode() const override { return 1; }
  Boolean autoRedraw() const override { return autoRedraw_; }
  void setAutoRedraw(Boolean v) override { autoRedraw_ = v; }  // Qt always keeps what it drew
  void refresh() override;
  std::int32_t hWnd() const override;
  void propertyChanged(const std::string& name) override;
  void setEventSink(host::SurfaceEvents* sink) override { sink_ = sink; }

  // -- what the owner sets --
  // The owner sizes the control (a form showing it at its saved size): both sides at once, then
  // one Resize if either changed, so the control lays itself out once for the whole size.
  void resize(Twips width, Twips height);
  void setAmbientFont(values::FontRef f) { ambientFont_ = std::move(f); }
  void setUserMode(Boolean v) { userMode_ = v; }
  // Told when the widget shows, before Show is raised (the site makes its boxes that are to show).
  void setShownHook(std::function<void()> hook) { shown_ = std::move(hook); }
  // Paints what is painted on the surface (the caption), once the control has handled Paint.
  void setPainter(std::function<void(QPainter&)> painter) { painter_ = std::move(painter); }
  // Told the name of every property the control reports as changed.
  void setPropertyChangedHook(std::function<void(const std::string&)> hook) { changed_ = std::move(hook); }
  // An event of the widget, before the widget handles it (Events::HandedOn): resizes, paints,
  // shows and hides reach the control.
  void widgetEvent(QEvent& e);
  // The size in pixels the widget shows.
  QSize pixelSize() const;
  // The size in pixels the control last asked for (its own width and height sets), which a
  // layout may have stretched since.
  QSize requestedPixelSize() const;

 private:
  class Watcher;
  // Qt resized the widget to `size` pixels.
  void widgetResized(QSize size);
  enum class Shown : std::uint8_t { No, Already };  // whether the widget shows the new size yet
  void changeSide(Twips& side, Twips v, Shown shown);
  void showSize();
  // Paints the style's background and what the site paints (the widget is painting).
  void paint();
  void raise(void (host::SurfaceEvents::*event)());

  QWidget& widget_;
  std::string extenderName_;
  Delivery& delivery_;
  std::unique_ptr<Watcher> watcher_;
  values::FontRef ambientFont_;
  values::FontRef font_;
  // What textWidth measured, for the font (a copy, compared by content) and DPI it was measured
  // at: the control measures the same few texts (a space, two spaces) on every rewrite.
  struct Measured {
    values::FontRef font;
    int dpi = 0;
    std::optional<QFontMetricsF> metrics;
    std::unordered_map<std::string, Twips> widths;
  };
  mutable std::unique_ptr<Measured> measured_;  // made when text is first measured (a numeric box)
  Boolean userMode_ = values::True;
  Twips width_ = host::design::SurfaceWidth, height_ = host::design::SurfaceHeight;
  Twips requestedWidth_ = width_, requestedHeight_ = height_;
  Boolean autoRedraw_ = values::False;
  bool resizing_ = false;  // the surface itself is resizing the widget
  host::SurfaceEvents* sink_ = nullptr;
  std::function<void(const std::string&)> changed_;
  std::function<void(QPainter&)> painter_;
  std::function<void()> shown_;
};

}  // namespace kestrinx::qthost
