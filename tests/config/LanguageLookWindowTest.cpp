// The configuration program's windows in German look like the English ones but for their words:
// every control of the main window, of every page and of every popup file sits in the same place
// and draws with the same font (face, size and weight) in both languages; a popup's title is a text
// and its labels are texts of its language. Screenshots of those popups in both languages.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>
#include "PagesFixture.h"
#include "config/Items.h"
#include "config/pages/PageTable.h"
#include "config/popups/PagePopup.h"
#include "skin/LangTable.h"
#include "skin/TextItems.h"

using namespace vt::config;
using vt::test::PumpMessages;
using vt::test::PumpUntil;
namespace skin = vt::skin;

namespace {

// A popup of any page file, built as the program builds its popups.
class LookPopup : public CDmPagePopup {
public:
    using CDmPagePopup::CDmPagePopup;
};

// Where a control sits (in its window's client coordinates) and the font it draws with.
struct Look {
    RECT place;
    std::wstring font;   // "face height weight", or "none"
};

// The font as the screen realises it: the face it got (a face missing from the system would come
// back as its stand-in), its cell height and weight.
std::wstring FontOf(HWND control) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (!font) return L"none";
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    std::wostringstream s;
    s << face << L' ' << tm.tmHeight << L' ' << tm.tmWeight;
    return s.str();
}

// The look of every item that has a window, by "where:control id".
void AddLooks(std::map<std::wstring, Look>& looks, const std::wstring& where, skin::CGUIItems& items, HWND frame) {
    for (size_t i = 0; i < items.Count(); ++i) {
        skin::CGUIItem* item = items.At(i);
        HWND h = ItemWindow(item);
        if (!h) continue;
        Look look{};
        GetWindowRect(h, &look.place);
        MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&look.place), 2);
        look.font = FontOf(h);
        looks[where + L":" + std::to_wstring(item->m_controlId)] = look;
    }
}

bool HoldsText(const std::wstring& path, const char* text) {
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return false;
    std::string data;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof(buffer), f)) > 0;) data.append(buffer, n);
    fclose(f);
    return data.find(text) != std::string::npos;
}

// The program's popup files: the page files of the xml folder whose root is a popup panel.
std::vector<std::wstring> PopupFiles() {
    std::vector<std::wstring> files;
    const std::wstring folder = vt::test::ImageFolder() + L"xml\\";
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((folder + L"*.xml").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
        if (HoldsText(folder + fd.cFileName, "<GUIPANEL")) files.push_back(fd.cFileName);
    } while (FindNextFileW(find, &fd));
    FindClose(find);
    return files;
}

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

} // namespace

class LanguageLookWindow : public vt::test::PagesFixture {
protected:
    void SetUp() override {
        vt::test::WindowTest::SetUp();
        SetUpFolder();
        mouse->CreateProfile(L"PROFILE01");
        mouse->SetCurrentProfile(mouse->GetProfileAt(0));
        keyboard->CreateProfile(L"PROFILE01");
        keyboard->SetCurrentProfile(keyboard->GetProfileAt(0));
    }
    void TearDown() override {
        vt::test::PagesFixture::TearDown();
        ASSERT_TRUE(vt::test::UseLanguage(vt::test::kEnglish));
    }
    // The main window with every page built, and every popup file, in one language.
    std::map<std::wstring, Look> LooksIn(int language) {
        std::map<std::wstring, Look> looks;
        EXPECT_TRUE(vt::test::UseLanguage(language));
        vt::test::FakePageDevices devices(mouse, keyboard);
        OpenWindow(devices);
        EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(Control(ctl::BUTTON_PRODSELECT_MOUSE)) != FALSE; }, 10000));
        AddLooks(looks, L"MainPage.xml", dlg->Items(), dlg->Hwnd());
        for (const PageRow& row : PageTable()) {
            CDmPage* page = dlg->Page(row.id);
            EXPECT_NE(page, nullptr) << Narrow(row.file);
            if (page) AddLooks(looks, row.file, *page, dlg->Hwnd());
        }
        dlg.reset();
        for (const std::wstring& file : PopupFiles()) {
            LookPopup popup(nullptr, file.c_str());
            EXPECT_TRUE(popup.CreatePanel()) << Narrow(file);
            if (popup.Hwnd()) {
                AddLooks(looks, file, popup.Items(), popup.Hwnd());
                DestroyWindow(popup.Hwnd());
            }
        }
        return looks;
    }
};

// German changes the words only: no control moves or changes its font. (A language's font
// substitution naming a font a page does not define left every such control in the bold fallback
// face; a rectangle override written for another window moved the lighting page's restore button.)
TEST_F(LanguageLookWindow, EveryControlKeepsItsPlaceAndFontInGerman) {
    const std::map<std::wstring, Look> english = LooksIn(vt::test::kEnglish);
    const std::map<std::wstring, Look> german = LooksIn(vt::test::kGerman);
    ASSERT_GT(english.size(), 300u);
    int withFont = 0;
    for (const auto& [key, look] : english) {
        withFont += look.font != L"none";
        auto de = german.find(key);
        ASSERT_NE(de, german.end()) << Narrow(key);
        EXPECT_EQ(de->second.font, look.font) << Narrow(key);
        EXPECT_TRUE(EqualRect(&de->second.place, &look.place))
            << Narrow(key) << " at " << de->second.place.left << "," << de->second.place.top << " "
            << de->second.place.right - de->second.place.left << "x" << de->second.place.bottom - de->second.place.top
            << " instead of " << look.place.left << "," << look.place.top;
    }
    EXPECT_EQ(german.size(), english.size());
    EXPECT_GT(withFont, 200) << "the controls report the fonts of their pages";
    // The lighting page's buttons and headings, as a person reads them: the face the page file
    // names (installed from the program's fonts, not a stand-in), regular and bold, in both
    // languages. (The cell height is the renderer's rounding of the page's pitch.)
    auto faceAndWeight = [](const std::wstring& font) {
        const size_t last = font.rfind(L' '), height = font.rfind(L' ', last - 1);
        return font.substr(0, height) + font.substr(last);
    };
    const std::pair<int, const wchar_t*> pinned[] = {{ctl::BUTTON_DMMOUSE_LTMAIN_ON, L"Liberation Sans 400"},
                                                     {ctl::TEXT_HEADING_MAIN, L"Liberation Sans 700"}};
    for (const auto* looks : {&english, &german})
        for (const auto& [id, font] : pinned) {
            auto found = looks->find(L"Mouse_Lighting.xml:" + std::to_wstring(id));
            ASSERT_NE(found, looks->end()) << id;
            ASSERT_NE(found->second.font, L"none") << id;
            EXPECT_EQ(faceAndWeight(found->second.font), font) << id;
        }
}

// Each popup's title and labels are texts of the user's language drawn over the popup's bitmap
// (the bitmaps carry no words but the product name): where each sits, type is drawn, and other
// type in German than in English.
TEST_F(LanguageLookWindow, PopupTitlesAndLabelsAreDrawnInTheUsersLanguage) {
    struct TextCase {
        const wchar_t* file;
        int id;
        const wchar_t *english, *german;
    };
    const TextCase cases[] = {
        {L"DPIStagesPopup.xml", ctl::TEXT_WARNDLG_HEADING, L"SENSITIVITY STAGES", L"EMPFINDLICHKEITSSTUFEN"},
        {L"DPIStagesPopup.xml", ctl::TEXT_NUMSTAGES_LABEL, L"STAGES IN USE", L"AKTIVE STUFEN"},
        {L"DPIStagesPopup.xml", ctl::TEXT_SENSITIVITYSTAGE_HEADING, L"DPI OF THE SELECTED STAGE", L"DPI DER GEW\u00C4HLTEN STUFE"},
        {L"APMConfig.xml", ctl::TEXT_WARNDLG_HEADING, L"ACTIVITY LIGHTING", L"AKTIVIT\u00C4TSBELEUCHTUNG"},
        {L"LightingEffectsPopup.xml", ctl::TEXT_WARNDLG_HEADING, L"LIGHTING EFFECTS", L"LICHTEFFEKTE"},
        {L"AdvancedMacroPopup.xml", ctl::TEXT_WARNDLG_HEADING, L"PREDEFINED COMMANDS", L"VORDEFINIERTE BEFEHLE"},
        {L"SelectMacroPopup.xml", ctl::TEXT_MACRO_TAB_TITLE, L"ASSIGN MACRO", L"MAKRO ZUWEISEN"},
        {L"SelectMacroPopup.xml", ctl::TEXT_CURRENTASSIGNMENT, L"PLAYBACK", L"WIEDERGABE"},
        {L"PreviewPopup.xml", ctl::TEXT_WARNDLG_HEADING, L"PROFILE PREVIEW", L"PROFILVORSCHAU"},
        {L"PreviewPopup.xml", ctl::TEXT_ASSIGNBUTTONS_HEADING, L"BUTTONS", L"TASTEN"},
        {L"PreviewPopup.xml", ctl::TEXT_LIGHTINGHEADING, L"LIGHTING", L"BELEUCHTUNG"},
        {L"PreviewPopup.xml", ctl::TEXT_SENSITIVITYSTAGE_HEADING, L"SENSITIVITY STAGES", L"EMPFINDLICHKEITSSTUFEN"},
    };
    for (const TextCase& c : cases) {
        const std::string what = Narrow(c.file) + " " + std::to_string(c.id);
        std::vector<COLORREF> shown[2];
        for (int k = 0; k < 2; ++k) {
            const bool german = k == 1;
            ASSERT_TRUE(vt::test::UseLanguage(german ? vt::test::kGerman : vt::test::kEnglish));
            LookPopup popup(nullptr, c.file);
            ASSERT_TRUE(popup.CreatePanel()) << what;
            skin::CGUIItem* text = skin::FindItem(popup.Items(), c.id);
            ASSERT_NE(text, nullptr) << what;
            ASSERT_EQ(text->m_kind, skin::kKindTextItem) << what;
            EXPECT_EQ(GetItemText(text), german ? c.german : c.english) << what;
            ShowWindow(popup.Hwnd(), SW_SHOWNOACTIVATE);
            PumpMessages(30, 500);
            RECT place;
            GetWindowRect(ItemWindow(text), &place);
            MapWindowPoints(nullptr, popup.Hwnd(), reinterpret_cast<POINT*>(&place), 2);
            const vt::test::Capture shot = vt::test::CaptureClient(popup.Hwnd());
            std::wstring name = c.file;
            shot.SaveBmp(vt::test::OutputPath(L"config_popup_texts_" + name.substr(0, name.size() - 4) +
                                              (german ? L"_German.bmp" : L"_English.bmp")));
            // Type: pixels unlike the ground at the text's top left corner.
            const COLORREF ground = shot.At(place.left, place.top);
            int type = 0;
            for (LONG y = place.top; y < place.bottom && y < shot.height; ++y)
                for (LONG x = place.left; x < place.right && x < shot.width; ++x) {
                    shown[k].push_back(shot.At(x, y));
                    type += !vt::test::SameColor(shot.At(x, y), ground, 60);
                }
            EXPECT_GT(type, 20) << what << (german ? " German" : " English") << ": no type drawn";
            DestroyWindow(popup.Hwnd());
        }
        EXPECT_NE(shown[0], shown[1]) << what << ": the same type in both languages";
    }
}

// The pages' headings and section headings are texts of the user's language over the accent rule
// (the bitmaps carry no words): shown on their page, type is drawn where each sits, and other type
// in German than in English.
TEST_F(LanguageLookWindow, PageHeadingsAreDrawnInTheUsersLanguage) {
    struct HeadingCase {
        int pageId, id;
        const wchar_t *english, *german;
    };
    const HeadingCase cases[] = {
        {kPageMousePerformance, ctl::TEXT_MAINTENANCEHEADING, L"ADJUST PERFORMANCE", L"LEISTUNG ANPASSEN"},
        {kPageMousePerformance, ctl::TEXT_CURRENTDPI, L"SENSITIVITY", L"EMPFINDLICHKEIT"},
        {kPageMousePerformance, ctl::TEXT_ACCELERATION, L"ACCELERATION", L"BESCHLEUNIGUNG"},
        {kPageMousePerformance, ctl::TEXT_POLLINGRATE, L"POLLING RATE", L"ABFRAGERATE"},
        {kPageMouseButtons, ctl::TEXT_MAINTENANCEHEADING, L"ASSIGN BUTTONS", L"TASTEN ZUWEISEN"},
        {kPageMouseProfiles, ctl::TEXT_MAINTENANCEHEADING, L"MANAGE PROFILES", L"PROFILE VERWALTEN"},
        {kPageMouseMacros, ctl::TEXT_MAINTENANCEHEADING, L"MANAGE MACROS", L"MAKROS VERWALTEN"},
        {kPageMouseMacros, ctl::TEXT_MACROEVENTS, L"EVENTS", L"EREIGNISSE"},
        {kPageMouseMacros, ctl::TEXT_INSERTDEFAULT_DELAY_MS, L"DELAYS", L"PAUSEN"},
        {kPageMouseLighting, ctl::TEXT_MAINTENANCEHEADING, L"LIGHTING", L"BELEUCHTUNG"},
        {kPageKeyboardKeys, ctl::TEXT_MAINTENANCEHEADING, L"ASSIGN KEYS", L"TASTEN ZUWEISEN"},
        {kPageKeyboardMacros, ctl::TEXT_MACROEVENTS, L"EVENTS", L"EREIGNISSE"},
    };
    std::map<size_t, std::vector<COLORREF>> shown[2];
    for (int k = 0; k < 2; ++k) {
        const bool german = k == 1;
        ASSERT_TRUE(vt::test::UseLanguage(german ? vt::test::kGerman : vt::test::kEnglish));
        vt::test::FakePageDevices devices(mouse, keyboard);
        OpenWindow(devices);
        ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(Control(ctl::BUTTON_PRODSELECT_KEYBOARD)) != FALSE; }, 10000));
        for (size_t i = 0; i < std::size(cases); ++i) {
            const HeadingCase& c = cases[i];
            const std::string what = std::to_string(c.pageId) + " " + std::to_string(c.id);
            const PageRow* row = FindPageRow(c.pageId);
            ASSERT_NE(row, nullptr) << what;
            Click(row->device == kMouse ? ctl::BUTTON_PRODSELECT_MOUSE : ctl::BUTTON_PRODSELECT_KEYBOARD);
            Click(row->button);
            ASSERT_EQ(dlg->CurrentPageId(), c.pageId) << what;
            skin::CGUIItem* text = skin::FindItem(*dlg->Page(c.pageId), c.id);
            ASSERT_NE(text, nullptr) << what;
            ASSERT_EQ(text->m_kind, skin::kKindTextItem) << what;
            EXPECT_EQ(GetItemText(text), german ? c.german : c.english) << what;
            RECT place;
            GetWindowRect(ItemWindow(text), &place);
            MapWindowPoints(nullptr, dlg->Hwnd(), reinterpret_cast<POINT*>(&place), 2);
            const vt::test::Capture shot = vt::test::CaptureClient(dlg->Hwnd());
            if (c.id == ctl::TEXT_MAINTENANCEHEADING && c.pageId == kPageMousePerformance)
                shot.SaveBmp(vt::test::OutputPath(german ? L"config_page_headings_German.bmp" : L"config_page_headings_English.bmp"));
            const COLORREF ground = shot.At(place.left, place.top);
            int type = 0;
            for (LONG y = place.top; y < place.bottom && y < shot.height; ++y)
                for (LONG x = place.left; x < place.right && x < shot.width; ++x) {
                    shown[k][i].push_back(shot.At(x, y));
                    type += !vt::test::SameColor(shot.At(x, y), ground, 60);
                }
            EXPECT_GT(type, 20) << what << (german ? " German" : " English") << ": no type drawn";
        }
        dlg.reset();
    }
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_NE(shown[0][i], shown[1][i]) << cases[i].pageId << " " << cases[i].id << ": the same type in both languages";
}
