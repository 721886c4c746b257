#pragma once
// The headset's registry store: the device key with the firmware cache, the Profiles key with the
// profile list and the active and default profile ids, and one key per profile with its name and
// feature values. Every read checks type and size; a damaged value reads as missing.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vt::aud {

// Where the store lives: HKLM "SOFTWARE\VELTO\0.01\{CE89CE08-D9EC-4A3B-B359-2F7EA6611A2F}" in the
// product. Tests of the objects in their own process point it at a key of their own.
struct StoreRoot {
    HKEY root = HKEY_LOCAL_MACHINE;
    std::wstring rootName = L"HKLM";  // as the registry export tool names the root
    std::wstring deviceKey;
};
const StoreRoot& Store();
void SetStoreRoot(HKEY root, const std::wstring& rootName, const std::wstring& deviceKey);
std::wstring DefaultDeviceKeyPath();

constexpr REGSAM kStoreAccess = KEY_ALL_ACCESS | KEY_WOW64_64KEY;
constexpr ULONG kProfileLimit = 10;
constexpr size_t kProfileKeyTail = 39;  // "\" and the braced id at the end of a profile key path

struct BuiltInProfile {
    GUID id;
    const wchar_t* name;
    int gains[10];  // dB
};
extern const BuiltInProfile kBuiltInProfiles[10];
// Row of the built-in table for an id, or -1.
int BuiltInRow(const GUID& id);

std::wstring GuidString(const GUID& id);       // "{XXXXXXXX-...}", 38 characters
bool ParseGuid(const std::wstring& text, GUID* id);

// Small registry helpers over the store root.
class StoreKey {
public:
    StoreKey() = default;
    ~StoreKey();
    StoreKey(const StoreKey&) = delete;
    StoreKey& operator=(const StoreKey&) = delete;
    LSTATUS Open(const std::wstring& path);
    LSTATUS Create(const std::wstring& path);
    explicit operator bool() const { return m_key != nullptr; }
    HKEY Get() const { return m_key; }

    // A binary value of exactly `size` bytes, or nothing when missing, of another type or size.
    std::optional<std::vector<uint8_t>> ReadBinary(const wchar_t* name, size_t size) const;
    // A binary value of any size up to `maxSize`, or nothing.
    std::optional<std::vector<uint8_t>> ReadBinaryUpTo(const wchar_t* name, size_t maxSize) const;
    std::optional<std::wstring> ReadString(const wchar_t* name, size_t maxBytes) const;
    std::optional<DWORD> ReadDword(const wchar_t* name) const;
    LSTATUS WriteBinary(const wchar_t* name, const void* data, size_t size);
    LSTATUS WriteString(const wchar_t* name, const std::wstring& text);  // with its terminating null
    LSTATUS WriteDword(const wchar_t* name, DWORD value);

private:
    HKEY m_key = nullptr;
};

// Creates the Profiles key with the ten built-in profiles, "Default" active.
HRESULT CreateDefaultProfiles(const std::wstring& deviceKeyPath);
// Writes "FW" = four zero bytes when the device key exists.
void ClearFirmwareCache();
// True when "ActiveProfile" of the Profiles key names the profile at the end of this key path.
bool IsProfileActive(const std::wstring& profileKeyPath);
// The profile list (ids in list order); empty when missing or damaged.
std::vector<GUID> ReadProfileList(const StoreKey& profiles);
// True when "ProfileList" exists but is not a whole number of ids in a binary value.
bool ProfileListDamaged(const StoreKey& profiles);

} // namespace vt::aud
