#pragma once
// The engine's state: three simulated devices with their profiles and device-wide lists,
// factory defaults, the state-file and export formats, and the JSON dump.
#include <windows.h>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>
#include "VtEngine.h"

namespace vt::engine {

enum Kind : int { Mouse = 0, Keyboard = 1, Headset = 2 };
constexpr uint32_t kPid[3] = {VT_PID_MOUSE, VT_PID_KEYBOARD, VT_PID_HEADSET};
int KindOf(uint32_t pid);  // -1 for an unknown product id
const wchar_t* KindName(int kind);

constexpr uint32_t kMaxProfiles = 20;
constexpr uint32_t kMaxNameChars = 256;
constexpr uint32_t kMaxPathChars = MAX_PATH - 1;
constexpr uint32_t kMaxMacros = 256;
constexpr uint32_t kMaxMacroEvents = 100000;
constexpr uint32_t kMaxLaunchEntries = 256;
constexpr uint32_t kMaxCollection = 10;
constexpr uint32_t kKeyEntries = 16;
constexpr uint32_t kBands = 10;
constexpr int16_t kGainMin = -36, kGainMax = 15;
constexpr uint32_t kMouseButtonBits = 23;

struct Zone {
    uint32_t id = 0;
    bool on = true;
    uint32_t color = 0xFF0000;
    int32_t mode = 0, p1 = 0, p2 = 0;
    int32_t brightness = 100;
};

struct Profile {
    GUID id{};
    std::wstring name;
    std::vector<uint8_t> program;   // linked program: empty (never set) or 256 bytes
    uint16_t flags = 0;             // link flags
    std::vector<Zone> zones;
    // Mouse
    uint32_t maxStages = 5, dpiMin = 100, dpiMax = 5600, dpiStep = 100;
    std::vector<VtDpiStage> stages;
    uint32_t activeStage = 3, dpiX = 1800, dpiY = 1800;
    // Mouse (by engine button index) and keyboard (by engine key code)
    std::map<uint32_t, VtActionRecord> records;
    // Headset
    bool eqOn = true;
    std::array<int16_t, kBands> gains{};
};

struct MacroEvent {
    int32_t type;
    uint32_t data;
};

struct Macro {
    GUID id{};
    std::wstring name;
    std::vector<MacroEvent> events;
};

struct LaunchEntry {
    GUID id{};
    std::wstring path;
};

struct CollectionEntry {
    uint64_t key = 0;  // identity of the entry for its objects; never reused
    uint32_t number = 0;
    uint32_t color = 0;
};

struct Device {
    int kind = Mouse;
    uint32_t pid = 0, vendor = VT_VENDOR_ID;
    VtVersion driver{1, 0}, firmware{1, 0};
    bool present = true;
    bool infoFails = false;
    uint32_t layout = 0;
    uint32_t buttonMask = 0x19F, buttonCount = 7;
    uint32_t rate = 2, accel = 5;
    bool accelOn = true;
    uint32_t mode = 1;
    bool sync = false;
    std::vector<Profile> profiles;
    GUID active{};
    std::vector<Macro> macros;
    std::vector<LaunchEntry> launch;
    std::vector<CollectionEntry> collection;
    uint64_t nextEntryKey = 1;
    std::array<std::array<uint32_t, 3>, kKeyEntries> keyValues{};
};

// The keyboard's keys, in table order, as engine key codes ((sel << 16) | code).
const std::vector<uint32_t>& KeyboardKeys();
bool IsKeyboardKey(uint32_t code);
// Engine button index of a mouse button bit number (0..22), and back.
inline uint32_t ButtonIndexOfBit(uint32_t bit) { return bit + 1; }

std::wstring DevicePath(const Device& d);
Device FactoryDevice(int kind);
Profile FactoryProfile(int kind, const GUID& id, const std::wstring& name);
VtActionRecord DefaultRecord(int kind, uint32_t index);
bool IsValidIndex(const Device& d, uint32_t index);
GUID NewId();

// Device-wide values with a range. The engine's setters (report rate, acceleration, test control)
// and the state-file loader check them by the same rules.
struct DeviceValueRule {
    const wchar_t* name;      // as test control names it
    int kind;                 // the kind whose setters offer it
    uint32_t Device::*field;
    bool (*valid)(uint32_t);
};
const std::vector<DeviceValueRule>& DeviceValueRules();
// The rule of a named value of a kind; null when that kind has no such value.
const DeviceValueRule* FindDeviceValueRule(int kind, const std::wstring& name);

// State file of one device (versioned, framed, CRC-checked). A file that is broken is refused; a
// value out of its rule's range is replaced by the factory default and described in *replaced.
std::vector<uint8_t> SaveDevice(const Device& d);
bool LoadDevice(const std::vector<uint8_t>& file, int kind, Device* out, std::vector<std::wstring>* replaced = nullptr);

// Profile (".vtp") and macro (".vtm") files.
std::vector<uint8_t> ExportProfileFile(int kind, const Profile& p);
bool ImportProfileFile(const std::vector<uint8_t>& file, const Device& d, Profile* out);
std::vector<uint8_t> ExportMacroFile(const Macro& m);
bool ImportMacroFile(const std::vector<uint8_t>& file, Macro* out);
constexpr size_t kMaxImportFile = 1 << 20;

// Macro event buffers as the interfaces carry them: {0, count, events, 8 bytes slack}.
std::vector<uint8_t> MacroBuffer(const Macro& m);
bool ParseMacroBuffer(const uint8_t* buf, size_t size, std::vector<MacroEvent>* out);

// Validation shared by state files and imports.
bool ValidProfile(const Device& d, const Profile& p);

std::string DumpJson(const std::array<Device, 3>& devices);
std::string GuidText(const GUID& g);

}  // namespace vt::engine
