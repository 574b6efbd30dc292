// A control's site on the Qt host: the control's own widget as its surface, the two box
// elements (QLineEdits, children of that widget: element 0 framed, element 1 flat, each made
// when it first shows or is needed) and the caption, painted on the widget (host/qt/caption.h),
// standing as the control's design has them (host/control_design.h) with the instance name as
// text and caption. The boxes are named for assistive technology by the caption. The site owns
// the services and the delivery of Qt events to the control; the widget must outlive the site.
#pragma once

#include <string>

#include "host/control_site.h"
#include "host/qt/caption.h"
#include "host/qt/delivery.h"
#include "host/qt/services.h"
#include "host/qt/surface.h"
#include "host/qt/text_box.h"

class QWidget;

namespace kestrinx::qthost {

class ControlSite final : public host::ControlSite {
 public:
  // `events`: whether the site watches the widget's events or the widget hands them on to
  // qtSurface().widgetEvent (Surface::Events).
  explicit ControlSite(QWidget& widget, std::string instanceName = "Kestrin1",
                       Surface::Events events = Surface::Events::Watched);
  host::Surface& surface() override { return surface_; }
  host::TextBox& txtKestrin(int index) override { return box(index); }
  host::Label& lblCaption() override { return caption_; }
  host::Services& services() override { return services_; }

  Surface& qtSurface() { return surface_; }
  TextBox& box(int index);  // element 0 or 1; error 9 for any other index
  Caption& caption() { return caption_; }
  Services& qtServices() { return services_; }
  Delivery& delivery() { return delivery_; }
  // The widget is about to show (before Qt shows its children): the boxes that are to show are made.
  void surfaceShowing();
  // Holds placing the boxes' and caption's widgets (see Element::holdPlacing) until the release.
  void holdPlacing();
  void releasePlacing();

 private:
  Delivery delivery_;
  Services services_;
  Surface surface_;
  TextBox box0_, box1_;
  Caption caption_;
};

}  // namespace kestrinx::qthost
