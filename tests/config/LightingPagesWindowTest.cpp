// The lighting pages in the main window on fake devices, and the activity-lighting and lighting
// effects popups as real windows: the page files hold the controls the code looks for and show no
// raw language key; the pages show the zones of the model and write the clicks into it; the
// palette's previews show at once and a palette closed without a choice puts the colour back (also
// when the close follows a preview at once); the popups edit their stages and effects and keep
// them only on OK. Screenshots of the three pages and both popups in English and German.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>
#include "HeadsetFakes.h"
#include "PagesFixture.h"
#include "config/Items.h"
#include "config/pages/PageTable.h"
#include "config/popups/ApmPopup.h"
#include "config/popups/LightingEffectsPopup.h"
#include "skin/BitmapBtn.h"
#include "skin/ColourButton.h"
#include "skin/DropDownList.h"
#include "skin/Messages.h"
#include "skin/TextItems.h"

using namespace vt::config;
using vt::test::PumpMessages;
using vt::test::PumpUntil;
namespace skin = vt::skin;

namespace {

// Mouse and keyboard as fake device objects, the headset as a recording one; all three present.
class LightingDevices : public vt::test::FakePageDevices {
public:
    LightingDevices(IMouseConfig*& mouse, IKeyboardConfig*& keyboard, IAudioConfig*& headset)
        : FakePageDevices(mouse, keyboard), m_headset(headset) {}
    vt::test::RecordingHeadset recording;
    bool Read(int d) override {
        if (d == kHeadset) return m_headset->GetProfileCount() > 0;
        return FakePageDevices::Read(d);
    }
    bool Recreate(int) override { return true; }
    ::IAudioDevice* HeadsetDevice() override { return &recording; }

private:
    IAudioConfig*& m_headset;
};

// One page: its device, its buttons and its zones' controls (main, side, base).
struct PageCase {
    const wchar_t* name;
    int device, tab, pageButton, pageId;
    int colour[3], on[3], off[3], apm[3];
};

const PageCase kPages[] = {
    {L"mouse", kMouse, ctl::BUTTON_PRODSELECT_MOUSE, ctl::BUTTON_LIGHTINGMAINTENANCE, kPageMouseLighting,
     {ctl::BUTTON_DMMOUSE_LTMAIN_COLOR, ctl::BUTTON_DMMOUSE_LTSIDE_COLOR, ctl::BUTTON_DMMOUSE_LTBASE_COLOR},
     {ctl::BUTTON_DMMOUSE_LTMAIN_ON, ctl::BUTTON_DMMOUSE_LTSIDE_ON, ctl::BUTTON_DMMOUSE_LTBASE_ON},
     {ctl::BUTTON_DMMOUSE_LTMAIN_OFF, ctl::BUTTON_DMMOUSE_LTSIDE_OFF, ctl::BUTTON_DMMOUSE_LTBASE_OFF},
     {ctl::BUTTON_DMMOUSE_LTMAIN_APM, ctl::BUTTON_DMMOUSE_LTSIDE_APM, ctl::BUTTON_DMMOUSE_LTBASE_APM}},
    {L"keyboard", kKeyboard, ctl::BUTTON_PRODSELECT_KEYBOARD, ctl::BUTTON_LIGHTINGMAINTENANCE_KEYBOARD, kPageKeyboardLighting,
     {ctl::BUTTON_DMKBD_LTMAIN_COLOR, ctl::BUTTON_DMKBD_LTSIDE_COLOR, ctl::BUTTON_DMKBD_LTBASE_COLOR},
     {ctl::BUTTON_DMKBD_LTMAIN_ON, ctl::BUTTON_DMKBD_LTSIDE_ON, ctl::BUTTON_DMKBD_LTBASE_ON},
     {ctl::BUTTON_DMKBD_LTMAIN_OFF, ctl::BUTTON_DMKBD_LTSIDE_OFF, ctl::BUTTON_DMKBD_LTBASE_OFF},
     {ctl::BUTTON_DMKBD_LTMAIN_APM, ctl::BUTTON_DMKBD_LTSIDE_APM, ctl::BUTTON_DMKBD_LTBASE_APM}},
    {L"headset", kHeadset, ctl::BUTTON_PRODSELECT_HEADSET, ctl::BUTTON_LIGHTINGMAINTENANCE_HEADSET, kPageHeadsetLighting,
     {ctl::BUTTON_DMHEADSET_LTMAIN_COLOR, ctl::BUTTON_DMHEADSET_LTSIDE_COLOR, ctl::BUTTON_DMHEADSET_LTBASE_COLOR},
     {ctl::BUTTON_DMHEADSET_LTMAIN_ON, ctl::BUTTON_DMHEADSET_LTSIDE_ON, ctl::BUTTON_DMHEADSET_LTBASE_ON},
     {ctl::BUTTON_DMHEADSET_LTMAIN_OFF, ctl::BUTTON_DMHEADSET_LTSIDE_OFF, ctl::BUTTON_DMHEADSET_LTBASE_OFF},
     {ctl::BUTTON_DMHEADSET_LTMAIN_APM, ctl::BUTTON_DMHEADSET_LTSIDE_APM, ctl::BUTTON_DMHEADSET_LTBASE_APM}},
};

constexpr int kZones[3] = {3, 10, 9};   // main, side, base
// What every device's current profile holds before a test: main on, side off, base on and
// following activity; a colour of its own per zone.
constexpr COLORREF kColours[3] = {RGB(200, 30, 30), RGB(30, 200, 30), RGB(30, 30, 200)};

// The colour a control shows in its middle, as the screen has it.
COLORREF Face(HWND control) {
    vt::test::PumpMessages(20, 300);
    const vt::test::Capture c = vt::test::CaptureClient(control);
    return c.width > 0 ? c.At(c.width / 2, c.height / 2) : CLR_INVALID;
}

// Pixels of the window's client area within r (client coordinates) that are close to colour.
int PixelsLike(HWND window, const RECT& r, COLORREF colour) {
    const vt::test::Capture c = vt::test::CaptureClient(window);
    int n = 0;
    for (int y = std::max(0L, r.top); y < std::min(LONG(c.height), r.bottom); ++y)
        for (int x = std::max(0L, r.left); x < std::min(LONG(c.width), r.right); ++x)
            n += vt::test::SameColor(c.At(x, y), colour, 40);
    return n;
}

bool Checked(HWND button) {
    auto* b = button ? dynamic_cast<skin::CBitmapBtn*>(vt::win::Window::FromHandle(button)) : nullptr;
    return b && IsChecked(b);
}

// Every text a person sees in the items: captions of buttons, texts of text items.
std::vector<std::wstring> ShownTexts(skin::CGUIItems& items) {
    std::vector<std::wstring> out;
    for (size_t i = 0; i < items.Count(); ++i) {
        skin::CGUIItem* item = items.At(i);
        if (auto* b = dynamic_cast<skin::CBitmapBtn*>(item)) out.push_back(b->m_caption);
        else if (item && item->m_kind == skin::kKindTextItem) out.push_back(GetItemText(item));
    }
    return out;
}

// A text still holding a language key ("$Key", also after leading spaces).
bool HoldsKey(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L' ');
    return first != std::wstring::npos && (text[first] == L'$' || text[first] == L'#') && text.size() > first + 1;
}

} // namespace

class LightingPagesWindow : public vt::test::PagesFixture {
protected:
    void SetUp() override {
        vt::test::WindowTest::SetUp();
        SetUpFolder();
        for (const wchar_t* n : {L"PROFILE01", L"Work"}) mouse->CreateProfile(n);
        mouse->SetCurrentProfile(mouse->GetProfileAt(0));
        keyboard->CreateProfile(L"PROFILE01");
        keyboard->SetCurrentProfile(keyboard->GetProfileAt(0));
        vt::test::FillPresets(headsetConfig, {L"Preset01", L"Custom"});
        for (int i = 0; i < 3; ++i) {
            mouse->SetLightColor(kZones[i], int32_t(kColours[i]), nullptr);
            keyboard->SetLightColor(kZones[i], int32_t(kColours[i]), nullptr);
            for (int32_t p = 0; p < headset->GetProfileCount(); ++p)
                headset->SetLightColor(kZones[i], int32_t(kColours[i]), headset->GetProfileAt(uint32_t(p)));
        }
        mouse->SetLightOn(10, 0, nullptr);
        keyboard->SetLightOn(10, 0, nullptr);
        headset->SetLightOn(10, 0, nullptr);
        for (int i = 0; i < 3; ++i) {
            mouse->SetLightFlag(kZones[i], i == 2, nullptr);
            keyboard->SetLightFlag(kZones[i], i == 2, nullptr);
            headset->SetLightFlag(kZones[i], i == 2, nullptr);
        }
    }
    void TearDown() override {
        vt::test::PagesFixture::TearDown();
        ASSERT_TRUE(vt::test::UseLanguage(vt::test::kEnglish));
    }
    void Open(int language = vt::test::kEnglish) {
        ASSERT_TRUE(vt::test::UseLanguage(language));
        OpenWindow(devices);
        ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(Control(ctl::BUTTON_PRODSELECT_HEADSET)) != FALSE; }, 10000));
        PumpMessages(30, 500);
    }
    void ShowPage(const PageCase& p) {
        Click(p.tab);
        ASSERT_EQ(dlg->CurrentDevice(), p.device);
        Click(p.pageButton);
        ASSERT_EQ(dlg->CurrentPageId(), p.pageId);
        PumpMessages(30, 400);
    }
    template <class F>
    auto OnConfig(int device, F f) {
        if (device == kMouse) return f(mouse);
        if (device == kKeyboard) return f(keyboard);
        return f(headset);
    }
    int32_t LightOn(int device, int zone) { return OnConfig(device, [&](auto* c) { return int32_t(c->GetLightOn(zone, nullptr)); }); }
    int32_t LightFlag(int device, int zone) { return OnConfig(device, [&](auto* c) { return int32_t(c->GetLightFlag(zone, nullptr)); }); }
    COLORREF LightColour(int device, int zone) {
        return OnConfig(device, [&](auto* c) { return COLORREF(c->GetLightColor(zone, nullptr)); });
    }
    skin::CDropdownColorButton* ColourButton(int id) {
        return dynamic_cast<skin::CDropdownColorButton*>(vt::win::Window::FromHandle(Control(id)));
    }
    // The colour button's palette, opened as a click opens it.
    HWND OpenPalette(skin::CDropdownColorButton* button) {
        SendMessageW(button->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(button->Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        PumpMessages(20, 300);
        return button->Palette() ? button->Palette()->Hwnd() : nullptr;
    }

    // A control of a modeless popup, clicked by its id (the popup's windows carry their ids).
    static void ClickIn(HWND popup, int id) {
        HWND c = GetDlgItem(popup, id);
        ASSERT_NE(c, nullptr) << "no control " << id;
        SendMessageW(popup, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(c));
        PumpMessages(20, 300);
    }
    // A button pressed as the mouse does (a check box toggles itself, then reports).
    static void PressIn(HWND button) {
        ASSERT_NE(button, nullptr);
        SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        PumpMessages(20, 300);
    }

    LightingDevices devices{mouse, keyboard, headset};
};

TEST_F(LightingPagesWindow, PageAndPopupFilesHoldTheirControlsAndNoRawKeys) {
    Open();
    const int B = skin::kKindBitmapBtn, C = skin::kKindDropdownColor, D = skin::kKindDropdownList, T = skin::kKindTextItem;
    struct File { const wchar_t* file; bool popup; std::vector<std::pair<int, int>> needs; };
    std::vector<File> files;
    for (const PageCase& p : kPages) {
        File f{nullptr, false, {}};
        for (int i = 0; i < 3; ++i)
            for (auto [id, kind] : std::initializer_list<std::pair<int, int>>{{p.colour[i], C}, {p.on[i], B}, {p.off[i], B}, {p.apm[i], B}})
                f.needs.push_back({id, kind});
        files.push_back(f);
    }
    files[0].file = L"Mouse_Lighting.xml";
    files[0].needs.push_back({ctl::BUTTON_DROPDOWN_PROFILESELECT, D});
    files[0].needs.push_back({ctl::BUTTON_RESET, B});
    files[1].file = L"Keyboard_Lighting.xml";
    files[1].needs.push_back({ctl::BUTTON_KEYBOARD_DROPDOWN_PROFILESELECT, D});
    files[1].needs.push_back({ctl::BUTTON_RESET_KEYBOARD, B});
    files[2].file = L"Headset_Lighting.xml";
    files[2].needs.push_back({ctl::BUTTON_RESET_HEADSET, B});
    files.push_back({L"APMConfig.xml", true, {{ctl::BUTTON_APM_ADD_COLOR, B}, {ctl::BUTTON_APM_DEL_COLOR, B},
        {ctl::BUTTON_APM_CHOSEN_COLOR, C}, {ctl::SLIDER_APM_MULTI, skin::kKindAPMSlider}, {ctl::BITMAP_APM_BACKGROUND, skin::kKindBitmapItem},
        {ctl::BITMAP_APM_LOWER_LIMIT, skin::kKindBitmapItem}, {ctl::BITMAP_APM_UPPER_LIMIT, skin::kKindBitmapItem},
        {ctl::TEXT_APM_LOWER_LIMIT_VALUE, T}, {ctl::TEXT_APM_UPPER_LIMIT_VALUE, T}, {ctl::BUTTON_APM_RESTORE, B},
        {ctl::BUTTON_POPUP_OK, B}, {ctl::BUTTON_POPUP_CANCEL, B}}});
    File effects{L"LightingEffectsPopup.xml", true, {{ctl::BUTTON_LIGHTINGEFFECTS_RESET, B}, {ctl::BUTTON_ALERTSPOPUP_OK, B},
        {ctl::BUTTON_ALERTSPOPUP_CANCEL, B}, {ctl::TEXT_LIGHTING_BLINKING, T}, {ctl::TEXT_LIGHTING_COLOR, T}}};
    for (const EffectKey& k : EffectKeys())
        for (auto [id, kind] : std::initializer_list<std::pair<int, int>>{{k.blinkId, D}, {k.colourId, C}, {k.enableId, B}})
            effects.needs.push_back({id, kind});
    files.push_back(effects);
    for (const wchar_t* w : {L"RestorePopup.xml", L"RestoreAllPopup.xml", L"APMMaxNumReachedPopup.xml", L"APMMinNumReachedPopup.xml"})
        files.push_back({w, true, {{ctl::TEXT_WARNDLG_HEADING, T}, {ctl::TEXT_WARNDLG_MESSAGE, T}, {ctl::BUTTON_POPUP_OK, B}}});

    for (int language : {vt::test::kEnglish, vt::test::kGerman}) {
        ASSERT_TRUE(vt::test::UseLanguage(language));
        for (const File& f : files) {
            std::unique_ptr<CDmPagePopup> popup;
            skin::CGUIItems page;
            skin::CGUIItems* items = &page;
            if (f.popup) {
                popup = std::make_unique<CDmPagePopup>(dlg->Hwnd(), f.file);
                ASSERT_TRUE(popup->CreatePanel()) << f.file;
                items = &popup->Items();
            } else {
                ASSERT_TRUE(page.LoadSkinPage(f.file, dlg->Hwnd())) << f.file;
            }
            for (auto [id, kind] : f.needs) {
                skin::CGUIItem* item = skin::FindItem(*items, id);
                ASSERT_NE(item, nullptr) << f.file << " lacks " << id;
                EXPECT_EQ(item->m_kind, kind) << f.file << " " << id;
            }
            for (const std::wstring& t : ShownTexts(*items)) EXPECT_FALSE(HoldsKey(t)) << f.file << ": " << t.c_str();
            if (popup) DestroyWindow(popup->Hwnd());
            skin::DeleteAllItems(page);
        }
    }
}

TEST_F(LightingPagesWindow, EachPageShowsItsZonesAndWritesTheClicks) {
    Open();
    for (const PageCase& p : kPages) {
        SCOPED_TRACE(p.name);
        ShowPage(p);
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(vt::test::SameColor(Face(Control(p.colour[i])), kColours[i])) << i;
            EXPECT_EQ(Checked(Control(p.on[i])), i != 1) << i;
            EXPECT_EQ(Checked(Control(p.off[i])), i == 1) << i;
            EXPECT_EQ(Checked(Control(p.apm[i])), i == 2) << i;
        }
        vt::test::CaptureClient(dlg->Hwnd()).SaveBmp(vt::test::OutputPath(std::wstring(L"config_lighting_") + p.name + L".bmp"));

        // Main off, side on (twice: it stays on), base no longer following activity.
        Click(p.off[0]);
        EXPECT_EQ(LightOn(p.device, 3), 0);
        EXPECT_FALSE(Checked(Control(p.on[0])));
        EXPECT_TRUE(Checked(Control(p.off[0])));
        for (int twice = 0; twice < 2; ++twice) {
            Press(p.on[1]);
            EXPECT_EQ(LightOn(p.device, 10), 1);
            EXPECT_TRUE(Checked(Control(p.on[1])));
            EXPECT_FALSE(Checked(Control(p.off[1])));
        }
        Press(p.apm[2]);
        EXPECT_EQ(LightFlag(p.device, 9), 0);
        EXPECT_FALSE(Checked(Control(p.apm[2])));
        Press(p.apm[0]);
        EXPECT_EQ(LightFlag(p.device, 3), 1);
        // The activity text beside its box is the language's, not the key.
        auto* apm = dynamic_cast<skin::CBitmapBtn*>(vt::win::Window::FromHandle(Control(p.apm[0])));
        ASSERT_NE(apm, nullptr);
        EXPECT_NE(apm->m_caption.find(L"Follow activity"), std::wstring::npos) << apm->m_caption.c_str();
    }
}

// Restore asks first (Cancel changes nothing), then puts the default zones back and the page
// shows them; the headset's restore makes its first profile the current one.
TEST_F(LightingPagesWindow, RestoreAsksAndPutsTheDefaultZonesBack) {
    const int resets[3] = {ctl::BUTTON_RESET, ctl::BUTTON_RESET_KEYBOARD, ctl::BUTTON_RESET_HEADSET};
    headset->SetCurrentProfile(headset->GetProfileAt(1));
    headset->SetLightOn(10, 0, nullptr);
    Open();
    for (int k = 0; k < 3; ++k) {
        const PageCase& p = kPages[k];
        SCOPED_TRACE(p.name);
        ShowPage(p);
        popups.warningAnswer = 2;
        Click(resets[k]);
        ASSERT_FALSE(popups.Warnings().empty());
        EXPECT_EQ(popups.Warnings().back(), L"RestoreAllPopup.xml");
        if (p.device == kMouse) EXPECT_NE(popups.Last()->message.find(L": PROFILE01"), std::wstring::npos);
        EXPECT_EQ(LightOn(p.device, 10), 0);
        EXPECT_EQ(LightColour(p.device, 3), kColours[0]);

        popups.warningAnswer = 1;
        Click(resets[k]);
        PumpMessages(30, 300);
        if (p.device == kHeadset) EXPECT_EQ(headset->GetCurrentProfile(), headset->GetProfileAt(0));
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(LightOn(p.device, kZones[i]), 1) << i;
            EXPECT_EQ(LightColour(p.device, kZones[i]), COLORREF(0xFF0000)) << i;
            EXPECT_TRUE(Checked(Control(p.on[i]))) << i;
            EXPECT_FALSE(Checked(Control(p.off[i]))) << i;
            EXPECT_EQ(Checked(Control(p.apm[i])), LightFlag(p.device, kZones[i]) != 0) << i;
            EXPECT_TRUE(vt::test::SameColor(Face(Control(p.colour[i])), RGB(0, 0, 255))) << i;
        }
    }
}

// The palette: previews reach the zone and the model at once, a choice stays, a close without a
// choice puts the colour back in the model and on the button, also when the close comes right
// after a preview (the preview is still on its way to the page then).
TEST_F(LightingPagesWindow, PalettePreviewsShowAtOnceAndACloseWithoutAChoicePutsTheColourBack) {
    Open();
    ShowPage(kPages[0]);
    skin::CDropdownColorButton* button = ColourButton(ctl::BUTTON_DMMOUSE_LTMAIN_COLOR);
    ASSERT_NE(button, nullptr);
    const COLORREF before = LightColour(kMouse, 3);

    HWND palette = OpenPalette(button);
    ASSERT_NE(palette, nullptr);
    PostMessageW(palette, WM_KEYDOWN, VK_RIGHT, 0);
    PumpMessages(30, 400);
    const COLORREF preview = button->Palette()->Control()->m_current;
    ASSERT_NE(preview, before);
    EXPECT_EQ(LightColour(kMouse, 3), preview);
    EXPECT_TRUE(vt::test::SameColor(Face(button->Hwnd()), preview));
    PostMessageW(palette, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpMessages(30, 400);
    EXPECT_EQ(LightColour(kMouse, 3), before);
    EXPECT_TRUE(vt::test::SameColor(Face(button->Hwnd()), before));

    // Escape right after the preview, before the page has seen the preview.
    palette = OpenPalette(button);
    ASSERT_NE(palette, nullptr);
    PostMessageW(palette, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(palette, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpMessages(30, 500);
    EXPECT_EQ(LightColour(kMouse, 3), before);
    EXPECT_TRUE(vt::test::SameColor(Face(button->Hwnd()), before));
    EXPECT_EQ(LightColour(kMouse, 10), kColours[1]);
    EXPECT_FALSE(IsWindowEnabled(Control(ctl::BUTTON_APPLY))) << "nothing to apply after previews only";

    // A choice stays, in the current profile only.
    palette = OpenPalette(button);
    ASSERT_NE(palette, nullptr);
    PostMessageW(palette, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageW(palette, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageW(palette, WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(30, 500);
    const COLORREF chosen = LightColour(kMouse, 3);
    EXPECT_NE(chosen, before);
    EXPECT_TRUE(vt::test::SameColor(Face(button->Hwnd()), chosen));
    EXPECT_EQ(COLORREF(mouse->GetLightColor(3, mouse->GetProfileAt(1))), COLORREF(0xFF0000));
    EXPECT_TRUE(IsWindowEnabled(Control(ctl::BUTTON_APPLY)));

    // On the headset a choice reaches every profile.
    ShowPage(kPages[2]);
    button = ColourButton(ctl::BUTTON_DMHEADSET_LTSIDE_COLOR);
    ASSERT_NE(button, nullptr);
    palette = OpenPalette(button);
    ASSERT_NE(palette, nullptr);
    PostMessageW(palette, WM_KEYDOWN, VK_LEFT, 0);
    PostMessageW(palette, WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(30, 500);
    const COLORREF side = COLORREF(headset->GetLightColor(10, headset->GetProfileAt(0)));
    EXPECT_NE(side, kColours[1]);
    EXPECT_EQ(COLORREF(headset->GetLightColor(10, headset->GetProfileAt(1))), side);
}

TEST_F(LightingPagesWindow, ApmPopupShowsTheSelectedStageAndEditsTheStages) {
    Open();
    ApmStagesRules rules(DefaultApmStages());
    CDmApmPopup popup(dlg->Hwnd(), rules, popups);
    ASSERT_TRUE(popup.CreatePanel());
    ShowWindow(popup.Hwnd(), SW_SHOW);
    PumpMessages(30, 500);
    skin::CGUIItem* lower = skin::FindItem(popup.Items(), ctl::TEXT_APM_LOWER_LIMIT_VALUE);
    skin::CGUIItem* upper = skin::FindItem(popup.Items(), ctl::TEXT_APM_UPPER_LIMIT_VALUE);
    auto* colour = dynamic_cast<skin::CDropdownColorButton*>(skin::FindItem(popup.Items(), ctl::BUTTON_APM_CHOSEN_COLOR));
    ASSERT_NE(lower, nullptr);
    ASSERT_NE(upper, nullptr);
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(GetItemText(lower), L"0");
    EXPECT_EQ(GetItemText(upper), L"49");
    // Both values show on the screen (white digits in their boxes).
    for (skin::CGUIItem* label : {lower, upper}) {
        RECT r{};
        GetWindowRect(ItemWindow(label), &r);
        MapWindowPoints(nullptr, popup.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_GT(PixelsLike(popup.Hwnd(), r, RGB(255, 255, 255)), 10) << GetItemText(label).c_str();
    }
    vt::test::CaptureClient(popup.Hwnd()).SaveBmp(vt::test::OutputPath(L"config_lighting_apm_popup.bmp"));

    // A click on the second stage: its range and colour.
    PostMessageW(popup.Hwnd(), skin::WM_APM_STAGE_CLICKED, 1, ctl::SLIDER_APM_MULTI);
    PumpMessages(20, 300);
    EXPECT_EQ(GetItemText(lower), L"50");
    EXPECT_EQ(GetItemText(upper), L"99");
    EXPECT_EQ(colour->GetColor(), DefaultApmStages()[1].colour);

    // Recoloured through the palette; a close without a choice keeps the colour.
    HWND palette = nullptr;
    SendMessageW(colour->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(colour->Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpMessages(20, 300);
    palette = colour->Palette() ? colour->Palette()->Hwnd() : nullptr;
    ASSERT_NE(palette, nullptr);
    PostMessageW(palette, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageW(palette, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpMessages(30, 500);
    EXPECT_EQ(rules.Stages()[1].colour, DefaultApmStages()[1].colour);
    EXPECT_EQ(colour->GetColor(), DefaultApmStages()[1].colour);
    SendMessageW(colour->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(colour->Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpMessages(20, 300);
    palette = colour->Palette() ? colour->Palette()->Hwnd() : nullptr;
    ASSERT_NE(palette, nullptr);
    PostMessageW(palette, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageW(palette, WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(30, 500);
    const COLORREF recoloured = colour->GetColor();
    EXPECT_NE(recoloured, DefaultApmStages()[1].colour);
    EXPECT_EQ(rules.Stages()[1].colour, recoloured);

    // Up to ten stages, then the warning; down to two, then the other warning.
    for (int n = 9; n <= 10; ++n) {
        ClickIn(popup.Hwnd(), ctl::BUTTON_APM_ADD_COLOR);
        EXPECT_EQ(rules.Stages().size(), size_t(n));
    }
    EXPECT_TRUE(popups.Warnings().empty());
    ClickIn(popup.Hwnd(), ctl::BUTTON_APM_ADD_COLOR);
    EXPECT_EQ(rules.Stages().size(), 10u);
    EXPECT_EQ(popups.Warnings(), std::vector<std::wstring>{L"APMMaxNumReachedPopup.xml"});
    vt::test::CaptureClient(popup.Hwnd()).SaveBmp(vt::test::OutputPath(L"config_lighting_apm_popup_ten.bmp"));
    while (rules.Stages().size() > 2) ClickIn(popup.Hwnd(), ctl::BUTTON_APM_DEL_COLOR);
    ClickIn(popup.Hwnd(), ctl::BUTTON_APM_DEL_COLOR);
    EXPECT_EQ(rules.Stages().size(), 2u);
    EXPECT_EQ(popups.Warnings().back(), L"APMMinNumReachedPopup.xml");
    EXPECT_EQ(rules.Stages().front().lower, 0);
    EXPECT_EQ(rules.Stages().back().upper, kApmRangeMax);

    // Restore after its confirmation; OK ends the popup with the stages.
    popups.warningAnswer = 1;
    ClickIn(popup.Hwnd(), ctl::BUTTON_APM_RESTORE);
    EXPECT_EQ(popups.Warnings().back(), L"RestorePopup.xml");
    EXPECT_EQ(rules.Stages().size(), 8u);
    EXPECT_EQ(GetItemText(upper), L"49");
    ClickIn(popup.Hwnd(), ctl::BUTTON_POPUP_OK);
    EXPECT_EQ(popup.Result(), 1);
}

TEST_F(LightingPagesWindow, EffectsPopupShowsTheEventsAndKeepsItsEditsOnlyOnOk) {
    Open();
    EffectRecords records;
    records[1] = EffectRecord({3, RGB(10, 20, 250), true});
    CompleteEffects(records);
    const EffectRecords given = records;
    CDmLightingEffectsPopup popup(dlg->Hwnd(), records, popups);
    ASSERT_TRUE(popup.CreatePanel());
    ShowWindow(popup.Hwnd(), SW_SHOW);
    PumpMessages(30, 500);
    auto item = [&](int id) { return skin::FindItem(popup.Items(), id); };
    const EffectKey& yourBase = EffectKeys()[0];
    const EffectKey& building = EffectKeys()[4];
    auto* blinks = dynamic_cast<skin::CDropdownListItem*>(item(yourBase.blinkId));
    auto* colour = dynamic_cast<skin::CDropdownColorButton*>(item(yourBase.colourId));
    auto* enable = dynamic_cast<skin::CBitmapBtn*>(item(yourBase.enableId));
    ASSERT_NE(blinks, nullptr);
    ASSERT_NE(colour, nullptr);
    ASSERT_NE(enable, nullptr);
    EXPECT_EQ(blinks->GetSelectedIndex(), 3);
    EXPECT_EQ(blinks->m_entries.size(), 6u);
    EXPECT_TRUE(vt::test::SameColor(Face(colour->Hwnd()), RGB(10, 20, 250)));
    EXPECT_TRUE(IsChecked(enable));
    EXPECT_NE(enable->m_caption.find(L"Your base under attack"), std::wstring::npos) << enable->m_caption.c_str();
    // The check box's picture ends where the button does: no black strip beside the text.
    RECT r{};
    GetWindowRect(enable->Hwnd(), &r);
    MapWindowPoints(nullptr, popup.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_LT(PixelsLike(popup.Hwnd(), r, RGB(0, 0, 0)), 20);
    vt::test::CaptureClient(popup.Hwnd()).SaveBmp(vt::test::OutputPath(L"config_lighting_effects_popup.bmp"));

    // A palette closed without a choice leaves the colour as it was.
    SendMessageW(colour->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(colour->Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpMessages(20, 300);
    HWND palette = colour->Palette() ? colour->Palette()->Hwnd() : nullptr;
    ASSERT_NE(palette, nullptr);
    PostMessageW(palette, WM_KEYDOWN, VK_RIGHT, 0);
    PumpMessages(30, 300);
    PostMessageW(palette, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpMessages(30, 500);
    EXPECT_EQ(colour->GetColor(), RGB(10, 20, 250));

    // Restore after its confirmation puts the defaults into the controls, not yet the records.
    popups.warningAnswer = 1;
    ClickIn(popup.Hwnd(), ctl::BUTTON_LIGHTINGEFFECTS_RESET);
    EXPECT_EQ(popups.Warnings(), std::vector<std::wstring>{L"RestorePopup.xml"});
    EXPECT_EQ(blinks->GetSelectedIndex(), DefaultEffect(1).blinks);
    EXPECT_EQ(colour->GetColor(), DefaultEffect(1).colour);
    EXPECT_EQ(records.size(), given.size());
    EXPECT_EQ(EffectOf(records[1]).blinks, 3);

    // One more event switched on; OK keeps everything shown.
    PressIn(ItemWindow(item(building.enableId)));
    EXPECT_TRUE(IsChecked(dynamic_cast<skin::CBitmapBtn*>(item(building.enableId))));
    ClickIn(popup.Hwnd(), ctl::BUTTON_ALERTSPOPUP_OK);
    EXPECT_EQ(popup.Result(), 1);
    EXPECT_EQ(EffectOf(records[1]).blinks, DefaultEffect(1).blinks);
    EXPECT_EQ(EffectOf(records[1]).colour, DefaultEffect(1).colour);
    EXPECT_TRUE(EffectOf(records[building.key]).enabled);
    EXPECT_EQ(records[building.key].kind, kKindLightingEffect);
}

// The pages and popups in German: every text fits its place (looked at in the screenshots) and
// none is a language key.
TEST_F(LightingPagesWindow, GermanPagesAndPopups) {
    Open(vt::test::kGerman);
    for (const PageCase& p : kPages) {
        ShowPage(p);
        auto* apm = dynamic_cast<skin::CBitmapBtn*>(vt::win::Window::FromHandle(Control(p.apm[0])));
        ASSERT_NE(apm, nullptr);
        EXPECT_NE(apm->m_caption.find(L"Aktivität folgen"), std::wstring::npos);
        vt::test::CaptureClient(dlg->Hwnd()).SaveBmp(vt::test::OutputPath(std::wstring(L"config_lighting_") + p.name + L"_German.bmp"));
    }
    {
        ApmStagesRules rules(DefaultApmStages());
        CDmApmPopup popup(dlg->Hwnd(), rules, popups);
        ASSERT_TRUE(popup.CreatePanel());
        ShowWindow(popup.Hwnd(), SW_SHOW);
        PumpMessages(30, 500);
        for (const std::wstring& t : ShownTexts(popup.Items())) EXPECT_FALSE(HoldsKey(t)) << t.c_str();
        vt::test::CaptureClient(popup.Hwnd()).SaveBmp(vt::test::OutputPath(L"config_lighting_apm_popup_German.bmp"));
        DestroyWindow(popup.Hwnd());
    }
    EffectRecords records;
    CDmLightingEffectsPopup popup(dlg->Hwnd(), records, popups);
    ASSERT_TRUE(popup.CreatePanel());
    ShowWindow(popup.Hwnd(), SW_SHOW);
    PumpMessages(30, 500);
    for (const std::wstring& t : ShownTexts(popup.Items())) EXPECT_FALSE(HoldsKey(t)) << t.c_str();
    auto* enable = dynamic_cast<skin::CBitmapBtn*>(skin::FindItem(popup.Items(), EffectKeys()[0].enableId));
    ASSERT_NE(enable, nullptr);
    EXPECT_NE(enable->m_caption.find(L"Eigene Basis angegriffen"), std::wstring::npos);
    vt::test::CaptureClient(popup.Hwnd()).SaveBmp(vt::test::OutputPath(L"config_lighting_effects_popup_German.bmp"));
    DestroyWindow(popup.Hwnd());
}
