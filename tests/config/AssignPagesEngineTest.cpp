// The assign-buttons and assign-keys pages end to end: the main window on the engine stand-in's
// simulated mouse and keyboard, driven by its controls' notifications. A single key is typed into
// the real single-key popup with SendInput (the keyboard is in mode 2 meanwhile, as the engine's
// call log shows); macros, profiles and programs are chosen in scripted popups and dialogs. After
// Apply `enginectl dump` holds the records, and a program opened afresh on the engine shows the
// same assignments.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <cstring>
#include <memory>
#include <regex>
#include <string>
#include <vector>
#include "AssignFixture.h"
#include "EngineCtl.h"
#include "config/EngineDevices.h"
#include "config/pages/AssignRules.h"
#include "profile/Macro.h"
#include "skin/KeyboardLayout.h"

using namespace vt::config;
using namespace vt::profile;
using vt::test::PumpMessages;
using vt::test::PumpUntil;
namespace skin = vt::skin;

namespace {

int EngineCtl(const std::wstring& args, std::string* out = nullptr) { return vt::test::RunEngineCtl(args, out); }

std::string Dump() {
    std::string d;
    EngineCtl(L"dump", &d);
    return d;
}

// One device's part of the dump (up to the next device).
std::string Part(const std::string& dump, const char* kind) {
    const size_t a = dump.find(std::string("\"kind\":\"") + kind + "\"");
    if (a == std::string::npos) return {};
    const size_t b = dump.find("{\"kind\":", a + 1);
    return dump.substr(a, b == std::string::npos ? std::string::npos : b - a);
}

struct EngineRecord {
    unsigned index, type;
    std::string payload;   // 20 bytes as hex
};
// Every assignment record of a device's part (all its profiles).
std::vector<EngineRecord> Records(const std::string& part) {
    std::vector<EngineRecord> out;
    static const std::regex re(R"re(\{"index":(\d+),"flag":\d+,"type":(\d+),"payload":"([0-9a-f]{40})"\})re");
    for (auto it = std::sregex_iterator(part.begin(), part.end(), re); it != std::sregex_iterator(); ++it)
        out.push_back({unsigned(std::stoul((*it)[1])), unsigned(std::stoul((*it)[2])), (*it)[3]});
    return out;
}
bool HasRecord(const std::string& part, unsigned type, const std::function<bool(const std::string&)>& payload) {
    for (const EngineRecord& r : Records(part))
        if (r.type == type && payload(r.payload)) return true;
    return false;
}

// A single key as it comes back from the engine: the kind, the scan code and the extended flag
// (the engine keeps no virtual key; the name comes from the scan code).
bool SameSingleKey(const AssignmentRecord& a, const AssignmentRecord& b) {
    return a.kind == kKindSingleKey && b.kind == kKindSingleKey && std::memcmp(a.payload, b.payload, 2) == 0 &&
           a.payload[4] == b.payload[4] && SingleKeyName(a) == SingleKeyName(b);
}

std::vector<MacroEvent> SomeEvents() {
    std::vector<MacroEvent> events;
    PredefinedMacros.FindPredefinedMacro(L"$cut", events);
    return events;
}

} // namespace

class AssignPagesEngine : public vt::test::AssignFixture {
protected:
    void SetUp() override {
        vt::test::WindowTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        SetUpFolder();
        ASSERT_TRUE(skin::LoadSkinPage(layouts, L"KeyboardLayout.xml", nullptr));
        ASSERT_EQ(EngineCtl(L"reset"), 0);
        ASSERT_EQ(EngineCtl(L"unplug all"), 0);
    }
    void TearDown() override {
        Close();
        skin::ReleaseKeyboardLayout();
        skin::DeleteAllItems(layouts);
        CoUninitialize();
        vt::test::WindowTest::TearDown();
    }
    // The program as it starts: the devices opened, then the keyboard's layout loaded, then the
    // pages; fresh configurations each time.
    void Open() {
        mouseFresh = std::make_unique<CDmConfig_Mouse>();
        keyboardFresh = std::make_unique<CDmConfig_Keyboard>();
        mouse = mouseFresh.get();
        keyboard = keyboardFresh.get();
        devices = CreateEngineDevices(mouse, keyboard, headset);
        OpenWindow(*devices);
        dlg->SetDevicesOpenedStep([this] {
            ULONG value = 0;
            int layout = skin::kDefaultKeyboardLayoutId;
            if (devices->QueryKeyboardLayout(&value)) layout = int(skin::FindKeyboardLayoutControlId(int32_t(value)));
            skin::LoadKeyboardLayout(layout);
        });
        ASSERT_TRUE(PumpUntil([&] {
            return IsWindowEnabled(Control(ctl::BUTTON_PRODSELECT_MOUSE)) || IsWindowEnabled(Control(ctl::BUTTON_PRODSELECT_KEYBOARD));
        }, 20000));
        PumpMessages(30, 500);
    }
    void Close() {
        dlg.reset();
        if (devices) devices->Destroy();
        devices.reset();
    }
    // Apply, and wait until the device's part of the dump satisfies the condition.
    bool ApplyUntil(int device, const std::function<bool(const std::string&)>& done, std::string* last = nullptr) {
        Click(ctl::BUTTON_APPLY);
        std::string d;
        const bool ok = PumpUntil([&] {
            d = Part(Dump(), device == kMouse ? "mouse" : "keyboard");
            return done(d);
        }, 20000);
        if (last) *last = d;
        PumpUntil([&] { return !devices->IsBusy(device); }, 10000);
        PumpMessages(50, 800);
        return ok;
    }

    std::unique_ptr<CDmConfig_Mouse> mouseFresh;
    std::unique_ptr<CDmConfig_Keyboard> keyboardFresh;
    std::unique_ptr<IDeviceSet> devices;
    skin::CGUIItems layouts;
};

TEST_F(AssignPagesEngine, MouseButtonsAppliedAndReadBack) {
    ASSERT_EQ(EngineCtl(L"plug mouse"), 0);
    ASSERT_EQ(EngineCtl(L"plug keyboard"), 0);
    Open();
    ASSERT_EQ(dlg->CurrentPageId(), kPageMouseButtons);
    // A macro and a second profile, as the manage pages would have made them.
    CMacro* macro = mouse->AddMacro(L"Combo");
    ASSERT_NE(macro, nullptr);
    macro->events = SomeEvents();
    ASSERT_NE(mouse->CreateProfile(L"Work"), nullptr);
    MousePage()->Refresh();

    // The left-click guard: the only left click stays.
    ChooseForButton(1, L"$RightClick");
    EXPECT_EQ(popups.Warnings(), std::vector<std::wstring>{L"NoClickPopup.xml"});
    EXPECT_EQ(Button(1).kind, 1);

    // A single key typed into the popup.
    EngineCtl(L"log clear");
    popups.typeKeys = {{VK_F5, false}};
    ChooseForButton(6, L"$SingleKey");
    ASSERT_TRUE(popups.typer && popups.typer->found);
    const AssignmentRecord key = Button(6);
    ASSERT_EQ(key.kind, kKindSingleKey);
    EXPECT_EQ(SingleKeyName(key), popups.typer->shown.at(0));
    uint16_t scan = 0;
    std::memcpy(&scan, key.payload, 2);
    EXPECT_EQ(scan, 0x3F);
    std::string log;
    EngineCtl(L"log", &log);
    // The keyboard sent plain keys while the popup listened, and acts on its own assignments after.
    const size_t to2 = log.find("IVtKeyboardMode.SetMode 2");
    ASSERT_NE(to2, std::string::npos) << log;
    EXPECT_NE(log.find("IVtKeyboardMode.SetMode 1", to2), std::string::npos) << log;

    ChooseForButton(7, L"$macro", L"Combo");
    EXPECT_EQ(Button(7).kind, kKindMacroByName);
    ChooseForButton(3, L"$profile", L"Work");
    EXPECT_EQ(Button(3).kind, kKindProfileByName);
    ChooseForButton(2, L"$Double-Click");
    vt::test::CaptureClient(dlg->Hwnd()).SaveBmp(vt::test::OutputPath(L"config_e2e_mouse_buttons.bmp"));

    std::string d;
    ASSERT_TRUE(ApplyUntil(kMouse, [](const std::string& m) {
        return HasRecord(m, 5, [](const std::string& p) { return p.rfind("3f00", 0) == 0; }) &&
               HasRecord(m, 8, [](const std::string&) { return true; }) &&
               HasRecord(m, 3, [](const std::string& p) { return p.rfind("03000000", 0) == 0; });
    }, &d)) << d;
    EXPECT_NE(d.find("\"name\":\"Combo\""), std::string::npos);
    EXPECT_NE(d.find("\"name\":\"Work\""), std::string::npos);

    // Opened afresh: the same assignments, now by the ids the engine gave.
    Close();
    Open();
    ASSERT_EQ(dlg->CurrentPageId(), kPageMouseButtons);
    EXPECT_TRUE(SameSingleKey(Button(6), key));
    EXPECT_EQ(Button(7).kind, kKindMacro);
    EXPECT_EQ(AssignedName(mouse, Button(7)), L"Combo");
    EXPECT_EQ(Button(3).kind, kKindProfile);
    EXPECT_EQ(AssignedName(mouse, Button(3)), L"Work");
    EXPECT_EQ(Button(2).kind, 4);
    EXPECT_EQ(Button(1).kind, 1);
    EXPECT_EQ(MousePage()->Dropdown(6)->ShownText(), L"Single key: " + SingleKeyName(key));
    EXPECT_NE(MousePage()->Dropdown(7)->ShownText().find(L"Combo"), std::wstring::npos);
    EXPECT_NE(MousePage()->Dropdown(3)->ShownText().find(L"Work"), std::wstring::npos);
}

TEST_F(AssignPagesEngine, KeyboardKeysAppliedAndReadBack) {
    ASSERT_EQ(EngineCtl(L"plug keyboard"), 0);
    ASSERT_EQ(EngineCtl(L"set keyboard layout 3"), 0);   // German
    Open();
    Click(ctl::BUTTON_PRODSELECT_KEYBOARD);
    ASSERT_EQ(dlg->CurrentPageId(), kPageKeyboardKeys);
    EXPECT_EQ(KeysPage()->KeysPage(), L"KeyboardKeysISO.xml");
    CMacro* macro = keyboard->AddMacro(L"Combo");
    ASSERT_NE(macro, nullptr);
    macro->events = SomeEvents();
    ASSERT_NE(keyboard->CreateProfile(L"Work"), nullptr);
    KeysPage()->Refresh();

    // A single key typed into the popup, the keyboard in mode 2 meanwhile and back in 1 after.
    EngineCtl(L"log clear");
    popups.typeKeys = {{VK_F5, false}};
    AssignKey(L"BUTTON_KB_F1", kKindSingleKey);
    ASSERT_TRUE(popups.typer && popups.typer->found);
    const AssignmentRecord key = KeyRecord(L"BUTTON_KB_F1");
    ASSERT_EQ(key.kind, kKindSingleKey);
    EXPECT_EQ(SingleKeyName(key), popups.typer->shown.at(0));
    std::string log;
    EngineCtl(L"log", &log);
    const size_t to2 = log.find("IVtKeyboardMode.SetMode 2");
    ASSERT_NE(to2, std::string::npos) << log;
    EXPECT_NE(log.find("IVtKeyboardMode.SetMode 1", to2), std::string::npos) << log;

    // A macro played 3 times (256 refused first), a profile switch, a program.
    popups.macroChosen = L"Combo";
    popups.macroMode = 2;
    popups.counts = {{1, 256}, {1, 3}};
    AssignKey(L"BUTTON_KB_F2", kKindMacro);
    EXPECT_EQ(popups.Warnings(), std::vector<std::wstring>{L"RepeatCountWarningPopup.xml"});
    EXPECT_EQ(KeyRecord(L"BUTTON_KB_F2").payload[kMacroFlagOffset], 3);
    popups.profileChosen = L"Work";
    AssignKey(L"BUTTON_KB_F3", kKindProfile);
    const std::wstring program = L"C:\\windows\\system32\\notepad.exe";
    files.chosen = program;
    AssignKey(L"BUTTON_KB_F4", kKindLaunchProgram);
    for (const wchar_t* k : {L"BUTTON_KB_F1", L"BUTTON_KB_F2", L"BUTTON_KB_F3", L"BUTTON_KB_F4"})
        EXPECT_EQ(KeyItem(k)->Checked(), 1);
    Hover(L"BUTTON_KB_F2");
    vt::test::CaptureClient(dlg->Hwnd()).SaveBmp(vt::test::OutputPath(L"config_e2e_keyboard_keys.bmp"));

    std::string d;
    ASSERT_TRUE(ApplyUntil(kKeyboard, [](const std::string& k) {
        return HasRecord(k, 5, [](const std::string& p) { return p.rfind("3f00", 0) == 0; }) &&
               HasRecord(k, 8, [](const std::string& p) { return p.substr(32, 4) == "0203"; }) &&
               HasRecord(k, 3, [](const std::string& p) { return p.rfind("03000000", 0) == 0; }) &&
               HasRecord(k, 9, [](const std::string&) { return true; });
    }, &d)) << d;
    EXPECT_NE(d.find("notepad.exe"), std::string::npos) << d;

    // Opened afresh: the same assignments, marked, and shown on hover.
    Close();
    Open();
    Click(ctl::BUTTON_PRODSELECT_KEYBOARD);
    ASSERT_EQ(dlg->CurrentPageId(), kPageKeyboardKeys);
    EXPECT_TRUE(SameSingleKey(KeyRecord(L"BUTTON_KB_F1"), key));
    const AssignmentRecord m = KeyRecord(L"BUTTON_KB_F2");
    EXPECT_EQ(m.kind, kKindMacro);
    EXPECT_EQ(AssignedName(keyboard, m), L"Combo");
    EXPECT_EQ(MacroMode(m), 2);
    EXPECT_EQ(m.payload[kMacroFlagOffset], 3);
    EXPECT_EQ(KeyRecord(L"BUTTON_KB_F3").kind, kKindProfile);
    EXPECT_EQ(AssignedName(keyboard, KeyRecord(L"BUTTON_KB_F3")), L"Work");
    EXPECT_EQ(KeyRecord(L"BUTTON_KB_F4").kind, kKindLaunchProgram);
    for (const wchar_t* k : {L"BUTTON_KB_F1", L"BUTTON_KB_F2", L"BUTTON_KB_F3", L"BUTTON_KB_F4"})
        EXPECT_EQ(KeyItem(k)->Checked(), 1);
    EXPECT_EQ(KeyItem(L"BUTTON_KB_F5")->Checked(), 0);
    Hover(L"BUTTON_KB_F2");
    EXPECT_EQ(KeyWindowText(), L"Macro | Combo");
    Hover(L"BUTTON_KB_F4");
    EXPECT_EQ(KeyWindowText(), L"Launch program | notepad.exe");
    Hover(L"BUTTON_KB_F1");
    EXPECT_EQ(KeyWindowText(), L"Single key | " + SingleKeyName(key));
}
