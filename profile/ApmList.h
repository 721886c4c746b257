#pragma once
// Lighting entries (a colour for a range of actions per minute, keyed by the high bound) and the
// programs linked to profiles.
#include "profile/Records.h"
#include <cstdint>
#include <string>
#include <vector>

class CAPM {
public:
    CAPM(int32_t colour, int32_t low, uint32_t high) : colour(colour), low(low), high(high) {}
    virtual ~CAPM() = default;

    int32_t colour;  // COLORREF
    int32_t low;
    uint32_t high;   // the key: unique within its list
};

// Entries in ascending order of high bound. The list sets no limit on their number; the lighting
// page keeps its own.
class CAPMList : public std::vector<CAPM*> {
public:
    CAPMList() = default;
    CAPMList(const CAPMList&) = delete;
    CAPMList& operator=(const CAPMList&) = delete;
    virtual ~CAPMList() { ClearAPMList(); }

    CAPM* FindAPM(uint32_t high) const;
    // False, and nothing changes, when an entry with that high bound exists; otherwise inserted
    // before the first entry with a greater high bound.
    bool AddAPM(int32_t colour, int32_t low, uint32_t high);
    bool RemoveAPMAt(uint32_t position);
    void ClearAPMList();
};

class CVtApp {
public:
    explicit CVtApp(const wchar_t* path) : path(path ? path : L"") {}

    std::wstring path;
    GUID id{};
};

class CVtAppList : public std::vector<CVtApp*> {
public:
    CVtAppList() = default;
    CVtAppList(const CVtAppList&) = delete;
    CVtAppList& operator=(const CVtAppList&) = delete;
    virtual ~CVtAppList() { ClearAppList(); }

    CVtApp* FindApp(const wchar_t* path) const;
    // Null, and nothing changes, when the path is listed (compared ignoring case).
    CVtApp* AddApp(const wchar_t* path);
    void RemoveApp(CVtApp* app);
    void ClearAppList();
};
