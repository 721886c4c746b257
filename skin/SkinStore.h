#pragma once
// The process-wide store of skin files: bitmaps, private fonts, language text files and binary data.
// A file is loaded the first time it is asked for by name and type; every later request for the
// same name (compared without regard to case) and type gets the same entry. Entries stay until exit.
#include <windows.h>
#include <string>
#include <string_view>
#include "skin/BitmapHelpers.h"

namespace vt::skin {

enum SkinResourceType : int {
    kSkinPicture = 0,   // "skins\": a picture file decoded into a CBitmap
    kSkinImage = 1,     // "skins\": a BMP loaded as a DIB section (HBITMAP)
    kSkinMask = 2,      // "skins\": a mask picture kept as a 1-bit CBitmap (white: outside the shape)
    kSkinFont = 4,      // "fonts\": a private font; data is the number of fonts added
    kSkinLanguage = 5,  // "lang\": the whole file in a zero-filled buffer
    kSkinBinary = 6,    // "bin\": as kSkinLanguage
};

struct SkinResource {
    std::wstring name;   // as requested (no folder)
    std::wstring path;   // program folder + type folder + name
    void* data = nullptr;
    int type = -1;       // SkinResourceType; -1 after release
    int size = 0;        // bytes for types 1, 4, 5, 6; 8 marks a decoded picture (type 0)
};

// The entry of (name, type), created and loaded on the first request. Never null. A file that is
// missing or cannot be decoded gives an entry with null data, and is not tried again. A name that
// holds a folder part ("\", "/", ":" or "..") is never looked for outside its folder: null data.
SkinResource* FindSkinResource(std::wstring_view name, int type);
// Size of the entry of (name, type) that exists already, or 0. Callers that parse a buffer ask with
// the buffer's own type, so they are never told the size of another file of the same name.
int FindSkinResourceSize(std::wstring_view name, int type);

// Typed lookups: the name is trimmed of blanks on both ends; null when missing or not loaded.
CBitmap* GetSkinBitmap(std::string_view utf8Name);                 // type 0
CBitmap* GetSkinBitmap(std::wstring_view name);                    // type 0
HBITMAP GetSkinImage(std::string_view utf8Name);                   // type 1
// A mask picture as a 1-bit bitmap: every pixel that is not pure white is black (type 2). Only the
// 1-bit bitmap is kept, an eighth of a 4-byte pixel's size.
CBitmap* GetSkinMask(std::string_view utf8Name);

// The rectangle (x1, y1)-(x2, y2) of a skin bitmap, shared instead of copied: target holds, without
// owning it, the store's bitmap itself when the rectangle is the whole bitmap, else a cut the store
// makes once per bitmap and rectangle. The store owns both for the process's life (until
// ReleaseSkinResources); holders never delete them (win/Gdi.h, MarkCacheOwned) and only read
// (draw from) them. A source the store does not own is copied into target (as CopyBitmapRect does).
void ShareSkinBitmapRect(CBitmap& target, HDC dc, HBITMAP source, int x1, int y1, int x2, int y2);
// Number of distinct cuts the store keeps.
size_t SkinBitmapCutCount();
// Buffers of types 5 and 6; size (optional) receives the number of bytes the buffer holds.
const BYTE* GetSkinLanguageData(std::string_view utf8Name, int* size = nullptr);
const BYTE* GetSkinBinaryData(std::wstring_view name, int* size = nullptr);   // name used untrimmed

// Frees every entry, last created first (runs at exit; tests call it to start afresh).
void ReleaseSkinResources();
// Frees what an entry holds, by type; data becomes null.
void FreeSkinResourceData(SkinResource& entry);
// Size of a file in bytes; 0 when it cannot be opened.
long long GetSkinFileSize(const wchar_t* path);
// Number of entries in the store.
size_t SkinResourceCount();

} // namespace vt::skin
