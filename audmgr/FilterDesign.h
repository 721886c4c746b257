#pragma once
// Equaliser band filter design: one band record becomes the 11-byte biquad coefficient block the
// headset's signal processor takes, with a result code telling how far the quantised filter strays.
#include <cstdint>

namespace vt::aud {

// One equaliser band as stored in the profile's "EQ" value (little-endian, 8 bytes).
#pragma pack(push, 1)
struct EqBand {
    uint16_t type;       // 0 peaking, 1 low shelf, 2 high shelf, 3 low pass, 4 high pass (low 4 bits)
    uint16_t frequency;  // Hz
    uint16_t q;          // Q x 256
    int16_t gain;        // dB x 256
};
#pragma pack(pop)
static_assert(sizeof(EqBand) == 8, "band record layout");

constexpr int kEqBlockSize = 11;          // int16 b0, b1, b2, -a1, -a2; uint8 shift
constexpr uint32_t kDefaultSampleRate = 48000;

// Result code bits.
enum : uint32_t {
    kDesignMissing = 0x002,     // band record or block missing; nothing computed
    kDesignBadType = 0x004,     // type above 4; nothing computed
    kDesignBadFrequency = 0x008, // frequency 0 or at/above half the sampling rate; nothing computed
    kDesignUnstable = 0x100,    // quantised filter unstable; block not filled
    kDesignTypeDiffers = 0x200,
    kDesignFrequencyOff = 0x400,
    kDesignQOff = 0x800,
    kDesignGainOff = 0x1000,
};
// Codes that forbid writing the block to the headset (the others only report recognition
// differences of a block that is still a valid, stable filter).
constexpr uint32_t kDesignBlockingCodes = 0x1FF;

// Designs the band's filter at sampling rate fs (0 means 48000 Hz) into block (11 bytes).
uint32_t DesignBandFilter(uint32_t fs, const EqBand* band, uint8_t* block);

// What the recognition step found in a quantised block (exposed for tests and tools).
struct RecognisedFilter {
    int type = 15;
    int frequency = 0;  // Hz
    int q = 0;          // Q x 256
    int gain = 0;       // dB x 256
};
RecognisedFilter RecogniseBlock(uint32_t fs, const uint8_t* block);

// Response in dB of the filter held in a block, at angular frequency w (radians per sample).
float BlockResponseDb(const uint8_t* block, float w);

} // namespace vt::aud
