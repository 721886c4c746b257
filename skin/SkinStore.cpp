#include "skin/SkinStore.h"
#include "skin/UnusableFiles.h"
#include "base/ProgramFolder.h"
#include "win/Gdi.h"
#include "win/Strings.h"
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace vt::skin {

namespace {

// A rectangle cut from a bitmap of the store, shared by every control that shows that rectangle.
struct Cut {
    ~Cut() { vt::win::MarkCacheOwned(bitmap.Get(), false); }   // then the bitmap deletes it
    HBITMAP source;
    RECT rect;
    CBitmap bitmap;
};

class Store {
public:
    ~Store() { Release(); }
    void Release() {
        cuts.clear();
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
    std::vector<std::unique_ptr<Cut>> cuts;
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

// The 1-bit form of a mask: pure white pixels set (white), every other pixel clear (black).
bool MakeOneBitMask(const CBitmap& picture, CBitmap& mask) {
    const SIZE size = BitmapSize(picture.Get());
    if (size.cx <= 0 || size.cy <= 0) return false;
    CBitmap bits(CreateBitmap(size.cx, size.cy, 1, 1, nullptr));
    if (!bits) return false;
    vt::win::MemoryDC src(nullptr);
    vt::win::MemoryDC dst(nullptr);
    if (!src.Get() || !dst.Get()) return false;
    {
        vt::win::SelectGuard selSrc(src, picture.Get());
        vt::win::SelectGuard selDst(dst, bits.Get());
        // Colour to monochrome: pixels of the source's background colour become 1, all others 0.
        SetBkColor(src, RGB(255, 255, 255));
        if (!BitBlt(dst, 0, 0, size.cx, size.cy, src, 0, 0, SRCCOPY)) return false;
    }
    mask = std::move(bits);
    return true;
}

void LoadSkinResource(SkinResource& e) {
    if (!IsPlainFileName(e.name)) return;
    switch (e.type) {
    case kSkinPicture: {
        auto bmp = std::make_unique<CBitmap>();
        if (LoadPictureFile(e.path.c_str(), *bmp)) {
            vt::win::MarkCacheOwned(bmp->Get(), true);
            e.data = bmp.release();
            e.size = 8;
        }
        break;
    }
    case kSkinMask: {
        CBitmap picture;
        auto mask = std::make_unique<CBitmap>();
        if (LoadPictureFile(e.path.c_str(), picture) && MakeOneBitMask(picture, *mask)) {
            vt::win::MarkCacheOwned(mask->Get(), true);
            e.data = mask.release();
            e.size = 8;
        }
        break;
    }
    case kSkinImage:
        e.data = LoadImageW(nullptr, e.path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
        vt::win::MarkCacheOwned(static_cast<HBITMAP>(e.data), true);
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
        if (e->type == type && vt::win::EqualsNoCase(e->name, name)) {
            // Everyone who asks for a bitmap that cannot be used learns of it, not only the first.
            if (!e->data && (type == kSkinPicture || type == kSkinImage || type == kSkinMask))
                ReportUnusableFile(FolderOf(type) + e->name);
            return e;
        }
    auto* e = new SkinResource;
    e->name.assign(name);
    e->path = vt::base::ProgramFolder() + FolderOf(type) + e->name;
    e->type = type;
    LoadSkinResource(*e);
    // A bitmap that is named but cannot be used is worth telling the user about.
    if (!e->data && (type == kSkinPicture || type == kSkinImage || type == kSkinMask)) ReportUnusableFile(FolderOf(type) + e->name);
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

CBitmap* GetSkinMask(std::string_view utf8Name) {
    std::wstring name = vt::win::Utf8ToWide(Trim(utf8Name));
    if (name.empty()) return nullptr;
    return static_cast<CBitmap*>(FindSkinResource(name, kSkinMask)->data);
}

void ShareSkinBitmapRect(CBitmap& target, HDC dc, HBITMAP source, int x1, int y1, int x2, int y2) {
    if (!source || x2 - x1 <= 0 || y2 - y1 <= 0) return;
    if (!vt::win::IsCacheOwned(source)) {
        CopyBitmapRect(target, dc, source, x1, y1, x2, y2);
        return;
    }
    const SIZE size = BitmapSize(source);
    if (x1 == 0 && y1 == 0 && x2 == size.cx && y2 == size.cy) {
        target.Share(source);
        return;
    }
    const RECT rect{x1, y1, x2, y2};
    Store& store = TheStore();
    for (const auto& cut : store.cuts) {
        if (cut->source == source && EqualRect(&cut->rect, &rect)) {
            target.Share(cut->bitmap.Get());
            return;
        }
    }
    auto cut = std::make_unique<Cut>();
    cut->source = source;
    cut->rect = rect;
    CopyBitmapRect(cut->bitmap, dc, source, x1, y1, x2, y2);
    if (!cut->bitmap) return;
    vt::win::MarkCacheOwned(cut->bitmap.Get(), true);
    target.Share(cut->bitmap.Get());
    store.cuts.push_back(std::move(cut));
}

size_t SkinBitmapCutCount() { return TheStore().cuts.size(); }

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
    case kSkinPicture:
    case kSkinMask:
        if (auto* bitmap = static_cast<CBitmap*>(e.data)) {
            vt::win::MarkCacheOwned(bitmap->Get(), false);   // then deleted with its holder
            delete bitmap;
        }
        break;
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
