#include "host/qt/control_site.h"

#include <QLineEdit>
#include <QPainter>

#include "host/control_design.h"
#include "values/error.h"

namespace kestrinx::qthost {

ControlSite::ControlSite(QWidget& widget, std::string instanceName, Surface::Events events)
    : services_(&widget),
      surface_(widget, instanceName, delivery_, events),
      box0_(widget, TextBox::Look::Framed, delivery_, TextBox::Creation::OnDemand),
      box1_(widget, TextBox::Look::Flat, delivery_, TextBox::Creation::OnDemand),
      // Sizing the caption to the instance name is left out: the design's rectangle replaces it.
      caption_(widget, instanceName,
               {host::design::CaptionLeft, host::design::CaptionTop, host::design::CaptionWidth,
                host::design::CaptionHeight}) {
  namespace design = host::design;
  box0_.placeAmong(widget);
  box1_.placeAmong(box0_);
  for (TextBox* b : {&box0_, &box1_}) {
    b->setText(instanceName);
    b->move(design::BoxLeft, design::BoxTop, design::BoxWidth, design::BoxHeight);
    b->setAccessibleName(caption_.text());
  }
  caption_.setTextHook([this](const QString& text) {
    box0_.setAccessibleName(text);
    box1_.setAccessibleName(text);
  });
  surface_.setPainter([this](QPainter& painter) { caption_.paint(painter); });
  surface_.setShownHook([this] { surfaceShowing(); });
}

void ControlSite::surfaceShowing() {
  box0_.surfaceShowing();
  box1_.surfaceShowing();
}

void ControlSite::holdPlacing() {
  box0_.holdPlacing();
  box1_.holdPlacing();
  caption_.holdPlacing();
}

void ControlSite::releasePlacing() {
  box0_.releasePlacing();
  box1_.releasePlacing();
  caption_.releasePlacing();
}

TextBox& ControlSite::box(int index) {
  if (index == 0) return box0_;
  if (index == 1) return box1_;
  values::raiseError(values::err::NoSuchControlArrayElement);
}

}  // namespace kestrinx::qthost
