#include "skin/SkinStore.h"
#include "skin/UnusableFiles.h"
#include "base/ProgramFolder.h"
#include "win/Strings.h"
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace vt::skin {

namespace {

class Store {
public:
    ~Store() { Release(); }
    void Release() {
        while (!entries.empty()) {
            SkinResource* e = entries.back();
            entries.pop_back();
            FreeSkinResourceData(*e);
            e->type = -1;
            delete e;
        }
        entries.shrink_to_fit();
    }
    std::vector<SkinResource*> entries;
};

Store& TheStore() {
    static Store store;
    return store;
}

const wchar_t* FolderOf(int type) {
    switch (type) {
    case kSkinFont: return L"fonts\\";
    case kSkinLanguage: return L"lang\\";
    case kSkinBinary: return L"bin\\";
    default: return L"skins\\";
    }
}

bool IsPlainFileName(std::wstring_view name) {
    if (name.empty()) return false;
    if (name.find_first_of(L"\\/:") != std::wstring_view::npos) return false;
    if (name.find(L"..") != std::wstring_view::npos) return false;
    return true;
}

template <class Ch>
std::basic_string_view<Ch> Trim(std::basic_string_view<Ch> s) {
    auto blank = [](Ch c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// Reads a whole file into a zero-filled heap buffer of its size (a zero wide character follows it).
void LoadWholeFile(SkinResource& e) {
    FILE* f = _wfopen(e.path.c_str(), L"rb");
    if (!f) return;
    long long size = GetSkinFileSize(e.path.c_str());
    if (size > 0 && size < 0x10000000) {
        auto* buf = new BYTE[size_t(size) + 2]();
        size_t n = fread(buf, 1, size_t(size), f);
        if (n > 0) {
            e.data = buf;
            e.size = int(n);
        } else {
            delete[] buf;
        }
    }
    fclose(f);
}

void LoadSkinResource(SkinResource& e) {
    if (!IsPlainFileName(e.name)) return;
    switch (e.type) {
    case kSkinPicture: {
        auto bmp = std::make_unique<CBitmap>();
        if (LoadPictureFile(e.path.c_str(), *bmp)) {
            e.data = bmp.release();
            e.size = 8;
        }
        break;
    }
    case kSkinImage:
        e.data = LoadImageW(nullptr, e.path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
        e.size = int(GetSkinFileSize(e.path.c_str()));
        break;
    case kSkinFont: {
        int added = AddFontResourceExW(e.path.c_str(), FR_PRIVATE, nullptr);
        if (added > 0) e.data = new int(added);
        e.size = int(GetSkinFileSize(e.path.c_str()));
        break;
    }
    case kSkinLanguage:
    case kSkinBinary:
        LoadWholeFile(e);
        break;
    default:
        break;
    }
}

} // namespace

SkinResource* FindSkinResource(std::wstring_view name, int type) {
    Store& store = TheStore();
    for (SkinResource* e : store.entries)
        if (e->type == type && vt::win::EqualsNoCase(e->name, name)) return e;
    auto* e = new SkinResource;
    e->name.assign(name);
    e->path = vt::base::ProgramFolder() + FolderOf(type) + e->name;
    e->type = type;
    LoadSkinResource(*e);
    // A bitmap that is named but cannot be used is worth telling the user about.
    if (!e->data && (type == kSkinPicture || type == kSkinImage)) ReportUnusableFile(FolderOf(type) + e->name);
    store.entries.push_back(e);
    return e;
}

int FindSkinResourceSize(std::wstring_view name, int type) {
    for (SkinResource* e : TheStore().entries)
        if (e->type == type && vt::win::EqualsNoCase(e->name, name)) return e->size;
    return 0;
}

CBitmap* GetSkinBitmap(std::wstring_view name) {
    name = Trim(name);
    if (name.empty()) return nullptr;
    return static_cast<CBitmap*>(FindSkinResource(name, kSkinPicture)->data);
}

CBitmap* GetSkinBitmap(std::string_view utf8Name) {
    return GetSkinBitmap(std::wstring_view(vt::win::Utf8ToWide(Trim(utf8Name))));
}

HBITMAP GetSkinImage(std::string_view utf8Name) {
    std::wstring name = vt::win::Utf8ToWide(Trim(utf8Name));
    if (name.empty()) return nullptr;
    return static_cast<HBITMAP>(FindSkinResource(name, kSkinImage)->data);
}

const BYTE* GetSkinLanguageData(std::string_view utf8Name, int* size) {
    if (size) *size = 0;
    std::wstring name = vt::win::Utf8ToWide(Trim(utf8Name));
    if (name.empty()) return nullptr;
    SkinResource* e = FindSkinResource(name, kSkinLanguage);
    if (size && e->data) *size = e->size;
    return static_cast<const BYTE*>(e->data);
}

const BYTE* GetSkinBinaryData(std::wstring_view name, int* size) {
    if (size) *size = 0;
    if (name.empty()) return nullptr;
    SkinResource* e = FindSkinResource(name, kSkinBinary);
    if (size && e->data) *size = e->size;
    return static_cast<const BYTE*>(e->data);
}

void FreeSkinResourceData(SkinResource& e) {
    switch (e.type) {
    case kSkinPicture: delete static_cast<CBitmap*>(e.data); break;
    case kSkinImage:
        // Slider images are handed out as raw handles that controls may still hold: left to the system.
        break;
    case kSkinFont:
        if (e.data) RemoveFontResourceExW(e.path.c_str(), FR_PRIVATE, nullptr);
        delete static_cast<int*>(e.data);
        break;
    case kSkinLanguage:
    case kSkinBinary: delete[] static_cast<BYTE*>(e.data); break;
    default: break;
    }
    e.data = nullptr;
}

void ReleaseSkinResources() { TheStore().Release(); }

size_t SkinResourceCount() { return TheStore().entries.size(); }

long long GetSkinFileSize(const wchar_t* path) {
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (!path || !GetFileAttributesExW(path, GetFileExInfoStandard, &info)) return 0;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    return (static_cast<long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

} // namespace vt::skin
