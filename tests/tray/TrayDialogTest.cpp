// The tray's dialog in this process on the registered engine stand-in: the menu read back through
// its handle, devices leaving and coming back, session lock and unlock, the taskbar coming back,
// an icon that cannot be added, and the engine's events reaching the on-screen display.
#include <gtest/gtest.h>
#include <windows.h>
#include <wtsapi32.h>
#include <string>
#include <vector>
#include "TrayProcess.h"
#include "WindowTest.h"
#include "base/ProgramFolder.h"
#include "tray/DeviceManager.h"
#include "tray/DeviceTable.h"
#include "tray/Osd.h"
#include "tray/TrayDlg.h"
#include "tray/TraySystem.h"

using namespace vt::tray;
using vt::test::PumpUntil;

namespace {

constexpr ULONG kMouse = 0x19, kKeyboard = 0x1A, kHeadset = 0x1B;

struct MenuItem {
    std::wstring text;
    UINT id = 0;
    UINT state = 0;
    bool popup = false;
};

std::vector<MenuItem> Items(HMENU menu) {
    std::vector<MenuItem> out;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE;
        info.dwTypeData = text;
        info.cch = 127;
        GetMenuItemInfoW(menu, UINT(i), TRUE, &info);
        out.push_back({text, info.wID, info.fState, info.hSubMenu != nullptr});
    }
    return out;
}

class TrayDialog : public vt::test::WindowTest {
protected:
    void SetUp() override {
        // A tray program another test started holds connections of its own in the shared engine.
        vt::test::tray::EndAll(vt::test::tray::kTrayExe);
        ASSERT_TRUE(engine.Ready());
        vt::base::InitProgramFolder(vt::test::ImageFolder().c_str());
        System().notifyIcon = [this](DWORD message, NOTIFYICONDATAW* data) {
            notices.push_back(message);
            EXPECT_EQ(data->cbSize, DWORD(sizeof(NOTIFYICONDATAW)));
            EXPECT_EQ(data->uID, 129u);
            return iconWorks ? TRUE : FALSE;
        };
        System().messageBox = [this](HWND, const wchar_t* text, UINT type) {
            boxes.push_back(text);
            EXPECT_EQ(type & MB_ICONMASK, UINT(MB_ICONSTOP));
            return IDOK;
        };
    }
    void TearDown() override {
        dialog.reset();
        // The dialog ends the message loop when it goes; this thread's loop goes on.
        MSG m;
        while (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
        devices.DisconnectAll();
        ResetTraySystem();
        vt::test::WindowTest::TearDown();
    }
    bool Start() {
        dialog = std::make_unique<CTolmSysTrayDlg>(devices);
        return dialog->Create();
    }
    std::vector<MenuItem> TopMenu() {
        dialog->BuildTrayMenu();
        return Items(GetSubMenu(dialog->Icon().Menu(), 0));
    }
    std::vector<MenuItem> DeviceMenu(int row) {
        return Items(GetSubMenu(GetSubMenu(dialog->Icon().Menu(), 0), 2 + row));
    }
    size_t Count(DWORD message) const { return size_t(std::count(notices.begin(), notices.end(), message)); }

    vt::test::RegisteredTrayEngine engine;
    CDeviceManager devices;
    std::unique_ptr<CTolmSysTrayDlg> dialog;
    std::vector<DWORD> notices;
    std::vector<std::wstring> boxes;
    bool iconWorks = true;
};

} // namespace

TEST_F(TrayDialog, TheMenuListsEveryDevicesProfiles) {
    ASSERT_TRUE(engine.AddProfile(kMouse, L"Game"));
    ASSERT_TRUE(engine.AddProfile(kMouse, L"game"));
    ASSERT_TRUE(engine.AddProfile(kKeyboard, L"Typing"));
    ASSERT_TRUE(SUCCEEDED(engine.control->SetPresent(kHeadset, 0)));
    ASSERT_TRUE(Start());
    EXPECT_EQ(Count(NIM_ADD), 1u);
    EXPECT_FALSE(IsWindowVisible(dialog->Hwnd()));

    std::vector<MenuItem> top = TopMenu();
    ASSERT_EQ(top.size(), 7u);
    EXPECT_EQ(top[0].id, 500u);
    EXPECT_EQ(top[0].text, L"Load Velto Dunemarch II");
    EXPECT_EQ(GetMenuDefaultItem(GetSubMenu(dialog->Icon().Menu(), 0), FALSE, 0), 500u);
    EXPECT_EQ(top[2].text, L"Pylit");
    EXPECT_EQ(top[3].text, L"Tessaran");
    EXPECT_EQ(top[4].text, L"Corvel");
    EXPECT_TRUE(top[2].popup && top[3].popup && top[4].popup);
    EXPECT_FALSE(top[2].state & MFS_GRAYED);
    EXPECT_TRUE(top[4].state & MFS_GRAYED);  // the headset is absent
    EXPECT_EQ(top[6].id, 503u);
    EXPECT_EQ(top[6].text, L"Close tray icon");  // from the English language table

    std::vector<MenuItem> mouse = DeviceMenu(0);
    ASSERT_EQ(mouse.size(), 3u);
    EXPECT_EQ(mouse[0].text, L"Profile 1");
    EXPECT_EQ(mouse[1].text, L"Game");
    EXPECT_EQ(mouse[2].text, L"game");
    EXPECT_EQ(mouse[2].id, 1002u);
    EXPECT_TRUE(mouse[0].state & MFS_CHECKED);
    EXPECT_FALSE(mouse[1].state & MFS_CHECKED);
    std::vector<MenuItem> keyboard = DeviceMenu(1);
    ASSERT_EQ(keyboard.size(), 2u);  // the suite shares the engine: it runs alone (SERIAL)
    EXPECT_EQ(keyboard[1].id, 2001u);

    // Choosing "game" activates exactly that profile; the next menu checks it.
    SendMessageW(dialog->Hwnd(), WM_COMMAND, 1002, 0);
    EXPECT_NE(engine.Dump().find(L"\"name\":\"game\""), std::wstring::npos);
    TopMenu();
    mouse = DeviceMenu(0);
    ASSERT_EQ(mouse.size(), 3u);
    EXPECT_FALSE(mouse[0].state & MFS_CHECKED);
    EXPECT_TRUE(mouse[2].state & MFS_CHECKED);
    // A command for a profile the device no longer has changes nothing.
    SendMessageW(dialog->Hwnd(), WM_COMMAND, 1009, 0);
    SendMessageW(dialog->Hwnd(), WM_COMMAND, 4000, 0);
    EXPECT_TRUE(IsWindow(dialog->Hwnd()));
}

TEST_F(TrayDialog, DevicesLeavingAndComingBackChangeTheMenuAndTheConnections) {
    ASSERT_TRUE(Start());
    // Mouse: DPI, profile, launch; keyboard: profile, launch, recording; the headset's sync has no sink.
    EXPECT_TRUE(PumpUntil([&] { return engine.Sinks() == 6; }, 5000)) << engine.Sinks();
    EXPECT_TRUE(devices.AllDevicesConnected());

    // The engine tells the windows, as Windows does for a device interface.
    ASSERT_TRUE(SUCCEEDED(engine.control->SetPresent(kKeyboard, 0)));
    EXPECT_TRUE(PumpUntil([&] { return !devices.IsDeviceConnected(kKeyboard); }, 5000));
    EXPECT_EQ(engine.Sinks(), 3u);
    TopMenu();
    std::vector<MenuItem> top = Items(GetSubMenu(dialog->Icon().Menu(), 0));
    EXPECT_TRUE(top[3].state & MFS_GRAYED);
    EXPECT_TRUE(DeviceMenu(1).empty());

    ASSERT_TRUE(SUCCEEDED(engine.control->SetPresent(kKeyboard, 1)));
    EXPECT_TRUE(PumpUntil([&] { return devices.IsDeviceConnected(kKeyboard); }, 5000));
    EXPECT_EQ(engine.Sinks(), 6u);
    top = TopMenu();
    EXPECT_FALSE(top[3].state & MFS_GRAYED);
    ASSERT_EQ(DeviceMenu(1).size(), 1u);

    // A device-nodes notice with the mouse gone disconnects the mouse only.
    ASSERT_TRUE(SUCCEEDED(engine.control->SetDeviceValue(kMouse, L"infofail", 0)));
    engine.control->SetEnumOrder(2, std::vector<ULONG>{kKeyboard, kHeadset}.data());
    SendMessageW(dialog->Hwnd(), WM_DEVICECHANGE, 7 /* DBT_DEVNODES_CHANGED */, 0);
    EXPECT_TRUE(PumpUntil([&] { return !devices.IsDeviceConnected(kMouse); }, 5000));
    EXPECT_TRUE(devices.IsDeviceConnected(kKeyboard));
    engine.control->SetEnumOrder(0, nullptr);
}

TEST_F(TrayDialog, SessionLockDisconnectsAndUnlockReconnects) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(PumpUntil([&] { return engine.Sinks() == 6; }, 5000));
    auto session = [&](WPARAM code) {
        SendMessageW(dialog->Hwnd(), WM_WTSSESSION_CHANGE, code, 0);
        vt::test::PumpMessages(30, 2000);
    };
    // Wine sends no session notices: the test sends them as Windows would.
    for (WPARAM ignored : {WPARAM(WTS_REMOTE_CONNECT), WPARAM(WTS_REMOTE_DISCONNECT), WPARAM(9)}) session(ignored);
    EXPECT_EQ(engine.Sinks(), 6u);
    session(WTS_SESSION_LOCK);
    EXPECT_EQ(engine.Sinks(), 0u);
    EXPECT_FALSE(devices.IsDeviceConnected(kMouse));
    session(WTS_SESSION_UNLOCK);
    EXPECT_EQ(engine.Sinks(), 6u);
    EXPECT_TRUE(devices.AllDevicesConnected());
    session(WTS_CONSOLE_DISCONNECT);
    EXPECT_EQ(engine.Sinks(), 0u);
    session(WTS_SESSION_LOGON);
    EXPECT_EQ(engine.Sinks(), 6u);
    // Locking with no recording leaves the keyboard's mode and lights alone.
    EXPECT_EQ(engine.Dump().find(L"\"mode\":2"), std::wstring::npos);
}

TEST_F(TrayDialog, TheIconComesBackWithTheTaskbarAndGoesWithTheTray) {
    ASSERT_TRUE(Start());
    HWND helper = FindWindowW(L"TrayNotifyIconClass", L"CTrayNotifyIcon Helper Window");
    ASSERT_NE(helper, nullptr);
    EXPECT_EQ(helper, dialog->Icon().HelperWindow());
    EXPECT_EQ(Count(NIM_ADD), 1u);
    SendMessageW(helper, CTrayNotifyIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_EQ(Count(NIM_DELETE), 1u);
    EXPECT_EQ(Count(NIM_ADD), 2u);
    // The close item ends the tray: connections gone, icon removed, helper window closed.
    TopMenu();
    SendMessageW(dialog->Hwnd(), WM_COMMAND, 503, 0);
    EXPECT_FALSE(IsWindow(dialog->Hwnd()));
    EXPECT_EQ(engine.Sinks(), 0u);
    dialog.reset();
    EXPECT_EQ(Count(NIM_DELETE), 2u);
    EXPECT_FALSE(IsWindow(helper));
}

TEST_F(TrayDialog, AnIconThatCannotBeAddedIsReportedAndTheTrayEnds) {
    iconWorks = false;
    EXPECT_FALSE(Start());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], L"Failed to create tray icon 1");
    EXPECT_FALSE(IsWindow(dialog->Hwnd()));
    EXPECT_EQ(engine.Sinks(), 0u);
    MSG m;
    EXPECT_TRUE(PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // the loop would end
}

TEST_F(TrayDialog, KeysAndClicksAreRecordedFromRawInputAndStoredOnTheKey) {
    ASSERT_TRUE(engine.AddMacro(kKeyboard, L"New Macro2"));
    const VtActionRecord target = engine.FirstKey(kKeyboard);
    ASSERT_NE(target.Index, 0u);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(PumpUntil([&] { return engine.Sinks() == 6; }, 5000));
    ASSERT_TRUE(SUCCEEDED(engine.control->RecordAction(1, 0)));  // the record key: start
    ASSERT_TRUE(PumpUntil([&] { return dialog->Recorder().Recording(); }, 5000));
    EXPECT_EQ(dialog->Recorder().Owner(), int32_t(kKeyboard));
    vt::test::PressKey('A');
    vt::test::ClickAt(600, 500);  // on the empty desktop, away from the notification area
    EXPECT_TRUE(PumpUntil([&] { return dialog->Recorder().Events().size() >= 7; }, 3000));
    std::vector<int32_t> types;
    for (const TrayMacroEvent& e : dialog->Recorder().Events()) types.push_back(e.type);
    EXPECT_EQ(types, (std::vector<int32_t>{2, 3, 2, 3, 1, 3, 1}));
    // Another device leaving does not end the keyboard's recording.
    PostMessageW(dialog->Hwnd(), WM_TRAY_DEVICE_REMOVED, kMouse, 0);
    vt::test::PumpMessages(30, 500);
    EXPECT_TRUE(dialog->Recorder().Recording());
    ASSERT_TRUE(SUCCEEDED(engine.control->RecordAction(1, 0)));  // the record key again: stop
    ASSERT_TRUE(PumpUntil([&] { return !dialog->Recorder().Recording(); }, 5000));
    vt::test::PressKey('B');  // after the stop: not kept
    ASSERT_TRUE(SUCCEEDED(engine.control->RecordAction(2, target.Index)));  // the target key: assign
    ASSERT_TRUE(PumpUntil([&] { return engine.MacroNames(kKeyboard).size() == 2; }, 5000));
    EXPECT_EQ(engine.MacroNames(kKeyboard)[1], L"New Macro3");
    GUID id{};
    EXPECT_EQ(engine.MacroEventTypes(kKeyboard, 1, &id), (std::vector<int32_t>{2, 3, 2, 3, 1, 3, 1}));
    const VtActionRecord assigned = engine.FirstKey(kKeyboard);
    EXPECT_EQ(assigned.Type, 8u);
    EXPECT_EQ(memcmp(assigned.Payload, &id, 16), 0);
    EXPECT_EQ(dialog->Recorder().Owner(), 0);
}

namespace {
HWND g_about = nullptr;
bool g_aboutSaved = false;
DWORD g_aboutDeadline = 0;
// Looks at the modal About box from its loop: saves it once it shows and closes it; closes it
// unseen once the deadline has passed, so the test never waits on the box for ever.
void CALLBACK CaptureAbout(HWND, UINT, UINT_PTR id, DWORD) {
    HWND about = FindWindowW(L"#32770", L"About TolmSysTray");
    const bool late = LONG(GetTickCount() - g_aboutDeadline) >= 0;
    if (!about || (!IsWindowVisible(about) && !late)) return;
    KillTimer(nullptr, id);
    g_about = about;
    if (IsWindowVisible(about)) {
        vt::test::PumpUntil([&] { return !GetUpdateRect(about, nullptr, FALSE); }, 1000);
        g_aboutSaved = vt::test::CaptureClient(about).SaveBmp(vt::test::OutputPath(L"tray_about.bmp"));
    }
    EndDialog(about, IDOK);
}
} // namespace

TEST_F(TrayDialog, TheSystemMenuOpensTheAboutBox) {
    ASSERT_TRUE(Start());
    HMENU system = GetSystemMenu(dialog->Hwnd(), FALSE);
    const int count = GetMenuItemCount(system);
    ASSERT_GE(count, 2);
    wchar_t text[64] = {};
    GetMenuStringW(system, 16, text, 64, MF_BYCOMMAND);
    EXPECT_STREQ(text, L"&About TolmSysTray...");
    // The box is modal: a timer of this thread looks at it and closes it.
    g_aboutDeadline = GetTickCount() + 10000;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CaptureAbout);
    SendMessageW(dialog->Hwnd(), WM_SYSCOMMAND, 16, 0);
    KillTimer(nullptr, timer);
    EXPECT_NE(g_about, nullptr);
    EXPECT_TRUE(g_aboutSaved);
    EXPECT_FALSE(IsWindow(g_about));
    EXPECT_TRUE(IsWindow(dialog->Hwnd()));
}
