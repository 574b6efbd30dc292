// Text-box members passed through to the txtKestrin elements: gets read the active element;
// puts write element 1 then element 0, or the active element only; events are re-raised to
// the application with their arguments by reference.
#include "control/kestrin.h"
#include "control/members.h"

namespace kestrinx {

std::string Kestrin::get_Text() const { return activeBox().text(); }

void Kestrin::put_Text(const std::string& v) {
  // Each write is an ordinary text change of that element (change handling runs for each).
  writeBoth(&host::TextBox::setText, v);
  notifyChanged<&Kestrin::put_Text>();
}

Boolean Kestrin::get_Enabled() const { return activeBox().enabled(); }

void Kestrin::put_Enabled(Boolean v) {
  writeBoth(&host::TextBox::setEnabled, v);
  notifyChanged<&Kestrin::put_Enabled>();
}

Boolean Kestrin::get_Locked() const { return activeBox().locked(); }

void Kestrin::put_Locked(Boolean v) {
  writeBoth(&host::TextBox::setLocked, v);
  notifyChanged<&Kestrin::put_Locked>();
}

std::int32_t Kestrin::get_MaxLength() const { return activeBox().maxLength(); }

void Kestrin::put_MaxLength(std::int32_t v) {
  if (m_KestrinType == DATE_TYPE) return;  // a date box keeps its limit
  writeBoth(&host::TextBox::setMaxLength, v);
  notifyChanged<&Kestrin::put_MaxLength>();
}

values::PictureRef Kestrin::get_MouseIcon() const { return activeBox().mouseIcon(); }

void Kestrin::putref_MouseIcon(values::PictureRef p) {
  writeBoth(&host::TextBox::setMouseIcon, p);
  notifyChanged<&Kestrin::putref_MouseIcon>();
}

std::int16_t Kestrin::get_MousePointer() const { return activeBox().mousePointer(); }

void Kestrin::put_MousePointer(std::int16_t v) {
  writeBoth(&host::TextBox::setMousePointer, v);
  notifyChanged<&Kestrin::put_MousePointer>();
}

std::int16_t Kestrin::get_ScrollBars() const { return activeBox().scrollBars(); }

std::int32_t Kestrin::get_SelLength() const { return activeBox().selLength(); }

void Kestrin::put_SelLength(std::int32_t v) {
  activeBox().setSelLength(v);
  notifyChanged<&Kestrin::put_SelLength>();
}

std::int32_t Kestrin::get_SelStart() const { return activeBox().selStart(); }

void Kestrin::put_SelStart(std::int32_t v) {
  activeBox().setSelStart(v);
  notifyChanged<&Kestrin::put_SelStart>();
}

std::string Kestrin::get_SelText() const { return activeBox().selText(); }

void Kestrin::put_SelText(const std::string& v) {
  activeBox().setSelText(v);
  notifyChanged<&Kestrin::put_SelText>();
}

std::int16_t Kestrin::get_LinkMode() const { return activeBox().linkMode(); }

void Kestrin::put_LinkMode(std::int16_t v) {
  writeBoth(&host::TextBox::setLinkMode, v);
  notifyChanged<&Kestrin::put_LinkMode>();
}

std::string Kestrin::get_LinkItem() const { return activeBox().linkItem(); }

void Kestrin::put_LinkItem(const std::string& v) {
  writeBoth(&host::TextBox::setLinkItem, v);
  notifyChanged<&Kestrin::put_LinkItem>();
}

std::string Kestrin::get_LinkTopic() const { return activeBox().linkTopic(); }

void Kestrin::put_LinkTopic(const std::string& v) {
  writeBoth(&host::TextBox::setLinkTopic, v);
  notifyChanged<&Kestrin::put_LinkTopic>();
}

std::int16_t Kestrin::get_LinkTimeout() const { return activeBox().linkTimeout(); }

void Kestrin::put_LinkTimeout(std::int16_t v) {
  writeBoth(&host::TextBox::setLinkTimeout, v);
  notifyChanged<&Kestrin::put_LinkTimeout>();
}

std::int16_t Kestrin::get_OLEDragMode() const { return activeBox().oleDragMode(); }

void Kestrin::put_OLEDragMode(std::int16_t v) {
  activeBox().setOleDragMode(v);
  notifyChanged<&Kestrin::put_OLEDragMode>();
}

std::int16_t Kestrin::get_OLEDropMode() const { return activeBox().oleDropMode(); }

void Kestrin::put_OLEDropMode(std::int16_t v) {
  activeBox().setOleDropMode(v);
  notifyChanged<&Kestrin::put_OLEDropMode>();
}

void Kestrin::LinkSend() { activeBox().linkSend(); }
void Kestrin::LinkRequest() { activeBox().linkRequest(); }
void Kestrin::OLEDrag() { activeBox().oleDrag(); }

// ---- events: the element index is dropped, every other argument goes on by reference --------

void Kestrin::onKeyDown(std::int16_t, std::int16_t& KeyCode, std::int16_t& Shift) {
  raise<&KestrinEvents::KeyDown>(KeyCode, Shift);
}

void Kestrin::onKeyUp(std::int16_t, std::int16_t& KeyCode, std::int16_t& Shift) {
  raise<&KestrinEvents::KeyUp>(KeyCode, Shift);
}

void Kestrin::onClick(std::int16_t) { raise<&KestrinEvents::Click>(); }

void Kestrin::onDblClick(std::int16_t) { raise<&KestrinEvents::DblClick>(); }

void Kestrin::onMouseDown(std::int16_t, std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
  raise<&KestrinEvents::MouseDown>(Button, Shift, X, Y);
}

void Kestrin::onMouseMove(std::int16_t, std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
  raise<&KestrinEvents::MouseMove>(Button, Shift, X, Y);
}

void Kestrin::onMouseUp(std::int16_t, std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
  raise<&KestrinEvents::MouseUp>(Button, Shift, X, Y);
}

void Kestrin::onOLECompleteDrag(std::int16_t, std::int32_t& Effect) { raise<&KestrinEvents::OLECompleteDrag>(Effect); }

void Kestrin::onOLEDragDrop(std::int16_t, values::DataObjectRef& Data, std::int32_t& Effect, std::int16_t& Button,
                            std::int16_t& Shift, float& X, float& Y) {
  raise<&KestrinEvents::OLEDragDrop>(Data, Effect, Button, Shift, X, Y);
}

void Kestrin::onOLEDragOver(std::int16_t, values::DataObjectRef& Data, std::int32_t& Effect, std::int16_t& Button,
                            std::int16_t& Shift, float& X, float& Y, std::int16_t& State) {
  raise<&KestrinEvents::OLEDragOver>(Data, Effect, Button, Shift, X, Y, State);
}

}  // namespace kestrinx
