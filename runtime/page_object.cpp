// Property page objects and the page protocol.
#include "runtime/page_object.h"

#include <new>
#include <utility>

#include "runtime/errors.h"
#include "runtime/variants.h"
#include "values/error.h"

namespace kestrinx::runtime {

// ---- the selected controls ---------------------------------------------------------------------

ClientDispatch::ClientDispatch(KxDispatch* d) : d_(d) { d_->lpVtbl->AddRef(d_); }

ClientDispatch::~ClientDispatch() { d_->lpVtbl->Release(d_); }

std::int32_t ClientDispatch::idOf(const std::string& name) {
  const char* names[] = {name.c_str()};
  std::int32_t id = KX_DISPID_UNKNOWN;
  const KxHResult hr = d_->lpVtbl->GetIDsOfNames(d_, &KX_IID_NULL, names, 1, 0, &id);
  if (KX_FAILED(hr)) values::raiseError(values::err::MemberNotSupported);
  return id;
}

namespace {

// Runs one Invoke and raises the run-time error it reports.
void check(KxHResult hr, KxExcepInfo& excep) {
  if (KX_SUCCEEDED(hr)) {
    kx_excepinfo_clear(&excep);
    return;
  }
  const values::AutomationError error = errorOf(hr, excep);
  kx_excepinfo_clear(&excep);
  throw error;
}

}  // namespace

values::Variant ClientDispatch::getProperty(const std::string& name) {
  const std::int32_t id = idOf(name);
  KxDispParams none{nullptr, nullptr, 0, 0};
  KxVariant result;
  kx_variant_init(&result);
  KxExcepInfo excep{};
  check(d_->lpVtbl->Invoke(d_, id, &KX_IID_NULL, 0, KX_DISPATCH_PROPERTYGET, &none, &result, &excep, nullptr), excep);
  struct Clear {
    KxVariant& v;
    ~Clear() { kx_variant_clear(&v); }
  } clear{result};
  return fromAbi(result);
}

void ClientDispatch::setProperty(const std::string& name, const values::Variant& value) {
  const std::int32_t id = idOf(name);
  KxVariant arg;
  toAbi(value, arg);
  struct Clear {
    KxVariant& v;
    ~Clear() { kx_variant_clear(&v); }
  } clear{arg};
  std::int32_t named = KX_DISPID_PROPERTYPUT;
  KxDispParams params{&arg, &named, 1, 1};
  // An object goes by reference, anything else by value.
  const std::uint16_t kind = value.isObject() ? KX_DISPATCH_PROPERTYPUTREF : KX_DISPATCH_PROPERTYPUT;
  KxExcepInfo excep{};
  check(d_->lpVtbl->Invoke(d_, id, &KX_IID_NULL, 0, kind, &params, nullptr, &excep, nullptr), excep);
}

// ---- the page's site ---------------------------------------------------------------------------

// The page site the page sees: widgets from the library's widget host, the selection and the
// Changed flag from the client. Changes of Changed made while the page loads (at creation and
// on a new selection) are the page filling its widgets, not a user's edit: the page is clean
// afterwards and the client hears nothing of them.
class PageObject::Site final : public host::PageSite {
 public:
  explicit Site(host::PageSite& widgets) : widgets_(widgets) {}
  ~Site() override { setClientSite(nullptr); }

  void setClientSite(KxPropertyPageSite* site) {
    if (site != nullptr) site->lpVtbl->AddRef(site);
    if (client_ != nullptr) client_->lpVtbl->Release(client_);
    client_ = site;
  }
  void select(std::vector<std::unique_ptr<ClientDispatch>> controls) { selected_ = std::move(controls); }

  // Runs `load` with the page's changes of Changed kept from the client; the page is clean after.
  template <typename Load>
  void loading(Load&& load) {
    loading_ = true;
    try {
      load();
    } catch (...) {
      loading_ = false;
      changed_ = values::False;
      throw;
    }
    loading_ = false;
    changed_ = values::False;
  }

  std::string caption() const { return caption_; }
  values::Twips width() const { return width_; }
  values::Twips height() const { return height_; }

  // -- selection and Changed --
  std::size_t selectedCount() const override { return selected_.size(); }
  values::Dispatch& selectedControl(std::size_t i) override {
    if (i >= selected_.size()) values::raiseError(values::err::SubscriptOutOfRange);
    return *selected_[i];
  }
  values::Boolean changed() const override { return changed_; }
  void setChanged(values::Boolean v) override {
    const bool becameDirty = changed_ == values::False && v != values::False;
    changed_ = v;
    if (becameDirty && !loading_ && client_ != nullptr)
      client_->lpVtbl->OnStatusChange(client_, KX_PROPPAGESTATUS_DIRTY);
  }

  // -- the widgets, from the library's widget host --
  void setPageArea(std::string_view caption, values::Twips width, values::Twips height) override {
    caption_ = std::string(caption);
    width_ = width;
    height_ = height;
    widgets_.setPageArea(caption, width, height);
  }
  host::TabControl& createTabControl(const host::WidgetDesign& d, std::span<const std::string_view> tabs) override {
    return widgets_.createTabControl(d, tabs);
  }
  host::Frame& createFrame(const host::WidgetDesign& d) override { return widgets_.createFrame(d); }
  host::TextBox& createTextBox(const host::WidgetDesign& d, host::TextBoxEvents* sink) override {
    return widgets_.createTextBox(d, sink);
  }
  host::ComboBox& createComboBox(const host::WidgetDesign& d, std::span<const std::string_view> items,
                                 host::ListEvents* sink) override {
    return widgets_.createComboBox(d, items, sink);
  }
  host::CheckBox& createCheckBox(const host::WidgetDesign& d, host::ClickEvents* sink) override {
    return widgets_.createCheckBox(d, sink);
  }
  host::Label& createLabel(const host::WidgetDesign& d) override { return widgets_.createLabel(d); }

 private:
  host::PageSite& widgets_;
  KxPropertyPageSite* client_ = nullptr;  // one reference held
  std::vector<std::unique_ptr<ClientDispatch>> selected_;
  values::Boolean changed_ = values::False;
  bool loading_ = false;
  std::string caption_;
  values::Twips width_ = 0, height_ = 0;
};

// ---- the page object ---------------------------------------------------------------------------

namespace {

PageObject& pageOf(KxPropertyPage* p) { return ownerOf<PageObject>(p); }

KxHResult setPageSiteEntry(KxPropertyPage* self, KxPropertyPageSite* site) noexcept {
  return pageOf(self).setPageSite(site);
}
KxHResult getPageInfoEntry(KxPropertyPage* self, KxPageInfo* info) noexcept { return pageOf(self).getPageInfo(info); }
KxHResult setObjectsEntry(KxPropertyPage* self, std::uint32_t count, KxUnknown* const* objects,
                          KxExcepInfo* excep) noexcept {
  PageObject& page = pageOf(self);
  page.addRef();
  const KxHResult hr = page.setObjects(count, objects, excep);
  page.release();
  return hr;
}
KxHResult isPageDirtyEntry(KxPropertyPage* self) noexcept { return pageOf(self).isPageDirty(); }
KxHResult applyEntry(KxPropertyPage* self, KxExcepInfo* excep) noexcept {
  PageObject& page = pageOf(self);
  page.addRef();
  const KxHResult hr = page.apply(excep);
  page.release();
  return hr;
}

constexpr KxPropertyPageVtbl kPageTable{&queryInterfaceEntry<KxPropertyPage>,
                                        &addRefEntry<KxPropertyPage>,
                                        &releaseEntry<KxPropertyPage>,
                                        &setPageSiteEntry,
                                        &getPageInfoEntry,
                                        &setObjectsEntry,
                                        &isPageDirtyEntry,
                                        &applyEntry};

// The most controls a page is given at once.
constexpr std::uint32_t kMaxSelection = 4096;

}  // namespace

PageObject::PageObject(const PageClass& cls) : face_{{&kPageTable}, this}, progId_(cls.progId) {
  widgets_ = cls.makeWidgetSite();
  site_ = std::make_unique<Site>(*widgets_);
  site_->loading([&] {
    page_ = cls.create(*site_);
    page_->initialize();
  });
}

PageObject::~PageObject() = default;

PageObject* PageObject::create(const PageClass& cls) { return new PageObject(cls); }

PageObject* PageObject::from(const void* p) {
  if (p == nullptr || static_cast<const KxPropertyPage*>(p)->lpVtbl != &kPageTable) return nullptr;
  return &pageOf(const_cast<KxPropertyPage*>(static_cast<const KxPropertyPage*>(p)));
}

void* PageObject::interfaceFor(const KxGuid& iid) noexcept {
  return iid == KX_IID_UNKNOWN || iid == KX_IID_PROPERTYPAGE ? &face_.iface : nullptr;
}

KxHResult PageObject::setPageSite(KxPropertyPageSite* site) {
  site_->setClientSite(site);
  return KX_S_OK;
}

KxHResult PageObject::getPageInfo(KxPageInfo* info) {
  if (info == nullptr) return KX_E_POINTER;
  const std::string caption = site_->caption();
  KxBStr title = kx_bstr_alloc(caption.data(), static_cast<std::uint32_t>(caption.size()));
  if (title == nullptr) return KX_E_OUTOFMEMORY;
  info->title = title;
  info->width = static_cast<std::int32_t>(site_->width());
  info->height = static_cast<std::int32_t>(site_->height());
  return KX_S_OK;
}

KxHResult PageObject::setObjects(std::uint32_t count, KxUnknown* const* objects, KxExcepInfo* excep) {
  if (count > 0 && objects == nullptr) return KX_E_POINTER;
  if (count > kMaxSelection) return KX_E_INVALIDARG;
  return guarded(
      [&]() -> KxHResult {
        std::vector<std::unique_ptr<ClientDispatch>> selection;
        selection.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
          if (objects[i] == nullptr) return KX_E_POINTER;
          void* found = nullptr;
          if (KX_FAILED(objects[i]->lpVtbl->QueryInterface(objects[i], &KX_IID_DISPATCH, &found)) || found == nullptr)
            return KX_E_NOINTERFACE;
          auto* d = static_cast<KxDispatch*>(found);
          std::unique_ptr<ClientDispatch> client;
          try {
            client = std::make_unique<ClientDispatch>(d);
          } catch (...) {
            d->lpVtbl->Release(d);
            throw;
          }
          d->lpVtbl->Release(d);  // the client holds its own reference
          selection.push_back(std::move(client));
        }
        site_->select(std::move(selection));
        if (count == 0) return KX_S_OK;
        try {
          site_->loading([&] { page_->selectionChanged(); });
        } catch (...) {
          site_->select({});
          throw;
        }
        return KX_S_OK;
      },
      excep, progId_);
}

KxHResult PageObject::isPageDirty() const { return site_->changed() != values::False ? KX_S_OK : KX_S_FALSE; }

KxHResult PageObject::apply(KxExcepInfo* excep) {
  return guarded(
      [&]() -> KxHResult {
        page_->applyChanges();
        site_->setChanged(values::False);
        return KX_S_OK;
      },
      excep, progId_);
}

}  // namespace kestrinx::runtime
