#include "profile/ApmList.h"
#include "win/Strings.h"
#include <algorithm>

CAPM* CAPMList::FindAPM(uint32_t high) const {
    for (CAPM* e : *this)
        if (e->high == high) return e;
    return nullptr;
}

bool CAPMList::AddAPM(int32_t colour, int32_t low, uint32_t high) {
    if (FindAPM(high)) return false;
    auto at = std::find_if(begin(), end(), [high](const CAPM* e) { return e->high > high; });
    insert(at, new CAPM(colour, low, high));
    return true;
}

bool CAPMList::RemoveAPMAt(uint32_t position) {
    if (position >= size()) return false;
    CAPM* e = (*this)[position];
    erase(begin() + position);
    delete e;
    return true;
}

void CAPMList::ClearAPMList() {
    while (!empty()) {
        delete back();
        pop_back();
    }
}

CVtApp* CVtAppList::FindApp(const wchar_t* path) const {
    if (!path) return nullptr;
    for (CVtApp* a : *this)
        if (vt::win::EqualsNoCase(a->path, path)) return a;
    return nullptr;
}

CVtApp* CVtAppList::AddApp(const wchar_t* path) {
    if (!path || FindApp(path)) return nullptr;
    auto* app = new CVtApp(path);
    push_back(app);
    return app;
}

void CVtAppList::RemoveApp(CVtApp* app) {
    if (!app) return;
    auto it = std::find(begin(), end(), app);
    if (it == end()) return;
    erase(it);
    delete app;
}

void CVtAppList::ClearAppList() {
    while (!empty()) {
        delete back();
        pop_back();
    }
}
