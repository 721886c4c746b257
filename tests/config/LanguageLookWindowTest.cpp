// The configuration program's windows in German look like the English ones but for their words:
// every control of the main window, of every page and of every popup file sits in the same place
// and draws with the same font (face, size and weight) in both languages; a popup's title is a text
// of its language, drawn in the title band. Screenshots of the popups with a title in both languages.
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

std::wstring FontOf(HWND control) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    if (!font || GetObjectW(font, sizeof(lf), &lf) != sizeof(lf)) return L"none";
    std::wostringstream s;
    s << lf.lfFaceName << L' ' << lf.lfHeight << L' ' << lf.lfWeight;
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
    // The lighting pages' buttons, as a person reads them: the page's regular face in both languages.
    for (const auto* looks : {&english, &german}) {
        auto on = looks->find(std::wstring(L"Mouse_Lighting.xml:") + std::to_wstring(ctl::BUTTON_DMMOUSE_LTMAIN_ON));
        ASSERT_NE(on, looks->end());
        EXPECT_EQ(on->second.font, L"Liberation Sans 13 0");   // no weight asked: the face's own
    }
}
