#pragma once
// The device objects a configuration is bound to (SetDevice). The device layer defines them; the
// model only keeps the pointer it is given and never calls through it, so declarations suffice:
//   IGenDevice<IMouseConfig*, IMouseProfile*>       the mouse and its do-nothing object
//   IGenDevice<IKeyboardConfig*, IKeyboardProfile*> the keyboard and its do-nothing object
//   IAudioDevice                                    the headset and its do-nothing object
template <class ConfigT, class ProfileT>
class IGenDevice;
class IAudioDevice;

class IMouseConfig;
class IKeyboardConfig;
class IAudioConfig;
class IMouseProfile;
class IKeyboardProfile;
class IAudioProfile;
