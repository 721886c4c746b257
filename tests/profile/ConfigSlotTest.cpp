// The device layer and the pages call the configuration and profile interfaces by slot: check the
// slot of every named operation against the published numbering.
#include "profile/AudioConfig.h"
#include "profile/KeyboardConfig.h"
#include "profile/MouseConfig.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {

// Slot of a virtual member function: the compiler's member pointer holds 1 + the byte offset of the
// function's entry in the virtual table.
template <class T, class F>
size_t SlotOf(F T::*member) {
    struct {
        uintptr_t ptr;
        ptrdiff_t adj;
    } rep;
    static_assert(sizeof(member) == sizeof(rep));
    std::memcpy(&rep, &member, sizeof(rep));
    return (rep.ptr - 1) / sizeof(void*);
}

#define EXPECT_SLOT(Iface, name, slot) EXPECT_EQ(SlotOf(&Iface::name), size_t(slot)) << #name

TEST(ConfigSlotTest, MouseConfiguration) {
    EXPECT_SLOT(IMouseConfig, DeleteAllProfiles, 0);
    EXPECT_SLOT(IMouseConfig, SetDevice, 1);
    EXPECT_SLOT(IMouseConfig, SetMaxDpiStageCount, 2);
    EXPECT_SLOT(IMouseConfig, SetAccelerationRange, 3);
    EXPECT_SLOT(IMouseConfig, SetRateList, 4);
    EXPECT_SLOT(IMouseConfig, SetDpiStageCount, 5);
    EXPECT_SLOT(IMouseConfig, GetProfileCount, 6);
    EXPECT_SLOT(IMouseConfig, GetMacroCount, 7);
    EXPECT_SLOT(IMouseConfig, GetMaxDpiStageCount, 8);
    EXPECT_SLOT(IMouseConfig, GetDpiStageCount, 9);
    EXPECT_SLOT(IMouseConfig, GetRateCount, 11);
    EXPECT_SLOT(IMouseConfig, CreateProfile, 12);
    EXPECT_SLOT(IMouseConfig, GetProfileAt, 14);
    EXPECT_SLOT(IMouseConfig, FindProfileById, 15);
    EXPECT_SLOT(IMouseConfig, FindProfileByName, 16);
    EXPECT_SLOT(IMouseConfig, RenameProfile, 17);
    EXPECT_SLOT(IMouseConfig, DuplicateProfile, 18);
    EXPECT_SLOT(IMouseConfig, DeleteProfile, 19);
    EXPECT_SLOT(IMouseConfig, GetCurrentProfile, 20);
    EXPECT_SLOT(IMouseConfig, SetCurrentProfile, 21);
    EXPECT_SLOT(IMouseConfig, SetProfileOsdEnabledAll, 26);
    EXPECT_SLOT(IMouseConfig, GetProfileOsdEnabled, 28);
    EXPECT_SLOT(IMouseConfig, SetDpiOsdEnabled, 29);
    EXPECT_SLOT(IMouseConfig, GetDpiOsdEnabled, 30);
    EXPECT_SLOT(IMouseConfig, SetDpiStageSeparateXY, 31);
    EXPECT_SLOT(IMouseConfig, GetDpiStageSeparateXY, 32);
    EXPECT_SLOT(IMouseConfig, SetAccelerationEnabled, 33);
    EXPECT_SLOT(IMouseConfig, GetAccelerationEnabled, 34);
    EXPECT_SLOT(IMouseConfig, SetAcceleration, 35);
    EXPECT_SLOT(IMouseConfig, GetAcceleration, 36);
    EXPECT_SLOT(IMouseConfig, SetActiveDpiStage, 37);
    EXPECT_SLOT(IMouseConfig, GetActiveDpiStage, 38);
    EXPECT_SLOT(IMouseConfig, SetDpiStageValue, 39);
    EXPECT_SLOT(IMouseConfig, GetDpiStageValue, 40);
    EXPECT_SLOT(IMouseConfig, SetDpi, 41);
    EXPECT_SLOT(IMouseConfig, GetDpi, 42);
    EXPECT_SLOT(IMouseConfig, SetDpiX, 43);
    EXPECT_SLOT(IMouseConfig, GetDpiX, 44);
    EXPECT_SLOT(IMouseConfig, SetDpiY, 45);
    EXPECT_SLOT(IMouseConfig, GetDpiY, 46);
    EXPECT_SLOT(IMouseConfig, SetSeparateXY, 47);
    EXPECT_SLOT(IMouseConfig, GetSeparateXY, 48);
    EXPECT_SLOT(IMouseConfig, SetDpiStageValueX, 49);
    EXPECT_SLOT(IMouseConfig, GetDpiStageValueX, 50);
    EXPECT_SLOT(IMouseConfig, SetDpiStageValueY, 51);
    EXPECT_SLOT(IMouseConfig, GetDpiStageValueY, 52);
    EXPECT_SLOT(IMouseConfig, SetDpiRange, 53);
    EXPECT_SLOT(IMouseConfig, GetDpiRange, 54);
    EXPECT_SLOT(IMouseConfig, SetRateIndex, 59);
    EXPECT_SLOT(IMouseConfig, GetRateIndex, 60);
    EXPECT_SLOT(IMouseConfig, GetRateAt, 61);
    EXPECT_SLOT(IMouseConfig, SetButtonAssignment, 62);
    EXPECT_SLOT(IMouseConfig, GetButtonAssignment, 63);
    EXPECT_SLOT(IMouseConfig, HasLeftClickAssigned, 64);
    EXPECT_SLOT(IMouseConfig, SetAssignment, 65);
    EXPECT_SLOT(IMouseConfig, GetAltButtonsEnabled, 68);
    EXPECT_SLOT(IMouseConfig, GetConfigAssignmentCount, 69);
    EXPECT_SLOT(IMouseConfig, SetConfigAssignment, 70);
    EXPECT_SLOT(IMouseConfig, GetConfigAssignment, 71);
    EXPECT_SLOT(IMouseConfig, GetConfigAssignmentKeyAt, 72);
    EXPECT_SLOT(IMouseConfig, SetLightOn, 73);
    EXPECT_SLOT(IMouseConfig, GetLightOn, 74);
    EXPECT_SLOT(IMouseConfig, SetLightColor, 75);
    EXPECT_SLOT(IMouseConfig, GetLightColor, 76);
    EXPECT_SLOT(IMouseConfig, SetLightFlag, 77);
    EXPECT_SLOT(IMouseConfig, GetLightFlag, 78);
    EXPECT_SLOT(IMouseConfig, AddMacro, 79);
    EXPECT_SLOT(IMouseConfig, RemoveMacro, 80);
    EXPECT_SLOT(IMouseConfig, FindMacroByGuid, 81);
    EXPECT_SLOT(IMouseConfig, FindMacro, 82);
    EXPECT_SLOT(IMouseConfig, GetMacroAt, 83);
    EXPECT_SLOT(IMouseConfig, Reserved84, 84);
    EXPECT_SLOT(IMouseConfig, Reserved87, 87);
    EXPECT_SLOT(IMouseConfig, GetAppCount, 88);
    EXPECT_SLOT(IMouseConfig, GetAppAt, 93);
    EXPECT_SLOT(IMouseConfig, Reserved109, 109);
    EXPECT_SLOT(IMouseConfig, LoadActiveProfile, 110);
    EXPECT_SLOT(IMouseConfig, SaveActiveProfile, 111);
    EXPECT_SLOT(IMouseConfig, LoadAllProfiles, 112);
    EXPECT_SLOT(IMouseConfig, SaveProfile, 113);
    EXPECT_SLOT(IMouseConfig, GetAccelerationMin, 120);
    EXPECT_SLOT(IMouseConfig, GetAccelerationMax, 121);
    EXPECT_SLOT(IMouseConfig, GetApmStageCount, 124);
    EXPECT_SLOT(IMouseConfig, GetApmStageColor, 127);
    EXPECT_SLOT(IMouseConfig, GetApmStageRange, 128);
    EXPECT_SLOT(IMouseConfig, AddApmStage, 129);
    EXPECT_SLOT(IMouseConfig, Reserved130, 130);
    EXPECT_SLOT(IMouseConfig, ClearApmStages, 131);
}

TEST(ConfigSlotTest, KeyboardConfiguration) {
    EXPECT_SLOT(IKeyboardConfig, DeleteAllProfiles, 0);
    EXPECT_SLOT(IKeyboardConfig, SetDevice, 1);
    EXPECT_SLOT(IKeyboardConfig, GetMaxMacroBytes, 2);
    EXPECT_SLOT(IKeyboardConfig, GetProfileCount, 3);
    EXPECT_SLOT(IKeyboardConfig, GetMacroCount, 4);
    EXPECT_SLOT(IKeyboardConfig, CreateProfile, 5);
    EXPECT_SLOT(IKeyboardConfig, FindProfileById, 7);
    EXPECT_SLOT(IKeyboardConfig, FindProfileByName, 8);
    EXPECT_SLOT(IKeyboardConfig, GetProfileAt, 9);
    EXPECT_SLOT(IKeyboardConfig, GetCurrentProfile, 10);
    EXPECT_SLOT(IKeyboardConfig, SetCurrentProfile, 11);
    EXPECT_SLOT(IKeyboardConfig, RenameProfile, 12);
    EXPECT_SLOT(IKeyboardConfig, DuplicateProfile, 13);
    EXPECT_SLOT(IKeyboardConfig, DeleteProfile, 14);
    EXPECT_SLOT(IKeyboardConfig, AddMacro, 15);
    EXPECT_SLOT(IKeyboardConfig, RemoveMacro, 16);
    EXPECT_SLOT(IKeyboardConfig, FindMacroByGuid, 17);
    EXPECT_SLOT(IKeyboardConfig, FindMacro, 18);
    EXPECT_SLOT(IKeyboardConfig, GetMacroAt, 19);
    EXPECT_SLOT(IKeyboardConfig, Reserved20, 20);
    EXPECT_SLOT(IKeyboardConfig, Reserved23, 23);
    EXPECT_SLOT(IKeyboardConfig, GetAppCount, 24);
    EXPECT_SLOT(IKeyboardConfig, AddApp, 25);
    EXPECT_SLOT(IKeyboardConfig, RemoveApp, 26);
    EXPECT_SLOT(IKeyboardConfig, FindAppByGuid, 27);
    EXPECT_SLOT(IKeyboardConfig, FindApp, 28);
    EXPECT_SLOT(IKeyboardConfig, GetAppAt, 29);
    EXPECT_SLOT(IKeyboardConfig, LoadActiveProfile, 30);
    EXPECT_SLOT(IKeyboardConfig, SaveProfile, 33);
    EXPECT_SLOT(IKeyboardConfig, SetAssignment, 34);
    EXPECT_SLOT(IKeyboardConfig, GetAssignment, 35);
    EXPECT_SLOT(IKeyboardConfig, Reserved36, 36);
    EXPECT_SLOT(IKeyboardConfig, Reserved37, 37);
    EXPECT_SLOT(IKeyboardConfig, SetLightOn, 38);
    EXPECT_SLOT(IKeyboardConfig, GetLightOn, 39);
    EXPECT_SLOT(IKeyboardConfig, SetLightColor, 40);
    EXPECT_SLOT(IKeyboardConfig, GetLightColor, 41);
    EXPECT_SLOT(IKeyboardConfig, SetLightFlag, 42);
    EXPECT_SLOT(IKeyboardConfig, GetLightFlag, 43);
    EXPECT_SLOT(IKeyboardConfig, GetConfigAssignmentCount, 44);
    EXPECT_SLOT(IKeyboardConfig, SetConfigAssignment, 45);
    EXPECT_SLOT(IKeyboardConfig, GetConfigAssignment, 46);
    EXPECT_SLOT(IKeyboardConfig, GetConfigAssignmentKeyAt, 47);
    EXPECT_SLOT(IKeyboardConfig, SetProfileOsdEnabledAll, 50);
    EXPECT_SLOT(IKeyboardConfig, GetProfileOsdEnabled, 52);
    EXPECT_SLOT(IKeyboardConfig, GetApmStageCount, 53);
    EXPECT_SLOT(IKeyboardConfig, GetApmStageColor, 56);
    EXPECT_SLOT(IKeyboardConfig, GetApmStageRange, 57);
    EXPECT_SLOT(IKeyboardConfig, AddApmStage, 58);
    EXPECT_SLOT(IKeyboardConfig, ClearApmStages, 60);
}

TEST(ConfigSlotTest, HeadsetConfiguration) {
    EXPECT_SLOT(IAudioConfig, DeleteAllProfiles, 0);
    EXPECT_SLOT(IAudioConfig, SetDevice, 1);
    EXPECT_SLOT(IAudioConfig, GetProfileCount, 2);
    EXPECT_SLOT(IAudioConfig, SetVolumeRange, 3);
    EXPECT_SLOT(IAudioConfig, SetMasterVolume, 4);
    EXPECT_SLOT(IAudioConfig, GetMasterVolume, 5);
    EXPECT_SLOT(IAudioConfig, SetBalance, 6);
    EXPECT_SLOT(IAudioConfig, GetBalance, 7);
    EXPECT_SLOT(IAudioConfig, SetMute, 8);
    EXPECT_SLOT(IAudioConfig, GetMute, 9);
    EXPECT_SLOT(IAudioConfig, GetVolumeRange, 10);
    EXPECT_SLOT(IAudioConfig, SetMicRange, 11);
    EXPECT_SLOT(IAudioConfig, SetMicVolume, 12);
    EXPECT_SLOT(IAudioConfig, GetMicVolume, 13);
    EXPECT_SLOT(IAudioConfig, SetMicMute, 14);
    EXPECT_SLOT(IAudioConfig, GetMicMute, 15);
    EXPECT_SLOT(IAudioConfig, SetMicAutoGain, 16);
    EXPECT_SLOT(IAudioConfig, GetMicAutoGain, 17);
    EXPECT_SLOT(IAudioConfig, SetMicNoiseReduction, 18);
    EXPECT_SLOT(IAudioConfig, GetMicNoiseReduction, 19);
    EXPECT_SLOT(IAudioConfig, GetMicRange, 20);
    EXPECT_SLOT(IAudioConfig, CreateProfile, 21);
    EXPECT_SLOT(IAudioConfig, FindProfileById, 23);
    EXPECT_SLOT(IAudioConfig, FindProfileByName, 24);
    EXPECT_SLOT(IAudioConfig, GetProfileAt, 25);
    EXPECT_SLOT(IAudioConfig, GetCurrentProfile, 26);
    EXPECT_SLOT(IAudioConfig, SetCurrentProfile, 27);
    EXPECT_SLOT(IAudioConfig, GetBandCount, 31);
    EXPECT_SLOT(IAudioConfig, InitBands, 32);
    EXPECT_SLOT(IAudioConfig, SetAllBandGains, 33);
    EXPECT_SLOT(IAudioConfig, SetBandGain, 34);
    EXPECT_SLOT(IAudioConfig, GetBandGain, 36);
    EXPECT_SLOT(IAudioConfig, GetGainRange, 37);
    EXPECT_SLOT(IAudioConfig, GetBandIdAt, 38);
    EXPECT_SLOT(IAudioConfig, SetEqualizerEnabled, 39);
    EXPECT_SLOT(IAudioConfig, GetEqualizerEnabled, 40);
    EXPECT_SLOT(IAudioConfig, SetLightOn, 41);
    EXPECT_SLOT(IAudioConfig, GetLightFlag, 46);
    EXPECT_SLOT(IAudioConfig, GetConfigAssignmentCount, 47);
    EXPECT_SLOT(IAudioConfig, SetConfigAssignment, 48);
    EXPECT_SLOT(IAudioConfig, GetConfigAssignment, 49);
    EXPECT_SLOT(IAudioConfig, GetConfigAssignmentKeyAt, 50);
    EXPECT_SLOT(IAudioConfig, GetApmStageCount, 51);
    EXPECT_SLOT(IAudioConfig, GetApmStageColor, 54);
    EXPECT_SLOT(IAudioConfig, GetApmStageRange, 55);
    EXPECT_SLOT(IAudioConfig, AddApmStage, 56);
    EXPECT_SLOT(IAudioConfig, RemoveApmStageAt, 57);
    EXPECT_SLOT(IAudioConfig, ClearApmStages, 58);
}

TEST(ConfigSlotTest, ProfileInterfaces) {
    EXPECT_SLOT(IMouseProfile, SetMaxDpiStageCount, 0);
    EXPECT_SLOT(IMouseProfile, GetName, 6);
    EXPECT_SLOT(IMouseProfile, SetId, 10);
    EXPECT_SLOT(IMouseProfile, SetProfilePath, 15);
    EXPECT_SLOT(IMouseProfile, GetActiveDpiStage, 25);
    EXPECT_SLOT(IMouseProfile, SetDpiRange, 40);
    EXPECT_SLOT(IMouseProfile, GetLightFlag, 47);
    EXPECT_SLOT(IMouseProfile, SetButtonAssignment, 50);
    EXPECT_SLOT(IMouseProfile, IsActionAllowedForButton, 57);
    EXPECT_SLOT(IMouseProfile, GetAllowedActionsForButton, 59);
    EXPECT_SLOT(IMouseProfile, LoadFromFile, 63);
    EXPECT_SLOT(IKeyboardProfile, GetName, 0);
    EXPECT_SLOT(IKeyboardProfile, ResetAssignmentsToDefault, 2);
    EXPECT_SLOT(IKeyboardProfile, GetAllowedAssignmentTypes, 14);
    EXPECT_SLOT(IKeyboardProfile, GetProfileOsdEnabled, 18);
    EXPECT_SLOT(IKeyboardProfile, LoadFromFile, 28);
    EXPECT_SLOT(IAudioProfile, GetName, 0);
    EXPECT_SLOT(IAudioProfile, SetId, 5);
    EXPECT_SLOT(IAudioProfile, GetAllBandGains, 10);
    EXPECT_SLOT(IAudioProfile, GetEqualizerEnabled, 15);
    EXPECT_SLOT(IAudioProfile, GetLightFlag, 21);
}

} // namespace
