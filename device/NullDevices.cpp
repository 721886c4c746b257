#include "device/NullDevices.h"
#include "base/KeyTable.h"
#include <cstdio>
#include <cstring>

namespace vt::device {

namespace {

AssignmentRecord Record(int32_t kind, uint32_t word0 = 0) {
    AssignmentRecord r{};
    r.kind = kind;
    std::memcpy(r.payload, &word0, 4);
    return r;
}

// {00A98AC7-0457-0457-0101-010101010101} and so on: the built-in profile ids.
GUID BuiltInId(uint32_t a, uint16_t b, uint8_t fill) {
    GUID g{};
    g.Data1 = a;
    g.Data2 = b;
    g.Data3 = b;
    std::memset(g.Data4, fill, sizeof g.Data4);
    return g;
}

std::wstring FormatText(const wchar_t* format, int a, int b) {
    wchar_t text[16];
    std::swprintf(text, 16, format, a, b);
    return text;
}

} // namespace

bool CNullMouse::Open(IMouseConfig* config) {
    if (!config) return false;
    m_keys.clear();
    m_buttons.clear();
    std::vector<int32_t> keyOrder;
    for (int32_t k = 2; k <= 13; ++k) keyOrder.push_back(k);
    for (int32_t k : {79, 80, 81, 75, 76, 77, 71, 72, 73, 82, 74, 78}) keyOrder.push_back(k);
    for (int32_t k : keyOrder) m_keys[k] = Record(5, uint32_t(k));
    const std::pair<int32_t, int32_t> buttons[] = {{1, 1}, {2, 2}, {3, 3}, {25, 33}, {26, 32},
                                                   {10, 40}, {11, 41}, {6, 33}, {7, 32}};
    for (const auto& [button, kind] : buttons) m_buttons[button] = Record(kind);

    config->DeleteAllProfiles();
    IMouseProfile* profile = config->CreateProfile(L"PROFILE01");
    if (!profile) return false;
    profile->SetId(BuiltInId(0x02A62B1C, 0x115C, 0x04));
    config->SetMaxDpiStageCount(5, profile);
    config->SetDpiRange(100, 5600, 100, profile);
    config->SetActiveDpiStage(3, profile);
    config->SetDpiStageCount(5, profile);
    const uint32_t stages[] = {800, 1200, 1800, 4000, 5600};
    for (uint32_t s = 1; s <= 5; ++s) config->SetDpiStageValue(s, stages[s - 1], profile);
    for (const auto& [button, record] : m_buttons) config->SetButtonAssignment(button, record, profile);
    for (int32_t k : keyOrder) config->SetAssignment(k, m_keys[k], profile);
    config->SetCurrentProfile(config->GetProfileAt(0));
    config->SetAccelerationRange(1, 10);
    config->SetAcceleration(5, nullptr);
    config->SetAccelerationEnabled(1, nullptr);
    config->SetRateList({125, 500, 1000});
    config->SetRateIndex(1, nullptr);
    return true;
}

bool CNullMouse::GetFirmwareVersion(std::wstring& text) {
    text = FormatText(L"%d.00", 1, 0);
    return true;
}

bool CNullMouse::GetDriverVersion(std::wstring& text) {
    text = FormatText(L"%d.00", 1, 0);
    return true;
}

const std::vector<std::wstring>& HidKeyboardUsageNames() {
    static const std::vector<std::wstring> names = [] {
        std::vector<std::wstring> n;
        for (wchar_t c = L'a'; c <= L'z'; ++c) {
            std::wstring name = L"Keyboard ";
            name += c;
            name += L" and ";
            name += wchar_t(c - L'a' + L'A');
            n.push_back(name + L" (Note 2)");  // 0x04..0x1D
        }
        const wchar_t* digits[] = {
            L"Keyboard 1 and ! (Note 2)", L"Keyboard 2 and @ (Note 2)", L"Keyboard 3 and # (Note 2)",
            L"Keyboard 4 and $ (Note 2)", L"Keyboard 5 and % (Note 2)", L"Keyboard 6 and ^ (Note 2)",
            L"Keyboard 7 and & (Note 2)", L"Keyboard 8 and * (Note 2)", L"Keyboard 9 and ( (Note 2)",
            L"Keyboard 0 and ) (Note 2)",
        };
        for (const wchar_t* d : digits) n.push_back(d);  // 0x1E..0x27
        const wchar_t* rest[] = {
            L"Keyboard Return (ENTER) (Note 1)", L"Keyboard ESCAPE", L"Keyboard DELETE (Backspace) (Note 1)",
            L"Keyboard Tab", L"Keyboard Spacebar", L"Keyboard - and (underscore) (Note 2)",
            L"Keyboard = and + (Note 2)", L"Keyboard [ and { (Note 2)", L"Keyboard ] and } (Note 2)",
            L"Keyboard \\ and |",                                                        // 0x28..0x31
            L"Keyboard ; and : (Note 2)", L"Keyboard \u2018 and \u201C (Note 2)",
            L"Keyboard Grave Accent and Tilde (Note 2)", L"Keyboard, and < (Note 2)",
            L"Keyboard . and > (Note 2)", L"Keyboard / and ? (Note 2)", L"Keyboard Caps Lock (Note 1)",
            L"Keyboard F1", L"Keyboard F2", L"Keyboard F3", L"Keyboard F4", L"Keyboard F5", L"Keyboard F6",
            L"Keyboard F7", L"Keyboard F8", L"Keyboard F9", L"Keyboard F10", L"Keyboard F11", L"Keyboard F12",
            L"Keyboard PrintScreen (Note 1)", L"Keyboard Scroll Lock (Note 1)", L"Keyboard Pause (Note 1)",
            L"Keyboard Insert (Note 1)", L"Keyboard Home (Note 1)", L"Keyboard PageUp (Note 1)",
            L"Keyboard Delete Forward (Note 1)", L"Keyboard End (Note 1)", L"Keyboard PageDown (Note 1)",
            L"Keyboard RightArrow (Note 1)", L"Keyboard LeftArrow (Note 1)", L"Keyboard DownArrow (Note 1)",
            L"Keyboard UpArrow (Note 1)", L"Keypad Num Lock and Clear (Note 1)", L"Keypad / (Note 1)",
            L"Keypad *", L"Keypad -", L"Keypad +", L"Keypad ENTER (Note 1)", L"Keypad 1 and End",
            L"Keypad 2 and Down Arrow", L"Keypad 3 and PageDn", L"Keypad 4 and Left Arrow", L"Keypad 5",
            L"Keypad 6 and Right Arrow", L"Keypad 7 and Home", L"Keypad 8 and Up Arrow", L"Keypad 9 and PageUp",
            L"Keypad 0 and Insert", L"Keypad . and Delete", L"Keyboard Non-US \\ and | (Note 2)",
            L"Keyboard Application (Note 1)",                                            // 0x33..0x65
            L"Keypad =",                                                                 // 0x67
            L"Keyboard LeftControl", L"Keyboard LeftShift", L"Keyboard LeftAlt", L"Keyboard Left GUI",
            L"Keyboard RightControl", L"Keyboard RightShift", L"Keyboard RightAlt", L"Keyboard Right GUI",
        };
        for (const wchar_t* r : rest) n.push_back(r);
        return n;
    }();
    return names;
}

bool CNullKeyboard::Open(IKeyboardConfig* config) {
    if (!config) return false;
    m_keyIds.clear();
    for (const std::wstring& name : HidKeyboardUsageNames()) m_keyIds.push_back(vt::base::KeyNameHash(name));
    config->DeleteAllProfiles();
    struct BuiltIn { const wchar_t* name; uint32_t a; uint16_t b; uint8_t fill; };
    static const BuiltIn kProfiles[] = {
        {L"PROFILE03", 0x00A98AC7, 0x0457, 0x01}, {L"PROFILE07", 0x0153158E, 0x08AE, 0x02},
        {L"PROFILE05", 0x01FCA055, 0x0D05, 0x03}, {L"PROFILE01", 0x02A62B1C, 0x115C, 0x04},
        {L"PROFILE02", 0x034FB5E3, 0x15B3, 0x05}, {L"PROFILE06", 0x03F940AA, 0x1A0A, 0x06},
        {L"PROFILE04", 0x04A2CB71, 0x1E61, 0x07},
    };
    for (const BuiltIn& p : kProfiles) {
        IKeyboardProfile* profile = config->CreateProfile(p.name);
        if (profile) profile->SetId(BuiltInId(p.a, p.b, p.fill));
    }
    config->SetCurrentProfile(config->GetProfileAt(0));
    // Every built-in profile made: the do-nothing keyboard is ready.
    return config->GetProfileCount() == int32_t(std::size(kProfiles));
}

bool CNullKeyboard::GetFirmwareVersion(std::wstring& text) {
    text = FormatText(L"%d.%02d", 1, 0);
    return true;
}

bool CNullKeyboard::GetDriverVersion(std::wstring& text) {
    text = FormatText(L"%d.%02d", 1, 0);
    return true;
}

// ---- the do-nothing headset ----

const wchar_t* const CNullAudio::kPresetNames[6] = {L"Preset01", L"Preset02", L"Preset03",
                                                    L"Preset04", L"Preset05", L"Custom"};
// "Custom" has an id of its own, so that finding a preset by id never yields another one.
const GUID CNullAudio::kPresetIds[6] = {
    {0x00A98AC7, 0x0457, 0x0457, {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01}},
    {0x0153158E, 0x08AE, 0x08AE, {0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02}},
    {0x01FCA055, 0x0D05, 0x0D05, {0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03}},
    {0x02A62B1C, 0x115C, 0x115C, {0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {0x034FB5E3, 0x15B3, 0x15B3, {0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05}},
    {0x03F940AA, 0x1A0A, 0x1A0A, {0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06}},
};

bool CNullAudio::Open() {
    IAudioConfig* c = m_config;
    if (!c) return false;
    static const int16_t kGains[6][10] = {
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {-35, -30, -25, -10, 0, 2, 4, 6, 8, 15},
        {-35, -35, -35, -35, -35, 15, 15, 15, 15, 15},
        {-35, 15, -35, 15, -35, 15, -35, 15, -35, 15},
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    };
    // The presets replace whatever an earlier, failed open left behind.
    c->DeleteAllProfiles();
    std::vector<int32_t> bands;
    for (int32_t b = 0; b < 10; ++b) bands.push_back(b);
    IAudioProfile* first = nullptr;
    for (int i = 0; i < 6; ++i) {
        IAudioProfile* p = c->CreateProfile(kPresetNames[i]);
        if (!p) continue;
        p->SetId(kPresetIds[i]);
        c->InitBands(bands, -36, 15, 1, p);
        for (int32_t b = 0; b < 10; ++b) c->SetBandGain(b, kGains[i][b], p);
        if (!first) first = p;
    }
    c->SetVolumeRange(0, 100, 1);
    c->SetMute(0);
    c->SetMasterVolume(50);
    c->SetBalance(50, 50);
    c->SetMicRange(0, 100, 1);
    c->SetMicMute(0);
    c->SetMicAutoGain(0);
    c->SetMicNoiseReduction(0);
    c->SetMicVolume(50);
    if (first) {
        c->SetCurrentProfile(first);
        c->SetEqualizerEnabled(1, first);
    }
    static const int32_t kZones[3] = {3, 10, 9};
    static const int32_t kColours[3] = {0xFF, 0xFF00, 0xFF0000};
    for (int32_t i = 0; i < c->GetProfileCount(); ++i) {
        IAudioProfile* p = c->GetProfileAt(uint32_t(i));
        for (int z = 0; z < 3; ++z) {
            c->SetLightOn(kZones[z], 1, p);
            c->SetLightColor(kZones[z], kColours[z], p);
        }
    }
    return true;
}

} // namespace vt::device
