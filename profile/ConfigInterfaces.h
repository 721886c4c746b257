#pragma once
// The configuration interfaces: the only way pages and device objects reach the settings of a
// device kind. A null profile argument means the configuration's current profile.
// Slot order is part of the contract (the device layer and the pages call by slot): keep every
// slot, reserved ones included, in its place, and add nothing before the destructor.
#include "profile/ApmList.h"
#include "profile/DeviceInterfaces.h"
#include "profile/Macro.h"
#include "profile/ProfileInterfaces.h"
#include "profile/Records.h"
#include <cstdint>
#include <vector>

class IMouseConfig {
public:
    virtual void DeleteAllProfiles() = 0;                                                  // 0
    virtual void SetDevice(IGenDevice<IMouseConfig*, IMouseProfile*>* device) = 0;
    virtual bool SetMaxDpiStageCount(uint32_t count, IMouseProfile* p) = 0;
    virtual void SetAccelerationRange(uint32_t min, uint32_t max) = 0;
    virtual void SetRateList(const std::vector<uint32_t>& rates) = 0;
    virtual void SetDpiStageCount(uint32_t count, IMouseProfile* p) = 0;                  // 5
    virtual int32_t GetProfileCount() = 0;
    virtual int32_t GetMacroCount() = 0;
    virtual uint32_t GetMaxDpiStageCount(IMouseProfile* p) = 0;
    virtual uint32_t GetDpiStageCount(IMouseProfile* p) = 0;
    virtual uint32_t GetAltButtonCount(IMouseProfile* p) = 0;                             // 10
    virtual int32_t GetRateCount() = 0;
    virtual IMouseProfile* CreateProfile(const wchar_t* name) = 0;
    virtual IMouseProfile* AddProfileCopy(IMouseProfile* p) = 0;
    virtual IMouseProfile* GetProfileAt(uint32_t index) = 0;
    virtual IMouseProfile* FindProfileById(GUID id) = 0;                                   // 15
    virtual IMouseProfile* FindProfileByName(const wchar_t* name) = 0;
    virtual IMouseProfile* RenameProfile(IMouseProfile* p, const wchar_t* name) = 0;
    virtual IMouseProfile* DuplicateProfile(IMouseProfile* p, const wchar_t* name) = 0;
    virtual void DeleteProfile(IMouseProfile* p) = 0;
    virtual IMouseProfile* GetCurrentProfile() = 0;                                        // 20
    virtual void SetCurrentProfile(IMouseProfile* p) = 0;
    virtual void SetProfilePath(IMouseProfile* p, const wchar_t* path) = 0;
    virtual const wchar_t* GetProfilePath(IMouseProfile* p) = 0;
    virtual void SetProfileFlag(IMouseProfile* p, uint8_t flag) = 0;
    virtual uint8_t GetProfileFlag(IMouseProfile* p) = 0;                                  // 25
    virtual void SetProfileOsdEnabledAll(uint8_t on) = 0;
    virtual void SetProfileOsdEnabled(uint8_t on, IMouseProfile* p) = 0;
    virtual uint8_t GetProfileOsdEnabled(IMouseProfile* p) = 0;
    virtual void SetDpiOsdEnabled(uint8_t on, IMouseProfile* p) = 0;
    virtual uint8_t GetDpiOsdEnabled(IMouseProfile* p) = 0;                                // 30
    virtual void SetDpiStageSeparateXY(uint32_t stage, uint8_t on, IMouseProfile* p) = 0;
    virtual uint8_t GetDpiStageSeparateXY(uint32_t stage, IMouseProfile* p) = 0;
    virtual void SetAccelerationEnabled(uint8_t on, IMouseProfile* ignored) = 0;
    virtual uint8_t GetAccelerationEnabled(IMouseProfile* ignored) = 0;
    virtual void SetAcceleration(uint32_t value, IMouseProfile* ignored) = 0;             // 35
    virtual uint32_t GetAcceleration(IMouseProfile* ignored) = 0;
    virtual void SetActiveDpiStage(uint32_t stage, IMouseProfile* p) = 0;
    virtual int32_t GetActiveDpiStage(IMouseProfile* p) = 0;
    virtual void SetDpiStageValue(uint32_t stage, uint32_t dpi, IMouseProfile* p) = 0;
    virtual uint32_t GetDpiStageValue(uint32_t stage, IMouseProfile* p) = 0;              // 40
    virtual void SetDpi(int32_t dpi, IMouseProfile* p) = 0;
    virtual int32_t GetDpi(IMouseProfile* p) = 0;
    virtual void SetDpiX(int32_t dpi, IMouseProfile* p) = 0;
    virtual int32_t GetDpiX(IMouseProfile* p) = 0;
    virtual void SetDpiY(int32_t dpi, IMouseProfile* p) = 0;                               // 45
    virtual int32_t GetDpiY(IMouseProfile* p) = 0;
    virtual void SetSeparateXY(uint8_t on, IMouseProfile* p) = 0;
    virtual uint8_t GetSeparateXY(IMouseProfile* p) = 0;
    virtual void SetDpiStageValueX(uint32_t stage, uint32_t dpi, IMouseProfile* p) = 0;
    virtual uint32_t GetDpiStageValueX(uint32_t stage, IMouseProfile* p) = 0;             // 50
    virtual void SetDpiStageValueY(uint32_t stage, uint32_t dpi, IMouseProfile* p) = 0;
    virtual uint32_t GetDpiStageValueY(uint32_t stage, IMouseProfile* p) = 0;
    virtual void SetDpiRange(int32_t min, int32_t max, int32_t step, IMouseProfile* p) = 0;
    virtual bool GetDpiRange(int32_t* min, int32_t* max, int32_t* step, IMouseProfile* p) = 0;
    virtual void Reserved55(int32_t, int32_t) = 0;                                         // 55
    virtual bool Reserved56(int32_t) = 0;
    virtual void Reserved57(int32_t, int32_t) = 0;
    virtual bool Reserved58(int32_t) = 0;
    virtual void SetRateIndex(int32_t index, IMouseProfile* ignored) = 0;
    virtual int32_t GetRateIndex(IMouseProfile* ignored) = 0;                              // 60
    virtual uint32_t GetRateAt(uint32_t index) = 0;
    virtual void SetButtonAssignment(int32_t button, AssignmentRecord record, IMouseProfile* p) = 0;
    virtual AssignmentRecord* GetButtonAssignment(AssignmentRecord* out, int32_t button, IMouseProfile* p) = 0;
    virtual bool HasLeftClickAssigned(IMouseProfile* p) = 0;
    virtual void SetAssignment(int32_t id, AssignmentRecord record, IMouseProfile* p) = 0;  // 65
    virtual AssignmentRecord* GetAssignment(AssignmentRecord* out, int32_t id, IMouseProfile* p) = 0;
    virtual void SetAltButtonsEnabled(uint8_t on, IMouseProfile* p) = 0;
    virtual uint8_t GetAltButtonsEnabled(IMouseProfile* p) = 0;
    virtual int32_t GetConfigAssignmentCount() = 0;
    virtual void SetConfigAssignment(int32_t key, AssignmentRecord record) = 0;             // 70
    virtual AssignmentRecord* GetConfigAssignment(AssignmentRecord* out, int32_t key) = 0;
    virtual int32_t GetConfigAssignmentKeyAt(uint32_t index) = 0;
    virtual void SetLightOn(int32_t zone, uint8_t on, IMouseProfile* p) = 0;
    virtual uint8_t GetLightOn(int32_t zone, IMouseProfile* p) = 0;
    virtual void SetLightColor(int32_t zone, int32_t colour, IMouseProfile* p) = 0;        // 75
    virtual int32_t GetLightColor(int32_t zone, IMouseProfile* p) = 0;
    virtual void SetLightFlag(int32_t zone, uint8_t effect, IMouseProfile* p) = 0;
    virtual uint8_t GetLightFlag(int32_t zone, IMouseProfile* p) = 0;
    virtual CMacro* AddMacro(const wchar_t* name) = 0;
    virtual void RemoveMacro(CMacro* macro) = 0;                                           // 80
    virtual CMacro* FindMacroByGuid(GUID id) = 0;
    virtual CMacro* FindMacro(const wchar_t* name) = 0;
    virtual CMacro* GetMacroAt(uint32_t index) = 0;
    virtual void Reserved84(int32_t) = 0;
    virtual bool Reserved85() = 0;                                                          // 85
    virtual void Reserved86(int32_t) = 0;
    virtual bool Reserved87() = 0;
    virtual int32_t GetAppCount() = 0;
    virtual CVtApp* AddApp(const wchar_t* path) = 0;
    virtual void RemoveApp(CVtApp* app) = 0;                                               // 90
    virtual CVtApp* FindAppByGuid(GUID id) = 0;
    virtual CVtApp* FindApp(const wchar_t* path) = 0;
    virtual CVtApp* GetAppAt(uint32_t index) = 0;
    virtual void Reserved94(int32_t, int32_t, int32_t) = 0;
    virtual bool Reserved95(int32_t, int32_t) = 0;                                          // 95
    virtual void Reserved96(int32_t, int32_t) = 0;
    virtual int32_t Reserved97(int32_t) = 0;
    virtual void Reserved98(int32_t, int32_t) = 0;
    virtual bool Reserved99(int32_t) = 0;
    virtual void Reserved100(int32_t, int32_t) = 0;                                         // 100
    virtual bool Reserved101(int32_t) = 0;
    virtual void Reserved102(int32_t, int32_t) = 0;
    virtual bool Reserved103(int32_t) = 0;
    virtual void Reserved104(int32_t, int32_t) = 0;
    virtual int32_t Reserved105(int32_t) = 0;                                               // 105
    virtual void Reserved106(int32_t, int32_t) = 0;
    virtual int32_t Reserved107(int32_t) = 0;
    virtual void Reserved108(int32_t, int32_t) = 0;
    virtual int32_t Reserved109(int32_t) = 0;
    virtual void LoadActiveProfile() = 0;                                                   // 110
    virtual bool SaveActiveProfile() = 0;
    virtual int32_t LoadAllProfiles() = 0;
    virtual bool SaveProfile(IMouseProfile* p) = 0;
    virtual int32_t Reserved114() = 0;
    virtual int32_t Reserved115() = 0;                                                      // 115
    virtual int32_t Reserved116() = 0;
    virtual int32_t Reserved117() = 0;
    virtual int32_t Reserved118() = 0;
    virtual int32_t Reserved119() = 0;
    virtual uint32_t GetAccelerationMin() = 0;                                              // 120
    virtual uint32_t GetAccelerationMax() = 0;
    virtual int32_t Reserved122() = 0;
    virtual int32_t Reserved123() = 0;
    virtual int32_t GetApmStageCount() = 0;
    virtual bool SetApmStageColor(uint32_t index, int32_t colour) = 0;                      // 125
    virtual bool SetApmStageRange(uint32_t index, int32_t low, uint32_t high) = 0;
    virtual bool GetApmStageColor(uint32_t index, int32_t* colour) = 0;
    virtual bool GetApmStageRange(uint32_t index, int32_t* low, uint32_t* high) = 0;
    virtual bool AddApmStage(int32_t colour, int32_t low, uint32_t high) = 0;
    virtual bool Reserved130(uint32_t) = 0;                                                 // 130
    virtual void ClearApmStages() = 0;

    // After every slot: the configuration is deleted through its interface at program end.
    virtual ~IMouseConfig() = default;
};

class IKeyboardConfig {
public:
    virtual void DeleteAllProfiles() = 0;                                                  // 0
    virtual void SetDevice(IGenDevice<IKeyboardConfig*, IKeyboardProfile*>* device) = 0;
    virtual int32_t GetMaxMacroBytes() = 0;
    virtual int32_t GetProfileCount() = 0;
    virtual int32_t GetMacroCount() = 0;
    virtual IKeyboardProfile* CreateProfile(const wchar_t* name) = 0;                      // 5
    virtual IKeyboardProfile* AddProfileCopy(IKeyboardProfile* p) = 0;
    virtual IKeyboardProfile* FindProfileById(GUID id) = 0;
    virtual IKeyboardProfile* FindProfileByName(const wchar_t* name) = 0;
    virtual IKeyboardProfile* GetProfileAt(uint32_t index) = 0;
    virtual IKeyboardProfile* GetCurrentProfile() = 0;                                     // 10
    virtual void SetCurrentProfile(IKeyboardProfile* p) = 0;
    virtual IKeyboardProfile* RenameProfile(IKeyboardProfile* p, const wchar_t* name) = 0;
    virtual IKeyboardProfile* DuplicateProfile(IKeyboardProfile* p, const wchar_t* name) = 0;
    virtual void DeleteProfile(IKeyboardProfile* p) = 0;
    virtual CMacro* AddMacro(const wchar_t* name) = 0;                                     // 15
    virtual void RemoveMacro(CMacro* macro) = 0;
    virtual CMacro* FindMacroByGuid(GUID id) = 0;
    virtual CMacro* FindMacro(const wchar_t* name) = 0;
    virtual CMacro* GetMacroAt(uint32_t index) = 0;
    virtual void Reserved20(int32_t) = 0;                                                   // 20
    virtual bool Reserved21() = 0;
    virtual void Reserved22(int32_t) = 0;
    virtual bool Reserved23() = 0;
    virtual int32_t GetAppCount() = 0;
    virtual CVtApp* AddApp(const wchar_t* path) = 0;                                       // 25
    virtual void RemoveApp(CVtApp* app) = 0;
    virtual CVtApp* FindAppByGuid(GUID id) = 0;
    virtual CVtApp* FindApp(const wchar_t* path) = 0;
    virtual CVtApp* GetAppAt(uint32_t index) = 0;
    virtual void LoadActiveProfile() = 0;                                                   // 30
    virtual bool SaveActiveProfile() = 0;
    virtual int32_t LoadAllProfiles() = 0;
    virtual bool SaveProfile(IKeyboardProfile* p) = 0;
    virtual void SetAssignment(int32_t id, AssignmentRecord record, IKeyboardProfile* p) = 0;
    virtual AssignmentRecord* GetAssignment(AssignmentRecord* out, int32_t id, IKeyboardProfile* p) = 0;  // 35
    virtual void Reserved36(IKeyboardProfile*, uint8_t) = 0;                                // does nothing
    virtual bool Reserved37(IKeyboardProfile*) = 0;                                         // answers true
    virtual void SetLightOn(int32_t zone, uint8_t on, IKeyboardProfile* p) = 0;
    virtual uint8_t GetLightOn(int32_t zone, IKeyboardProfile* p) = 0;
    virtual void SetLightColor(int32_t zone, int32_t colour, IKeyboardProfile* p) = 0;     // 40
    virtual int32_t GetLightColor(int32_t zone, IKeyboardProfile* p) = 0;
    virtual void SetLightFlag(int32_t zone, uint8_t effect, IKeyboardProfile* p) = 0;
    virtual uint8_t GetLightFlag(int32_t zone, IKeyboardProfile* p) = 0;
    virtual int32_t GetConfigAssignmentCount() = 0;
    virtual void SetConfigAssignment(int32_t key, AssignmentRecord record) = 0;             // 45
    virtual AssignmentRecord* GetConfigAssignment(AssignmentRecord* out, int32_t key) = 0;
    virtual int32_t GetConfigAssignmentKeyAt(uint32_t index) = 0;
    virtual void Reserved48(int32_t, int32_t) = 0;
    virtual bool Reserved49(int32_t) = 0;
    virtual void SetProfileOsdEnabledAll(uint8_t on) = 0;                                   // 50
    virtual void SetProfileOsdEnabled(uint8_t on, IKeyboardProfile* p) = 0;
    virtual uint8_t GetProfileOsdEnabled(IKeyboardProfile* p) = 0;
    virtual int32_t GetApmStageCount() = 0;
    virtual bool SetApmStageColor(uint32_t index, int32_t colour) = 0;
    virtual bool SetApmStageRange(uint32_t index, int32_t low, uint32_t high) = 0;          // 55
    virtual bool GetApmStageColor(uint32_t index, int32_t* colour) = 0;
    virtual bool GetApmStageRange(uint32_t index, int32_t* low, uint32_t* high) = 0;
    virtual bool AddApmStage(int32_t colour, int32_t low, uint32_t high) = 0;
    virtual bool Reserved59(uint32_t) = 0;
    virtual void ClearApmStages() = 0;                                                      // 60

    virtual ~IKeyboardConfig() = default;
};

class IAudioConfig {
public:
    virtual void DeleteAllProfiles() = 0;                                                  // 0
    virtual void SetDevice(IAudioDevice* device) = 0;
    virtual int32_t GetProfileCount() = 0;
    virtual bool SetVolumeRange(int32_t min, int32_t max, int32_t step) = 0;
    virtual void SetMasterVolume(int32_t volume) = 0;
    virtual int32_t GetMasterVolume() = 0;                                                 // 5
    virtual void SetBalance(int32_t left, int32_t right) = 0;
    virtual void GetBalance(int32_t* left, int32_t* right) = 0;
    virtual void SetMute(uint8_t on) = 0;
    virtual uint8_t GetMute() = 0;
    virtual void GetVolumeRange(int32_t* min, int32_t* max, int32_t* step) = 0;            // 10
    virtual bool SetMicRange(int32_t min, int32_t max, int32_t step) = 0;
    virtual void SetMicVolume(int32_t volume) = 0;
    virtual int32_t GetMicVolume() = 0;
    virtual void SetMicMute(uint8_t on) = 0;
    virtual uint8_t GetMicMute() = 0;                                                      // 15
    virtual void SetMicAutoGain(uint8_t on) = 0;
    virtual uint8_t GetMicAutoGain() = 0;
    virtual void SetMicNoiseReduction(uint8_t on) = 0;
    virtual uint8_t GetMicNoiseReduction() = 0;
    virtual void GetMicRange(int32_t* min, int32_t* max, int32_t* step) = 0;               // 20
    virtual IAudioProfile* CreateProfile(const wchar_t* name) = 0;
    virtual IAudioProfile* AddProfileCopy(IAudioProfile* p) = 0;
    virtual IAudioProfile* FindProfileById(GUID id) = 0;
    virtual IAudioProfile* FindProfileByName(const wchar_t* name) = 0;
    virtual IAudioProfile* GetProfileAt(uint32_t index) = 0;                               // 25
    virtual IAudioProfile* GetCurrentProfile() = 0;
    virtual void SetCurrentProfile(IAudioProfile* p) = 0;
    virtual IAudioProfile* RenameProfile(IAudioProfile* p, const wchar_t* name) = 0;
    virtual IAudioProfile* DuplicateProfile(IAudioProfile* p, const wchar_t* name) = 0;
    virtual void DeleteProfile(IAudioProfile* p) = 0;                                      // 30
    virtual uint32_t GetBandCount(IAudioProfile* p) = 0;
    virtual bool InitBands(const std::vector<int32_t>& bands, int32_t min, int32_t max, int32_t scale, IAudioProfile* p) = 0;
    virtual bool SetAllBandGains(const BandGains& gains, IAudioProfile* p) = 0;
    virtual bool SetBandGain(int32_t band, int16_t gain, IAudioProfile* p) = 0;
    virtual bool GetAllBandGains(BandGains& out, IAudioProfile* p) = 0;                    // 35
    virtual int16_t GetBandGain(int32_t band, IAudioProfile* p) = 0;
    virtual void GetGainRange(int32_t* min, int32_t* max, int32_t* scale, IAudioProfile* p) = 0;
    virtual int32_t GetBandIdAt(uint32_t position, IAudioProfile* p) = 0;
    virtual void SetEqualizerEnabled(uint8_t on, IAudioProfile* p) = 0;
    virtual uint8_t GetEqualizerEnabled(IAudioProfile* p) = 0;                             // 40
    virtual void SetLightOn(int32_t zone, uint8_t on, IAudioProfile* p) = 0;
    virtual uint8_t GetLightOn(int32_t zone, IAudioProfile* p) = 0;
    virtual void SetLightColor(int32_t zone, int32_t colour, IAudioProfile* p) = 0;
    virtual int32_t GetLightColor(int32_t zone, IAudioProfile* p) = 0;
    virtual void SetLightFlag(int32_t zone, uint8_t effect, IAudioProfile* p) = 0;         // 45
    virtual uint8_t GetLightFlag(int32_t zone, IAudioProfile* p) = 0;
    virtual int32_t GetConfigAssignmentCount() = 0;
    virtual void SetConfigAssignment(int32_t key, AssignmentRecord record) = 0;
    virtual AssignmentRecord* GetConfigAssignment(AssignmentRecord* out, int32_t key) = 0;
    virtual int32_t GetConfigAssignmentKeyAt(uint32_t index) = 0;                           // 50
    virtual int32_t GetApmStageCount() = 0;
    virtual bool SetApmStageColor(uint32_t index, int32_t colour) = 0;
    virtual bool SetApmStageRange(uint32_t index, int32_t low, uint32_t high) = 0;
    virtual bool GetApmStageColor(uint32_t index, int32_t* colour) = 0;
    virtual bool GetApmStageRange(uint32_t index, int32_t* low, uint32_t* high) = 0;        // 55
    virtual bool AddApmStage(int32_t colour, int32_t low, uint32_t high) = 0;
    virtual bool RemoveApmStageAt(uint32_t index) = 0;
    virtual void ClearApmStages() = 0;

    virtual ~IAudioConfig() = default;
};
