#include "tray/VtDevice.h"
#include <cwctype>
#include <memory>
#include "tray/EventConnections.h"
#include "tray/TraySystem.h"

namespace vt::tray {

using vt::win::ComPtr;

namespace {

constexpr ULONG kProgramBytes = 256;

bool EqualNoCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring ProfileName(IVtProfile* profile, bool* ok = nullptr) {
    WCHAR* text = nullptr;
    ULONG cch = 0;
    const HRESULT hr = profile->GetName(&cch, &text);
    if (ok) *ok = SUCCEEDED(hr);
    if (FAILED(hr)) {
        if (text) CoTaskMemFree(text);
        return {};
    }
    return TakeEngineText(text, cch);
}

template <class T>
bool ProfileFeature(IVtProfile* profile, REFIID iid, ComPtr<T>& out) {
    out.Reset();
    if (!profile || FAILED(profile->CreateInterfaceInstance(iid, out.PutVoid()))) out.Reset();
    return bool(out);
}

} // namespace

std::wstring TakeEngineText(WCHAR* text, ULONG cch) {
    std::wstring s;
    if (text) {
        size_t n = 0;
        while (n < cch && text[n]) ++n;
        s.assign(text, n);
        CoTaskMemFree(text);
    }
    return s;
}

uint64_t NewMacroNumber(const std::wstring& name) {
    if (name.find(L"New Macro") == std::wstring::npos) return 0;
    static const std::wstring trimmed = L"New Macro";
    size_t at = 0;
    while (at < name.size() && trimmed.find(name[at]) != std::wstring::npos) ++at;
    constexpr uint64_t kCap = 1000000000000000000ull;
    uint64_t number = 0;
    for (; at < name.size() && name[at] >= L'0' && name[at] <= L'9'; ++at) {
        number = number * 10 + uint64_t(name[at] - L'0');
        if (number >= kCap) return kCap;
    }
    return number;
}

CVtDevice::CVtDevice(int32_t pid) : m_pid(pid) {
    if (FAILED(System().createEngine(m_manager.Put())) || !m_manager) {
        m_manager.Reset();
        return;
    }
    for (ULONG index = 0;; ++index) {
        ComPtr<IVtDevice> device;
        if (FAILED(m_manager->EnumDevices(index, device.Put())) || !device) break;
        ComPtr<IVtDeviceIdentity> identity;
        if (FAILED(device.As(identity)) || !identity) continue;
        ULONG productId = 0, vendorId = 0;
        if (FAILED(identity->GetIds(&productId, &vendorId))) continue;
        if (int32_t(productId) == pid) {
            m_device = std::move(device);
            if (FAILED(m_device->CreateInterfaceInstance(IID_IVtProfileManager, m_profiles.PutVoid()))) m_profiles.Reset();
            break;
        }
    }
}

CVtDevice::~CVtDevice() {
    m_profiles.Reset();
    m_device.Reset();
    m_manager.Reset();
}

template <class T>
bool CVtDevice::Feature(REFIID iid, ComPtr<T>& out) const {
    out.Reset();
    if (!m_device || FAILED(m_device->CreateInterfaceInstance(iid, out.PutVoid()))) out.Reset();
    return bool(out);
}

bool CVtDevice::FindProfile(const std::wstring& name, bool ignoreCase, ComPtr<IVtProfile>& out) const {
    out.Reset();
    if (!m_profiles) return false;
    for (ULONG index = 0;; ++index) {
        ComPtr<IVtProfile> profile;
        if (FAILED(m_profiles->GetProfileByIndex(index, profile.Put())) || !profile) return false;
        bool ok = false;
        const std::wstring n = ProfileName(profile.Get(), &ok);
        if (ok && (ignoreCase ? EqualNoCase(n, name) : n == name)) {
            out = std::move(profile);
            return true;
        }
    }
}

bool CVtDevice::ReadSetting(IVtProfile* profile, _Profile_Setting_& record, bool* bothRead) const {
    ComPtr<IVtProfileProperties> properties;
    if (!ProfileFeature(profile, IID_IVtProfileProperties, properties)) return false;
    // The linked program: 256 bytes that need not hold a terminator.
    WCHAR program[kProgramBytes / sizeof(WCHAR) + 1] = {};
    ULONG size = kProgramBytes;
    const HRESULT pathRead = properties->GetProperty(VT_PROP_LINKED_PROGRAM, 0, reinterpret_cast<BYTE*>(program), 0, &size);
    record.program.clear();
    if (SUCCEEDED(pathRead) && size != 0) {
        const size_t room = std::min<size_t>(size, kProgramBytes) / sizeof(WCHAR);
        size_t n = 0;
        while (n < room && program[n]) ++n;
        record.program.assign(program, n);
    }
    // The flags; a word that cannot be read counts as no flag set.
    USHORT flags = 0;
    size = sizeof(flags);
    const HRESULT flagRead = properties->GetProperty(VT_PROP_LINK_FLAGS, 0, reinterpret_cast<BYTE*>(&flags), 0, &size);
    if (FAILED(flagRead) || size == 0) flags = 0;
    record.autoSwitch = flags & 1;
    record.showDpi = (flags >> 1) & 1;
    record.showProfile = (flags >> 2) & 1;
    if (bothRead) *bothRead = SUCCEEDED(pathRead) && SUCCEEDED(flagRead);
    return true;
}

bool CVtDevice::GetProfileSettings(std::vector<_Profile_Setting_>& list) {
    list.clear();
    if (!m_profiles) return false;
    for (ULONG index = 0;; ++index) {
        ComPtr<IVtProfile> profile;
        if (FAILED(m_profiles->GetProfileByIndex(index, profile.Put())) || !profile) break;
        _Profile_Setting_ record;
        bool ok = false;
        record.name = ProfileName(profile.Get(), &ok);
        if (!ok) continue;
        if (ReadSetting(profile.Get(), record, nullptr)) list.push_back(std::move(record));
    }
    return !list.empty();
}

bool CVtDevice::GetProfileNames(std::vector<std::wstring>& names) {
    names.clear();
    if (!m_profiles) return false;
    for (ULONG index = 0;; ++index) {
        ComPtr<IVtProfile> profile;
        if (FAILED(m_profiles->GetProfileByIndex(index, profile.Put())) || !profile) break;
        bool ok = false;
        std::wstring name = ProfileName(profile.Get(), &ok);
        if (ok) names.push_back(std::move(name));
    }
    return !names.empty();
}

bool CVtDevice::GetProfileSetting(const std::wstring& name, _Profile_Setting_& record) {
    ComPtr<IVtProfile> profile;
    if (!FindProfile(name, false, profile)) return false;
    record = {};
    record.name = name;
    bool both = false;
    return ReadSetting(profile.Get(), record, &both) && both;
}

bool CVtDevice::GetActiveProfileName(std::wstring& name) {
    if (!m_profiles) return false;
    ComPtr<IVtProfile> profile;
    if (FAILED(m_profiles->GetActiveProfile(profile.Put())) || !profile) return false;
    bool ok = false;
    std::wstring n = ProfileName(profile.Get(), &ok);
    if (ok) name = std::move(n);
    return ok;
}

bool CVtDevice::ActivateProfile(const std::wstring& name) {
    ComPtr<IVtProfile> profile;
    if (!FindProfile(name, false, profile)) return false;
    return SUCCEEDED(m_profiles->SetActiveProfile(profile.Get()));
}

bool CVtDevice::MakeMacroName(std::wstring& name) {
    ComPtr<IVtMacroStore> store;
    if (!Feature(IID_IVtMacroStore, store)) return false;
    uint64_t largest = 0;
    for (ULONG index = 0;; ++index) {
        ComPtr<IVtMacro> macro;
        if (FAILED(store->GetMacroByIndex(index, macro.Put())) || !macro) break;
        WCHAR* text = nullptr;
        ULONG cch = 0;
        if (FAILED(macro->GetName(&cch, &text))) {
            if (text) CoTaskMemFree(text);
            continue;
        }
        largest = std::max(largest, NewMacroNumber(TakeEngineText(text, cch)));
    }
    name = L"New Macro" + std::to_wstring(largest + 1);
    return true;
}

bool CVtDevice::CreateMacro(const std::wstring& name, const std::vector<TrayMacroEvent>& events, GUID& id) {
    ComPtr<IVtMacroStore> store;
    if (!Feature(IID_IVtMacroStore, store)) return false;
    ComPtr<IVtMacro> macro;
    if (FAILED(store->CreateMacro(macro.Put())) || !macro) return false;
    const std::vector<uint8_t> buffer = BuildMacroEventBuffer(events);
    macro->SetName(name.c_str());
    macro->SetEvents(ULONG(buffer.size()), buffer.data());
    macro->GetId(&id);
    return true;
}

bool CVtDevice::AssignMacro(IVtProfile* profile, const GUID& id, uint32_t, uint32_t b) {
    ComPtr<IVtMacroStore> store;
    if (!profile || !Feature(IID_IVtMacroStore, store)) return false;
    for (ULONG index = 0;; ++index) {
        ComPtr<IVtMacro> macro;
        if (FAILED(store->GetMacroByIndex(index, macro.Put())) || !macro) return false;
        GUID macroId{};
        if (FAILED(macro->GetId(&macroId)) || macroId != id) continue;
        ComPtr<IVtAssignmentTable> table;
        if (!ProfileFeature(profile, IID_IVtAssignmentTable, table)) return false;
        const VtActionRecord record = MacroAssignmentRecord(b, id);
        table->SetAssignment(1, &record);
        return true;
    }
}

bool CVtDevice::AssignMacroToActiveProfile(const GUID& id, uint32_t a, uint32_t b) {
    if (!m_profiles) return false;
    ComPtr<IVtProfile> profile;
    if (FAILED(m_profiles->GetActiveProfile(profile.Put())) || !profile) return false;
    if (!AssignMacro(profile.Get(), id, a, b)) return false;
    // Activating it again makes the engine apply the change.
    return SUCCEEDED(m_profiles->SetActiveProfile(profile.Get()));
}

bool CVtDevice::AssignMacroToProfile(const std::wstring& name, const GUID& id, uint32_t a, uint32_t b) {
    ComPtr<IVtProfile> profile;
    if (!FindProfile(name, true, profile)) return false;
    if (!AssignMacro(profile.Get(), id, a, b)) return false;
    return SUCCEEDED(m_profiles->SetActiveProfile(profile.Get()));
}

bool CVtDevice::BeginRecordingLights() {
    bool ok = SetRecordMode();
    if (ok) ok = ApplyLightStep(kLightRecording);
    return ok;
}

bool CVtDevice::PauseRecordingLights() { return ApplyLightStep(kLightWaiting); }

bool CVtDevice::CancelRecordingLights() {
    bool ok = SetNormalMode();
    if (ok) ok = ApplyLightStep(kLightOff);
    return ok;
}

bool CVtDevice::LightsOff() { return ApplyLightStep(kLightOff); }

bool CVtDevice::FinishRecording(uint32_t a, uint32_t b, const std::vector<TrayMacroEvent>& events) {
    SetNormalMode();
    const bool lightsOff = ApplyLightStep(kLightOff);
    std::wstring name;
    MakeMacroName(name);
    const std::vector<TrayMacroEvent> copy = events;
    GUID id{};
    if (lightsOff && CreateMacro(name, copy, id)) return AssignMacroToActiveProfile(id, a, b);
    return false;
}

bool CVtDevice::GetDpiRange(uint32_t& minimum, uint32_t& maximum, uint32_t& step) {
    if (!m_profiles) return false;
    ComPtr<IVtProfile> profile;
    if (FAILED(m_profiles->GetActiveProfile(profile.Put())) || !profile) return false;
    ComPtr<IVtDpi> dpi;
    if (!ProfileFeature(profile.Get(), IID_IVtDpi, dpi)) return false;
    ULONG lo = 0, hi = 0, st = 0;
    if (FAILED(dpi->GetDpiRange(&lo, &hi, &st))) return false;
    minimum = lo;
    maximum = hi;
    step = st;
    return true;
}

IDeviceCallback* CVtDevice::ConnectDpiEvents(IDeviceCallbacksHandler* handler) {
    if (!m_profiles) return nullptr;
    ComPtr<IVtProfile> profile;
    if (FAILED(m_profiles->GetActiveProfile(profile.Put())) || !profile) return nullptr;
    ComPtr<IVtDpi> dpi;
    if (!ProfileFeature(profile.Get(), IID_IVtDpi, dpi)) return nullptr;
    return new CDpiEventConnection(m_pid, dpi.Get(), handler, IID__IDPIEvents);
}

IDeviceCallback* CVtDevice::ConnectProfileEvents(IProfileEventHandler* handler) {
    if (!m_profiles) return nullptr;
    return new CProfileEventConnection(m_pid, m_profiles.Get(), handler, IID__IProfileManagerEvents);
}

IDeviceCallback* CVtDevice::ConnectMacroEvents(IMacroEventHandler* handler) {
    ComPtr<IVtMacroRecorder> recorder;
    if (!Feature(IID_IVtMacroRecorder, recorder)) return nullptr;
    return new CMacroEventConnection(m_pid, recorder.Get(), handler, IID__IOTFMacroRecordingEvents);
}

IDeviceCallback* CVtDevice::ConnectLaunchAppEvents(ILaunchAppEventHandler* handler) {
    ComPtr<IVtAppLauncher> launcher;
    if (!Feature(IID_IVtAppLauncher, launcher)) return nullptr;
    return new CLaunchAppEventConnection(m_pid, launcher.Get(), handler, IID__IApplicationEvent);
}

IDeviceCallback* CVtDevice::ConnectAudioSync() {
    ComPtr<IVtSync> sync;
    if (!Feature(IID_IVtSync, sync)) return nullptr;
    return new CAudioSyncEventConnection(m_pid, m_device.Get(), sync.Get());
}

bool CVtDevice::SetProfileProgramPath(const std::wstring& name, const std::wstring& path) {
    ComPtr<IVtProfile> profile;
    if (!FindProfile(name, false, profile)) return false;
    ComPtr<IVtProfileProperties> properties;
    if (!ProfileFeature(profile.Get(), IID_IVtProfileProperties, properties)) return false;
    WCHAR buffer[kProgramBytes / sizeof(WCHAR)] = {};
    path.copy(buffer, std::min<size_t>(path.size(), std::size(buffer) - 1));
    return SUCCEEDED(properties->SetProperty(VT_PROP_LINKED_PROGRAM, reinterpret_cast<const BYTE*>(buffer), 0,
                                             kProgramBytes, 0));
}

bool CVtDevice::SetLinkFlag(IVtProfile* profile, uint16_t mask, bool value) const {
    ComPtr<IVtProfileProperties> properties;
    if (!ProfileFeature(profile, IID_IVtProfileProperties, properties)) return false;
    const uint16_t record[2] = {mask, uint16_t(value ? 1 : 0)};
    return SUCCEEDED(properties->SetProperty(VT_PROP_LINK_FLAGS, reinterpret_cast<const BYTE*>(record), 0,
                                             sizeof(record), 0));
}

bool CVtDevice::SetProfileAutoSwitch(const std::wstring& name, bool value) {
    ComPtr<IVtProfile> profile;
    return FindProfile(name, false, profile) && SetLinkFlag(profile.Get(), 1, value);
}

bool CVtDevice::SetProfileFlags(const std::wstring& name, bool bit0, bool bit1, bool bit2) {
    ComPtr<IVtProfile> profile;
    if (!FindProfile(name, false, profile)) return false;
    return SetLinkFlag(profile.Get(), 1, bit0) && SetLinkFlag(profile.Get(), 2, bit1) &&
           SetLinkFlag(profile.Get(), 4, bit2);
}

bool CVtDevice::ApplyLightStep(int step) {
    std::wstring name;
    return GetActiveProfileName(name) && ApplyLightStepToProfile(name, step);
}

bool CVtDevice::ApplyLightStepToProfile(const std::wstring& name, int step) {
    if (step < 0 || step >= int(CMacroLedScheme().size())) return false;
    const LightStep& s = CMacroLedScheme()[size_t(step)];
    ComPtr<IVtProfile> profile;
    if (!FindProfile(name, false, profile)) return false;
    ComPtr<IVtLighting> lighting;
    if (!ProfileFeature(profile.Get(), IID_IVtLighting, lighting)) return false;
    for (ULONG index = 0;; ++index) {
        ComPtr<IVtLightingZone> zone;
        if (FAILED(lighting->GetZone(index, zone.Put())) || !zone) return false;
        ULONG id = 0;
        if (FAILED(zone->GetZoneId(&id)) || int32_t(id) != s.zone) continue;
        ComPtr<IVtLightingColor> colour;
        if (SUCCEEDED(zone.As(colour)) && colour) colour->SetColor(DWORD(s.colour));
        ComPtr<IVtLightingEffect> effect;
        if (SUCCEEDED(zone.As(effect)) && effect) effect->SetEffect(s.mode, s.value1, s.value2);
        ComPtr<IVtLightingBrightness> brightness;
        if (SUCCEEDED(zone.As(brightness)) && brightness) brightness->SetBrightness(s.brightness);
        if (s.on == 1) zone->TurnOn();
        else zone->TurnOff();
        return true;
    }
}

bool CVtDevice::SetKeyboardMode(uint32_t mode) {
    ComPtr<IVtKeyboardMode> keyboard;
    if (!Feature(IID_IVtKeyboardMode, keyboard)) return false;
    return SUCCEEDED(keyboard->SetMode(mode));
}

} // namespace vt::tray
