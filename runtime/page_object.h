// A property page created by a class factory: the page over a page site whose widgets come from
// the library's widget host and whose selection and Changed flag come from the client through
// the page protocol (SetPageSite, SetObjects, IsPageDirty, Apply).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/page_site.h"
#include "runtime/object.h"
#include "runtime/project.h"
#include "values/dispatch.h"

namespace kestrinx::runtime {

// A client's dispatch object seen by name, as a page reads and sets a selected control: each
// get or set is a GetIDsOfNames and an Invoke, and a failure is the run-time error it reports.
class ClientDispatch final : public values::Dispatch {
 public:
  explicit ClientDispatch(KxDispatch* d);  // keeps one reference
  ~ClientDispatch() override;
  ClientDispatch(const ClientDispatch&) = delete;
  ClientDispatch& operator=(const ClientDispatch&) = delete;

  values::Variant getProperty(const std::string& name) override;
  void setProperty(const std::string& name, const values::Variant& value) override;

 private:
  std::int32_t idOf(const std::string& name);
  KxDispatch* d_;
};

class PageObject final : public Object {
 public:
  // Creates a page of `cls` with its widgets, initialised and clean, with one reference.
  static PageObject* create(const PageClass& cls);
  // The page behind an interface pointer this runtime handed out, or nullptr.
  static PageObject* from(const void* p);

  KxPropertyPage* iface() { return &face_.iface; }
  // The library's widget host, which created and owns the page's widgets.
  host::PageSite& widgets() { return *widgets_; }

  // The C entries.
  KxHResult setPageSite(KxPropertyPageSite* site);
  KxHResult getPageInfo(KxPageInfo* info);
  KxHResult setObjects(std::uint32_t count, KxUnknown* const* objects, KxExcepInfo* excep);
  KxHResult isPageDirty() const;
  KxHResult apply(KxExcepInfo* excep);

 private:
  class Site;
  explicit PageObject(const PageClass& cls);
  ~PageObject() override;
  void* interfaceFor(const KxGuid& iid) noexcept override;

  Face<KxPropertyPage> face_;
  std::string progId_;
  std::unique_ptr<host::PageSite> widgets_;
  std::unique_ptr<Site> site_;
  std::unique_ptr<PropertyPage> page_;  // after the widgets and the site: destroyed first
};

}  // namespace kestrinx::runtime
