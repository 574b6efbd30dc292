// The General page through the page protocol in process: the Changed flag its site hears when
// a user edits the page, and an apply the page refuses.
#include <string>
#include <vector>

#include "host/headless/page_site.h"
#include "runtime/runtime_fixture.h"

namespace kestrinx::testing {
namespace {

class PageTest : public RuntimeTest {
 protected:
  void SetUp() override {
    page_ = newPage();
    a_ = newControl();
    b_ = newControl();
    ASSERT_EQ(page_->lpVtbl->SetPageSite(page_.get(), &site_.iface), KX_S_OK);
    KxUnknown* selection[] = {reinterpret_cast<KxUnknown*>(a_.get()), reinterpret_cast<KxUnknown*>(b_.get())};
    ASSERT_EQ(page_->lpVtbl->SetObjects(page_.get(), 2, selection, nullptr), KX_S_OK);
  }
  // The page's widgets, as the user meets them.
  headless::PageSite& widgets() {
    return static_cast<headless::PageSite&>(runtime::PageObject::from(page_.get())->widgets());
  }
  KxHResult apply(KxExcepInfo* excep = nullptr) { return page_->lpVtbl->Apply(page_.get(), excep); }

  PageSite site_;
  Ref<KxPropertyPage> page_;
  Ref<KxDispatch> a_, b_;
};

TEST_F(PageTest, ALoadedPageIsCleanAndAUsersEditMakesItDirtyOnce) {
  EXPECT_EQ(page_->lpVtbl->IsPageDirty(page_.get()), KX_S_FALSE);
  EXPECT_TRUE(site_.statuses.empty());
  const std::int32_t width = control(a_.get()).get_BoxWidth();
  widgets().type("txtGeneral", 1, "");  // BoxWidth's box, focused
  widgets().press(headless::Key::End);
  widgets().form().type("00");  // a hundred times wider
  EXPECT_EQ(page_->lpVtbl->IsPageDirty(page_.get()), KX_S_OK);
  EXPECT_EQ(site_.statuses, std::vector<std::uint32_t>{KX_PROPPAGESTATUS_DIRTY});
  EXPECT_EQ(apply(), KX_S_OK);
  EXPECT_EQ(page_->lpVtbl->IsPageDirty(page_.get()), KX_S_FALSE);
  EXPECT_EQ(control(a_.get()).get_BoxWidth(), width * 100);
  EXPECT_EQ(control(b_.get()).get_BoxWidth(), width * 100);
  // The next edit is heard again.
  widgets().click("chkGeneral", 1);
  EXPECT_EQ(site_.statuses.size(), 2u);
}

TEST_F(PageTest, AnApplyThePageRefusesChangesNoControlAndLeavesItDirty) {
  widgets().click("chkGeneral", 1);
  widgets().textBox("txtGeneral", 1).setText("");  // BoxWidth emptied
  ASSERT_EQ(page_->lpVtbl->IsPageDirty(page_.get()), KX_S_OK);
  put(a_.get(), "Caption", Var::str("kept"));
  KxExcepInfo excep{};
  EXPECT_EQ(apply(&excep), KX_DISP_E_EXCEPTION);
  EXPECT_EQ(KX_SCODE_CODE(excep.scode), 380);
  EXPECT_EQ(std::string(excep.bstrDescription), "BoxWidth is empty: enter a whole number");
  EXPECT_EQ(std::string(excep.bstrSource), "KestrinX.General");
  kx_excepinfo_clear(&excep);
  EXPECT_EQ(control(a_.get()).get_Caption(), "kept");
  EXPECT_EQ(page_->lpVtbl->IsPageDirty(page_.get()), KX_S_OK);
}

TEST_F(PageTest, ThePageDescribesItselfAndTakesOnlyDispatchObjects) {
  KxPageInfo info{};
  ASSERT_EQ(page_->lpVtbl->GetPageInfo(page_.get(), &info), KX_S_OK);
  EXPECT_EQ(std::string(info.title), "General");
  EXPECT_EQ(info.width, 6228);
  EXPECT_EQ(info.height, 3324);
  kx_bstr_free(info.title);
  Ref<KxPropertyPage> other = newPage();
  KxUnknown* notAControl[] = {reinterpret_cast<KxUnknown*>(other.get())};
  EXPECT_EQ(page_->lpVtbl->SetObjects(page_.get(), 1, notAControl, nullptr), KX_E_NOINTERFACE);
  // The site and the controls are let go with the page.
  page_.reset();
  EXPECT_EQ(site_.refs, 1);
}

}  // namespace
}  // namespace kestrinx::testing
