#pragma once
// The main window with its pages for the profile and macro page tests: the three configurations,
// a scripted popup host and file dialogs, and the window driven by its controls' ids. The device
// set is the derived fixture's (fake devices, or the engine stand-in's).
#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include "PageFakes.h"
#include "WindowTest.h"
#include "config/Items.h"
#include "config/MainDlg.h"
#include "config/Registry.h"
#include "config/pages/PageTable.h"
#include "profile/AudioConfig.h"
#include "profile/KeyboardConfig.h"
#include "profile/MouseConfig.h"
#include "skin/ExtListCtrl.h"
#include "skin/Messages.h"
#include "base/ProgramFolder.h"
#include "skin/Vocabulary.h"

namespace vt::test {

// The main window on the three configurations, its popups answered by `Popups`.
template <class Popups>
class PagesFixtureOf : public WindowTest {
protected:
    static void SetUpTestSuite() {
        vt::skin::BuildVocabularyTables();
        vt::config::RegisterMainWindowClass(GetModuleHandleW(nullptr));
    }
    static void TearDownTestSuite() { vt::skin::SetCurrentLanguageTable(nullptr); }
    // The program folder and the English texts.
    void SetUpFolder() {
        ASSERT_TRUE(vt::base::InitProgramFolder(ImageFolder().c_str()));
        ASSERT_TRUE(UseLanguage(kEnglish));
    }
    // The main window on the device set, shown.
    void OpenWindow(vt::config::IDeviceSet& devices) {
        dlg = std::make_unique<vt::config::CDmAppDlg>(mouse, keyboard, headset, devices, popups,
                                                      vt::config::CDmAppDlg::ShellOpen{}, &files);
        ASSERT_TRUE(dlg->CreatePanel());
        ShowWindow(dlg->Hwnd(), SW_SHOW);
        SetForegroundWindow(dlg->Hwnd());
    }
    void TearDown() override {
        dlg.reset();
        WindowTest::TearDown();
    }
    // A control of the main window or of a page (lists and edits sit in frames of their own).
    HWND Control(int id) const {
        if (HWND h = GetDlgItem(dlg->Hwnd(), id)) return h;
        for (const vt::config::PageRow& row : vt::config::PageTable())
            if (vt::config::CDmPage* page = dlg->Page(row.id))
                if (HWND h = vt::config::ItemWindow(vt::skin::FindItem(*page, id))) return h;
        return nullptr;
    }
    void Click(int id) {
        HWND c = Control(id);
        ASSERT_NE(c, nullptr) << "no control " << id;
        SendMessageW(dlg->Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(c));
        PumpMessages(20, 300);
    }
    // A button pressed as the mouse does (a check button toggles itself before it reports).
    void Press(int id) {
        HWND b = Control(id);
        ASSERT_NE(b, nullptr) << "no control " << id;
        SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        SendMessageW(b, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        PumpMessages(20, 300);
    }
    // A choice of the mouse profile list's row menu, as the list reports it.
    void MenuChoice(int key, const wchar_t* text) {
        vt::skin::ListNotifyRecord rec{key, 0, LPARAM(text)};
        SendMessageW(dlg->Hwnd(), vt::skin::WM_XLIST_CELL_CHOICE, WPARAM(Control(vt::skin::ctl::LIST_PROFILELIST)), LPARAM(&rec));
        PumpMessages(20, 300);
    }
    void Shot(const wchar_t* name) {
        PumpMessages(30, 400);
        CaptureClient(dlg->Hwnd()).SaveBmp(OutputPath(name));
    }

    CDmConfig_Mouse mouseConfig;
    CDmConfig_Keyboard keyboardConfig;
    CDmConfig_Headset headsetConfig;
    IMouseConfig* mouse = &mouseConfig;
    IKeyboardConfig* keyboard = &keyboardConfig;
    IAudioConfig* headset = &headsetConfig;
    Popups popups;
    ScriptedFileDialogs files;
    std::unique_ptr<vt::config::CDmAppDlg> dlg;
};

using PagesFixture = PagesFixtureOf<ScriptedPagePopups>;

} // namespace vt::test
