#include "audmgr/Store.h"

#include <objbase.h>

#include <cstring>
#include <mutex>

namespace vt::aud {
namespace {

std::mutex g_rootLock;
StoreRoot g_root{HKEY_LOCAL_MACHINE, L"HKLM", L""};

constexpr GUID G(unsigned long a, unsigned short b, unsigned short c, unsigned char d0, unsigned char d1,
                 unsigned char d2, unsigned char d3, unsigned char d4, unsigned char d5, unsigned char d6,
                 unsigned char d7) {
    return GUID{a, b, c, {d0, d1, d2, d3, d4, d5, d6, d7}};
}

} // namespace

const BuiltInProfile kBuiltInProfiles[10] = {
    {G(0x232EFC9F, 0x25A8, 0x47C7, 0xA7, 0x98, 0x45, 0x1F, 0x3C, 0x29, 0x46, 0xDE), L"Default", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {G(0x1CE012A5, 0x0116, 0x4E49, 0x8D, 0xB9, 0xFD, 0x9C, 0x16, 0x99, 0x93, 0x43), L"Dravon", {6, 3, 1, 2, -5, 4, -3, 1, 7, 4}},
    {G(0xB4948D7A, 0x6E1C, 0x4BE0, 0x9B, 0x8D, 0xF3, 0x1F, 0xD6, 0x09, 0x62, 0xC0), L"Ostrell", {-12, -8, -4, 2, 5, 5, 7, 8, 2, 8}},
    {G(0xA627EBA4, 0x3445, 0x499A, 0x9E, 0x33, 0xBF, 0x88, 0x51, 0x70, 0x86, 0x73), L"Kharvi", {-5, 5, 3, 2, 3, 2, -1, 5, 2, 2}},
    {G(0x7368AFE7, 0xEFCA, 0x48A5, 0x92, 0x7A, 0x6B, 0x08, 0x10, 0x26, 0xEE, 0x88), L"Campaign", {5, 8, 6, 7, 1, 4, 5, 6, 4, 2}},
    {G(0xDF3F4C7B, 0x13C9, 0x4A61, 0x96, 0x4B, 0xE4, 0x60, 0x55, 0xB3, 0x22, 0x7D), L"Techno", {-6, 1, 4, -1, -1, -2, 0, 0, 5, 5}},
    {G(0xCF6E058B, 0xA479, 0x4521, 0x9D, 0x88, 0x0B, 0x8C, 0x1A, 0x4C, 0x2A, 0x5E), L"Rock", {-1, 1, 2, 3, -1, -1, 0, 0, 4, 4}},
    {G(0xD810493F, 0x15B3, 0x4B32, 0xAA, 0x6F, 0x87, 0x9B, 0x8F, 0xD4, 0x5B, 0x16), L"Metal", {-4, 0, 0, 0, 0, 0, 3, 0, 3, 1}},
    {G(0x833FC3B4, 0x86B2, 0x453D, 0xA0, 0x96, 0x54, 0x77, 0xDA, 0xD5, 0xF5, 0xDC), L"Dance", {-1, 4, 5, 1, -1, -1, 0, 0, 4, 4}},
    {G(0xD455ECBC, 0xC4C0, 0x4469, 0xAF, 0xAF, 0x99, 0xD3, 0x58, 0x7D, 0x20, 0x3D), L"Custom", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
};

std::wstring DefaultDeviceKeyPath() { return L"SOFTWARE\\VELTO\\0.01\\{CE89CE08-D9EC-4A3B-B359-2F7EA6611A2F}"; }

const StoreRoot& Store() {
    std::lock_guard g(g_rootLock);
    if (g_root.deviceKey.empty()) g_root.deviceKey = DefaultDeviceKeyPath();
    return g_root;
}

void SetStoreRoot(HKEY root, const std::wstring& rootName, const std::wstring& deviceKey) {
    std::lock_guard g(g_rootLock);
    g_root = {root, rootName, deviceKey};
}

int BuiltInRow(const GUID& id) {
    for (int i = 0; i < 10; ++i)
        if (IsEqualGUID(id, kBuiltInProfiles[i].id)) return i;
    return -1;
}

std::wstring GuidString(const GUID& id) {
    wchar_t buf[40] = {};
    StringFromGUID2(id, buf, 40);
    return buf;
}

bool ParseGuid(const std::wstring& text, GUID* id) {
    if (text.size() != 38 || text.front() != L'{' || text.back() != L'}') return false;
    return SUCCEEDED(CLSIDFromString(text.c_str(), id));
}

StoreKey::~StoreKey() {
    if (m_key) RegCloseKey(m_key);
}

LSTATUS StoreKey::Open(const std::wstring& path) {
    if (m_key) { RegCloseKey(m_key); m_key = nullptr; }
    return RegOpenKeyExW(Store().root, path.c_str(), 0, kStoreAccess, &m_key);
}

LSTATUS StoreKey::Create(const std::wstring& path) {
    if (m_key) { RegCloseKey(m_key); m_key = nullptr; }
    return RegCreateKeyExW(Store().root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kStoreAccess, nullptr,
                           &m_key, nullptr);
}

std::optional<std::vector<uint8_t>> StoreKey::ReadBinary(const wchar_t* name, size_t size) const {
    auto v = ReadBinaryUpTo(name, size);
    if (!v || v->size() != size) return std::nullopt;
    return v;
}

std::optional<std::vector<uint8_t>> StoreKey::ReadBinaryUpTo(const wchar_t* name, size_t maxSize) const {
    if (!m_key) return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_BINARY || size > maxSize) return std::nullopt;
    std::vector<uint8_t> data(size);
    if (size && RegQueryValueExW(m_key, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return std::nullopt;
    data.resize(size);
    return data;
}

std::optional<std::wstring> StoreKey::ReadString(const wchar_t* name, size_t maxBytes) const {
    if (!m_key) return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    if (size > maxBytes) size = static_cast<DWORD>(maxBytes);
    std::vector<wchar_t> buf(size / sizeof(wchar_t) + 1, 0);
    DWORD got = size;
    LSTATUS st = RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &got);
    if (st == ERROR_MORE_DATA) {
        // Longer than we take: read it whole and keep the first maxBytes.
        DWORD full = 0;
        RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &full);
        std::vector<wchar_t> all(full / sizeof(wchar_t) + 1, 0);
        got = full;
        if (RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(all.data()), &got) != ERROR_SUCCESS)
            return std::nullopt;
        all.resize(maxBytes / sizeof(wchar_t));
        all.push_back(0);
        return std::wstring(all.data());
    }
    if (st != ERROR_SUCCESS) return std::nullopt;
    buf[got / sizeof(wchar_t)] = 0;  // a stored string need not carry its terminating null
    return std::wstring(buf.data());
}

std::optional<DWORD> StoreKey::ReadDword(const wchar_t* name) const {
    if (!m_key) return std::nullopt;
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_DWORD || size != sizeof value) return std::nullopt;
    return value;
}

LSTATUS StoreKey::WriteBinary(const wchar_t* name, const void* data, size_t size) {
    if (!m_key) return ERROR_INVALID_HANDLE;
    return RegSetValueExW(m_key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
}

LSTATUS StoreKey::WriteString(const wchar_t* name, const std::wstring& text) {
    if (!m_key) return ERROR_INVALID_HANDLE;
    return RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

LSTATUS StoreKey::WriteDword(const wchar_t* name, DWORD value) {
    if (!m_key) return ERROR_INVALID_HANDLE;
    return RegSetValueExW(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

HRESULT CreateDefaultProfiles(const std::wstring& deviceKeyPath) {
    const std::wstring profilesPath = deviceKeyPath + L"\\Profiles";
    StoreKey profiles;
    LSTATUS st = profiles.Create(profilesPath);
    if (st != ERROR_SUCCESS) return HRESULT_FROM_WIN32(st);
    GUID list[10];
    for (int i = 0; i < 10; ++i) list[i] = kBuiltInProfiles[i].id;
    st = profiles.WriteBinary(L"ProfileList", list, sizeof list);
    if (st != ERROR_SUCCESS) return HRESULT_FROM_WIN32(st);
    const std::wstring defaultId = GuidString(kBuiltInProfiles[0].id);
    profiles.WriteString(L"ActiveProfile", defaultId);
    profiles.WriteString(L"DefaultProfile", defaultId);
    for (const auto& row : kBuiltInProfiles) {
        StoreKey key;
        st = key.Create(profilesPath + L"\\" + GuidString(row.id));
        if (st != ERROR_SUCCESS) return HRESULT_FROM_WIN32(st);
        key.WriteString(L"Name", row.name);
    }
    return S_OK;
}

void ClearFirmwareCache() {
    StoreKey device;
    if (device.Open(Store().deviceKey) == ERROR_SUCCESS) {
        const uint8_t zero[4] = {};
        device.WriteBinary(L"FW", zero, sizeof zero);
    }
}

bool IsProfileActive(const std::wstring& profileKeyPath) {
    if (profileKeyPath.size() <= kProfileKeyTail) return false;
    StoreKey profiles;
    if (profiles.Open(profileKeyPath.substr(0, profileKeyPath.size() - kProfileKeyTail)) != ERROR_SUCCESS) return false;
    const auto active = profiles.ReadString(L"ActiveProfile", 260);
    if (!active) return false;
    GUID a{}, mine{};
    // Compared as ids, so that the letter case of a hand-edited value does not matter.
    return ParseGuid(*active, &a) && ParseGuid(profileKeyPath.substr(profileKeyPath.size() - 38), &mine) &&
           IsEqualGUID(a, mine);
}

std::vector<GUID> ReadProfileList(const StoreKey& profiles) {
    std::vector<GUID> ids;
    auto data = profiles.ReadBinaryUpTo(L"ProfileList", 16 * 1024);
    if (!data || data->size() % sizeof(GUID) != 0) return ids;
    ids.resize(data->size() / sizeof(GUID));
    std::memcpy(ids.data(), data->data(), data->size());
    return ids;
}

bool ProfileListDamaged(const StoreKey& profiles) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(profiles.Get(), L"ProfileList", nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    return type != REG_BINARY || size % sizeof(GUID) != 0 || size > 16 * 1024;
}

} // namespace vt::aud
