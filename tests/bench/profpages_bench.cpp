// Profile and macro pages benchmark: the main window on fake devices with 20 mouse profiles and a
// mouse macro of 1,000 events. For each page: the time from its page button to the page painted
// with its data (the click handled, then every window of the main window painted), and a full
// refresh (the page reads the model again and is painted). Then every page of the mouse and the
// keyboard shown for the first time in a fresh main window, which builds it: the device's tab (its
// first page) or the page's button, to the page painted. Median, minimum and maximum of n runs:
//   profpages_bench [runs]      (the program folder image is VT_IMAGE_DIR)
#include <windows.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include "PageFakes.h"
#include "config/MainDlg.h"
#include "config/Registry.h"
#include "config/pages/MacroPage.h"
#include "config/pages/PageTable.h"
#include "config/pages/ProfileRules.h"
#include "skin/VocabularyIds.h"
#include "profile/AudioConfig.h"
#include "profile/KeyboardConfig.h"
#include "profile/MouseConfig.h"
#include "skin/Messages.h"
#include "base/ProgramFolder.h"
#include "skin/Vocabulary.h"

using namespace vt::config;
using namespace vt::profile;
using Clock = std::chrono::steady_clock;
namespace ctl = vt::skin::ctl;

namespace {

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The whole main window painted now (the parent first, then every control over it).
void PaintAll(HWND main) {
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
}

double Ms(const std::function<void()>& f) {
    const auto t0 = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

void Report(const char* what, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    printf("%-44s median %7.1f ms   min %7.1f   max %7.1f   (%zu runs)\n", what, v[v.size() / 2], v.front(), v.back(), v.size());
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 20;
    wchar_t image[MAX_PATH] = L".\\";
    GetEnvironmentVariableW(L"VT_IMAGE_DIR", image, MAX_PATH);
    std::wstring folder = image;
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    for (wchar_t& c : folder)
        if (c == L'/') c = L'\\';
    if (!vt::base::InitProgramFolder(folder.c_str())) {
        fprintf(stderr, "no program folder\n");
        return 1;
    }
    vt::skin::BuildVocabularyTables();
    RegisterMainWindowClass(GetModuleHandleW(nullptr));
    vt::test::UseLanguage(vt::test::kEnglish);

    CDmConfig_Mouse mouseConfig;
    CDmConfig_Keyboard keyboardConfig;
    CDmConfig_Headset headsetConfig;
    IMouseConfig* mouse = &mouseConfig;
    IKeyboardConfig* keyboard = &keyboardConfig;
    IAudioConfig* headset = &headsetConfig;
    for (int i = 1; i <= kProfileLimit; ++i) mouse->CreateProfile((L"Profile " + std::to_wstring(i)).c_str());
    mouse->SetCurrentProfile(mouse->GetProfileAt(7));
    CMacro* macro = mouse->AddMacro(L"Thousand");
    for (int i = 0; macro->events.size() < 1000; ++i) {
        macro->events.push_back(MakeKeyEvent(uint16_t(0x10 + i % 26), uint16_t('A' + i % 26), kKeyDown, 0));
        macro->events.push_back(MakeDelayEvent(20 + i % 50));
        macro->events.push_back(MakeKeyEvent(uint16_t(0x10 + i % 26), uint16_t('A' + i % 26), kKeyUp, 0));
        if (macro->events.size() < 1000) macro->events.push_back(MakeMouseEvent(1 + i % 2, i % 2 ? kKeyUp : kKeyDown));
    }
    macro->events.resize(1000);
    vt::test::FakePageDevices devices(mouse, keyboard);
    vt::test::ScriptedPagePopups popups;
    vt::test::ScriptedFileDialogs files;
    CDmAppDlg dlg(mouse, keyboard, headset, devices, popups, CDmAppDlg::ShellOpen{}, &files);
    if (!dlg.CreatePanel()) {
        fprintf(stderr, "no main window\n");
        return 1;
    }
    ShowWindow(dlg.Hwnd(), SW_SHOW);
    for (int i = 0; i < 50 && !IsWindowEnabled(GetDlgItem(dlg.Hwnd(), ctl::BUTTON_PRODSELECT_MOUSE)); ++i) {
        Pump();
        Sleep(20);
    }
    HWND main = dlg.Hwnd();
    auto click = [&](int id) { SendMessageW(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(main, id))); };

    // The macro page shows the macro (chosen once, as a user would before coming back to it).
    click(ctl::BUTTON_MANAGEMACROS);
    auto* macros = static_cast<CDmItems_Mouse_MGM*>(dlg.Page(kPageMouseMacros));
    macros->SelectEntry(0);
    macros->Rules().MacroChosen();
    Pump();
    if (!macros->Display() || macros->Display()->RowCount() != 1000) {
        fprintf(stderr, "the macro page does not show the 1,000 events\n");
        return 1;
    }

    // The floor: the main window painted with the page already shown.
    click(ctl::BUTTON_MANAGEPROFILES);
    std::vector<double> floor;
    for (int r = 0; r < runs; ++r) {
        floor.push_back(Ms([&] { PaintAll(main); }));
        Pump();
    }
    Report("main window painted alone (profile page)", floor);

    struct Case { const char* name; int button; int page; };
    const Case cases[] = {{"profile page (20 profiles)", ctl::BUTTON_MANAGEPROFILES, kPageMouseProfiles},
                          {"macro page (1,000 events)", ctl::BUTTON_MANAGEMACROS, kPageMouseMacros}};
    for (const Case& c : cases) {
        std::vector<double> show, refresh, reload;
        for (int r = 0; r < runs; ++r) {
            click(ctl::BUTTON_ADJUSTPERFORMANCE);
            PaintAll(main);
            Pump();
            show.push_back(Ms([&] {
                click(c.button);
                PaintAll(main);
            }));
            Pump();
            refresh.push_back(Ms([&] {
                dlg.Page(c.page)->Refresh();
                PaintAll(main);
            }));
            // The macro page's events loaded anew as well (another macro chosen and back).
            if (c.page == kPageMouseMacros) {
                reload.push_back(Ms([&] {
                    macros->Display()->ClearEvents();
                    macros->Refresh();
                    PaintAll(main);
                }));
            }
            Pump();
        }
        Report((std::string(c.name) + ": page button to painted").c_str(), show);
        Report((std::string(c.name) + ": full refresh").c_str(), refresh);
        if (!reload.empty()) Report((std::string(c.name) + ": events loaded anew").c_str(), reload);
    }
    DestroyWindow(main);

    // First shows: each run in a main window of its own, whose pages are all unbuilt but the
    // mouse's first page.
    const int kTabs[] = {ctl::BUTTON_PRODSELECT_MOUSE, ctl::BUTTON_PRODSELECT_KEYBOARD};
    std::map<std::wstring, std::vector<double>> firstShow;
    std::vector<std::wstring> order;
    for (int r = 0; r < std::min(runs, 5); ++r) {
        CDmAppDlg fresh(mouse, keyboard, headset, devices, popups, CDmAppDlg::ShellOpen{}, &files);
        if (!fresh.CreatePanel()) {
            fprintf(stderr, "no main window\n");
            return 1;
        }
        HWND w = fresh.Hwnd();
        ShowWindow(w, SW_SHOW);
        for (int i = 0; i < 50 && !IsWindowEnabled(GetDlgItem(w, ctl::BUTTON_PRODSELECT_MOUSE)); ++i) {
            Pump();
            Sleep(20);
        }
        auto press = [&](int id) { SendMessageW(w, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(w, id))); };
        for (int device : {kMouse, kKeyboard}) {
            std::wstring tab = device == kMouse ? L"mouse" : L"keyboard";
            if (device != kMouse) {
                const std::wstring name = tab + L" tab (its first page)";
                if (r == 0) order.push_back(name);
                firstShow[name].push_back(Ms([&] {
                    press(kTabs[device]);
                    PaintAll(w);
                }));
                Pump();
            }
            for (const PageRow& row : PageTable()) {
                if (row.device != device || row.isDefault) continue;
                const std::wstring name = tab + L" " + row.file;
                if (r == 0) order.push_back(name);
                firstShow[name].push_back(Ms([&] {
                    press(row.button);
                    PaintAll(w);
                }));
                Pump();
            }
        }
        DestroyWindow(w);
        Pump();
    }
    for (const std::wstring& name : order) {
        const std::string text = "first show: " + std::string(name.begin(), name.end());
        Report(text.c_str(), firstShow[name]);
    }
    return 0;
}
