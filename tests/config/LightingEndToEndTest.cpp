// The lighting pages and popups end to end on the engine stand-in, driven from outside as a
// user's clicks and keys arrive: a zone colour picked in the palette and another palette closed
// without a choice, a zone turned off, activity lighting turned on, the activity stages edited
// (added, recoloured, removed, a bound moved), the lighting effects restored and changed; applied
// to the mouse, the keyboard and the headset, found in the engine's dump on each, and shown again
// after a restart of the program.
#include <gtest/gtest.h>
#include <windows.h>
#include <climits>
#include <string>
#include <vector>
#include "ConfigProgram.h"
#include "EngineCtl.h"
#include "WindowTest.h"
#include "skin/VocabularyIds.h"

namespace ctl = vt::skin::ctl;
using vt::test::Between;
using vt::test::ClickControl;
using vt::test::ConfigProgram;
using vt::test::PressControl;
using vt::test::PumpMessages;
using vt::test::PumpUntil;
using vt::test::RunEngineCtl;
using vt::test::ShownColour;

namespace {

constexpr UINT kApmStageClicked = WM_USER + 502;

std::string Dump() {
    std::string d;
    return RunEngineCtl(L"dump", &d) == 0 ? d : std::string();
}

// One device's part of the dump.
std::string DevicePart(const std::string& dump, const std::string& kind) {
    const size_t a = dump.find("{\"kind\":\"" + kind + "\"");
    if (a == std::string::npos) return {};
    const size_t b = dump.find("{\"kind\":", a + 1);
    return dump.substr(a, b == std::string::npos ? std::string::npos : b - a);
}

// The zones of the device's active profile (its first without one), each "{...}".
std::string ActiveZones(const std::string& device) {
    const std::string id = Between(device, "\"activeProfile\":\"", "\"");
    size_t at = device.find("{\"id\":\"" + id + "\"");
    if (at == std::string::npos) at = device.find("\"profiles\":[");
    return Between(device, "\"zones\":[", "}]", at) + "}";
}

// A zone of the model (main 3, side 10, base 9) as the engine numbers it (model index + 1).
std::string Zone(const std::string& zones, int modelZone) {
    return Between(zones, "{\"id\":" + std::to_string(modelZone + 1) + ",", "}");
}

COLORREF ZoneColour(const std::string& zone) {
    const std::string c = Between(zone + ",", "\"color\":", ",");
    return c.empty() ? CLR_INVALID : COLORREF(std::stoul(c));
}

// The activity entries: (number, colour) in the device's order.
std::vector<std::pair<int, COLORREF>> Entries(const std::string& device) {
    std::vector<std::pair<int, COLORREF>> out;
    const std::string list = Between(device, "\"entries\":[", "]");
    for (size_t at = list.find("\"number\":"); at != std::string::npos; at = list.find("\"number\":", at + 1)) {
        const std::string n = Between(list, "\"number\":", ",", at);
        const std::string c = Between(list, "\"color\":", "}", at);
        out.push_back({std::stoi(n), COLORREF(std::stoul(c))});
    }
    return out;
}

// The effect of an event key (1 to 16) as the device holds it: "blinks,colour,enabled".
std::string KeyEntry(const std::string& device, int key) {
    const std::string list = Between(device, "\"keyEntries\":[", "]]") + "]";
    size_t at = 0;
    for (int k = 1; k < key && at != std::string::npos; ++k) at = list.find("],[", at + 1);
    if (at == std::string::npos) return {};
    return Between(list, "[", "]", at);
}

bool Near(COLORREF a, COLORREF b) { return a != CLR_INVALID && b != CLR_INVALID && vt::test::SameColor(a, b, 4); }

// The colour palette the program has open now.
HWND OpenPalette(ConfigProgram& program, HWND window, int button) {
    HWND b = GetDlgItem(window, button);
    if (!b) return nullptr;
    PostMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(b, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    return program.Popup(0, 5000, L"VtColourPalette");
}

// Keys pressed in the palette, each shown before the next.
void PaletteKeys(HWND palette, std::initializer_list<WPARAM> keys) {
    for (WPARAM k : keys) {
        PostMessageW(palette, WM_KEYDOWN, k, 0);
        PumpMessages(30, 300);
    }
}

// Drags the activity slider's rightmost bound dx pixels, as a mouse drag arrives.
// Sends to a window of the program; true once the program has handled it (bounded). A step that
// changes what the next step finds (a stage added or removed) is sent, not posted, so the next step
// never runs ahead of the program.
bool Handled(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, msg, wParam, lParam, SMTO_NORMAL, 15000, &result) != 0;
}

// A button of a popup clicked, handled before this returns (for buttons that open no popup).
bool ClickHandled(HWND window, int id) {
    HWND c = GetDlgItem(window, id);
    return c && Handled(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(c));
}

bool DragLastBound(HWND popup, int dx) {
    // The slider sits in its track's window: looked for among all the popup's descendants.
    struct Find { HWND slider; } find{nullptr};
    EnumChildWindows(popup, [](HWND h, LPARAM p) -> BOOL {
        auto* f = reinterpret_cast<Find*>(p);
        if (GetDlgCtrlID(h) != ctl::SLIDER_APM_MULTI) return TRUE;
        f->slider = h;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&find));
    HWND slider = find.slider;
    if (!slider) return false;
    HWND last = nullptr;
    LONG lastX = LONG_MIN;
    for (HWND t = GetWindow(slider, GW_CHILD); t; t = GetWindow(t, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(t, &r);
        if (IsWindowVisible(t) && r.left > lastX) {
            lastX = r.left;
            last = t;
        }
    }
    if (!last) return false;
    return Handled(last, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3)) &&
           Handled(last, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3 + dx, 3)) &&
           Handled(last, WM_LBUTTONUP, 0, MAKELPARAM(3 + dx, 3));
}

// Waits until the program has painted the colour button (its white border shows).
bool Painted(HWND window, int colourButton) {
    return PumpUntil([&] {
        HWND c = GetDlgItem(window, colourButton);
        const vt::test::Capture shot = c ? vt::test::CaptureClient(c) : vt::test::Capture{};
        if (shot.width <= 2) return false;
        for (int x = 0; x < 2; ++x)
            if (vt::test::SameColor(shot.At(x, shot.height / 2), RGB(255, 255, 255), 16)) return true;
        return false;
    }, 5000);
}

void Shot(HWND window, const wchar_t* name) {
    PumpMessages(30, 300);
    vt::test::CaptureClient(window).SaveBmp(vt::test::OutputPath(name));
}

class LightingEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        // Servers started from here end soon after their last client.
        SetEnvironmentVariableW(L"VT_ENGINE_IDLE_SECONDS", L"20");
        ASSERT_EQ(RunEngineCtl(L"reset"), 0);
        ASSERT_EQ(RunEngineCtl(L"unplug all"), 0);
        ASSERT_EQ(RunEngineCtl(L"plug mouse"), 0);
        ASSERT_EQ(RunEngineCtl(L"plug keyboard"), 0);
        ASSERT_EQ(RunEngineCtl(L"plug headset"), 0);
    }
};

TEST_F(LightingEndToEnd, ZonesStagesAndEffectsReachEveryDeviceAndComeBack) {
    const std::string before = DevicePart(Dump(), "mouse");
    const COLORREF sideBefore = ZoneColour(Zone(ActiveZones(before), 10));
    ASSERT_NE(sideBefore, CLR_INVALID) << before.substr(0, 1500);
    COLORREF mainPicked = 0, stagePicked = 0, effectPicked = 0;
    {
        ConfigProgram program;
        ASSERT_TRUE(program.Start());
        HWND main = program.main;
        ASSERT_TRUE(PumpUntil([&] { return program.Shown(ctl::BUTTON_LIGHTINGMAINTENANCE); }, 20000));
        ASSERT_TRUE(ClickControl(main, ctl::BUTTON_LIGHTINGMAINTENANCE));
        ASSERT_TRUE(PumpUntil([&] { return program.Shown(ctl::BUTTON_DMMOUSE_LTMAIN_COLOR); }, 20000));
        // The page shows what the device holds once it has painted.
        EXPECT_TRUE(PumpUntil([&] { return Near(ShownColour(main, ctl::BUTTON_DMMOUSE_LTSIDE_COLOR), sideBefore); }, 5000))
            << std::hex << ShownColour(main, ctl::BUTTON_DMMOUSE_LTSIDE_COLOR) << " " << sideBefore;
        const COLORREF sideFace = ShownColour(main, ctl::BUTTON_DMMOUSE_LTSIDE_COLOR);

        // Main zone: a preview shows at once, the choice stays.
        HWND palette = OpenPalette(program, main, ctl::BUTTON_DMMOUSE_LTMAIN_COLOR);
        ASSERT_NE(palette, nullptr);
        const COLORREF mainBefore = ShownColour(main, ctl::BUTTON_DMMOUSE_LTMAIN_COLOR);
        PaletteKeys(palette, {VK_RIGHT});
        EXPECT_TRUE(PumpUntil([&] { return !Near(ShownColour(main, ctl::BUTTON_DMMOUSE_LTMAIN_COLOR), mainBefore); }, 3000));
        PaletteKeys(palette, {VK_DOWN, VK_RETURN});
        ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(palette); }, 3000));
        mainPicked = ShownColour(main, ctl::BUTTON_DMMOUSE_LTMAIN_COLOR);
        EXPECT_FALSE(Near(mainPicked, mainBefore));
        // Side zone: previewed, then the palette closes without a choice: the old colour is back.
        palette = OpenPalette(program, main, ctl::BUTTON_DMMOUSE_LTSIDE_COLOR);
        ASSERT_NE(palette, nullptr);
        PaletteKeys(palette, {VK_LEFT});
        EXPECT_TRUE(PumpUntil([&] { return !Near(ShownColour(main, ctl::BUTTON_DMMOUSE_LTSIDE_COLOR), sideFace); }, 3000));
        PaletteKeys(palette, {VK_ESCAPE});
        EXPECT_TRUE(PumpUntil([&] { return Near(ShownColour(main, ctl::BUTTON_DMMOUSE_LTSIDE_COLOR), sideFace); }, 3000));
        // Base zone off, main zone following activity.
        ASSERT_TRUE(ClickControl(main, ctl::BUTTON_DMMOUSE_LTBASE_OFF));
        ASSERT_TRUE(PressControl(main, ctl::BUTTON_DMMOUSE_LTMAIN_APM));
        Shot(main, L"lighting_e2e_mouse_page.bmp");

        // Activity stages: the first split in two, the second recoloured, the fourth (100-150)
        // removed (its range goes to the next), the last bound (350) moved down.
        ASSERT_TRUE(ClickControl(main, ctl::BUTTON_APM));
        HWND apm = program.Popup(ctl::BUTTON_APM_ADD_COLOR);
        ASSERT_NE(apm, nullptr);
        EXPECT_TRUE(Painted(apm, ctl::BUTTON_APM_CHOSEN_COLOR));
        Shot(apm, L"lighting_e2e_apm_popup.bmp");
        ASSERT_TRUE(ClickHandled(apm, ctl::BUTTON_APM_ADD_COLOR));
        ASSERT_TRUE(Handled(apm, kApmStageClicked, 1, ctl::SLIDER_APM_MULTI));
        palette = OpenPalette(program, apm, ctl::BUTTON_APM_CHOSEN_COLOR);
        ASSERT_NE(palette, nullptr);
        PaletteKeys(palette, {VK_DOWN, VK_DOWN, VK_RETURN});
        ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(palette); }, 3000));
        stagePicked = ShownColour(apm, ctl::BUTTON_APM_CHOSEN_COLOR);
        ASSERT_TRUE(Handled(apm, kApmStageClicked, 3, ctl::SLIDER_APM_MULTI));
        ASSERT_TRUE(ClickHandled(apm, ctl::BUTTON_APM_DEL_COLOR));
        ASSERT_TRUE(DragLastBound(apm, -40));
        Shot(apm, L"lighting_e2e_apm_popup_edited.bmp");
        ASSERT_TRUE(ClickControl(apm, ctl::BUTTON_POPUP_OK));
        ASSERT_TRUE(PumpUntil([&] { return !IsWindow(apm); }, 3000));

        // Lighting effects: restored to the defaults, then one more event on in a colour of its own.
        ASSERT_TRUE(ClickControl(main, ctl::BUTTON_LIGHTINGEFFECTS));
        HWND fx = program.Popup(ctl::BUTTON_ALERTSPOPUP_OK);
        ASSERT_NE(fx, nullptr);
        ASSERT_TRUE(ClickControl(fx, ctl::BUTTON_LIGHTINGEFFECTS_RESET));
        HWND confirm = program.Popup(ctl::BUTTON_POPUP_CANCEL);
        ASSERT_NE(confirm, nullptr);
        ASSERT_TRUE(ClickControl(confirm, ctl::BUTTON_POPUP_OK));
        ASSERT_TRUE(PumpUntil([&] { return !IsWindow(confirm); }, 3000));
        ASSERT_TRUE(PressControl(fx, ctl::BUTTON_LE_ENABLE_BUILDING));
        palette = OpenPalette(program, fx, ctl::BUTTON_LE_COLOR_BUILDING);
        ASSERT_NE(palette, nullptr);
        PaletteKeys(palette, {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RETURN});
        ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(palette); }, 3000));
        effectPicked = ShownColour(fx, ctl::BUTTON_LE_COLOR_BUILDING);
        Shot(fx, L"lighting_e2e_effects_popup.bmp");
        ASSERT_TRUE(ClickControl(fx, ctl::BUTTON_ALERTSPOPUP_OK));
        ASSERT_TRUE(PumpUntil([&] { return !IsWindow(fx); }, 3000));

        // Apply the mouse, then the keyboard (its stages and effects changed too).
        ASSERT_TRUE(PumpUntil([&] { return program.Enabled(ctl::BUTTON_APPLY); }, 3000));
        ASSERT_TRUE(ClickControl(main, ctl::BUTTON_APPLY));
        std::string mouse;
        EXPECT_TRUE(PumpUntil([&] {
            mouse = DevicePart(Dump(), "mouse");
            return Near(ZoneColour(Zone(ActiveZones(mouse), 3)), mainPicked);
        }, 30000)) << mouse.substr(0, 2000);
        ASSERT_TRUE(PumpUntil([&] { return !program.Enabled(ctl::BUTTON_APPLY); }, 30000));
        ASSERT_TRUE(ClickControl(main, ctl::BUTTON_PRODSELECT_KEYBOARD));
        ASSERT_TRUE(PumpUntil([&] { return program.Shown(ctl::BUTTON_LIGHTINGMAINTENANCE_KEYBOARD); }, 20000));
        // The keyboard's pages are built when first shown, which under load takes seconds: the
        // click waits in the queue meanwhile.
        ASSERT_TRUE(ClickControl(main, ctl::BUTTON_LIGHTINGMAINTENANCE_KEYBOARD));
        ASSERT_TRUE(PumpUntil([&] { return program.Shown(ctl::BUTTON_DMKBD_LTMAIN_COLOR); }, 20000));
        EXPECT_TRUE(Painted(main, ctl::BUTTON_DMKBD_LTMAIN_COLOR));
        Shot(main, L"lighting_e2e_keyboard_page.bmp");
        ASSERT_TRUE(PumpUntil([&] { return program.Enabled(ctl::BUTTON_APPLY); }, 3000));
        ASSERT_TRUE(ClickControl(main, ctl::BUTTON_APPLY));
        std::string keyboard;
        EXPECT_TRUE(PumpUntil([&] {
            const std::string dump = Dump();
            mouse = DevicePart(dump, "mouse");
            keyboard = DevicePart(dump, "keyboard");
            return !Entries(mouse).empty() && Entries(keyboard) == Entries(mouse);
        }, 30000)) << keyboard.substr(0, 3000);
        ASSERT_TRUE(PumpUntil([&] { return !program.Enabled(ctl::BUTTON_APPLY); }, 30000));
        // And the headset, whose stages and effects changed as well.
        ASSERT_TRUE(ClickControl(main, ctl::BUTTON_PRODSELECT_HEADSET));
        ASSERT_TRUE(PumpUntil([&] { return program.Shown(ctl::BUTTON_LIGHTINGMAINTENANCE_HEADSET); }, 20000));
        ASSERT_TRUE(ClickControl(main, ctl::BUTTON_LIGHTINGMAINTENANCE_HEADSET));
        ASSERT_TRUE(PumpUntil([&] { return program.Shown(ctl::BUTTON_DMHEADSET_LTMAIN_COLOR); }, 20000));
        EXPECT_TRUE(Painted(main, ctl::BUTTON_DMHEADSET_LTMAIN_COLOR));
        Shot(main, L"lighting_e2e_headset_page.bmp");
        ASSERT_TRUE(PumpUntil([&] { return program.Enabled(ctl::BUTTON_APPLY); }, 3000));
        ASSERT_TRUE(ClickControl(main, ctl::BUTTON_APPLY));
        std::string headset;
        EXPECT_TRUE(PumpUntil([&] {
            const std::string dump = Dump();
            mouse = DevicePart(dump, "mouse");
            keyboard = DevicePart(dump, "keyboard");
            headset = DevicePart(dump, "headset");
            return Entries(headset) == Entries(mouse) && KeyEntry(headset, 5) == KeyEntry(mouse, 5);
        }, 30000)) << headset.substr(0, 3000);
        ASSERT_TRUE(PumpUntil([&] { return !program.Enabled(ctl::BUTTON_APPLY); }, 30000));
        ASSERT_TRUE(ClickControl(main, ctl::BUTTON_CANCEL));
        EXPECT_TRUE(program.Ended(15000));

        // The zones of the mouse: main picked and following activity, side as before, base off.
        const std::string zones = ActiveZones(mouse);
        EXPECT_TRUE(Near(ZoneColour(Zone(zones, 3)), mainPicked)) << zones;
        EXPECT_NE(Zone(zones, 3).find("\"effect\":[4,"), std::string::npos) << zones;
        EXPECT_TRUE(Near(ZoneColour(Zone(zones, 10)), sideBefore)) << zones;
        EXPECT_NE(Zone(zones, 9).find("\"on\":false"), std::string::npos) << zones;
        // Eight stages keyed by their upper bounds: 25 (added), 50 (recoloured), 100, 200 (150
        // removed), 250, 300, the moved bound below 350, and the top.
        for (const std::string* device : {&mouse, &keyboard, &headset}) {
            const auto entries = Entries(*device);
            ASSERT_EQ(entries.size(), 8u) << *device;
            EXPECT_EQ(entries[0].first, 25);
            EXPECT_EQ(entries[1].first, 50);
            EXPECT_TRUE(Near(entries[1].second, stagePicked));
            EXPECT_EQ(entries[2].first, 100);
            EXPECT_EQ(entries[3].first, 200);
            EXPECT_LT(entries[6].first, 350);
            EXPECT_GT(entries[6].first, entries[5].first);
            // The effects: the defaults, and the building event on in its colour.
            EXPECT_EQ(KeyEntry(*device, 1), "2," + std::to_string(0xFF0000) + ",1");
            EXPECT_EQ(KeyEntry(*device, 3), "2," + std::to_string(0xC000C0) + ",1");
            const std::string building = KeyEntry(*device, 5);
            EXPECT_EQ(building.substr(0, 2), "0,") << building;
            EXPECT_EQ(building.substr(building.size() - 2), ",1") << building;
            EXPECT_TRUE(Near(COLORREF(std::stoul(Between(building + ",", "0,", ","))), effectPicked)) << building;
        }
    }

    // Reopened: the page, the stages and the effects show what the devices hold.
    ConfigProgram again;
    ASSERT_TRUE(again.Start());
    HWND main = again.main;
    ASSERT_TRUE(PumpUntil([&] { return again.Shown(ctl::BUTTON_LIGHTINGMAINTENANCE); }, 20000));
    ASSERT_TRUE(ClickControl(main, ctl::BUTTON_LIGHTINGMAINTENANCE));
    ASSERT_TRUE(PumpUntil([&] { return again.Shown(ctl::BUTTON_DMMOUSE_LTMAIN_COLOR); }, 20000));
    // (Each once the program has painted it.)
    EXPECT_TRUE(PumpUntil([&] { return Near(ShownColour(main, ctl::BUTTON_DMMOUSE_LTMAIN_COLOR), mainPicked); }, 5000))
        << std::hex << ShownColour(main, ctl::BUTTON_DMMOUSE_LTMAIN_COLOR) << " " << mainPicked;
    EXPECT_TRUE(PumpUntil([&] { return Near(ShownColour(main, ctl::BUTTON_DMMOUSE_LTSIDE_COLOR), sideBefore); }, 5000))
        << std::hex << ShownColour(main, ctl::BUTTON_DMMOUSE_LTSIDE_COLOR) << " " << sideBefore;
    Shot(main, L"lighting_e2e_mouse_page_reopened.bmp");
    ASSERT_TRUE(ClickControl(main, ctl::BUTTON_APM));
    HWND apm = again.Popup(ctl::BUTTON_APM_ADD_COLOR);
    ASSERT_NE(apm, nullptr);
    PostMessageW(apm, kApmStageClicked, 1, ctl::SLIDER_APM_MULTI);
    PumpMessages(30, 300);
    EXPECT_TRUE(PumpUntil([&] { return Near(ShownColour(apm, ctl::BUTTON_APM_CHOSEN_COLOR), stagePicked); }, 5000))
        << std::hex << ShownColour(apm, ctl::BUTTON_APM_CHOSEN_COLOR) << " " << stagePicked;
    Shot(apm, L"lighting_e2e_apm_popup_reopened.bmp");
    ASSERT_TRUE(ClickControl(apm, ctl::BUTTON_POPUP_CANCEL));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(apm); }, 3000));
    ASSERT_TRUE(ClickControl(main, ctl::BUTTON_LIGHTINGEFFECTS));
    HWND fx = again.Popup(ctl::BUTTON_ALERTSPOPUP_OK);
    ASSERT_NE(fx, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return Near(ShownColour(fx, ctl::BUTTON_LE_COLOR_BUILDING), effectPicked); }, 5000))
        << std::hex << ShownColour(fx, ctl::BUTTON_LE_COLOR_BUILDING) << " " << effectPicked;
    Shot(fx, L"lighting_e2e_effects_popup_reopened.bmp");
    ASSERT_TRUE(ClickControl(fx, ctl::BUTTON_ALERTSPOPUP_CANCEL));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(fx); }, 3000));
    ASSERT_TRUE(ClickControl(main, ctl::BUTTON_CANCEL));
    EXPECT_TRUE(again.Ended(15000));
}

} // namespace
