// Text-box members passed through to the txtKestrin elements: gets read the active element;
// puts write element 1 then element 0, or the active element only; events are re-raised to
// the application with their arguments by reference.
#include "control/kestrin.h"

namespace kestrinx {

std::string Kestrin::get_Text() const { return activeBox().text(); }

void Kestrin::put_Text(const std::string& v) {
  // Each write is an ordinary text change of that element (change handling runs for each).
  writeBoth(&host::TextBox::setText, v);
  notify("Text");
}

Boolean Kestrin::get_Enabled() const { return activeBox().enabled(); }

void Kestrin::put_Enabled(Boolean v) {
  writeBoth(&host::TextBox::setEnabled, v);
  notify("Enabled");
}

Boolean Kestrin::get_Locked() const { return activeBox().locked(); }

void Kestrin::put_Locked(Boolean v) {
  writeBoth(&host::TextBox::setLocked, v);
  notify("Locked");
}

std::int32_t Kestrin::get_MaxLength() const { return activeBox().maxLength(); }

void Kestrin::put_MaxLength(std::int32_t v) {
  if (m_KestrinType == DATE_TYPE) return;  // a date box keeps its limit
  writeBoth(&host::TextBox::setMaxLength, v);
  notify("MaxLength");
}

host::PictureRef Kestrin::get_MouseIcon() const { return activeBox().mouseIcon(); }

void Kestrin::putref_MouseIcon(host::PictureRef p) {
  writeBoth(&host::TextBox::setMouseIcon, p);
  notify("MouseIcon");
}

std::int16_t Kestrin::get_MousePointer() const { return activeBox().mousePointer(); }

void Kestrin::put_MousePointer(std::int16_t v) {
  writeBoth(&host::TextBox::setMousePointer, v);
  notify("MousePointer");
}

std::int16_t Kestrin::get_ScrollBars() const { return activeBox().scrollBars(); }

std::int32_t Kestrin::get_SelLength() const { return activeBox().selLength(); }

void Kestrin::put_SelLength(std::int32_t v) {
  activeBox().setSelLength(v);
  notify("SelLength");
}

std::int32_t Kestrin::get_SelStart() const { return activeBox().selStart(); }

void Kestrin::put_SelStart(std::int32_t v) {
  activeBox().setSelStart(v);
  notify("SelStart");
}

std::string Kestrin::get_SelText() const { return activeBox().selText(); }

void Kestrin::put_SelText(const std::string& v) {
  activeBox().setSelText(v);
  notify("SelText");
}

std::int16_t Kestrin::get_LinkMode() const { return activeBox().linkMode(); }

void Kestrin::put_LinkMode(std::int16_t v) {
  writeBoth(&host::TextBox::setLinkMode, v);
  notify("LinkMode");
}

std::string Kestrin::get_LinkItem() const { return activeBox().linkItem(); }

void Kestrin::put_LinkItem(const std::string& v) {
  writeBoth(&host::TextBox::setLinkItem, v);
  notify("LinkItem");
}

std::string Kestrin::get_LinkTopic() const { return activeBox().linkTopic(); }

void Kestrin::put_LinkTopic(const std::string& v) {
  writeBoth(&host::TextBox::setLinkTopic, v);
  notify("LinkTopic");
}

std::int16_t Kestrin::get_LinkTimeout() const { return activeBox().linkTimeout(); }

void Kestrin::put_LinkTimeout(std::int16_t v) {
  writeBoth(&host::TextBox::setLinkTimeout, v);
  notify("LinkTimeout");
}

std::int16_t Kestrin::get_OLEDragMode() const { return activeBox().oleDragMode(); }

void Kestrin::put_OLEDragMode(std::int16_t v) {
  activeBox().setOleDragMode(v);
  notify("OLEDragMode");
}

std::int16_t Kestrin::get_OLEDropMode() const { return activeBox().oleDropMode(); }

void Kestrin::put_OLEDropMode(std::int16_t v) {
  activeBox().setOleDropMode(v);
  notify("OLEDropMode");
}

void Kestrin::LinkSend() { activeBox().linkSend(); }
void Kestrin::LinkRequest() { activeBox().linkRequest(); }
void Kestrin::OLEDrag() { activeBox().oleDrag(); }

// ---- events: the element index is dropped, every other argument goes on by reference --------

void Kestrin::txtKestrin_Click(std::int16_t) {
  raise([](KestrinEvents& e) { e.Click(); });
}

void Kestrin::txtKestrin_DblClick(std::int16_t) {
  raise([](KestrinEvents& e) { e.DblClick(); });
}

void Kestrin::txtKestrin_MouseDown(std::int16_t, std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
  raise([&](KestrinEvents& e) { e.MouseDown(Button, Shift, X, Y); });
}

void Kestrin::txtKestrin_MouseMove(std::int16_t, std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
  raise([&](KestrinEvents& e) { e.MouseMove(Button, Shift, X, Y); });
}

void Kestrin::txtKestrin_MouseUp(std::int16_t, std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
  raise([&](KestrinEvents& e) { e.MouseUp(Button, Shift, X, Y); });
}

void Kestrin::txtKestrin_OLECompleteDrag(std::int16_t, std::int32_t& Effect) {
  raise([&](KestrinEvents& e) { e.OLECompleteDrag(Effect); });
}

void Kestrin::txtKestrin_OLEDragDrop(std::int16_t, host::DataObjectRef& Data, std::int32_t& Effect,
                                     std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
  raise([&](KestrinEvents& e) { e.OLEDragDrop(Data, Effect, Button, Shift, X, Y); });
}

void Kestrin::txtKestrin_OLEDragOver(std::int16_t, host::DataObjectRef& Data, std::int32_t& Effect,
                                     std::int16_t& Button, std::int16_t& Shift, float& X, float& Y,
                                     std::int16_t& State) {
  raise([&](KestrinEvents& e) { e.OLEDragOver(Data, Effect, Button, Shift, X, Y, State); });
}

}  // namespace kestrinx
