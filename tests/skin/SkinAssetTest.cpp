// Lint of the shipped page files: every page parses, every control and colour name is in the
// vocabulary, every reference names an element of its page, and every named file exists. The page
// reader skips what does not resolve without a word, so authoring slips are caught here.
#include <windows.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <cstring>
#include <set>
#include <string>
#include "skin/Vocabulary.h"
#include "support/SkinFixtures.h"
#include "win/Strings.h"

using namespace vt::skin;
using vt::win::Utf8ToWide;

namespace {

bool Exists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Trimmed(const char* s) {
    std::string t = s;
    const size_t b = t.find_first_not_of(" \t\r\n"), e = t.find_last_not_of(" \t\r\n");
    return b == std::string::npos ? std::string() : t.substr(b, e - b + 1);
}

const std::set<std::string> kBitmapSlots = {"BACKGROUND", "MASK", "SBMN", "SBMO", "SBMD", "SBMDS", "SBMM", "BMPMASK",
                                            "VSBMP_TOP", "VSBMP_BOT", "VSBMP_AUP", "VSBMP_ADN", "VSBMP_SPN", "VSBMP_TMB", "MARK"};

struct PageLint {
    std::wstring image;
    std::string page;
    std::set<std::string> fonts, bitmapItems;
    std::vector<std::string> problems;
    // The controls' test pages carry unknown names on purpose, to show they build nothing.
    bool testPage = page.rfind("Controls", 0) == 0;

    void Problem(const std::string& what) { problems.push_back(page + ": " + what); }

    void CollectNames(pugi::xml_node n) {
        for (pugi::xml_node c : n.children()) {
            if (!std::strcmp(c.name(), "FONT")) fonts.insert(c.attribute("name").value());
            if (!std::strcmp(c.name(), "BITMAPITEM")) bitmapItems.insert(c.attribute("name").value());
            CollectNames(c);
        }
    }

    void Check(pugi::xml_node n, int depth) {
        for (pugi::xml_node e : n.children()) {
            if (e.type() != pugi::node_element) continue;
            const std::string name = e.name();
            if (kBitmapSlots.count(name)) {
                const std::string file = Trimmed(e.child_value());
                if (!file.empty() && !Exists(image + L"skins\\" + Utf8ToWide(file))) Problem("bitmap " + file + " missing");
            }
            for (pugi::xml_attribute a : e.attributes()) {
                const std::string an = a.name();
                const std::wstring value = Utf8ToWide(a.value());
                // A DPI stage tile names its own parts (frame, value boxes, texts) inside it.
                const bool tilePart = !std::strcmp(n.name(), "DPISTAGEWINDOW");
                // List columns are named by the column vocabulary, not the control one.
                const bool columnName = name == "LANGOVERRIDECOL" || name == "LISTCOLUMN";
                if (an == "name" && name != "KEYBOARDDEF" && !columnName && !tilePart && !testPage &&
                    FindControlIdByName(value) < 0)
                    Problem(name + " name " + a.value() + " is not a control name");
                if (an == "name" && columnName && !testPage && FindListColumnIdByName(value) < 0)
                    Problem(name + " column " + std::string(a.value()) + " unknown");
                if ((an == "fontsearch" || an == "fontreplace") && FindControlIdByName(value) < 0)
                    Problem(an + " " + a.value() + " unknown");
                if (an == "fontid" && name != "LANGOVERRIDE" && !fonts.count(a.value()))
                    Problem(name + " fontid " + a.value() + " names no FONT of the page");
                if (an == "windowid" && !bitmapItems.count(a.value()))
                    Problem(name + " windowid " + a.value() + " names no BITMAPITEM of the page");
                if (an.size() > 3 && an.compare(an.size() - 3, 3, "clr") == 0 && FindColorByName(value) == -1)
                    Problem(name + " " + an + " " + a.value() + " is not a colour name");
            }
            if (name == "FONT") {
                const std::string file = Trimmed(e.child_value());
                if (!file.empty() && !Exists(image + L"fonts\\" + Utf8ToWide(file))) Problem("font file " + file + " missing");
            }
            if (name == "LANG" && !Exists(image + L"lang\\" + Utf8ToWide(Trimmed(e.attribute("file").value()))))
                Problem(std::string("language file ") + e.attribute("file").value() + " missing");
            if (name == "KEYBOARDDEF") {
                for (const char* f : {"file", "kbddefaults"})
                    if (e.attribute(f) && !Exists(image + L"bin\\" + Utf8ToWide(e.attribute(f).value())))
                        Problem(std::string("binary file ") + e.attribute(f).value() + " missing");
            }
            Check(e, depth + 1);
        }
    }
};

} // namespace

// The shipped pages against the image, and every page against the tests' program folder (which
// holds the test pages and their bitmaps too).
class SkinAssets : public testing::TestWithParam<bool> {};

TEST_P(SkinAssets, EveryPageResolves) {
    BuildVocabularyTables();
    const std::wstring image = GetParam() ? vt::test::TestImageDir() : vt::test::ImageDir();
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((image + L"xml\\*.xml").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    int pages = 0;
    std::vector<std::string> problems;
    do {
        // Test pages that are broken on purpose (for the reader's failure answers) are not linted.
        if (std::wstring(fd.cFileName).find(L"Broken") != std::wstring::npos) continue;
        ++pages;
        PageLint lint{image, vt::win::WideToUtf8(fd.cFileName)};
        pugi::xml_document doc;
        pugi::xml_parse_result r = doc.load_file((image + L"xml\\" + fd.cFileName).c_str());
        if (!r) {
            problems.push_back(lint.page + ": not well-formed: " + r.description());
            continue;
        }
        pugi::xml_node root = doc.child("KEYBOARD");
        if (!root) root = doc.child("GUIPANEL");
        if (!root) root = doc.child("ITEMLIST");
        if (!root) {
            problems.push_back(lint.page + ": no KEYBOARD, GUIPANEL or ITEMLIST root");
            continue;
        }
        if (!std::strcmp(root.name(), "GUIPANEL") && lint.page != "SkinTestNoMask.xml" &&
            (!root.child("BACKGROUND") || !root.child("MASK")))
            lint.Problem("panel without BACKGROUND or MASK");
        lint.CollectNames(root);
        lint.Check(root, 0);
        problems.insert(problems.end(), lint.problems.begin(), lint.problems.end());
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    EXPECT_GT(pages, 0);
    for (const std::string& p : problems) ADD_FAILURE() << p;
}
INSTANTIATE_TEST_SUITE_P(ImageAndTestImage, SkinAssets, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "TestImage" : "Image"; });
