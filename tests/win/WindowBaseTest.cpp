// The window base: handle-object link, dispatch to handlers, reflection, subclassing,
// modal dialogs and the pre-translate chain.
#include "WindowTest.h"
#include "win/Dialog.h"
#include "win/Window.h"
#include <commctrl.h>
#include <algorithm>
#include <memory>
#include <vector>

using namespace vt::test;
using namespace vt::win;

namespace {

class Recorder : public Window {
public:
    std::vector<UINT> seen;
    bool finalCalled = false;
    int reflectedCommands = 0;
    int commands = 0;
protected:
    bool OnCreate(CREATESTRUCTW*) override { seen.push_back(WM_CREATE); return false; }
    bool OnLButtonDown(UINT, POINT pt) override { seen.push_back(WM_LBUTTONDOWN); lastPt = pt; return true; }
    bool OnTimer(UINT_PTR id) override { seen.push_back(WM_TIMER); return true; }
    bool OnCommand(WORD id, WORD code, HWND control) override { ++commands; return true; }
    bool OnReflected(UINT msg, WPARAM wp, LPARAM, LRESULT& result) override {
        if (msg == WM_COMMAND) { ++reflectedCommands; result = 0; return true; }
        return false;
    }
    void OnFinalMessage() override { finalCalled = true; }
public:
    POINT lastPt{};
};

class WindowBaseTest : public WindowTest {
protected:
    void SetUp() override { ASSERT_TRUE(Window::RegisterClass(L"VtTestRecorder")); }
};

} // namespace

TEST_F(WindowBaseTest, HandleLinksToObjectUntilNcDestroy) {
    Recorder w;
    ASSERT_TRUE(w.Create(0, L"VtTestRecorder", L"", WS_POPUP, 0, 0, 50, 50, nullptr, 0));
    HWND h = w.Hwnd();
    EXPECT_EQ(Window::FromHandle(h), &w);
    ASSERT_FALSE(w.seen.empty());
    EXPECT_EQ(w.seen.front(), UINT(WM_CREATE));
    DestroyWindow(h);
    EXPECT_EQ(w.Hwnd(), nullptr);
    EXPECT_TRUE(w.finalCalled);
    EXPECT_EQ(Window::FromHandle(h), nullptr);
}

TEST_F(WindowBaseTest, MessagesReachTheirHandlers) {
    Recorder w;
    ASSERT_TRUE(w.Create(0, L"VtTestRecorder", L"", WS_POPUP, 0, 0, 50, 50, nullptr, 0));
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 9));
    SetTimer(w, 1, 10, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return std::find(w.seen.begin(), w.seen.end(), UINT(WM_TIMER)) != w.seen.end(); }));
    EXPECT_EQ(w.lastPt.x, 7);
    EXPECT_EQ(w.lastPt.y, 9);
}

TEST_F(WindowBaseTest, ChildNotificationsAreReflectedToTheChildObject) {
    Recorder parent;
    ASSERT_TRUE(parent.Create(0, L"VtTestRecorder", L"", WS_POPUP, 0, 0, 200, 100, nullptr, 0));
    // A system button taken over by an object of ours.
    Recorder button;
    ASSERT_TRUE(button.Create(0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 60, 20, parent, 42));
    EXPECT_EQ(Window::FromHandle(button), &button);
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(42, BN_CLICKED), reinterpret_cast<LPARAM>(button.Hwnd()));
    EXPECT_EQ(button.reflectedCommands, 1);
    EXPECT_EQ(parent.commands, 0);
    // A child without an object of ours leaves the notification to the parent.
    HWND plain = CreateWindowExW(0, L"BUTTON", L"p", WS_CHILD, 0, 30, 60, 20, parent, HMENU(43), nullptr, nullptr);
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(43, BN_CLICKED), reinterpret_cast<LPARAM>(plain));
    EXPECT_EQ(parent.commands, 1);
}

TEST_F(WindowBaseTest, SubclassedControlKeepsItsOwnBehaviourAndDetaches) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"abc", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    {
        Recorder r;
        ASSERT_TRUE(r.Subclass(edit));
        wchar_t text[16]{};
        GetWindowTextW(edit, text, 16);
        EXPECT_STREQ(text, L"abc");
        SendMessageW(edit, WM_LBUTTONDOWN, 0, MAKELPARAM(1, 1));
        EXPECT_EQ(r.seen.back(), UINT(WM_LBUTTONDOWN));
    }
    // The object is gone; the control lives on with its own procedure.
    EXPECT_TRUE(IsWindow(edit));
    EXPECT_EQ(Window::FromHandle(edit), nullptr);
    SetWindowTextW(edit, L"xyz");
    DestroyWindow(edit);
}

namespace {

// Another party in the same window's subclass chain: counts the clicks that reach it.
LRESULT CALLBACK CountingSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    if (msg == WM_LBUTTONDOWN) ++*reinterpret_cast<int*>(ref);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

} // namespace

// Whichever of two subclassers leaves first, the other keeps receiving the window's messages and
// the control keeps its own behaviour.
TEST_F(WindowBaseTest, SubclassingSharesTheWindowWithAnotherSubclasser) {
    for (const bool objectLeavesFirst : {true, false}) {
        SCOPED_TRACE(objectLeavesFirst ? "our object leaves first" : "the other subclasser leaves first");
        HWND edit = CreateWindowExW(0, L"EDIT", L"abc", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(edit, nullptr);
        int otherClicks = 0;
        auto other = reinterpret_cast<DWORD_PTR>(&otherClicks);
        auto r = std::make_unique<Recorder>();
        ASSERT_TRUE(r->Subclass(edit));
        ASSERT_TRUE(SetWindowSubclass(edit, CountingSubclass, 7, other));
        SendMessageW(edit, WM_LBUTTONDOWN, 0, MAKELPARAM(1, 1));
        EXPECT_EQ(otherClicks, 1);
        EXPECT_EQ(std::count(r->seen.begin(), r->seen.end(), UINT(WM_LBUTTONDOWN)), 1);

        if (objectLeavesFirst) {
            r.reset();
            SendMessageW(edit, WM_LBUTTONDOWN, 0, MAKELPARAM(1, 1));
            EXPECT_EQ(otherClicks, 2) << "the other subclasser was cut out of the chain";
            ASSERT_TRUE(RemoveWindowSubclass(edit, CountingSubclass, 7));
        } else {
            ASSERT_TRUE(RemoveWindowSubclass(edit, CountingSubclass, 7));
            SendMessageW(edit, WM_LBUTTONDOWN, 0, MAKELPARAM(1, 1));
            EXPECT_EQ(std::count(r->seen.begin(), r->seen.end(), UINT(WM_LBUTTONDOWN)), 2);
            EXPECT_EQ(otherClicks, 1);
            r.reset();
        }
        EXPECT_EQ(Window::FromHandle(edit), nullptr);
        SetWindowTextW(edit, L"xyz");
        wchar_t text[16]{};
        GetWindowTextW(edit, text, 16);
        EXPECT_STREQ(text, L"xyz") << "the control keeps its own procedure";
        DestroyWindow(edit);
    }
}

namespace {

class KeyEatingDialog : public Dialog {
public:
    int preTranslated = 0;
    int inits = 0;
    bool PreTranslateMessage(MSG& msg) override {
        if (msg.message == WM_KEYDOWN && msg.wParam == 'Q') {
            ++preTranslated;
            EndDialog(7);
            return true;
        }
        return false;
    }
protected:
    bool OnInitDialog() override {
        ++inits;
        SetTimer(m_hWnd, 1, 20, nullptr);
        return true;
    }
    bool OnTimer(UINT_PTR) override {
        KillTimer(m_hWnd, 1);
        PostMessageW(m_hWnd, WM_KEYDOWN, 'Q', 0);
        return true;
    }
};

} // namespace

TEST_F(WindowBaseTest, ModalDialogRunsPreTranslateChainAndReturnsResult) {
    DialogTemplate tmpl(WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 10, 10, 100, 60);
    KeyEatingDialog dlg;
    INT_PTR r = dlg.DoModalIndirect(nullptr, tmpl.Get());
    EXPECT_EQ(r, 7);
    EXPECT_EQ(dlg.inits, 1);
    EXPECT_EQ(dlg.preTranslated, 1);
    EXPECT_EQ(dlg.Hwnd(), nullptr);
}

TEST_F(WindowBaseTest, ModalDialogCancelEndsWithIdCancel) {
    struct CancelLater : Dialog {
        bool OnInitDialog() override { PostMessageW(m_hWnd, WM_COMMAND, IDCANCEL, 0); return true; }
    } dlg;
    DialogTemplate tmpl(WS_POPUP, 0, 0, 0, 50, 50);
    EXPECT_EQ(dlg.DoModalIndirect(nullptr, tmpl.Get()), IDCANCEL);
}
