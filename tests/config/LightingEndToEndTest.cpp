// The lighting pages and popups end to end on the engine stand-in: zone colours picked through the
// palette (and a palette closed without a choice), a zone turned off, activity lighting turned
// on, the activity stages edited, the lighting effects changed after a restore; applied, found in
// the engine's dump on every device they belong to, and shown again after a restart.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "EndToEndHarness.h"

using namespace vt::test::e2e;

namespace {

constexpr UINT kPalettePicked = WM_USER + 220;
constexpr UINT kPaletteClosed = WM_USER + 221;
constexpr UINT kApmStageClicked = WM_USER + 502;

// A colour picked in the button's palette: the palette opens, previews pass (the model follows
// each), and the final pick (flag 0) or a close without a choice ends it.
void OpenPalette(HWND window, int id) {
    HWND b = GetDlgItem(window, id);
    PostMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(b, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    vt::test::PumpMessages(30, 300);
}
void Palette(HWND window, int id, UINT msg, COLORREF colour, LPARAM flag) {
    PostMessageW(GetDlgItem(window, id), msg, WPARAM(colour), flag);
    vt::test::PumpMessages(30, 300);
}

// The colour a control shows in its middle (the colour buttons paint their colour all over).
COLORREF FaceColour(HWND window, int id) {
    HWND c = GetDlgItem(window, id);
    RECT r{};
    GetClientRect(c, &r);
    HDC dc = GetDC(c);
    const COLORREF p = GetPixel(dc, r.right / 2, r.bottom / 2);
    ReleaseDC(c, dc);
    return p;
}

// The zone object of a device's first profile in the dump: {"id":zone,...}.
std::string Zone(const std::string& dump, const char* kind, int zone) {
    const size_t device = dump.find(std::string("\"kind\":\"") + kind + "\"");
    if (device == std::string::npos) return {};
    return Between(dump, "{\"id\":" + std::to_string(zone) + ",", "]}", device);
}

std::string Entries(const std::string& dump, const char* kind) {
    const size_t device = dump.find(std::string("\"kind\":\"") + kind + "\"");
    return device == std::string::npos ? std::string() : Between(dump, "\"entries\":[", "]", device);
}

// Drags the rightmost bound of the popup's activity slider dx pixels, as a mouse drag arrives.
bool DragLastBound(HWND popup, int dx) {
    struct Ctx { HWND slider; HWND last; int lastX; } c{nullptr, nullptr, -1};
    EnumChildWindows(popup, [](HWND h, LPARAM p) -> BOOL {
        auto* c = reinterpret_cast<Ctx*>(p);
        if (GetDlgCtrlID(h) == ctl::SLIDER_APM_MULTI && !c->slider) c->slider = h;
        return TRUE;
    }, reinterpret_cast<LPARAM>(&c));
    if (!c.slider) return false;
    for (HWND t = GetWindow(c.slider, GW_CHILD); t; t = GetWindow(t, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(t, &r);
        if (IsWindowVisible(t) && r.left > c.lastX) {
            c.lastX = r.left;
            c.last = t;
        }
    }
    if (!c.last) return false;
    PostMessageW(c.last, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(c.last, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3 + dx / 2, 3));
    PostMessageW(c.last, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3 + dx, 3));
    PostMessageW(c.last, WM_LBUTTONUP, 0, MAKELPARAM(3 + dx, 3));
    vt::test::PumpMessages(30, 400);
    return true;
}

void Save(HWND window, const wchar_t* name) {
    vt::test::PumpMessages(30, 300);
    vt::test::CaptureClient(window).SaveBmp(vt::test::OutputPath(name));
}

} // namespace

class LightingEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableW(L"VT_ENGINE_IDLE_SECONDS", L"20");
        ASSERT_EQ(EngineCtl(L"reset"), 0);
        ASSERT_EQ(EngineCtl(L"unplug all"), 0);
        ASSERT_EQ(EngineCtl(L"plug mouse"), 0);
        ASSERT_EQ(EngineCtl(L"plug keyboard"), 0);
    }
};

TEST_F(LightingEndToEnd, ZonesStagesAndEffectsReachEveryDeviceAndComeBack) {
    std::string before;
    ASSERT_EQ(EngineCtl(L"dump", &before), 0);
    const std::string sideBefore = Between(Zone(before, "mouse", 10), "\"color\":", ",");
    ASSERT_FALSE(sideBefore.empty()) << before.substr(0, 1500);
    {
        Program program;
        ASSERT_TRUE(program.Start());
        HWND main = program.main;
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(GetDlgItem(main, ctl::BUTTON_LIGHTINGMAINTENANCE)) != FALSE; }, 20000));
        ASSERT_TRUE(Click(main, ctl::BUTTON_LIGHTINGMAINTENANCE));
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(GetDlgItem(main, ctl::BUTTON_DMMOUSE_LTMAIN_COLOR)) != FALSE; }, 20000));

        // Main zone: a live preview shows at once, the final pick stays.
        OpenPalette(main, ctl::BUTTON_DMMOUSE_LTMAIN_COLOR);
        Palette(main, ctl::BUTTON_DMMOUSE_LTMAIN_COLOR, kPalettePicked, RGB(0, 0, 255), 100);
        EXPECT_EQ(FaceColour(main, ctl::BUTTON_DMMOUSE_LTMAIN_COLOR), RGB(0, 0, 255));
        Palette(main, ctl::BUTTON_DMMOUSE_LTMAIN_COLOR, kPalettePicked, RGB(0, 255, 0), 0);
        EXPECT_EQ(FaceColour(main, ctl::BUTTON_DMMOUSE_LTMAIN_COLOR), RGB(0, 255, 0));
        // Side zone: previewed, then the palette closes without a choice: the old colour is back.
        const COLORREF sideFace = FaceColour(main, ctl::BUTTON_DMMOUSE_LTSIDE_COLOR);
        OpenPalette(main, ctl::BUTTON_DMMOUSE_LTSIDE_COLOR);
        Palette(main, ctl::BUTTON_DMMOUSE_LTSIDE_COLOR, kPalettePicked, RGB(0x12, 0x34, 0x56), 100);
        Palette(main, ctl::BUTTON_DMMOUSE_LTSIDE_COLOR, kPaletteClosed, RGB(0x12, 0x34, 0x56), 0);
        EXPECT_EQ(FaceColour(main, ctl::BUTTON_DMMOUSE_LTSIDE_COLOR), sideFace);
        // Base zone off, main zone follows activity.
        ASSERT_TRUE(Click(main, ctl::BUTTON_DMMOUSE_LTBASE_OFF));
        ASSERT_TRUE(Click(main, ctl::BUTTON_DMMOUSE_LTMAIN_APM));
        Save(main, L"lighting_e2e_mouse_page.bmp");

        // Activity stages: add one (splitting the first), recolour one, remove another, move the
        // last bound.
        ASSERT_TRUE(Click(main, ctl::BUTTON_APM));
        HWND apm = program.Popup(ctl::BUTTON_APM_ADD_COLOR);
        ASSERT_NE(apm, nullptr);
        ASSERT_TRUE(Click(apm, ctl::BUTTON_APM_ADD_COLOR));          // 8 -> 9 stages: 0-25, 25-50...
        PostMessageW(apm, kApmStageClicked, 1, ctl::SLIDER_APM_MULTI);
        vt::test::PumpMessages(30, 300);
        OpenPalette(apm, ctl::BUTTON_APM_CHOSEN_COLOR);
        Palette(apm, ctl::BUTTON_APM_CHOSEN_COLOR, kPalettePicked, RGB(0xAB, 0xCD, 0xEF), 0);
        PostMessageW(apm, kApmStageClicked, 3, ctl::SLIDER_APM_MULTI);
        vt::test::PumpMessages(30, 300);
        ASSERT_TRUE(Click(apm, ctl::BUTTON_APM_DEL_COLOR));          // 100-150 goes: 9 -> 8 stages
        ASSERT_TRUE(DragLastBound(apm, -40));                         // 350 moves down
        Save(apm, L"lighting_e2e_apm_popup.bmp");
        ASSERT_TRUE(Click(apm, ctl::BUTTON_POPUP_OK));
        ASSERT_TRUE(PumpUntil([&] { return !IsWindow(apm); }, 3000));

        // Lighting effects: restored to the defaults, then one more event turned on.
        ASSERT_TRUE(Click(main, ctl::BUTTON_LIGHTINGEFFECTS));
        HWND fx = program.Popup(ctl::BUTTON_ALERTSPOPUP_OK);
        ASSERT_NE(fx, nullptr);
        Save(fx, L"lighting_e2e_effects_popup.bmp");
        ASSERT_TRUE(Click(fx, ctl::BUTTON_LIGHTINGEFFECTS_RESET));
        HWND confirm = program.Popup(ctl::BUTTON_POPUP_CANCEL);
        ASSERT_NE(confirm, nullptr);
        ASSERT_TRUE(Click(confirm, ctl::BUTTON_POPUP_OK));
        ASSERT_TRUE(PumpUntil([&] { return !IsWindow(confirm); }, 3000));
        ASSERT_TRUE(Click(fx, ctl::BUTTON_LE_ENABLE_BUILDING));
        OpenPalette(fx, ctl::BUTTON_LE_COLOR_BUILDING);
        Palette(fx, ctl::BUTTON_LE_COLOR_BUILDING, kPalettePicked, RGB(0x20, 0x40, 0x60), 0);
        Save(fx, L"lighting_e2e_effects_popup_edited.bmp");
        ASSERT_TRUE(Click(fx, ctl::BUTTON_ALERTSPOPUP_OK));
        ASSERT_TRUE(PumpUntil([&] { return !IsWindow(fx); }, 3000));

        // Apply the mouse, then the keyboard (its stages changed too, so it counts as changed).
        ASSERT_TRUE(PumpUntil([&] { return Enabled(main, ctl::BUTTON_APPLY); }, 3000));
        ASSERT_TRUE(Click(main, ctl::BUTTON_APPLY));
        std::string dump;
        EXPECT_TRUE(PumpUntil([&] {
            EngineCtl(L"dump", &dump);
            return Between(Zone(dump, "mouse", 3), "\"color\":", ",") == std::to_string(RGB(0, 255, 0));
        }, 30000)) << dump.substr(0, 2000);
        ASSERT_TRUE(PumpUntil([&] { return !Enabled(main, ctl::BUTTON_APPLY); }, 30000));
        ASSERT_TRUE(Click(main, ctl::BUTTON_PRODSELECT_KEYBOARD));
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(GetDlgItem(main, ctl::BUTTON_LIGHTINGMAINTENANCE_KEYBOARD)) != FALSE; }, 20000));
        EXPECT_TRUE(Enabled(main, ctl::BUTTON_APPLY));
        ASSERT_TRUE(Click(main, ctl::BUTTON_LIGHTINGMAINTENANCE_KEYBOARD));
        Save(main, L"lighting_e2e_keyboard_page.bmp");
        ASSERT_TRUE(Click(main, ctl::BUTTON_APPLY));
        EXPECT_TRUE(PumpUntil([&] {
            EngineCtl(L"dump", &dump);
            return Entries(dump, "keyboard") == Entries(dump, "mouse") && !Entries(dump, "mouse").empty();
        }, 30000)) << dump.substr(0, 3000);
        ASSERT_TRUE(PumpUntil([&] { return !Enabled(main, ctl::BUTTON_APPLY); }, 30000));

        const std::string entries = Entries(dump, "mouse");
        // Eight stages keyed by their high bounds: 25 (added), 50 (recoloured), 100, 200 (150
        // removed), 250, 300, the moved bound below 350, and the top of the scale.
        EXPECT_NE(entries.find("{\"number\":50,\"color\":" + std::to_string(RGB(0xAB, 0xCD, 0xEF)) + "}"), std::string::npos) << entries;
        EXPECT_NE(entries.find("{\"number\":25,"), std::string::npos) << entries;
        EXPECT_EQ(entries.find("\"number\":150,"), std::string::npos) << entries;
        EXPECT_EQ(entries.find("\"number\":350,"), std::string::npos) << entries;
        size_t count = 0;
        for (size_t at = entries.find("\"number\""); at != std::string::npos; at = entries.find("\"number\"", at + 1)) ++count;
        EXPECT_EQ(count, 8u) << entries;
        EXPECT_NE(Zone(dump, "mouse", 9).find("\"on\":false"), std::string::npos) << Zone(dump, "mouse", 9);
        EXPECT_EQ(Between(Zone(dump, "mouse", 10), "\"color\":", ","), sideBefore);
        ASSERT_TRUE(Click(main, ctl::BUTTON_CANCEL));
        EXPECT_TRUE(program.Exited(15000));
    }
    // Reopened: the page shows what the devices hold.
    Program again;
    ASSERT_TRUE(again.Start());
    HWND main = again.main;
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(GetDlgItem(main, ctl::BUTTON_LIGHTINGMAINTENANCE)) != FALSE; }, 20000));
    ASSERT_TRUE(Click(main, ctl::BUTTON_LIGHTINGMAINTENANCE));
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(GetDlgItem(main, ctl::BUTTON_DMMOUSE_LTMAIN_COLOR)) != FALSE; }, 20000));
    vt::test::PumpMessages(30, 300);
    EXPECT_EQ(FaceColour(main, ctl::BUTTON_DMMOUSE_LTMAIN_COLOR), RGB(0, 255, 0));
    Save(main, L"lighting_e2e_mouse_page_reopened.bmp");
    ASSERT_TRUE(Click(main, ctl::BUTTON_APM));
    HWND apm = again.Popup(ctl::BUTTON_APM_ADD_COLOR);
    ASSERT_NE(apm, nullptr);
    PostMessageW(apm, kApmStageClicked, 1, ctl::SLIDER_APM_MULTI);
    vt::test::PumpMessages(30, 300);
    EXPECT_EQ(FaceColour(apm, ctl::BUTTON_APM_CHOSEN_COLOR), RGB(0xAB, 0xCD, 0xEF));
    ASSERT_TRUE(Click(apm, ctl::BUTTON_POPUP_CANCEL));
    ASSERT_TRUE(Click(main, ctl::BUTTON_CANCEL));
    EXPECT_TRUE(again.Exited(15000));
}
