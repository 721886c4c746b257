#pragma once
// The test program's sheet in the test's own process, against the registered test twin of the audio
// manager: a fresh headset store, the user's dialogs replaced by a recorder, the sheet made without
// a modal loop and driven by messages, and the twin's simulated headset at hand.
#include "VtAudMgr.h"
#include "WindowTest.h"
#include "audtest/ApiSheet.h"
#include "audtest/UserDialogs.h"
#include "standin/headset/HeadsetSimulator.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace vt::test {

inline const wchar_t kHeadsetStoreKey[] = L"SOFTWARE\\VELTO\\0.01\\{CE89CE08-D9EC-4A3B-B359-2F7EA6611A2F}";

// The user's answers, given beforehand; every message shown is kept.
struct RecordedDialogs : vt::audtest::IUserDialogs {
    std::vector<std::wstring> messages;
    bool fileOk = true;
    std::wstring file;
    bool colourOk = true;
    COLORREF colour = 0;
    void Message(HWND, const std::wstring& text) override { messages.push_back(text); }
    bool ChooseProfileFile(HWND, bool, std::wstring* path) override {
        if (fileOk) *path = file;
        return fileOk;
    }
    bool ChooseColour(HWND, COLORREF* c) override {
        if (colourOk) *c = colour;
        return colourOk;
    }
};

// The simulated headset of the registered twin loaded in this process (null before the server is).
inline vt::sim::IHeadsetControl* TwinSimulator() {
    HMODULE twin = GetModuleHandleW(L"VtAudMgrSim.dll");
    if (!twin) return nullptr;
    using Get = void* (*)();
    auto get = reinterpret_cast<Get>(reinterpret_cast<void*>(GetProcAddress(twin, "VtAudMgrHeadsetSimulator")));
    return get ? static_cast<vt::sim::IHeadsetControl*>(get()) : nullptr;
}

class SheetFixture : public WindowTest {
protected:
    enum Page { kDevices, kDeviceInfo, kProfiles, kEqualizer, kLed, kBeamForm, kMixer };

    void SetUp() override {
        // A fresh store: the server makes the built-in profiles again when the headset is opened.
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kHeadsetStoreKey);
        vt::audtest::SetUserDialogs(&dialogs);
        if (auto* existing = TwinSimulator()) ResetSimulator(existing);
        OpenSheet();
    }
    void TearDown() override {
        CloseSheet();
        if (sim) ResetSimulator(sim);
        vt::audtest::SetUserDialogs(nullptr);
        WindowTest::TearDown();
    }
    static void ResetSimulator(vt::sim::IHeadsetControl* s) {
        auto interfaces = vt::sim::WineOwnInterfaces();
        interfaces.push_back({vt::sim::HeadsetPath(0)});
        s->SetInterfaces(interfaces);
        s->SetFaults({});
        s->Reconnect();
        s->ClearLog();
    }
    void OpenSheet() {
        sheet = std::make_unique<vt::audtest::CVtAudApiSheet>(GetModuleHandleW(nullptr));
        sheet->OpenAudioManager();
        sim = TwinSimulator();
        ASSERT_NE(sim, nullptr) << "the registered server is not the test twin";
        hwnd = sheet->CreateModeless();
        ASSERT_NE(hwnd, nullptr);
        PumpMessages();
    }
    void CloseSheet() {
        if (sheet) {
            sheet->Close();
            sheet->ReleaseAudioManager();
            sheet.reset();
        }
        hwnd = nullptr;
    }
    // Shows a page as the sheet's tab would; answers its window.
    HWND Show(Page page) {
        SendMessageW(hwnd, PSM_SETCURSEL, page, 0);
        PumpMessages();
        return PageWindow(page);
    }
    HWND PageWindow(Page page) const { return sheet->Page(page).Window(); }
    HWND Current() const { return reinterpret_cast<HWND>(SendMessageW(hwnd, PSM_GETCURRENTPAGEHWND, 0, 0)); }
    static std::wstring Text(HWND window) {
        wchar_t text[512] = {};
        GetWindowTextW(window, text, 512);
        return text;
    }
    static void Command(HWND page, int id, int code) {
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }
    static void Click(HWND page, int id) {
        // A real click: the box changes its state and tells the page.
        SendMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0);
        PumpMessages();
    }
    // Ends a trackbar's tracking at `position`, as the mouse or the keyboard does.
    static void EndTrack(HWND page, int id, int position) {
        HWND bar = GetDlgItem(page, id);
        SendMessageW(bar, TBM_SETPOS, TRUE, position);
        SendMessageW(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(bar));
        SendMessageW(page, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(bar));
    }
    std::vector<std::wstring> ListViewTexts(HWND list) const {
        std::vector<std::wstring> out;
        const int count = ListView_GetItemCount(list);
        for (int i = 0; i < count; ++i) {
            wchar_t text[260] = {};
            ListView_GetItemText(list, i, 0, text, 260);
            out.push_back(text);
        }
        return out;
    }
    std::vector<int> Ticked(HWND list) const {
        std::vector<int> out;
        const int count = ListView_GetItemCount(list);
        for (int i = 0; i < count; ++i)
            if (ListView_GetCheckState(list, i)) out.push_back(i);
        return out;
    }

    RecordedDialogs dialogs;
    std::unique_ptr<vt::audtest::CVtAudApiSheet> sheet;
    vt::sim::IHeadsetControl* sim = nullptr;
    HWND hwnd = nullptr;
};

} // namespace vt::test
