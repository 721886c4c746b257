// The manage-profiles and manage-macros pages end to end: the main window on the engine stand-in's
// simulated mouse, driven by its controls' ids and the notifications its controls send; the
// popups and file dialogs answer from a script; what was applied is read back with
// `enginectl dump`. A macro is recorded from keys and a click injected with SendInput.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include "EngineCtl.h"
#include "PagesFixture.h"
#include "config/EngineDevices.h"
#include "config/Items.h"
#include "config/MainDlg.h"
#include "config/Registry.h"
#include "config/pages/MacroPage.h"
#include "config/pages/PageTable.h"
#include "config/pages/ProfilePage.h"
#include "profile/AudioConfig.h"
#include "profile/KeyboardConfig.h"
#include "profile/MouseConfig.h"
#include "skin/Messages.h"
#include "base/ProgramFolder.h"
#include "skin/Vocabulary.h"

using namespace vt::config;
using namespace vt::profile;
using vt::test::PumpMessages;
using vt::test::PumpUntil;

namespace {

int EngineCtl(const std::wstring& args, std::string* out = nullptr) { return vt::test::RunEngineCtl(args, out); }

std::string Dump() {
    std::string d;
    EngineCtl(L"dump", &d);
    return d;
}

// The mouse's part of the dump (up to the next device).
std::string MousePart(const std::string& dump) {
    const size_t a = dump.find("\"mouse\"");
    if (a == std::string::npos) return dump;
    const size_t b = dump.find("\"keyboard\"", a);
    return dump.substr(a, b == std::string::npos ? std::string::npos : b - a);
}

bool HasName(const std::string& part, const std::string& name) {
    return part.find("\"name\":\"" + name + "\"") != std::string::npos;
}

std::string Utf8(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) s.push_back(char(c));
    return s;
}

} // namespace

class ManagePagesEngine : public vt::test::PagesFixture {
protected:
    void SetUp() override {
        vt::test::WindowTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        SetUpFolder();
        ASSERT_EQ(EngineCtl(L"reset"), 0);
        ASSERT_EQ(EngineCtl(L"unplug all"), 0);
        ASSERT_EQ(EngineCtl(L"plug mouse"), 0);
        devices = CreateEngineDevices(mouse, keyboard, headset);
        OpenWindow(*devices);
        ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(Control(ctl::BUTTON_PRODSELECT_MOUSE)) != FALSE; }, 20000));
        ASSERT_GT(mouse->GetProfileCount(), 0);
    }
    void TearDown() override {
        dlg.reset();
        if (devices) devices->Destroy();
        devices.reset();
        CoUninitialize();
        vt::test::WindowTest::TearDown();
    }
    // Apply, and wait until the mouse's part of the dump satisfies the condition.
    bool ApplyUntil(const std::function<bool(const std::string&)>& done, std::string* last = nullptr) {
        Click(ctl::BUTTON_APPLY);
        std::string d;
        const bool ok = PumpUntil([&] {
            d = MousePart(Dump());
            return done(d);
        }, 20000);
        if (last) *last = d;
        // The write has ended (Apply offered again only after new edits).
        PumpUntil([&] { return !devices->IsBusy(kMouse); }, 10000);
        PumpMessages(50, 800);
        return ok;
    }
    int ProfileRow(const wchar_t* name) {
        for (int i = 0; i < mouse->GetProfileCount(); ++i)
            if (std::wstring(mouse->GetProfileAt(uint32_t(i))->GetName()) == name) return i;
        return -1;
    }
    CDmItems_Mouse_MGP* ProfilePage() { return static_cast<CDmItems_Mouse_MGP*>(dlg->Page(kPageMouseProfiles)); }
    CDmItems_Mouse_MGM* MacroPage() { return static_cast<CDmItems_Mouse_MGM*>(dlg->Page(kPageMouseMacros)); }

    std::unique_ptr<IDeviceSet> devices;
};

TEST_F(ManagePagesEngine, ProfilesCreatedRenamedCopiedExportedDeletedAndImported) {
    Click(ctl::BUTTON_MANAGEPROFILES);
    ASSERT_EQ(dlg->CurrentPageId(), kPageMouseProfiles);
    const int start = mouse->GetProfileCount();
    // New, rename, copy.
    popups.name = L"Work";
    Click(ctl::BUTTON_NEWPROFILE_MOUSE);
    ASSERT_EQ(ProfileRow(L"Work"), start);
    ProfilePage()->SelectRow(start);
    popups.name = L"Office";
    MenuChoice(start, L"$Rename");
    ASSERT_EQ(ProfileRow(L"Office"), start);
    MenuChoice(start, L"$Copy");
    ASSERT_EQ(ProfileRow(L"Office(2)"), start + 1);
    EXPECT_EQ(int(SendMessageW(Control(ctl::LIST_PROFILELIST), LVM_GETITEMCOUNT, 0, 0)), start + 2);
    std::string d;
    ASSERT_TRUE(ApplyUntil([](const std::string& m) { return HasName(m, "Office") && HasName(m, "Office(2)"); }, &d)) << d;
    vt::test::CaptureClient(dlg->Hwnd()).SaveBmp(vt::test::OutputPath(L"config_e2e_profiles_applied.bmp"));

    // Export the copy into a file of the test output.
    const std::wstring file = vt::test::OutputPath(L"e2e_office2.vtp");
    DeleteFileW(file.c_str());
    ProfilePage()->SelectRow(start + 1);
    files.chosen = file;
    Click(ctl::BUTTON_EXPORTPROFILE_MOUSE);
    ASSERT_EQ(GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES, true) << "no exported file";
    EXPECT_TRUE(popups.Warnings().empty());

    // Delete it (confirmed) and apply: the engine no longer holds it.
    ProfilePage()->SelectRow(start + 1);
    popups.warningAnswer = 1;
    Click(ctl::BUTTON_DELETEPROFILE_MOUSE);
    ASSERT_FALSE(popups.Warnings().empty());
    EXPECT_EQ(popups.Warnings().back(), L"ConfirmDeletePopup.xml");
    ASSERT_EQ(ProfileRow(L"Office(2)"), -1);
    ASSERT_TRUE(ApplyUntil([](const std::string& m) { return !HasName(m, "Office(2)") && HasName(m, "Office"); }, &d)) << d;

    // Import the file back: the engine reads it and the page lists it again.
    files.chosen = file;
    const size_t warnings = popups.Warnings().size();
    Click(ctl::BUTTON_IMPORTPROFILE_MOUSE);
    EXPECT_EQ(popups.Warnings().size(), warnings) << (popups.Warnings().empty() ? L"" : popups.Warnings().back());
    ASSERT_NE(ProfileRow(L"Office(2)"), -1);
    EXPECT_EQ(int(SendMessageW(Control(ctl::LIST_PROFILELIST), LVM_GETITEMCOUNT, 0, 0)), start + 2);
    ASSERT_TRUE(ApplyUntil([](const std::string& m) { return HasName(m, "Office(2)") && HasName(m, "Office"); }, &d)) << d;

    // A file that is not a profile file: the file error, nothing added.
    const std::wstring bad = vt::test::OutputPath(L"e2e_not_a_profile.vtp");
    { std::ofstream(std::filesystem::path(bad), std::ios::binary) << "not a profile"; }
    files.chosen = bad;
    const int count = mouse->GetProfileCount();
    Click(ctl::BUTTON_IMPORTPROFILE_MOUSE);
    ASSERT_FALSE(popups.Warnings().empty());
    EXPECT_EQ(popups.Warnings().back(), L"FileErrorPopUp.xml");
    EXPECT_EQ(mouse->GetProfileCount(), count);
}

TEST_F(ManagePagesEngine, TwentyProfilesAtMost) {
    Click(ctl::BUTTON_MANAGEPROFILES);
    int n = 0;
    while (mouse->GetProfileCount() < kProfileLimit) {
        popups.name = L"P" + std::to_wstring(++n);
        Click(ctl::BUTTON_NEWPROFILE_MOUSE);
        ASSERT_LT(n, 30);
    }
    EXPECT_TRUE(popups.Warnings().empty());
    popups.name = L"One too many";
    Click(ctl::BUTTON_NEWPROFILE_MOUSE);
    ASSERT_FALSE(popups.Warnings().empty());
    EXPECT_EQ(popups.Warnings().back(), L"ProfileLimitReachedPopup.xml");
    EXPECT_EQ(mouse->GetProfileCount(), kProfileLimit);
    std::string d;
    const std::string last = Utf8(L"P" + std::to_wstring(n));
    ASSERT_TRUE(ApplyUntil([&](const std::string& m) { return HasName(m, last); }, &d)) << d;
    size_t profiles = 0;
    const size_t a = d.find("\"profiles\":["), b = d.find("],\"macros\"");
    for (size_t p = d.find("\"name\":", a); p != std::string::npos && p < b; p = d.find("\"name\":", p + 1)) ++profiles;
    EXPECT_EQ(profiles, size_t(kProfileLimit));
    vt::test::CaptureClient(dlg->Hwnd()).SaveBmp(vt::test::OutputPath(L"config_e2e_twenty_profiles.bmp"));
}

TEST_F(ManagePagesEngine, MacroRecordedEditedExtendedExportedDeletedAndImported) {
    Click(ctl::BUTTON_MANAGEMACROS);
    ASSERT_EQ(dlg->CurrentPageId(), kPageMouseMacros);
    CDmItems_Mouse_MGM* page = MacroPage();
    popups.name = L"Recorded";
    Click(ctl::BUTTON_MACRO_CREATE);
    CMacro* macro = mouse->FindMacro(L"Recorded");
    ASSERT_NE(macro, nullptr);
    ASSERT_TRUE(IsWindowEnabled(Control(ctl::BUTTON_MACRO_RECORD)));

    // Record: keys and a click injected as a user's input, seen through raw input.
    SetForegroundWindow(dlg->Hwnd());
    Click(ctl::BUTTON_MACRO_RECORD);
    ASSERT_TRUE(page->IsRecording());
    EXPECT_FALSE(IsWindowEnabled(Control(ctl::BUTTON_MACRO_CREATE)));
    vt::test::PressKey('A');
    Sleep(30);
    vt::test::PressKey(VK_RETURN);
    HWND display = ItemWindow(page->Display());
    RECT rc;
    GetClientRect(display, &rc);
    vt::test::ClickClient(display, rc.right / 2, rc.bottom - 20);
    PumpUntil([&] { return page->Display()->Events().size() >= 6; }, 3000);
    Click(ctl::BUTTON_MACRO_RECORD);
    ASSERT_FALSE(page->IsRecording());
    EXPECT_TRUE(IsWindowEnabled(Control(ctl::BUTTON_MACRO_CREATE)));
    auto count = [&](int32_t type) {
        int n = 0;
        for (const MacroEvent& e : macro->events) n += e.type == type;
        return n;
    };
    ASSERT_GE(count(kEventKey), 4) << "keys recorded: " << count(kEventKey);
    EXPECT_GE(count(kEventMouse), 2) << "clicks recorded: " << count(kEventMouse);
    vt::test::CaptureClient(dlg->Hwnd()).SaveBmp(vt::test::OutputPath(L"config_e2e_macro_recorded.bmp"));

    // Edit a delay in the display's own editor, and the first key (to Z).
    vt::skin::CMacroDisplayItem* d = page->Display();
    int delayRow = -1, keyRow = -1;
    for (int r = 0; r < d->RowCount(); ++r) {
        if (delayRow < 0 && d->RowKind(r) == vt::skin::kRowDelay) delayRow = r;
        if (keyRow < 0 && d->RowKind(r) == vt::skin::kRowKeyPress) keyRow = r;
    }
    if (delayRow < 0) {
        // Recorded too fast for a delay: one is inserted first, as the row menu does.
        d->SelectRow(0);
        d->RunMacroCommand(L"$InsertDelay");
        delayRow = 1;
        keyRow = keyRow >= 1 ? keyRow + 1 : keyRow;
    }
    d->SelectRow(delayRow);
    d->RunMacroCommand(L"$Edit");
    ASSERT_TRUE(d->IsEditingDelay());
    SetWindowTextW(d->DelayEditor(), L"1234");
    d->EndDelayEdit(true);
    PumpMessages(20, 200);
    ASSERT_EQ(macro->events[size_t(delayRow)].type, kEventDelay);
    int32_t ms = 0;
    memcpy(&ms, macro->events[size_t(delayRow)].data, 4);
    EXPECT_EQ(ms, 1234);
    ASSERT_GE(keyRow, 0);
    popups.key.scanCode = 0x2C;
    popups.key.virtualKey = 'Z';
    popups.key.flags = 0;
    d->SelectRow(keyRow);
    d->RunMacroCommand(L"$Edit");
    PumpMessages(20, 200);
    uint16_t vk = 0;
    memcpy(&vk, macro->events[size_t(keyRow)].data + 2, 2);
    EXPECT_EQ(vk, 'Z');

    // A predefined command after the last event.
    const size_t before = macro->events.size();
    d->SelectRow(d->RowCount() - 1);
    popups.predefined = L"$cut";
    Click(ctl::BUTTON_MACRO_ADVANCED);
    std::vector<MacroEvent> cut;
    ASSERT_TRUE(PredefinedMacros.FindPredefinedMacro(L"$cut", cut));
    ASSERT_EQ(macro->events.size(), before + cut.size());
    EXPECT_EQ(d->RowCount(), int(macro->events.size()));

    // Applied: the engine holds the macro with its events.
    const size_t events = macro->events.size();
    std::string dump;
    ASSERT_TRUE(ApplyUntil([&](const std::string& m) { return HasName(m, "Recorded"); }, &dump)) << dump;
    const size_t at = dump.find("\"name\":\"Recorded\"");
    const std::string list = dump.substr(at, dump.find("]]", at) - at);
    size_t n = 0;
    for (size_t p = list.find('['); p != std::string::npos; p = list.find('[', p + 1)) ++n;
    EXPECT_EQ(n, events + 1) << list;   // the list's own bracket and one per event

    // Exported, deleted (and applied), imported back.
    const std::wstring file = vt::test::OutputPath(L"e2e_recorded.vtm");
    DeleteFileW(file.c_str());
    files.chosen = file;
    Click(ctl::BUTTON_MACRO_EXPORT);
    ASSERT_NE(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << "no exported file";
    popups.warningAnswer = 1;
    Click(ctl::BUTTON_MACRO_DELETE);
    EXPECT_EQ(popups.Warnings().back(), L"ConfirmDeleteMacroPopup.xml");
    ASSERT_EQ(mouse->FindMacro(L"Recorded"), nullptr);
    EXPECT_FALSE(IsWindowEnabled(Control(ctl::BUTTON_MACRO_RECORD)));
    ASSERT_TRUE(ApplyUntil([&](const std::string& m) { return !HasName(m, "Recorded"); }, &dump)) << dump;
    files.chosen = file;
    Click(ctl::BUTTON_MACRO_IMPORT);
    CMacro* back = mouse->FindMacro(L"Recorded");
    ASSERT_NE(back, nullptr) << (popups.Warnings().empty() ? L"" : popups.Warnings().back());
    EXPECT_EQ(back->events.size(), events);
    ASSERT_TRUE(ApplyUntil([&](const std::string& m) { return HasName(m, "Recorded"); }, &dump)) << dump;
    vt::test::CaptureClient(dlg->Hwnd()).SaveBmp(vt::test::OutputPath(L"config_e2e_macro_imported.bmp"));
}
