// Controls benchmark: the time to fill the extended list control and the macro display with 0, 10, 100
// and 1,000 rows, and to scroll through them row by row (each step painted), from the control gallery's
// page of the program folder image. Usage: controls_bench [repetitions]  (VT_IMAGE_DIR names the image).
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "skin/ExtListCtrl.h"
#include "skin/MacroDisplay.h"
#include "skin/PageReader.h"
#include "base/ProgramFolder.h"
#include "skin/Vocabulary.h"
#include "win/Strings.h"
#include "win/Window.h"

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
    }
    return w;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

MacroEvent Event(int i) {
    MacroEvent e{};
    e.type = i % 3 == 2 ? 2 : i % 3;
    int32_t a = i % 3 == 0 ? (0x1E | ('A' << 16)) : i % 3 == 1 ? 1 : 40;
    int32_t b = i % 3 == 0 ? 255 : i % 3 == 1 ? 255 : 40;
    std::memcpy(e.data, &a, 4);
    std::memcpy(e.data + 4, &b, 4);
    return e;
}

struct Figures {
    double fill = 0, scroll = 0;
};

Figures RunList(HWND host, int rows) {
    CGUIItems items;
    LoadSkinPage(items, L"ControlsGallery.xml", host);
    CGUIItem* item = FindItem(items, FindControlIdByName(L"LIST_PROFILELIST"));
    auto* list = item && item->m_kind == kKindXListCtrl ? static_cast<CXListCtrl*>(item) : nullptr;
    Figures f;
    if (!list) return f;
    Pump();
    double t0 = Now();
    for (int i = 0; i < rows; ++i) {
        list->InsertRow(i);
        list->SetItemTextByKey(i, kColProfileName, L"Profile name");
        list->SetItemTextByKey(i, kColProfileExe, L"program.exe");
        if (ListCell* c = list->Cell(i, kColAutoSwitch)) c->check = i & 1;
    }
    Pump();   // the page's fill returns to the message loop, which paints the list
    UpdateWindow(list->Hwnd());
    f.fill = Now() - t0;
    SendMessageW(*list, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    Pump();
    t0 = Now();
    for (int i = 0; i < rows; ++i) {
        SendMessageW(*list, WM_VSCROLL, SB_LINEDOWN, 0);
        UpdateWindow(list->Hwnd());
    }
    f.scroll = Now() - t0;
    DeleteAllItems(items);
    return f;
}

Figures RunMacro(HWND host, int rows) {
    CGUIItems items;
    LoadSkinPage(items, L"ControlsGallery.xml", host);
    CGUIItem* item = FindItem(items, FindControlIdByName(L"LIST_GLOBALMACROLIST"));
    auto* md = item && item->m_kind == kKindMacroDisplay ? static_cast<CMacroDisplayItem*>(item) : nullptr;
    Figures f;
    if (!md) return f;
    std::vector<MacroEvent> events;
    for (int i = 0; i < rows; ++i) events.push_back(Event(i));
    Pump();
    double t0 = Now();
    md->LoadEvents(&events);
    Pump();
    UpdateWindow(md->Hwnd());
    f.fill = Now() - t0;
    SendMessageW(*md, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    Pump();
    t0 = Now();
    for (int i = 0; i < rows; ++i) {
        SendMessageW(*md, WM_VSCROLL, SB_LINEDOWN, 0);
        UpdateWindow(md->Hwnd());
    }
    f.scroll = Now() - t0;
    DeleteAllItems(items);
    return f;
}

std::vector<int> RowCounts(int argc) {
    if (argc > 2) return {0, 100};
    return {0, 10, 100, 1000};
}

} // namespace

int main(int argc, char** argv) {
    const int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    const std::wstring folder = ImageFolder();
    vt::base::InitProgramFolder(folder.empty() ? nullptr : folder.c_str());
    BuildVocabularyTables();
    vt::win::Window::RegisterClass(L"VtControlsBench");
    vt::win::Window host;
    if (!host.Create(0, L"VtControlsBench", L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 820, 620, nullptr, 0)) return 1;
    std::printf("rows   list fill ms  list scroll ms  macro fill ms  macro scroll ms  (median of %d)\n", reps);
    for (int rows : RowCounts(argc)) {
        std::vector<double> lf, ls, mf, ms;
        for (int r = 0; r < reps; ++r) {
            Figures a = RunList(host, rows), b = RunMacro(host, rows);
            lf.push_back(a.fill);
            ls.push_back(a.scroll);
            mf.push_back(b.fill);
            ms.push_back(b.scroll);
        }
        std::printf("%5d  %11.2f  %14.2f  %13.2f  %15.2f\n", rows, Median(lf), Median(ls), Median(mf), Median(ms));
    }
    return 0;
}
