#include "config/App.h"
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <memory>
#include <utility>
#include "config/EngineDevices.h"
#include "config/EngineWarmUp.h"
#include "config/MainDlg.h"
#include "config/popups/DamagedFilesPopup.h"
#include "config/popups/Popup.h"
#include "config/Registry.h"
#include "device/EngineConnection.h"
#include "profile/AudioConfig.h"
#include "profile/KeyboardConfig.h"
#include "profile/MouseConfig.h"
#include "skin/KeyboardLayout.h"
#include "skin/LangTable.h"
#include "base/ProgramFolder.h"
#include "skin/UnusableFiles.h"
#include "skin/Vocabulary.h"

namespace vt::config {

namespace {

// Opens a file or address with the program the system has for it. False when there is none, or
// when the program started for it gives up at once (a browser launcher that finds no browser):
// its end is awaited for a moment, the window still painting meanwhile.
bool ShellOpenFile(const std::wstring& target) {
    SHELLEXECUTEINFOW info{sizeof(info)};
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = target.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) return false;
    if (!info.hProcess) return true;   // handed to a program that was already running
    constexpr DWORD kGiveUpWithin = 2000;
    const DWORD start = GetTickCount();
    DWORD code = STILL_ACTIVE;
    for (;;) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= kGiveUpWithin) break;
        const DWORD r = MsgWaitForMultipleObjects(1, &info.hProcess, FALSE, kGiveUpWithin - spent, QS_PAINT);
        if (r == WAIT_OBJECT_0) {
            GetExitCodeProcess(info.hProcess, &code);
            break;
        }
        if (r != WAIT_OBJECT_0 + 1) break;
        MSG msg;
        for (int n = 0; n < 64 && PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++n) DispatchMessageW(&msg);
    }
    CloseHandle(info.hProcess);
    return code == 0 || code == STILL_ACTIVE;
}

// The application's own members: the three configurations and the language and layout pages.
struct CDmApp {
    IMouseConfig* mouse = nullptr;
    IKeyboardConfig* keyboard = nullptr;
    IAudioConfig* headset = nullptr;
    vt::skin::CGUIItems languagePage;
    vt::skin::CGUIItems layoutPage;
};

} // namespace

int RunConfigProgram(HINSTANCE instance) {
    RegisterMainWindowClass(instance);
    if (!ClaimSingleInstance()) return 0;
    // The engine is reached while the main window is built, so that the first device read does not
    // wait for the engine's libraries, its call channel, or the engine starting.
    EngineWarmUp warmUp([] {
        IVtDeviceMgr* manager = nullptr;
        if (SUCCEEDED(vt::device::CreateEngineManager(&manager)) && manager) manager->Release();
    });

    INITCOMMONCONTROLSEX icc{sizeof(icc), 0xFF};
    InitCommonControlsEx(&icc);
    const HRESULT com = CoInitialize(nullptr);

    vt::base::InitProgramFolder();
    SetCurrentDirectoryW(vt::base::ProgramFolder().c_str());

    CDmApp app;
    app.mouse = new CDmConfig_Mouse();
    app.keyboard = new CDmConfig_Keyboard();
    app.headset = new CDmConfig_Headset();
    std::unique_ptr<IDeviceSet> devices = CreateEngineDevices(app.mouse, app.keyboard, app.headset);

    vt::skin::BuildVocabularyTables();

    const StartupSettings settings = ReadStartupSettings(
        HKEY_LOCAL_MACHINE, [](const std::wstring& name) { return int(vt::skin::FindLanguageIdByName(name)); });
    // The tray program is started at every start, also when the install key could not be read. A
    // process start takes its time and the new process competes with this one, so it comes once
    // the first page is on screen (or at the end, when the window could not be shown).
    bool trayStarted = false;
    auto startTray = [&settings, &trayStarted] {
        if (std::exchange(trayStarted, true)) return;
        StartTrayProgram(settings, [](const wchar_t* file) {
            // Not waited for, and a tray program that is missing shows nothing.
            SHELLEXECUTEINFOW info{sizeof(info)};
            info.fMask = SEE_MASK_FLAG_NO_UI;
            info.lpVerb = L"open";
            info.lpFile = file;
            info.nShow = SW_SHOWNORMAL;
            ShellExecuteExW(&info);
        });
    };

    vt::skin::SetSelectedLanguageId(settings.languageLookup);
    vt::skin::LoadSkinPage(app.languagePage, L"Language.xml", nullptr);
    auto found = vt::skin::LanguageMap().find(settings.languageLookup);
    vt::skin::SetCurrentLanguageTable(found != vt::skin::LanguageMap().end() ? found->second : nullptr);

    vt::skin::LoadSkinPage(app.layoutPage, L"KeyboardLayout.xml", nullptr);

    PopupHost popups;
    ReportDamagedPopupsThrough(&popups);
    {
        CDmAppDlg dlg(app.mouse, app.keyboard, app.headset, *devices, popups, &ShellOpenFile);
        dlg.AddUnusableFiles(vt::skin::TakeUnusableFiles());
        // The keyboard's layout, once the keyboard is open (the main window opens the devices
        // after its first paint, the first one shown before the others).
        dlg.SetDevicesOpenedStep([&devices] {
            int layout = 561;
            ULONG value = 0;
            if (devices->QueryKeyboardLayout(&value)) layout = int(vt::skin::FindKeyboardLayoutControlId(int32_t(value)));
            vt::skin::LoadKeyboardLayout(layout);
        });
        dlg.SetFirstPageShownStep([&] {
            warmUp.Release();
            startTray();
        });
        dlg.Run();
        startTray();
        // Devices go first (a running write is waited for), then the configurations they used.
        devices->Destroy();
        devices.reset();
        delete app.mouse;
        delete app.keyboard;
        delete app.headset;
        app.mouse = nullptr;
        app.keyboard = nullptr;
        app.headset = nullptr;
    }
    ReportDamagedPopupsThrough(nullptr);
    vt::skin::ReleaseKeyboardLayout();
    vt::skin::DeleteAllItems(app.layoutPage);
    vt::skin::SetCurrentLanguageTable(nullptr);
    vt::skin::DeleteAllItems(app.languagePage);
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}

} // namespace vt::config
