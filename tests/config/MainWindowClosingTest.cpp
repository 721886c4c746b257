// The main window object going while its window is still open (as the window tests end): the window
// closes before its pages and their controls go, so the notices its controls send while it closes
// (parent notices, list notices, painting) reach the shown page while that page is whole. This
// program runs on the guard allocator, where a page or control reached after it was freed ends it
// at the faulty line.
#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include "GuardAlloc.h"
#include "PagesFixture.h"
#include "config/Items.h"
#include "config/MainDlg.h"
#include "config/pages/PageTable.h"

using namespace vt::config;
using vt::test::PumpMessages;

class MainWindowClosing : public vt::test::PagesFixture {
protected:
    void SetUp() override {
        vt::test::WindowTest::SetUp();
        SetUpFolder();
        mouse->CreateProfile(L"PROFILE01");
        keyboard->CreateProfile(L"PROFILE01");
        devices = std::make_unique<vt::test::FakePageDevices>(mouse, keyboard);
    }
    std::unique_ptr<vt::test::FakePageDevices> devices;
};

TEST_F(MainWindowClosing, ThePagesGoAfterTheWindowWhicheverPageIsShown) {
    ASSERT_GT(vt::test::GuardedBlocks(), 0u);
    const int tabs[] = {ctl::BUTTON_PRODSELECT_MOUSE, ctl::BUTTON_PRODSELECT_KEYBOARD};
    // Every page of both devices built, each run ending on another page: the keyboard's macros (the
    // pages go in the order of their ids, from the last: the keyboard keys page's own key windows
    // go after the shown page), the mouse's profiles (whose list sends notices as it goes).
    for (int last : {kPageKeyboardMacros, kPageMouseProfiles}) {
        OpenWindow(*devices);
        PumpMessages(30, 800);
        const PageRow* lastRow = nullptr;
        for (const PageRow& row : PageTable()) {
            if (row.device == kHeadset) continue;
            Click(tabs[row.device]);
            Click(row.button);
            if (row.id == last) lastRow = &row;
        }
        ASSERT_NE(lastRow, nullptr);
        Click(tabs[lastRow->device]);
        Click(lastRow->button);
        ASSERT_EQ(dlg->CurrentPageId(), last);
        const HWND window = dlg->Hwnd();
        const HWND pageButton = Control(lastRow->button);
        dlg.reset();
        EXPECT_FALSE(IsWindow(window)) << last;
        EXPECT_FALSE(IsWindow(pageButton)) << last;
    }
}
