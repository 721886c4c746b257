#pragma once
// The main window for the assignment pages' tests: the three configurations, the assignment
// popups answered from a script (the single-key popup may run for real, a key typed into it with
// SendInput from another thread), scripted file dialogs, and the window driven by its controls.
// The device set is the test's (fake devices, or the engine stand-in's).
#include <gtest/gtest.h>
#include <windows.h>
#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include "AssignFakes.h"
#include "PagesFixture.h"
#include "WindowTest.h"
#include "base/ProgramFolder.h"
#include "config/Items.h"
#include "config/MainDlg.h"
#include "config/Registry.h"
#include "config/pages/KeyboardKeysPage.h"
#include "config/pages/MouseButtonsPage.h"
#include "config/pages/PageTable.h"
#include "config/popups/SingleKeyPopup.h"
#include "profile/AudioConfig.h"
#include "profile/KeyboardConfig.h"
#include "profile/MouseConfig.h"
#include "skin/DropDownList.h"
#include "skin/Messages.h"
#include "skin/Vocabulary.h"

namespace vt::test {

// Polls a condition from a thread that runs no window (the test's own thread is in a popup's modal
// loop meanwhile); bounded.
inline bool WaitFor(const std::function<bool()>& pred, DWORD maxMs) {
    const ULONGLONG end = GetTickCount64() + maxMs;
    for (;;) {
        if (pred()) return true;
        if (GetTickCount64() > end) return false;
        Sleep(15);
    }
}

// A window of this control id among the window's descendants (edits sit in frames of their own),
// or null.
inline HWND FindDescendant(HWND parent, int controlId) {
    struct Ctx { int id; HWND found; } ctx{controlId, nullptr};
    EnumChildWindows(parent, [](HWND h, LPARAM p) -> BOOL {
        auto* c = reinterpret_cast<Ctx*>(p);
        if (GetDlgCtrlID(h) == c->id) {
            c->found = h;
            return FALSE;
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

// A visible top-level window of this process, other than `except`, that holds the control; null
// when there is none. With controlId 0: any such window.
inline HWND FindProcessWindowWith(int controlId, HWND except = nullptr) {
    struct Ctx { int id; HWND except; HWND found; } ctx{controlId, except, nullptr};
    EnumWindows([](HWND h, LPARAM p) -> BOOL {
        auto* c = reinterpret_cast<Ctx*>(p);
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid == GetCurrentProcessId() && h != c->except && IsWindowVisible(h) &&
            (c->id == 0 || FindDescendant(h, c->id))) {
            c->found = h;
            return FALSE;
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

inline std::wstring WindowText(HWND h) {
    wchar_t buf[128] = {};
    // Sent to the window's thread, which runs the popup's modal loop.
    SendMessageTimeoutW(h, WM_GETTEXT, 128, LPARAM(buf), SMTO_ABORTIFHUNG, 2000, nullptr);
    return buf;
}

// Types into the single-key popup from a thread of its own while the test's thread runs the popup:
// waits for the popup and its focused key field, presses the keys one after another (each must
// show in the field), then clicks the button with the mouse. A popup still open after that is
// closed, so that nothing waits for ever. What it saw is kept for the test to check.
class SingleKeyTyper {
public:
    struct Step { WORD vk; bool extended; };
    // owner: the popup's owner (never taken for the popup).
    SingleKeyTyper(HWND owner, std::vector<Step> keys, int finalButton)
        : m_owner(owner), m_desktop(GetThreadDesktop(GetCurrentThreadId())), m_keys(std::move(keys)), m_button(finalButton) {
        m_thread = std::thread([this] { Run(); });
    }
    ~SingleKeyTyper() { Join(); }
    void Join() {
        if (m_thread.joinable()) m_thread.join();
    }
    std::vector<std::wstring> shown;      // the field's text after each key
    std::vector<bool> openAfter;          // whether the popup was still open after each key
    bool found = false, closedByButton = false;

private:
    void Run() {
        namespace ctl = vt::skin::ctl;
        // A new thread starts on the process's first desktop; the test's windows are on its own.
        SetThreadDesktop(m_desktop);
        HWND popup = nullptr;
        if (!WaitFor([&] { return (popup = FindProcessWindowWith(ctl::EDITCTRL_POPUP_SINGLEKEYENTRY, m_owner)) != nullptr; }, 10000)) {
            // Whatever popup is open is closed, so that the test's thread is not held for ever.
            if (HWND other = FindProcessWindowWith(0, m_owner)) CloseAfterClick(other);
            return;
        }
        found = true;
        HWND field = FindDescendant(popup, ctl::EDITCTRL_POPUP_SINGLEKEYENTRY);
        const DWORD thread = GetWindowThreadProcessId(popup, nullptr);
        WaitFor([&] {
            GUITHREADINFO info{sizeof(info)};
            return GetGUIThreadInfo(thread, &info) && info.hwndFocus == field;
        }, 5000);
        for (const Step& s : m_keys) {
            const std::wstring before = WindowText(field);
            SendMessageTimeoutW(field, WM_SETTEXT, 0, LPARAM(L""), SMTO_ABORTIFHUNG, 2000, nullptr);
            PressKey(s.vk, s.extended);
            std::wstring now;
            WaitFor([&] { return !(now = WindowText(field)).empty(); }, 5000);
            shown.push_back(now);
            openAfter.push_back(IsWindow(popup) && IsWindowVisible(popup));
            (void)before;
        }
        // The button clicked as the mouse does it, through the popup's own message loop (so its
        // filter sees the button going down). Posted: several popups in a row at one place do not
        // always take the desktop's clicks under Wine.
        if (HWND button = FindDescendant(popup, m_button)) ClickByMessages(button);
        closedByButton = WaitFor([&] { return !IsWindow(popup) || !IsWindowVisible(popup); }, 5000);
        if (!closedByButton && IsWindow(popup)) CloseAfterClick(popup);
    }
    static void ClickByMessages(HWND button) {
        RECT r;
        GetClientRect(button, &r);
        const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
        PostMessageW(button, WM_MOUSEMOVE, 0, at);
        PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(button, WM_LBUTTONUP, 0, at);
    }
    // A click clears the Escape-or-Return state; Cancel then closes.
    static void CloseAfterClick(HWND popup) {
        namespace ctl = vt::skin::ctl;
        PostMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        PostMessageW(popup, WM_LBUTTONUP, 0, 0);
        HWND cancel = FindDescendant(popup, ctl::BUTTON_POPUP_CANCEL);
        PostMessageW(popup, WM_COMMAND, MAKEWPARAM(ctl::BUTTON_POPUP_CANCEL, BN_CLICKED), LPARAM(cancel));
        if (!WaitFor([&] { return !IsWindow(popup) || !IsWindowVisible(popup); }, 5000))
            PostMessageW(popup, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    }
    HWND m_owner;
    HDESK m_desktop;
    std::vector<Step> m_keys;
    int m_button;
    std::thread m_thread;
};

// The scripted popups, with the single-key popup shown for real while a typer is set up.
class AssignPopups : public ScriptedAssignPopups {
public:
    // Set: the next single-key popup runs for real with these keys typed and this button clicked.
    std::vector<SingleKeyTyper::Step> typeKeys;
    int typeButton = vt::skin::ctl::BUTTON_POPUP_OK;
    std::unique_ptr<SingleKeyTyper> typer;

    INT_PTR Run(HWND parent, vt::config::IPopup& popup) override {
        if (auto* k = dynamic_cast<vt::config::SingleKeyPopup*>(&popup); k && !typeKeys.empty()) {
            calls.push_back({L"key", L"", L""});
            typer = std::make_unique<SingleKeyTyper>(parent, typeKeys, typeButton);
            typeKeys.clear();
            const INT_PTR r = k->Show(parent);
            typer->Join();
            return r;
        }
        return ScriptedAssignPopups::Run(parent, popup);
    }
};

class AssignFixture : public PagesFixtureOf<AssignPopups> {
protected:
    // ---- the assign-buttons page
    vt::config::CDmItems_Mouse_ASB* MousePage() {
        return static_cast<vt::config::CDmItems_Mouse_ASB*>(dlg->Page(vt::config::kPageMouseButtons));
    }
    AssignmentRecord Button(int b) {
        AssignmentRecord r = MakeEmptyAssignment();
        mouse->GetButtonAssignment(&r, b, nullptr);
        return r;
    }
    int EntryOf(int button, const wchar_t* name) {
        vt::skin::CDropdownListItem* d = MousePage()->Dropdown(button);
        for (size_t i = 0; d && i < d->m_entries.size(); ++i)
            if (d->m_entries[i].name == name) return int(i);
        return -1;
    }
    // An entry of a button's drop-down chosen (with the sub-list's text for a macro or profile), as
    // the drop-down reports a choice.
    void ChooseForButton(int button, const wchar_t* action, const wchar_t* subText = nullptr) {
        vt::skin::CDropdownListItem* d = MousePage()->Dropdown(button);
        ASSERT_NE(d, nullptr);
        const int entry = EntryOf(button, action);
        ASSERT_GE(entry, 0) << "no entry";
        d->SelectEntry(entry, subText);
        SendMessageW(dlg->Hwnd(), vt::skin::WM_DROPDOWN_SELCHANGE, WPARAM(entry), LPARAM(d->Hwnd()));
        PumpMessages(20, 300);
    }

    // ---- the assign-keys page
    vt::config::CDmItems_Keyboard_ASK* KeysPage() {
        return static_cast<vt::config::CDmItems_Keyboard_ASK*>(dlg->Page(vt::config::kPageKeyboardKeys));
    }
    vt::skin::CKeyboardKeyItem* KeyItem(const wchar_t* name) {
        return KeysPage() ? KeysPage()->Key(vt::skin::FindControlIdByName(name)) : nullptr;
    }
    int32_t KeyId(const wchar_t* name) {
        vt::skin::CKeyboardKeyItem* k = KeyItem(name);
        return k && k->m_keyDef ? k->m_keyDef->keyId : 0;
    }
    AssignmentRecord KeyRecord(const wchar_t* name) {
        AssignmentRecord r = MakeEmptyAssignment();
        keyboard->GetAssignment(&r, KeyId(name), nullptr);
        return r;
    }
    // The pointer over a key, and a click on it, as the key's window hears them.
    void Hover(const wchar_t* name) {
        vt::skin::CKeyboardKeyItem* k = KeyItem(name);
        ASSERT_NE(k, nullptr) << "no key";
        SendMessageW(k->Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
        PumpMessages(10, 200);
    }
    void PressKeyItem(const wchar_t* name) {
        vt::skin::CKeyboardKeyItem* k = KeyItem(name);
        ASSERT_NE(k, nullptr) << "no key";
        SendMessageW(k->Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
        SendMessageW(k->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        SendMessageW(k->Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        PumpMessages(10, 200);
    }
    // The row of the option list with that action.
    int OptionRow(int32_t action) {
        const auto options = vt::config::KeyOptions(keyboard, true);
        for (size_t i = 0; i < options.size(); ++i)
            if (options[i].action == action) return int(i);
        return -1;
    }
    // A key selected and an option chosen for it, as the option list reports the click.
    void AssignKey(const wchar_t* name, int32_t action) {
        PressKeyItem(name);
        ASSERT_EQ(KeysPage()->SelectedKey(), KeyItem(name));
        const int row = OptionRow(action);
        ASSERT_GE(row, 0);
        ASSERT_EQ(KeysPage()->Options()->m_entries[size_t(row)].extra, 0) << "option greyed";
        SendMessageW(dlg->Hwnd(), vt::skin::WM_LISTPANEL_SELCHANGE, WPARAM(row), LPARAM(vt::skin::ctl::LISTPANEL_ASSIGNOPTIONS));
        PumpMessages(20, 300);
    }
    std::wstring KeyWindowText() { return KeysPage() && KeysPage()->KeyWindow() ? KeysPage()->KeyWindow()->m_caption : L""; }

};

} // namespace vt::test
