// The main window on a scripted device set: which device it opens on, page and device switching,
// Apply / OK / Cancel with writes that run, fail or are still busy, devices leaving and coming back,
// the no-device warning, the single instance, and the warning and DPI stages popups.
#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>
#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "WindowTest.h"
#include "config/DpiStages.h"
#include "config/Items.h"
#include "config/MainDlg.h"
#include "config/pages/Page.h"
#include "config/pages/PageTable.h"
#include "config/popups/NameEntryPopup.h"
#include "config/Registry.h"
#include "config/popups/DamagedFilesPopup.h"
#include "config/popups/DpiStagesPopup.h"
#include "config/popups/WarningPopup.h"
#include "profile/AudioConfig.h"
#include "profile/KeyboardConfig.h"
#include "profile/MouseConfig.h"
#include "skin/Messages.h"
#include "base/ProgramFolder.h"
#include "skin/SkinStore.h"
#include "skin/UnusableFiles.h"
#include "skin/Vocabulary.h"

using namespace vt::config;
using vt::test::PumpMessages;
using vt::test::PumpUntil;

namespace {

class FakeDevices : public IDeviceSet {
public:
    explicit FakeDevices(IMouseConfig*& mouse, IKeyboardConfig*& keyboard) : m_mouse(mouse), m_keyboard(keyboard) {}
    bool attached[3] = {true, true, true};
    bool withProfile[3] = {true, true, true};
    bool writeStarts = true;
    bool busy = false;
    int lastResult = -1;
    int reads[3] = {}, writes[3] = {}, recreates[3] = {};
    HWND notify = nullptr;
    int opens = 0;

    std::vector<std::string> steps;              // "open 0", "read 1"... in order
    std::function<void(int)> onRead;              // runs as a device is read
    void Open() override { ++opens; }
    void OpenDevice(int d) override { steps.push_back("open " + std::to_string(d)); }
    bool canProbe = false;                        // answers whether a device is there without opening it
    int Probe(int d) override {
        if (!canProbe) return kCannotProbe;
        steps.push_back("probe " + std::to_string(d));
        return attached[d] ? 1 : 0;
    }
    bool Read(int d) override {
        ++reads[d];
        steps.push_back("read " + std::to_string(d));
        if (onRead) onRead(d);
        if (!attached[d]) return false;
        if (withProfile[d]) {
            if (d == kMouse && m_mouse->GetProfileCount() == 0) m_mouse->CreateProfile(L"PROFILE01");
            if (d == kKeyboard && m_keyboard->GetProfileCount() == 0) m_keyboard->CreateProfile(L"PROFILE01");
        }
        return true;
    }
    bool StartWrite(int d) override {
        ++writes[d];
        if (!attached[d] || !writeStarts) return false;
        busy = true;
        return true;
    }
    bool IsBusy(int) override { return busy; }
    int LastWriteResult(int) override { return lastResult; }
    bool FirmwareVersion(int d, std::wstring& t) override { t = d == kMouse ? L"1.07" : L"2.01"; return attached[d]; }
    bool DriverVersion(int, std::wstring& t) override { t = L"3.40"; return true; }
    bool Recreate(int d) override { ++recreates[d]; return attached[d]; }
    bool QueryKeyboardLayout(ULONG*) override { return false; }
    void SetNotifyWindow(HWND w) override { notify = w; }
    void Destroy() override {}

private:
    IMouseConfig*& m_mouse;
    IKeyboardConfig*& m_keyboard;
};

class ScriptedPopups : public IPopupHost {
public:
    std::vector<std::wstring> warnings;
    std::vector<std::wstring> messages;   // the message text each warning was given
    INT_PTR warningAnswer = 1;
    std::function<void()> whileWarning;   // runs while a warning shows
    std::function<INT_PTR(IPopup&)> others;       // answers any other popup (null: a failure)
    std::function<INT_PTR(DpiStagesEdit&)> dpi = [](DpiStagesEdit&) { return INT_PTR(2); };
    INT_PTR Run(HWND, IPopup& popup) override {
        if (auto* w = dynamic_cast<WarningPopup*>(&popup)) {
            warnings.push_back(w->File());
            messages.push_back(w->Message());
            if (whileWarning) whileWarning();
            return warningAnswer;
        }
        if (auto* d = dynamic_cast<DpiStagesPopup*>(&popup)) return dpi(d->Edit());
        if (others) return others(popup);
        ADD_FAILURE() << "a popup the script does not know";
        return 2;
    }
};

std::vector<BYTE> Notice(const wchar_t* path) {
    const size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (wcslen(path) + 1) * sizeof(wchar_t);
    std::vector<BYTE> buf(size);
    auto* b = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(buf.data());
    b->dbcc_size = DWORD(size);
    b->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    memcpy(b->dbcc_name, path, (wcslen(path) + 1) * sizeof(wchar_t));
    return buf;
}
const wchar_t* kMousePath = L"\\\\?\\HID#VID_2F3D&PID_0019#7&vtsim&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const wchar_t* kKeyboardPath = L"\\\\?\\HID#VID_2F3D&PID_001A#7&vtsim&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const int kDeviceTabs[3] = {ctl::BUTTON_PRODSELECT_MOUSE, ctl::BUTTON_PRODSELECT_KEYBOARD, ctl::BUTTON_PRODSELECT_HEADSET};
const wchar_t* kHeadsetPath = L"\\\\?\\HID#VID_2F3D&PID_001B#7&vtsim&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const wchar_t* kOtherPath = L"\\\\?\\HID#VID_1234&PID_0019#7&x";

} // namespace

class MainWindow : public vt::test::WindowTest {
protected:
    static void SetUpTestSuite() {
        vt::skin::BuildVocabularyTables();
        RegisterMainWindowClass(GetModuleHandleW(nullptr));
    }
    void SetUp() override {
        vt::test::WindowTest::SetUp();
        ASSERT_TRUE(vt::base::InitProgramFolder(vt::test::ImageFolder().c_str()));
        mouse = &mouseConfig;
        keyboard = &keyboardConfig;
        headset = &headsetConfig;
        devices = std::make_unique<FakeDevices>(mouse, keyboard);
    }
    void TearDown() override {
        dlg.reset();
        vt::test::WindowTest::TearDown();
    }
    void Open(CDmAppDlg::ShellOpen shell = {}) {
        dlg = std::make_unique<CDmAppDlg>(mouse, keyboard, headset, *devices, popups, std::move(shell));
        ASSERT_TRUE(dlg->CreatePanel());
        ShowWindow(dlg->Hwnd(), SW_SHOW);
        // The devices are read once the first paint is done (a posted message): pump until the
        // queue runs dry, however long a loaded machine takes to get there.
        PumpMessages(30, 20000);
    }
    HWND Control(int id) const { return GetDlgItem(dlg->Hwnd(), id); }
    void Click(int id) {
        HWND c = Control(id);
        ASSERT_NE(c, nullptr) << "no control " << id;
        SendMessageW(dlg->Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(c));
    }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    bool Visible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    // Every control of every page but the shown one is hidden.
    void ExpectOnlyTheShownPageVisible() {
        for (int id = 1; id <= 13; ++id) {
            CDmPage* page = dlg->Page(id);
            if (!page || id == dlg->CurrentPageId()) continue;
            for (CGUIItem* item : page->m_items) {
                HWND w = ItemWindow(item);
                EXPECT_FALSE(w && IsWindowVisible(w)) << "page " << id << " control " << item->m_controlId;
            }
        }
    }
    void Notify(const wchar_t* path, bool arrived) {
        std::vector<BYTE> n = Notice(path);
        SendMessageW(dlg->Hwnd(), WM_DEVICECHANGE, arrived ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE, LPARAM(n.data()));
    }

    CDmConfig_Mouse mouseConfig;
    CDmConfig_Keyboard keyboardConfig;
    CDmConfig_Headset headsetConfig;
    IMouseConfig* mouse = nullptr;
    IKeyboardConfig* keyboard = nullptr;
    IAudioConfig* headset = nullptr;
    std::unique_ptr<FakeDevices> devices;
    ScriptedPopups popups;
    std::unique_ptr<CDmAppDlg> dlg;
};

TEST_F(MainWindow, OpensOnTheMouseWithItsTabsAndFirstPage) {
    Open();
    EXPECT_EQ(dlg->CurrentDevice(), kMouse);
    EXPECT_EQ(dlg->CurrentPageId(), 1);
    for (int id : {ctl::BUTTON_PRODSELECT_MOUSE, ctl::BUTTON_PRODSELECT_KEYBOARD, ctl::BUTTON_PRODSELECT_HEADSET})
        EXPECT_TRUE(Enabled(id));
    EXPECT_TRUE(Visible(ctl::BUTTON_ADJUSTPERFORMANCE));
    EXPECT_FALSE(Visible(ctl::BUTTON_ASSIGNKEYS));
    EXPECT_FALSE(Enabled(ctl::BUTTON_APPLY));
    wchar_t title[64];
    GetWindowTextW(dlg->Hwnd(), title, 64);
    EXPECT_STREQ(title, L"Velto Dunemarch II Configurator");
    wchar_t cls[64];
    GetClassNameW(dlg->Hwnd(), cls, 64);
    EXPECT_STREQ(cls, L"SINGLE_INSTANCE_APP_DM");
    RECT rc;
    GetClientRect(dlg->Hwnd(), &rc);
    EXPECT_EQ(rc.right, 880);
    EXPECT_EQ(rc.bottom, 600);
    // Every page exists (none failed to load).
    for (int id = 1; id <= 13; ++id) EXPECT_NE(dlg->Page(id), nullptr) << id;

    Click(ctl::BUTTON_ADJUSTPERFORMANCE);
    PumpMessages(30, 400);
    EXPECT_EQ(dlg->CurrentPageId(), 2);
    EXPECT_TRUE(Visible(ctl::BITMAP_SLSENSTRK_XY));
    vt::test::CaptureClient(dlg->Hwnd()).SaveBmp(vt::test::OutputPath(L"config_main_window.bmp"));
}

TEST_F(MainWindow, SecondInstanceFindsTheFirst) {
    Open();
    EXPECT_EQ(FindWindowW(L"SINGLE_INSTANCE_APP_DM", nullptr), dlg->Hwnd());
    EXPECT_FALSE(ClaimSingleInstance());
    dlg.reset();
    EXPECT_TRUE(ClaimSingleInstance());
}

TEST_F(MainWindow, NoMouseOpensOnThePresentDevice) {
    devices->attached[kMouse] = false;
    Open();
    EXPECT_EQ(dlg->CurrentDevice(), kKeyboard);
    EXPECT_EQ(dlg->CurrentPageId(), 6);
    EXPECT_FALSE(Enabled(ctl::BUTTON_PRODSELECT_MOUSE));
    EXPECT_FALSE(Visible(ctl::BUTTON_ADJUSTPERFORMANCE));
    EXPECT_FALSE(dlg->TimerRunning());
}

TEST_F(MainWindow, ADeviceWithoutProfileDoesNotCloseTheProgram) {
    devices->withProfile[kMouse] = false;
    Open();
    EXPECT_FALSE(dlg->Present(kMouse));
    EXPECT_EQ(dlg->CurrentDevice(), kKeyboard);
    EXPECT_FALSE(dlg->TimerRunning());
    PumpMessages(30, 800);
    EXPECT_TRUE(popups.warnings.empty());
    EXPECT_TRUE(IsWindow(dlg->Hwnd()));
}

TEST_F(MainWindow, PageEditsEnableApplyExceptOnTheHeadsetsInstantPages) {
    Open();
    Click(ctl::BUTTON_ADJUSTPERFORMANCE);
    Click(ctl::BUTTON_RATE3);
    EXPECT_EQ(mouse->GetRateIndex(nullptr), 2);
    EXPECT_TRUE(dlg->Modified(kMouse));
    EXPECT_TRUE(Enabled(ctl::BUTTON_APPLY));
    Click(ctl::BUTTON_APPLY);
    EXPECT_EQ(devices->writes[kMouse], 1);
    EXPECT_FALSE(dlg->Modified(kMouse));
    // Headset audio-level page: its commands write at once and never mark the device modified.
    Click(ctl::BUTTON_PRODSELECT_HEADSET);
    EXPECT_EQ(dlg->CurrentDevice(), kHeadset);
    dlg->MarkModified();
    EXPECT_FALSE(dlg->Modified(kHeadset));
}

TEST_F(MainWindow, ApplyWhileAWriteRunsKeepsTheDeviceAndWaits) {
    devices->attached[kKeyboard] = devices->attached[kHeadset] = false;
    Open();
    Click(ctl::BUTTON_ADJUSTPERFORMANCE);
    Click(ctl::BUTTON_RATE1);
    Click(ctl::BUTTON_APPLY);
    ASSERT_TRUE(devices->busy);
    EXPECT_FALSE(Enabled(ctl::BUTTON_APPLY));
    EXPECT_FALSE(Enabled(ctl::BUTTON_OK));
    Click(ctl::BUTTON_RATE2);               // edited again while the write runs
    Click(ctl::BUTTON_APPLY);               // refused: busy is not absent
    Click(ctl::BUTTON_OK);                  // refused as well
    EXPECT_EQ(devices->writes[kMouse], 1);
    EXPECT_TRUE(dlg->Present(kMouse));
    EXPECT_FALSE(dlg->TimerRunning());
    EXPECT_TRUE(dlg->Modified(kMouse));
    devices->busy = false;
    devices->lastResult = 1;
    PumpUntil([&] { return Enabled(ctl::BUTTON_APPLY); }, 20000);
    EXPECT_TRUE(Enabled(ctl::BUTTON_APPLY));
    EXPECT_TRUE(Enabled(ctl::BUTTON_OK));
    EXPECT_TRUE(IsWindow(dlg->Hwnd()));
    EXPECT_TRUE(popups.warnings.empty());
}

TEST_F(MainWindow, AFailedWriteLeavesApplyOffered) {
    Open();
    Click(ctl::BUTTON_ADJUSTPERFORMANCE);
    Click(ctl::BUTTON_RATE1);
    // The write ends in failure on the worker.
    Click(ctl::BUTTON_APPLY);
    devices->busy = false;
    devices->lastResult = 0;
    PumpUntil([&] { return Enabled(ctl::BUTTON_APPLY); }, 20000);
    EXPECT_TRUE(dlg->Modified(kMouse));
    EXPECT_TRUE(Enabled(ctl::BUTTON_APPLY));
    // The write cannot even start: the edits stay unapplied.
    devices->writeStarts = false;
    Click(ctl::BUTTON_APPLY);
    EXPECT_TRUE(dlg->Modified(kMouse));
    EXPECT_FALSE(dlg->Present(kMouse));
    EXPECT_EQ(dlg->CurrentDevice(), kKeyboard);   // the mouse did not answer: another device is shown
}

TEST_F(MainWindow, SwitchingWithUnappliedEditsAsksFirst) {
    Open();
    Click(ctl::BUTTON_ADJUSTPERFORMANCE);
    Click(ctl::BUTTON_RATE1);
    popups.warningAnswer = 2;   // switch without applying
    Click(ctl::BUTTON_PRODSELECT_KEYBOARD);
    ASSERT_EQ(popups.warnings.size(), 1u);
    EXPECT_EQ(popups.warnings[0], L"RefreshBeforeProductSwitchPopup.xml");
    EXPECT_EQ(dlg->CurrentDevice(), kKeyboard);
    EXPECT_EQ(devices->writes[kMouse], 0);
    Click(ctl::BUTTON_PRODSELECT_MOUSE);          // back on the mouse: its edits count again
    EXPECT_EQ(dlg->CurrentPageId(), 2);           // on the page last shown
    EXPECT_TRUE(Enabled(ctl::BUTTON_APPLY));
    popups.warningAnswer = 1;                     // apply, then switch
    Click(ctl::BUTTON_PRODSELECT_HEADSET);
    EXPECT_EQ(devices->writes[kMouse], 1);
    EXPECT_EQ(dlg->CurrentDevice(), kHeadset);
}

TEST_F(MainWindow, UnplugAndReplugFollowTheTabsAndKeepEdits) {
    Open();
    Click(ctl::BUTTON_ADJUSTPERFORMANCE);
    Click(ctl::BUTTON_RATE1);
    devices->attached[kMouse] = false;
    Notify(kMousePath, false);
    EXPECT_FALSE(dlg->Present(kMouse));
    EXPECT_EQ(dlg->CurrentDevice(), kKeyboard);
    EXPECT_FALSE(Enabled(ctl::BUTTON_PRODSELECT_MOUSE));
    EXPECT_TRUE(dlg->KeptModified(kMouse));
    Notify(kOtherPath, true);                     // another vendor: nothing
    EXPECT_EQ(devices->recreates[kMouse], 1);
    devices->attached[kMouse] = true;
    Notify(kMousePath, true);
    EXPECT_TRUE(dlg->Present(kMouse));
    EXPECT_TRUE(Enabled(ctl::BUTTON_PRODSELECT_MOUSE));
    EXPECT_EQ(dlg->CurrentDevice(), kKeyboard);
    Click(ctl::BUTTON_PRODSELECT_MOUSE);
    EXPECT_TRUE(dlg->Modified(kMouse));
    EXPECT_TRUE(Enabled(ctl::BUTTON_APPLY));
}

TEST_F(MainWindow, LastDeviceGoneWarnsAndCloses) {
    devices->attached[kHeadset] = false;
    Open();
    devices->attached[kKeyboard] = false;
    Notify(kKeyboardPath, false);
    EXPECT_TRUE(IsWindow(dlg->Hwnd()));
    devices->attached[kMouse] = false;
    Notify(kMousePath, false);
    EXPECT_EQ(dlg->CurrentDevice(), kNoDevice);
    EXPECT_TRUE(dlg->TimerRunning());
    HWND h = dlg->Hwnd();
    PumpUntil([&] { return !IsWindow(h); }, 20000);
    ASSERT_EQ(popups.warnings.size(), 1u);
    EXPECT_EQ(popups.warnings[0], L"NoMousePopup.xml");
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(MainWindow, NoDeviceAtStartWarnsAndCloses) {
    devices->attached[kMouse] = devices->attached[kKeyboard] = devices->attached[kHeadset] = false;
    Open();
    HWND h = dlg->Hwnd();
    PumpUntil([&] { return !IsWindow(h); }, 20000);
    EXPECT_EQ(popups.warnings.size(), 1u);
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(MainWindow, SensitivityStagesEditTheModelOnOkOnly) {
    Open();
    Click(ctl::BUTTON_ADJUSTPERFORMANCE);
    Click(ctl::BUTTON_SENSITIVITY_STAGES);        // Cancel: nothing changes
    EXPECT_EQ(mouse->GetDpiStageCount(nullptr), 5u);
    popups.dpi = [](DpiStagesEdit& e) {
        DpiStagesRules rules(e);
        rules.Decrease();
        rules.Decrease();
        rules.Select(0);
        rules.SliderValue(0, 7);
        return INT_PTR(1);
    };
    Click(ctl::BUTTON_SENSITIVITY_STAGES);
    EXPECT_EQ(mouse->GetDpiStageCount(nullptr), 3u);
    EXPECT_EQ(mouse->GetActiveDpiStage(nullptr), 1);
    EXPECT_EQ(mouse->GetDpiStageValue(1, nullptr), 700u);
    EXPECT_EQ(mouse->GetDpi(nullptr), 700);
    EXPECT_TRUE(dlg->Modified(kMouse));
}

TEST_F(MainWindow, SeparateXYOnThePageCopiesTheDpi) {
    Open();
    Click(ctl::BUTTON_ADJUSTPERFORMANCE);
    mouse->SetDpi(1800, nullptr);
    dlg->Page(2)->Refresh();
    EXPECT_TRUE(Visible(ctl::BITMAP_SLSENSTRK_XY));
    EXPECT_FALSE(Visible(ctl::BITMAP_SLSENSTRK_X));
    SetChecked(BindButton(*dlg->Page(2), ctl::BUTTON_ENABLEXY), true);
    Click(ctl::BUTTON_ENABLEXY);
    EXPECT_EQ(mouse->GetSeparateXY(nullptr), 1);
    EXPECT_EQ(mouse->GetDpiX(nullptr), 1800);
    EXPECT_EQ(mouse->GetDpiY(nullptr), 1800);
    EXPECT_FALSE(Visible(ctl::BITMAP_SLSENSTRK_XY));
    EXPECT_TRUE(Visible(ctl::BITMAP_SLSENSTRK_X));
    EXPECT_TRUE(Visible(ctl::BITMAP_SLSENSTRK_Y));
    // A slider message from the page writes value x step.
    SendMessageW(dlg->Hwnd(), vt::skin::WM_SLIDER_VALUE_SET, 25, ctl::SLIDER_DPI_MULTI_X_STAGE1);
    EXPECT_EQ(mouse->GetDpiX(nullptr), 2500);
}

TEST_F(MainWindow, WarningPopupAnswers) {
    struct Case { int control; INT_PTR result; } cases[] = {
        {ctl::BUTTON_POPUP_OK, 1}, {ctl::BUTTON_POPUP_CANCEL, 2}, {-1, 2},
    };
    for (const Case& c : cases) {
        CDmWarningDlg w(nullptr, L"RefreshBeforeProductSwitchPopup.xml", L" (mouse)");
        ASSERT_TRUE(w.CreatePanel());
        // The heading is a text item: checked once the page builds text items.
        if (w.Heading()) {
            EXPECT_NE(GetItemText(w.Heading()).find(L" (mouse)"), std::wstring::npos);
        }
        HWND h = w.Hwnd();
        if (c.control > 0) SendMessageW(h, WM_COMMAND, MAKEWPARAM(c.control, BN_CLICKED), LPARAM(GetDlgItem(h, c.control)));
        else SendMessageW(h, WM_CLOSE, 0, 0);
        PumpUntil([&] { return !IsWindow(h); }, 20000);
        EXPECT_EQ(w.Result(), c.result) << c.control;
        EXPECT_FALSE(IsWindow(h));
    }
}

TEST_F(MainWindow, DpiStagesPopupLooksRightAndEditsItsRecord) {
    mouse->CreateProfile(L"PROFILE01");
    mouse->SetCurrentProfile(mouse->GetProfileAt(0));
    DpiStagesEdit edit = ReadDpiStages(mouse);
    CDPIStagesPopup popup(nullptr, &edit);
    ASSERT_TRUE(popup.CreatePanel());
    ShowWindow(popup.Hwnd(), SW_SHOW);
    PumpMessages(30, 500);
    HWND h = popup.Hwnd();
    auto click = [&](int id) {
        HWND c = GetDlgItem(h, id);
        ASSERT_NE(c, nullptr) << id;
        SendMessageW(h, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(c));
    };
    vt::test::CaptureClient(h).SaveBmp(vt::test::OutputPath(L"config_dpi_stages_popup.bmp"));
    click(ctl::BUTTON_DPISTAGES_DEC);
    click(ctl::BUTTON_DPISTAGES_DEC);
    EXPECT_EQ(edit.count, 3);
    EXPECT_EQ(edit.active, 3);
    SendMessageW(h, vt::skin::WM_SLIDER_VALUE_SET, 24, ctl::SLIDER_DPI_MULTI_STAGE1_POPUP);
    EXPECT_EQ(edit.stages[2].dpi, 2400);
    EXPECT_EQ(SliderValue(BindItem<vt::skin::CSliderHMulti>(popup.Items(), ctl::SLIDER_DPI_MULTI_POPUP,
                                                             vt::skin::kKindSliderHMulti)), 24);
    click(ctl::BUTTON_DPISTAGES_INC);
    EXPECT_EQ(edit.count, 4);
    click(ctl::BUTTON_DPISTAGES_OK);
    EXPECT_EQ(popup.Result(), 1);
}

// A device that comes back has its pages re-read, never shown over another device's page; a
// notice from a control of a page that is not shown changes nothing.
TEST_F(MainWindow, APagesControlsNeverShowOnAnotherDevicesPage) {
    Open();
    Click(ctl::BUTTON_ADJUSTPERFORMANCE);
    devices->attached[kMouse] = false;
    Notify(kMousePath, false);
    devices->attached[kMouse] = true;
    Notify(kMousePath, true);
    ASSERT_EQ(dlg->CurrentDevice(), kKeyboard);
    ExpectOnlyTheShownPageVisible();
    const int dpiX = mouse->GetDpiX(nullptr);
    SendMessageW(dlg->Hwnd(), vt::skin::WM_SLIDER_VALUE_SET, 25, ctl::SLIDER_DPI_MULTI_X_STAGE1);
    SendMessageW(dlg->Hwnd(), vt::skin::WM_SLIDER_VALUE_CHANGING, 30, ctl::SLIDER_DPI_MULTI_STAGE1);
    EXPECT_EQ(mouse->GetDpiX(nullptr), dpiX);
    EXPECT_FALSE(dlg->Modified(kKeyboard));
    EXPECT_FALSE(Enabled(ctl::BUTTON_APPLY));
    // Back on the mouse, its page shows what its switches choose.
    Click(ctl::BUTTON_PRODSELECT_MOUSE);
    EXPECT_EQ(dlg->CurrentPageId(), 2);
    ExpectOnlyTheShownPageVisible();
    EXPECT_TRUE(Visible(ctl::BITMAP_SLSENSTRK_XY));
    EXPECT_FALSE(Visible(ctl::BITMAP_SLSENSTRK_X));
}

// A write that was started from the switch prompt and then failed leaves the device changed,
// also after another device was shown in between.
TEST_F(MainWindow, AnApplyFromTheSwitchPromptThatFailsKeepsTheEdits) {
    Open();
    Click(ctl::BUTTON_ADJUSTPERFORMANCE);
    Click(ctl::BUTTON_RATE1);
    popups.warningAnswer = 1;
    Click(ctl::BUTTON_PRODSELECT_KEYBOARD);
    ASSERT_EQ(devices->writes[kMouse], 1);
    ASSERT_EQ(dlg->CurrentDevice(), kKeyboard);
    devices->busy = false;
    devices->lastResult = 0;
    EXPECT_TRUE(PumpUntil([&] { return dlg->Modified(kMouse); }, 2000));
    EXPECT_FALSE(Enabled(ctl::BUTTON_APPLY));     // the keyboard has nothing to apply
    Click(ctl::BUTTON_PRODSELECT_MOUSE);
    EXPECT_TRUE(dlg->Modified(kMouse));
    EXPECT_TRUE(Enabled(ctl::BUTTON_APPLY));
}

// The stages popup starts from what the page shows; OK without a change and Cancel change
// nothing and leave Apply off.
TEST_F(MainWindow, StagesPopupStartsFromThePageAndChangesNothingUnlessEdited) {
    Open();
    Click(ctl::BUTTON_ADJUSTPERFORMANCE);
    mouse->SetSeparateXY(1, nullptr);
    mouse->SetDpiX(1900, nullptr);
    mouse->SetDpiY(2700, nullptr);
    dlg->Page(2)->Refresh();
    DpiStageRecord seen{};
    popups.dpi = [&](DpiStagesEdit& e) {
        if (DpiStageRecord* r = DpiStagesRules(e).Active()) seen = *r;
        return INT_PTR(2);
    };
    Click(ctl::BUTTON_SENSITIVITY_STAGES);
    EXPECT_EQ(seen.separateXY, 1);
    EXPECT_EQ(seen.dpiX, 1900);
    EXPECT_EQ(seen.dpiY, 2700);
    EXPECT_FALSE(dlg->Modified(kMouse));
    popups.dpi = [](DpiStagesEdit&) { return INT_PTR(1); };
    Click(ctl::BUTTON_SENSITIVITY_STAGES);
    EXPECT_EQ(mouse->GetSeparateXY(nullptr), 1);
    EXPECT_EQ(mouse->GetDpiX(nullptr), 1900);
    EXPECT_EQ(mouse->GetDpiY(nullptr), 2700);
    EXPECT_TRUE(IsChecked(BindButton(*dlg->Page(2), ctl::BUTTON_ENABLEXY)));
    EXPECT_FALSE(dlg->Modified(kMouse));
    EXPECT_FALSE(Enabled(ctl::BUTTON_APPLY));
}

// Devices that come back while the no-device warning shows keep the program open, with or
// without their notices arriving during the warning.
TEST_F(MainWindow, DevicesBackWhileTheNoDeviceWarningShowsKeepTheProgram) {
    for (bool notices : {true, false}) {
        SCOPED_TRACE(notices ? "with notices" : "without notices");
        devices = std::make_unique<FakeDevices>(mouse, keyboard);
        devices->attached[kKeyboard] = devices->attached[kHeadset] = false;
        popups.warnings.clear();
        Open();
        popups.whileWarning = [&] {
            devices->attached[kMouse] = devices->attached[kKeyboard] = true;
            if (notices) {
                Notify(kMousePath, true);
                Notify(kKeyboardPath, true);
            }
        };
        devices->attached[kMouse] = false;
        Notify(kMousePath, false);
        ASSERT_TRUE(PumpUntil([&] { return !popups.warnings.empty(); }, 3000));
        PumpMessages(30, 300);
        ASSERT_TRUE(IsWindow(dlg->Hwnd()));
        EXPECT_EQ(dlg->CurrentDevice(), kMouse);
        EXPECT_TRUE(Enabled(ctl::BUTTON_PRODSELECT_MOUSE));
        EXPECT_TRUE(Enabled(ctl::BUTTON_PRODSELECT_KEYBOARD));
        EXPECT_FALSE(Enabled(ctl::BUTTON_PRODSELECT_HEADSET));
        EXPECT_TRUE(Visible(ctl::BUTTON_ASSIGNBUTTONS));
        EXPECT_FALSE(dlg->TimerRunning());
        popups.whileWarning = nullptr;
        dlg.reset();
    }
}

// Help and Updates say what could not be opened instead of doing nothing.
TEST_F(MainWindow, HelpAndUpdatesThatCannotOpenSaySo) {
    struct Case { int button; const wchar_t* named; } cases[] = {
        {ctl::BUTTON_HELP, L"Manuals\\index.html"},
        {ctl::BUTTON_UPDATE, L"https://"},
    };
    std::vector<std::wstring> opened;
    bool opens = false;
    Open([&](const std::wstring& target) {
        opened.push_back(target);
        return opens;
    });
    for (const Case& c : cases) {
        popups.warnings.clear();
        popups.messages.clear();
        opens = false;
        Click(c.button);
        ASSERT_EQ(popups.warnings.size(), 1u) << c.button;
        EXPECT_NE(popups.messages[0].find(c.named), std::wstring::npos) << c.button;
        opens = true;
        Click(c.button);
        EXPECT_EQ(popups.warnings.size(), 1u) << c.button;
    }
    ASSERT_EQ(opened.size(), 4u);
    EXPECT_NE(opened[0].find(L"Manuals\\index.html"), std::wstring::npos);
}

// On every device's tab, no control of the main page covers another (the lighting-effects button
// and the device picture, for one).
TEST_F(MainWindow, MainPageControlsDoNotOverlapOnAnyTab) {
    Open();
    for (int device : {kMouse, kKeyboard, kHeadset}) {
        dlg->SwitchDevice(device, true);
        PumpMessages(10, 100);
        std::vector<std::pair<int, RECT>> shown;
        for (CGUIItem* item : dlg->Items().m_items) {
            HWND w = ItemWindow(item);
            if (!w || !IsWindowVisible(w)) continue;
            RECT rc;
            GetWindowRect(w, &rc);
            shown.push_back({item->m_controlId, rc});
        }
        EXPECT_GE(shown.size(), 10u);
        for (size_t i = 0; i < shown.size(); ++i)
            for (size_t j = i + 1; j < shown.size(); ++j) {
                RECT both;
                EXPECT_FALSE(IntersectRect(&both, &shown[i].second, &shown[j].second))
                    << "device " << device << ": " << shown[i].first << " and " << shown[j].first;
            }
        vt::test::CaptureClient(dlg->Hwnd()).SaveBmp(vt::test::OutputPath(
            (L"config_main_window_tab" + std::to_wstring(device) + L".bmp").c_str()));
    }
}

// The stage tiles show their values as read-outs: no box in a colour of its own that looks like
// an edit field, and in per-axis mode the X and Y values stay inside their tile, with no black.
TEST_F(MainWindow, StageTilesShowReadOutsInsideTheirTiles) {
    mouse->CreateProfile(L"PROFILE01");
    mouse->SetCurrentProfile(mouse->GetProfileAt(0));
    DpiStagesEdit edit = ReadDpiStages(mouse);
    for (DpiStageRecord& r : edit.stages) {
        r.separateXY = 1;
        r.dpiX = 1600;
        r.dpiY = 3200;
    }
    CDPIStagesPopup popup(nullptr, &edit);
    ASSERT_TRUE(popup.CreatePanel());
    ShowWindow(popup.Hwnd(), SW_SHOW);
    PumpMessages(30, 500);
    vt::test::Capture shot = vt::test::CaptureClient(popup.Hwnd());
    shot.SaveBmp(vt::test::OutputPath(L"config_dpi_stages_per_axis.bmp"));
    for (int i = 0; i < kStageWindows; ++i) {
        HWND tile = GetDlgItem(popup.Hwnd(), ctl::DPISTAGEWINDOW_01 + i);
        ASSERT_NE(tile, nullptr);
        RECT rc;
        GetWindowRect(tile, &rc);
        MapWindowPoints(nullptr, popup.Hwnd(), reinterpret_cast<POINT*>(&rc), 2);
        // Inside the tile's rounded frame nothing is pure black.
        int black = 0;
        for (int y = rc.top + 6; y < rc.bottom - 6; ++y)
            for (int x = rc.left + 6; x < rc.right - 6; ++x)
                if (shot.At(x, y) == RGB(0, 0, 0)) ++black;
        EXPECT_EQ(black, 0) << "tile " << i + 1;
    }
}

// Damaged install data: a page or bitmap the program cannot use is reported once, by name; a page
// of its own is left out (when it is first shown) and the program runs, a broken main page ends it
// before any window shows.
TEST_F(MainWindow, DamagedFilesAreReportedByNameAndNeverShowAHalfBuiltWindow) {
    namespace fs = std::filesystem;
    const fs::path image(vt::test::ImageFolder());
    const fs::path root = fs::path(vt::test::OutputPath(L"config_damaged_image"));
    std::error_code ec;
    fs::remove_all(root, ec);
    fs::create_directories(root, ec);
    for (const wchar_t* sub : {L"xml", L"skins", L"fonts", L"lang", L"bin"})
        fs::copy(image / sub, root / sub, fs::copy_options::recursive, ec);
    ASSERT_FALSE(ec) << ec.message();
    auto read = [](const fs::path& p) {
        std::ifstream f(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    };
    auto write = [](const fs::path& p, const std::string& bytes) {
        std::ofstream f(p, std::ios::binary | std::ios::trunc);
        f << bytes;
    };
    auto replaceFirst = [](std::string s, const std::string& what, const std::string& with) {
        const size_t at = s.find(what);
        return at == std::string::npos ? s : s.replace(at, what.size(), with);
    };
    struct Case {
        const wchar_t* file;
        std::function<std::string(std::string)> damage;   // the new content; "\x01" removes the file
        const wchar_t* reported;
        bool closes;
        int pageLeftOut;
        int buttonGone;
    } cases[] = {
        {L"xml\\Mouse_AdjPerf.xml", [](std::string s) { return s.substr(0, s.size() / 2); }, L"xml\\Mouse_AdjPerf.xml",
         false, 2, ctl::BUTTON_ADJUSTPERFORMANCE},
        {L"xml\\Headset_EqSet.xml", [](std::string) { return std::string("\x01"); }, L"xml\\Headset_EqSet.xml", false,
         11, ctl::BUTTON_EQSETTINGS},
        {L"xml\\Mouse_AdjPerf.xml", [&](std::string s) { return replaceFirst(s, ">cfg_subhead_rule.bmp<", ">cfg_gone.bmp<"); },
         L"skins\\cfg_gone.bmp", false, 2, ctl::BUTTON_ADJUSTPERFORMANCE},
        {L"skins\\cfg_main_mask.bmp", [](std::string s) { return s.substr(0, 40); }, L"skins\\cfg_main_mask.bmp", true, 0, 0},
        {L"xml\\MainPage.xml", [&](std::string s) { return replaceFirst(s, ">cfg_prod_keyboard.bmp<", ">..\\..\\win.ini<"); },
         L"skins\\..\\..\\win.ini", true, 0, 0},
        {L"xml\\MainPage.xml", [&](std::string s) { return replaceFirst(s, "\"BUTTON_APPLY\"", "\"BUTTON_APPLX\""); },
         L"xml\\MainPage.xml", true, 0, 0},
    };
    struct Reports : ScriptedPopups {
        std::vector<DamagedFilesPopup> damaged;
        INT_PTR Run(HWND parent, IPopup& popup) override {
            if (auto* d = dynamic_cast<DamagedFilesPopup*>(&popup)) {
                damaged.push_back(*d);
                return 1;
            }
            return ScriptedPopups::Run(parent, popup);
        }
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const fs::path target = root / c.file;
        const std::string original = read(target);
        const std::string damaged = c.damage(original);
        if (damaged == "\x01") fs::remove(target);
        else write(target, damaged);
        vt::skin::ReleaseSkinResources();
        vt::skin::TakeUnusableFiles();
        ASSERT_TRUE(vt::base::InitProgramFolder((root.wstring() + L"\\").c_str()));
        Reports reports;
        auto window = std::make_unique<CDmAppDlg>(mouse, keyboard, headset, *devices, reports);
        const bool created = window->CreatePanel();
        if (created) {
            ShowWindow(window->Hwnd(), SW_SHOW);
            PumpMessages(30, 20000);
            if (!c.closes) {
                // A page is built when first shown: it is reported then, and the window stays
                // on the page it showed.
                EXPECT_TRUE(reports.damaged.empty());
                const int device = DeviceOfPage(c.pageLeftOut);
                window->SwitchDevice(device, true);
                const int before = window->CurrentPageId();
                SendMessageW(window->Hwnd(), WM_COMMAND, MAKEWPARAM(c.buttonGone, BN_CLICKED),
                             LPARAM(GetDlgItem(window->Hwnd(), c.buttonGone)));
                PumpMessages(30, 300);
                EXPECT_EQ(window->CurrentPageId(), before);
                // Asked for again, it is not built again nor reported again.
                SendMessageW(window->Hwnd(), WM_COMMAND, MAKEWPARAM(c.buttonGone, BN_CLICKED),
                             LPARAM(GetDlgItem(window->Hwnd(), c.buttonGone)));
                window->SwitchDevice(kMouse, true);
            }
        }
        ASSERT_EQ(reports.damaged.size(), 1u);
        const std::vector<std::wstring>& files = reports.damaged[0].Files();
        EXPECT_NE(std::find(files.begin(), files.end(), c.reported), files.end());
        EXPECT_NE(reports.damaged[0].Text().find(c.reported), std::wstring::npos);
        EXPECT_EQ(reports.damaged[0].Closing(), c.closes);
        if (c.closes) {
            EXPECT_FALSE(created && IsWindow(window->Hwnd()) && IsWindowVisible(window->Hwnd()));
        } else {
            ASSERT_TRUE(created);
            EXPECT_TRUE(IsWindowVisible(window->Hwnd()));
            EXPECT_EQ(window->Page(c.pageLeftOut), nullptr);
            HWND b = GetDlgItem(window->Hwnd(), c.buttonGone);
            EXPECT_FALSE(b && IsWindowVisible(b));
            EXPECT_EQ(window->CurrentDevice(), kMouse);
            EXPECT_NE(window->CurrentPageId(), 0);
        }
        window.reset();
        write(target, original);
    }
    vt::skin::ReleaseSkinResources();
    ASSERT_TRUE(vt::base::InitProgramFolder(vt::test::ImageFolder().c_str()));
}

// Only what the first page needs comes before it shows: the first device that is there is opened
// and read and its first page built; the other devices are read one by one after, the other pages
// built when first shown.
TEST_F(MainWindow, StartReadsTheFirstDeviceBeforeItsPageAndTheRestAfter) {
    struct Case { std::array<bool, 3> attached; int shown; int firstPage; } cases[] = {
        {{true, true, true}, kMouse, kPageMouseButtons},
        {{false, true, true}, kKeyboard, kPageKeyboardKeys},
        {{false, false, true}, kHeadset, kPageHeadsetLevels},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        devices = std::make_unique<FakeDevices>(mouse, keyboard);
        for (int d = 0; d < 3; ++d) devices->attached[d] = c.attached[size_t(d)];
        // What the window showed when each device was read.
        std::vector<std::pair<int, int>> shownAtRead;
        devices->onRead = [&](int) { shownAtRead.push_back({dlg->CurrentDevice(), dlg->CurrentPageId()}); };
        dlg = std::make_unique<CDmAppDlg>(mouse, keyboard, headset, *devices, popups);
        ASSERT_TRUE(dlg->CreatePanel());
        ShowWindow(dlg->Hwnd(), SW_SHOW);
        // The first device is read, and its page shown, in one step after the first paint.
        ASSERT_TRUE(PumpUntil([&] { return dlg->CurrentPageId() != 0; }, 20000));
        EXPECT_EQ(dlg->CurrentDevice(), c.shown);
        EXPECT_EQ(dlg->CurrentPageId(), c.firstPage);
        EXPECT_TRUE(dlg->IsPageBuilt(c.firstPage));
        PumpMessages(30, 20000);
        const std::vector<std::string> order = {"open 0", "read 0", "open 1", "read 1", "open 2", "read 2"};
        EXPECT_EQ(devices->steps, order);
        ASSERT_EQ(shownAtRead.size(), 3u);
        for (int d = 0; d < 3; ++d) {
            // Devices up to the shown one are read before anything shows; the rest after.
            if (d <= c.shown) EXPECT_EQ(shownAtRead[size_t(d)].second, 0) << d;
            else EXPECT_EQ(shownAtRead[size_t(d)], std::make_pair(c.shown, c.firstPage)) << d;
            EXPECT_TRUE(dlg->ReadSinceStart(d));
            EXPECT_EQ(Enabled(kDeviceTabs[d]), c.attached[size_t(d)]) << d;
        }
        // No page but the shown one is built until it is shown.
        for (const PageRow& row : PageTable())
            EXPECT_EQ(dlg->IsPageBuilt(row.id), row.id == c.firstPage) << row.id;
        EXPECT_FALSE(dlg->TimerRunning());
        dlg.reset();
    }
    // Shown later, a page is built then, with the device's values.
    devices = std::make_unique<FakeDevices>(mouse, keyboard);
    Open();
    Click(ctl::BUTTON_ADJUSTPERFORMANCE);
    EXPECT_TRUE(dlg->IsPageBuilt(kPageMousePerformance));
    EXPECT_EQ(dlg->CurrentPageId(), kPageMousePerformance);
    EXPECT_TRUE(Visible(ctl::BITMAP_SLSENSTRK_XY));
    ExpectOnlyTheShownPageVisible();
}

// The first frame is on screen before the main page's controls are made: when the first of them is
// created the window already shows its background, where it will stay (it never jumps while its
// page is built).
namespace {
struct StartFrameSeen {
    bool seen = false;
    RECT rect{};
    COLORREF card = CLR_INVALID;
};
StartFrameSeen* g_startFrame = nullptr;
LRESULT CALLBACK WatchFirstControl(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && g_startFrame && !g_startFrame->seen) {
        const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        HWND parent = create->lpcs->hwndParent;
        wchar_t cls[64] = {};
        GetClassNameW(parent, cls, 64);
        if (parent && (create->lpcs->style & WS_CHILD) && wcscmp(cls, L"SINGLE_INSTANCE_APP_DM") == 0) {
            g_startFrame->seen = true;
            GetWindowRect(parent, &g_startFrame->rect);
            HDC screen = GetDC(nullptr);
            g_startFrame->card = GetPixel(screen, g_startFrame->rect.left + 440, g_startFrame->rect.top + 300);
            ReleaseDC(nullptr, screen);
            vt::test::CaptureClient(parent).SaveBmp(vt::test::OutputPath(L"config_start_frame.bmp"));
        }
    }
    (void)wParam;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
} // namespace

TEST_F(MainWindow, TheStartFrameShowsBeforeThePageControlsAreMade) {
    StartFrameSeen seen;
    g_startFrame = &seen;
    HHOOK hook = SetWindowsHookExW(WH_CBT, &WatchFirstControl, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    dlg = std::make_unique<CDmAppDlg>(mouse, keyboard, headset, *devices, popups);
    const bool created = dlg->CreatePanel();
    UnhookWindowsHookEx(hook);
    g_startFrame = nullptr;
    ASSERT_TRUE(created);
    ASSERT_TRUE(seen.seen);
    EXPECT_TRUE(vt::test::SameColor(seen.card, RGB(0x1e, 0x23, 0x29), 8)) << std::hex << seen.card;
    EXPECT_EQ(seen.rect.right - seen.rect.left, 880);
    EXPECT_EQ(seen.rect.bottom - seen.rect.top, 600);
    RECT now;
    GetWindowRect(dlg->Hwnd(), &now);
    EXPECT_TRUE(EqualRect(&now, &seen.rect));
    ASSERT_TRUE(PumpUntil([&] { return dlg->CurrentPageId() != 0; }, 20000));
    GetWindowRect(dlg->Hwnd(), &now);
    EXPECT_TRUE(EqualRect(&now, &seen.rect));
}

// Work that can wait (the tray program's start) runs once, after the first page is on screen: not
// before the first device is read, and not again on later pages, devices or reads.
TEST_F(MainWindow, TheFirstPageShownStepRunsOnceAfterTheFirstPage) {
    struct Seen { int page; bool visible; int mouseReads; };
    std::vector<Seen> seen;
    dlg = std::make_unique<CDmAppDlg>(mouse, keyboard, headset, *devices, popups);
    dlg->SetFirstPageShownStep([&] {
        seen.push_back({dlg->CurrentPageId(), Visible(ctl::BUTTON_PRODSELECT_MOUSE) && IsWindowVisible(dlg->Hwnd()),
                        devices->reads[kMouse]});
    });
    ASSERT_TRUE(dlg->CreatePanel());
    ShowWindow(dlg->Hwnd(), SW_SHOW);
    ASSERT_TRUE(PumpUntil([&] { return !seen.empty(); }, 20000));
    EXPECT_EQ(seen[0].page, kPageMouseButtons);
    EXPECT_TRUE(seen[0].visible);
    EXPECT_EQ(seen[0].mouseReads, 1);
    PumpMessages(30, 20000);
    Click(ctl::BUTTON_PRODSELECT_KEYBOARD);
    Click(ctl::BUTTON_PRODSELECT_MOUSE);
    Click(ctl::BUTTON_ADJUSTPERFORMANCE);
    PumpMessages(30, 20000);
    EXPECT_EQ(seen.size(), 1u);
}

// A device not read yet when its notices come is left to its own read: the notices change nothing,
// and a program whose shown device leaves while another is still to be read does not warn.
TEST_F(MainWindow, NoticesBeforeADevicesFirstReadWaitForIt) {
    devices->onRead = [&](int d) {
        if (d != kKeyboard) return;
        // The mouse leaves while the keyboard is read for the first time; the headset's notices
        // come before its read.
        devices->attached[kMouse] = false;
        Notify(kMousePath, false);
        Notify(kHeadsetPath, true);
    };
    Open();
    EXPECT_EQ(devices->reads[kHeadset], 1);
    EXPECT_EQ(devices->recreates[kHeadset], 0);
    EXPECT_FALSE(Enabled(ctl::BUTTON_PRODSELECT_MOUSE));
    EXPECT_TRUE(Enabled(ctl::BUTTON_PRODSELECT_KEYBOARD));
    EXPECT_TRUE(Enabled(ctl::BUTTON_PRODSELECT_HEADSET));
    EXPECT_EQ(dlg->CurrentDevice(), kKeyboard);
    EXPECT_FALSE(dlg->TimerRunning());
    EXPECT_TRUE(popups.warnings.empty());
}

// A popup whose page file or bitmaps cannot be used names them when it opens, every time, and is
// never shown: it ends as if cancelled.
TEST_F(MainWindow, DamagedPopupFilesAreReportedWhenThePopupOpens) {
    namespace fs = std::filesystem;
    const fs::path image(vt::test::ImageFolder());
    const fs::path root = fs::path(vt::test::OutputPath(L"config_damaged_popup_image"));
    std::error_code ec;
    fs::remove_all(root, ec);
    fs::create_directories(root, ec);
    for (const wchar_t* sub : {L"xml", L"skins", L"fonts", L"lang", L"bin"})
        fs::copy(image / sub, root / sub, fs::copy_options::recursive, ec);
    ASSERT_FALSE(ec) << ec.message();
    const fs::path file = root / L"xml" / L"ProfileNamePopup.xml";
    std::string original;
    {
        std::ifstream f(file, std::ios::binary);
        original.assign(std::istreambuf_iterator<char>(f), {});
    }
    struct Case { std::string content; const wchar_t* reported; } cases[] = {
        {original.substr(0, original.size() / 2), L"xml\\ProfileNamePopup.xml"},
        {std::string(original).replace(original.find(">cfg_pbtn_o.bmp<"), 16, ">cfg_gone.bmp<"), L"skins\\cfg_gone.bmp"},
        {std::string(original).replace(original.find(">cfg_entry_bg.bmp<"), 18, ">..\\win.ini<"), L"skins\\..\\win.ini"},
    };
    struct Reports : IPopupHost {
        std::vector<std::vector<std::wstring>> damaged;
        int visiblePopups = 0;
        INT_PTR Run(HWND, IPopup& popup) override {
            auto* d = dynamic_cast<DamagedFilesPopup*>(&popup);
            if (!d) {
                ADD_FAILURE() << "a popup the script does not know";
                return 2;
            }
            EXPECT_FALSE(d->Closing());
            damaged.push_back(d->Files());
            // Nothing of the damaged popup is on screen while it is reported.
            EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM counter) {
                if (IsWindowVisible(w)) ++*reinterpret_cast<int*>(counter);
                return TRUE;
            }, LPARAM(&visiblePopups));
            return 1;
        }
    } reports;
    ReportDamagedPopupsThrough(&reports);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.reported, c.reported + wcslen(c.reported)));
        {
            std::ofstream f(file, std::ios::binary | std::ios::trunc);
            f << c.content;
        }
        vt::skin::ReleaseSkinResources();
        vt::skin::TakeUnusableFiles();
        ASSERT_TRUE(vt::base::InitProgramFolder((root.wstring() + L"\\").c_str()));
        reports.damaged.clear();
        reports.visiblePopups = 0;
        for (int time = 0; time < 2; ++time) {
            NameEntryPopup popup(L"ProfileNamePopup.xml");
            EXPECT_EQ(popup.Show(nullptr), 2);
        }
        ASSERT_EQ(reports.damaged.size(), 2u);
        for (const std::vector<std::wstring>& files : reports.damaged)
            EXPECT_NE(std::find(files.begin(), files.end(), c.reported), files.end());
        EXPECT_EQ(reports.visiblePopups, 0);
        EXPECT_TRUE(vt::skin::TakeUnusableFiles().empty());
    }
    ReportDamagedPopupsThrough(nullptr);
    // The file whole again: the popup shows and answers as before.
    {
        std::ofstream f(file, std::ios::binary | std::ios::trunc);
        f << original;
    }
    vt::skin::ReleaseSkinResources();
    std::wstring name;
    {
        CDmNameEntryPopup whole(nullptr, L"ProfileNamePopup.xml", name);
        ASSERT_TRUE(whole.CreatePanel());
        EXPECT_TRUE(whole.DamagedFiles().empty());
        EXPECT_NE(whole.Background(), nullptr);
        DestroyWindow(whole.Hwnd());
    }
    vt::skin::ReleaseSkinResources();
    ASSERT_TRUE(vt::base::InitProgramFolder(vt::test::ImageFolder().c_str()));
}

// The headset's object opens its Windows audio endpoints: at start the engine's list only says
// whether it is there; it is opened and read when its tab is first shown, and its notices until
// then follow the list.
TEST_F(MainWindow, TheHeadsetIsOpenedWhenFirstShown) {
    devices->canProbe = true;
    devices->attached[kHeadset] = false;
    Open();
    const std::vector<std::string> start = {"open 0", "read 0", "open 1", "read 1", "probe 2"};
    EXPECT_EQ(devices->steps, start);
    EXPECT_FALSE(Enabled(ctl::BUTTON_PRODSELECT_HEADSET));
    devices->attached[kHeadset] = true;
    Notify(kHeadsetPath, true);
    EXPECT_TRUE(Enabled(ctl::BUTTON_PRODSELECT_HEADSET));
    EXPECT_FALSE(dlg->ReadSinceStart(kHeadset));
    EXPECT_EQ(devices->recreates[kHeadset], 0);
    EXPECT_EQ(devices->reads[kHeadset], 0);
    Click(ctl::BUTTON_PRODSELECT_HEADSET);
    EXPECT_EQ(dlg->CurrentDevice(), kHeadset);
    EXPECT_EQ(dlg->CurrentPageId(), kPageHeadsetLevels);
    EXPECT_TRUE(dlg->ReadSinceStart(kHeadset));
    EXPECT_EQ(devices->reads[kHeadset], 1);
    EXPECT_EQ(devices->notify, dlg->Hwnd());
    ASSERT_GE(devices->steps.size(), 2u);
    EXPECT_EQ(devices->steps[devices->steps.size() - 2], "open 2");
    EXPECT_EQ(devices->steps.back(), "read 2");
    // Listed but gone by the time it is opened: the tab greys and the shown device stays.
    dlg.reset();
    devices = std::make_unique<FakeDevices>(mouse, keyboard);
    devices->canProbe = true;
    Open();
    devices->attached[kHeadset] = false;
    Click(ctl::BUTTON_PRODSELECT_HEADSET);
    EXPECT_EQ(dlg->CurrentDevice(), kMouse);
    EXPECT_FALSE(Enabled(ctl::BUTTON_PRODSELECT_HEADSET));
    EXPECT_TRUE(Visible(ctl::BUTTON_ASSIGNBUTTONS));
    // A command over every configuration reads what is still unread first.
    dlg.reset();
    devices = std::make_unique<FakeDevices>(mouse, keyboard);
    devices->canProbe = true;
    Open();
    int others = 0;
    popups.others = [&](IPopup&) {
        ++others;
        return INT_PTR(2);
    };
    Click(ctl::BUTTON_LIGHTINGEFFECTS);
    EXPECT_EQ(others, 1);
    EXPECT_EQ(devices->reads[kHeadset], 1);
}
