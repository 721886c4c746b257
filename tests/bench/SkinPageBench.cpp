// Skin page benchmark: for the largest page file of the program folder image, the time to read and
// build the page relative to pugixml's own parse of the same file, and the time to first paint of
// a popup built from it.  Usage: skin_bench [repetitions [page]]  (VT_IMAGE_DIR names the image
// folder; page picks another page file of its "xml\" folder than the largest).
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <pugixml.hpp>
#include "skin/BitmapItem.h"
#include "skin/ItemText.h"
#include "skin/SkinStore.h"
#include "skin/LangTable.h"
#include "skin/PageReader.h"
#include "skin/Panel.h"
#include "base/ProgramFolder.h"
#include "skin/Vocabulary.h"
#include "win/Strings.h"

using namespace vt::skin;

namespace {

double Now() {
    static LARGE_INTEGER freq = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(freq.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::wstring ImageFolder() {
    const char* v = std::getenv("VT_IMAGE_DIR");
    std::wstring w;
    if (v && *v) {
        w = vt::win::Utf8ToWide(v);
        if (w[0] == L'/') w = L"Z:" + w;
        for (auto& c : w) if (c == L'/') c = L'\\';
        if (w.back() != L'\\') w += L'\\';
    }
    return w;
}

// The reader's own work on a document without making any control: every element of every list has
// its name looked up and its common attributes, bitmaps (through the store) and colours read.
size_t ReadWithoutControls(const std::wstring& path) {
    pugi::xml_document doc;
    if (!doc.load_file(path.c_str())) return 0;
    pugi::xml_node root = doc.child("GUIPANEL");
    if (!root) return 0;
    CGUIItems none;
    size_t elements = 0;
    GetSkinBitmap(std::string_view(root.child_value("BACKGROUND")));
    GetSkinBitmap(std::string_view(root.child_value("MASK")));
    static const char* const slots[] = {"SBMN", "SBMO", "SBMD", "SBMDS", "SBMM"};
    for (pugi::xml_node list : root.children()) {
        for (pugi::xml_node e : list.children()) {
            if (e.type() != pugi::node_element) continue;
            ++elements;
            const int id = ReadItemName(e);
            ReadItemRect(e, id);
            ReadItemFont(e, id, none);
            for (const char* slot : slots) ReadItemBitmap(e, id, slot);
            COLORREF c = 0;
            ReadColorAttribute(e, "fontclr", c);
            std::wstring tip;
            ReadTooltip(e, tip);
            ReadCaseMode(e, id);
            ReadJustify(e);
            ReadMultiline(e, id);
            ReadIsCheckbox(e);
            ReadBitmapItemRef(e, "windowid", none);
            if (pugi::xml_attribute caption = e.attribute("caption")) MakeCaption(AttrText(e, "caption"), 0);
        }
    }
    return elements;
}

class BenchPopup : public CPopupBox {
public:
    explicit BenchPopup(const std::wstring& page) : CPopupBox(page, kPopupTemplateId, nullptr) {}
    double firstPaintDone = 0;
protected:
    bool OnPaint() override {
        bool r = CGUIPanel::OnPaint();
        if (firstPaintDone == 0) firstPaintDone = Now();
        return r;
    }
};

// Creates the popup, shows it and paints it with all its controls; milliseconds until painted.
double TimeFirstPaint(const std::wstring& page) {
    const double start = Now();
    BenchPopup popup(page);
    if (!popup.CreatePanel()) return -1;
    ShowWindow(popup, SW_SHOWNOACTIVATE);
    RedrawWindow(popup, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    const double end = Now();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    DestroyWindow(popup);
    return popup.firstPaintDone ? end - start : -1;
}

} // namespace

int main(int argc, char** argv) {
    const int reps = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    const std::wstring image = ImageFolder();
    if (image.empty() || !vt::base::InitProgramFolder(image.c_str())) {
        std::fprintf(stderr, "set VT_IMAGE_DIR to the program folder image\n");
        return 2;
    }
    BuildVocabularyTables();
    CGUIItems languages;
    languages.LoadSkinPage(L"Language.xml", nullptr);
    SelectCurrentLanguageTable();

    // The largest page file that builds a panel, and the largest popup page (name holds "Popup").
    std::wstring page, popupPage;
    long long pageSize = 0, popupSize = 0;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((image + L"xml\\*.xml").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const long long size = (static_cast<long long>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
            pugi::xml_document doc;
            if (!doc.load_file((image + L"xml\\" + fd.cFileName).c_str()) || !doc.child("GUIPANEL")) continue;
            if (size > pageSize) { pageSize = size; page = fd.cFileName; }
            if (std::wstring(fd.cFileName).find(L"Popup") != std::wstring::npos && size > popupSize) {
                popupSize = size;
                popupPage = fd.cFileName;
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    if (argc > 2) {
        page = vt::win::Utf8ToWide(argv[2]);
        pageSize = 0;
        WIN32_FILE_ATTRIBUTE_DATA info{};
        if (GetFileAttributesExW((image + L"xml\\" + page).c_str(), GetFileExInfoStandard, &info))
            pageSize = info.nFileSizeLow;
    }
    if (page.empty()) {
        std::fprintf(stderr, "no panel page in %ls\n", (image + L"xml").c_str());
        return 2;
    }
    const std::wstring path = image + L"xml\\" + page;

    RegisterSkinWindowClass();
    HWND parent = CreateWindowExW(0, kSkinWindowClass, L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);

    if (popupPage.empty()) popupPage = page;
    // Cold: the first popup of the run loads every bitmap and font through the skin store.
    const double coldPaint = TimeFirstPaint(popupPage);

    std::vector<double> parse, build, teardown, paint, dry;
    size_t itemCount = 0;
    for (int i = 0; i < reps; ++i) {
        double t0 = Now();
        pugi::xml_document doc;
        doc.load_file(path.c_str());
        parse.push_back(Now() - t0);

        t0 = Now();
        ReadWithoutControls(path);
        dry.push_back(Now() - t0);

        CGUIItems items;
        t0 = Now();
        items.LoadSkinPage(page.c_str(), parent);
        build.push_back(Now() - t0);
        itemCount = items.Count();
        t0 = Now();
        DeleteAllItems(items);
        teardown.push_back(Now() - t0);
    }
    std::vector<double> pagePaint;
    for (int i = 0; i < std::min(reps, 50); ++i) {
        paint.push_back(TimeFirstPaint(popupPage));
        pagePaint.push_back(TimeFirstPaint(page));
    }
    DestroyWindow(parent);

    const double p = Median(parse), b = Median(build);
    std::printf("page %ls: %lld bytes, %zu items, %d repetitions (medians)\n", page.c_str(), pageSize, itemCount, reps);
    std::printf("  pugixml parse of the file     %8.3f ms\n", p);
    std::printf("  read and build the page       %8.3f ms  (%.1fx the parse)\n", b, p > 0 ? b / p : 0.0);
    std::printf("  parse and read every element without making controls %6.3f ms  (%.1fx the parse)\n",
                Median(dry), p > 0 ? Median(dry) / p : 0.0);
    std::printf("  of which per item             %8.3f ms  (mostly making the control's window and cutting its bitmaps)\n",
                itemCount ? (b - p) / double(itemCount) : 0.0);
    std::printf("  destroy the page's items      %8.3f ms\n", Median(teardown));
    std::printf("popup %ls: %lld bytes\n", popupPage.c_str(), popupSize);
    std::printf("  first paint, cold             %8.3f ms  (first popup of the run: loads the skin)\n", coldPaint);
    std::printf("  first paint, warm             %8.3f ms\n", Median(paint));
    std::printf("%ls opened as a popup: first paint %8.3f ms\n", page.c_str(), Median(pagePaint));
    return 0;
}
