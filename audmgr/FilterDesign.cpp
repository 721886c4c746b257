// Equaliser band filter design: audio-equaliser cookbook biquads in their bandwidth form, quantised
// to 16-bit coefficients with a shared exponent, with a search over rounding directions that keeps
// the filter stable and closest to the ideal response. Single precision throughout.
#include "audmgr/FilterDesign.h"

#include <cmath>
#include <cstring>

namespace vt::aud {
namespace {

constexpr float kPi = 3.14159265358979323846f;
constexpr float kTwoPi = 6.283185307179586f;
constexpr float kHalfLn2 = 0.3465735902799726f;
constexpr float kSearchTolerance = 1.4980281131695715e-6f;

struct Biquad {
    float a1 = 0, a2 = 0, b0 = 1, b1 = 0, b2 = 0;
};

float ResponseDb(const Biquad& f, float w) {
    const float c1 = std::cos(w), s1 = std::sin(w);
    const float c2 = std::cos(2 * w), s2 = std::sin(2 * w);
    const float nr = f.b0 + f.b1 * c1 + f.b2 * c2;
    const float ni = -(f.b1 * s1 + f.b2 * s2);
    const float dr = 1 + f.a1 * c1 + f.a2 * c2;
    const float di = -(f.a1 * s1 + f.a2 * s2);
    const float n2 = nr * nr + ni * ni;
    const float d2 = dr * dr + di * di;
    if (n2 == 0) return -1000.0f;
    if (d2 == 0) return 1000.0f;
    return 10.0f * std::log10(n2 / d2);
}

// True when both roots of z^2 + a1 z + a2 lie strictly inside the unit circle.
bool Stable(float a1, float a2) {
    const float disc = a1 * a1 - 4 * a2;
    if (disc >= 0) {
        const float r = std::sqrt(disc);
        return std::fabs((-a1 + r) / 2) < 1 && std::fabs((-a1 - r) / 2) < 1;
    }
    return std::sqrt(a2) < 1;  // complex pair: |z|^2 = a2
}

int16_t Get16(const uint8_t* p) { return static_cast<int16_t>(p[0] | (p[1] << 8)); }
void Put16(uint8_t* p, int v) { p[0] = static_cast<uint8_t>(v & 0xFF); p[1] = static_cast<uint8_t>((v >> 8) & 0xFF); }

Biquad FromBlock(const uint8_t* block) {
    const int h = static_cast<int>(block[10]) - 2;
    const float scale = std::ldexp(1.0f, 15 - h);
    Biquad f;
    f.b0 = Get16(block) / scale;
    f.b1 = Get16(block + 2) / scale;
    f.b2 = Get16(block + 4) / scale;
    f.a1 = -Get16(block + 6) / scale;
    f.a2 = -Get16(block + 8) / scale;
    return f;
}

int RoundToInt(float v) {
    if (!std::isfinite(v)) return 0;
    if (v > 1e9f) return 1000000000;
    if (v < -1e9f) return -1000000000;
    return static_cast<int>(std::lround(v));
}

// Q x 256 from a bandwidth in octaves.
int QFieldFromBandwidth(float bw) {
    if (!(bw > 0) || !std::isfinite(bw)) return 30583;
    return RoundToInt(0.5f / std::sinh(kHalfLn2 * bw) * 256.0f);
}

// Bandwidth in octaves from alpha at w0 (the inverse of the design's alpha formula).
float BandwidthFromAlpha(float alpha, float w0) {
    const float s = std::sin(w0);
    if (!(alpha > 0) || !(s > 0) || !(w0 > 0)) return 0;
    return std::asinh(alpha / s) * s / (kHalfLn2 * w0);
}

// Frequency where |response| is largest: coarse grid of nine points, then interval halving.
float FindPeak(const Biquad& f) {
    int best = 0;
    float bestMag = -1;
    for (int k = 0; k <= 8; ++k) {
        const float m = std::fabs(ResponseDb(f, k * kPi / 8));
        if (m > bestMag) { bestMag = m; best = k; }
    }
    float lo = best > 0 ? (best - 1) * kPi / 8 : 0.0f;
    float hi = best < 8 ? (best + 1) * kPi / 8 : kPi;
    while (hi - lo > kSearchTolerance) {
        const float mid = (lo + hi) / 2, quarter = (hi - lo) / 4;
        const float left = std::fabs(ResponseDb(f, mid - quarter));
        const float right = std::fabs(ResponseDb(f, mid + quarter));
        const float before = hi - lo;
        if (left > right) hi = mid; else lo = mid;
        if (!(hi - lo < before)) break;  // no progress left in single precision
    }
    return (lo + hi) / 2;
}

// Frequency between 0 and pi where the response crosses target (interval halving).
float FindCrossing(const Biquad& f, float target) {
    float lo = 0, hi = kPi;
    const bool loBelow = ResponseDb(f, lo) < target;
    while (hi - lo > kSearchTolerance) {
        const float mid = (lo + hi) / 2;
        const float before = hi - lo;
        if ((ResponseDb(f, mid) < target) == loBelow) lo = mid; else hi = mid;
        if (!(hi - lo < before)) break;
    }
    return (lo + hi) / 2;
}

RecognisedFilter Recognise(uint32_t fs, const Biquad& f) {
    RecognisedFilter r;
    const float r0 = ResponseDb(f, 0), rpi = ResponseDb(f, kPi);
    const float toHz = 0.15915494309189535f * static_cast<float>(fs);
    float w = 0, gainDb = 0, bw = 0;
    if (r0 < -36) {
        // High pass: a1 = -2c/(1+alpha), a2 = (1-alpha)/(1+alpha); pass band at pi.
        r.type = 4;
        const float alpha = (1 - f.a2) / (1 + f.a2);
        const float c = -f.a1 / (1 + f.a2);
        w = std::acos(std::fmax(-1.0f, std::fmin(1.0f, c)));
        gainDb = rpi;
        bw = BandwidthFromAlpha(alpha, w);
    } else if (rpi < -36) {
        r.type = 3;
        const float alpha = (1 - f.a2) / (1 + f.a2);
        const float c = -f.a1 / (1 + f.a2);
        w = std::acos(std::fmax(-1.0f, std::fmin(1.0f, c)));
        gainDb = r0;
        bw = BandwidthFromAlpha(alpha, w);
    } else if (std::fabs(r0) <= 0.1f && std::fabs(rpi) <= 0.1f) {
        // Peaking: a2 = (1 - alpha/A)/(1 + alpha/A).
        r.type = 0;
        w = FindPeak(f);
        gainDb = ResponseDb(f, w);
        const float A = std::pow(10.0f, gainDb / 40.0f);
        bw = BandwidthFromAlpha(A * (1 - f.a2) / (1 + f.a2), w);
    } else if (std::fabs(r0) <= 0.1f || std::fabs(rpi) <= 0.1f) {
        // Shelves: half the gain is reached at w0; a2 = (P - 2 sqrt(A) alpha)/(P + 2 sqrt(A) alpha).
        const bool high = std::fabs(r0) <= 0.1f;
        r.type = high ? 2 : 1;
        gainDb = high ? rpi : r0;
        w = FindCrossing(f, gainDb / 2);
        const float A = std::pow(10.0f, gainDb / 40.0f);
        const float c = std::cos(w);
        const float P = high ? (A + 1) - (A - 1) * c : (A + 1) + (A - 1) * c;
        bw = BandwidthFromAlpha(P * (1 - f.a2) / (1 + f.a2) / (2 * std::sqrt(A)), w);
    } else {
        return r;  // unrecognised: type 15, everything 0
    }
    r.frequency = RoundToInt(toHz * w);
    r.gain = RoundToInt(gainDb * 256.0f);
    r.q = QFieldFromBandwidth(bw);
    return r;
}

bool Design(uint32_t fs, const EqBand& band, int type, Biquad& out) {
    const float A = std::pow(1.0592537251772889f, band.gain / 256.0f);
    const float w0 = kTwoPi * band.frequency / static_cast<float>(fs);
    const float bw = 2.8853900817779268f * std::asinh(128.0f / band.q);
    const float s = std::sin(w0), c = std::cos(w0);
    const float alpha = s * std::sinh(kHalfLn2 * bw * w0 / s);
    float b0 = 1, b1 = 0, b2 = 0, a0 = 1, a1 = 0, a2 = 0;
    const float sqA2a = 2 * std::sqrt(A) * alpha;
    switch (type) {
    case 0:
        if (band.gain != 0) {
            b0 = 1 + alpha * A; b1 = -2 * c; b2 = 1 - alpha * A;
            a0 = 1 + alpha / A; a1 = -2 * c; a2 = 1 - alpha / A;
        }
        break;
    case 1:
        if (band.gain != 0) {
            b0 = A * ((A + 1) - (A - 1) * c + sqA2a);
            b1 = 2 * A * ((A - 1) - (A + 1) * c);
            b2 = A * ((A + 1) - (A - 1) * c - sqA2a);
            a0 = (A + 1) + (A - 1) * c + sqA2a;
            a1 = -2 * ((A - 1) + (A + 1) * c);
            a2 = (A + 1) + (A - 1) * c - sqA2a;
        }
        break;
    case 2:
        if (band.gain != 0) {
            b0 = A * ((A + 1) + (A - 1) * c + sqA2a);
            b1 = -2 * A * ((A - 1) + (A + 1) * c);
            b2 = A * ((A + 1) + (A - 1) * c - sqA2a);
            a0 = (A + 1) - (A - 1) * c + sqA2a;
            a1 = 2 * ((A - 1) - (A + 1) * c);
            a2 = (A + 1) - (A - 1) * c - sqA2a;
        }
        break;
    case 3:
        b0 = b2 = A * A * (1 - c) / 2; b1 = 2 * b0;
        a0 = 1 + alpha; a1 = -2 * c; a2 = 1 - alpha;
        break;
    case 4:
        b0 = b2 = A * A * (1 + c) / 2; b1 = -2 * b0;
        a0 = 1 + alpha; a1 = -2 * c; a2 = 1 - alpha;
        break;
    }
    out.b0 = b0 / a0; out.b1 = b1 / a0; out.b2 = b2 / a0;
    out.a1 = a1 / a0; out.a2 = a2 / a0;
    return std::isfinite(out.b0) && std::isfinite(out.b1) && std::isfinite(out.b2) &&
           std::isfinite(out.a1) && std::isfinite(out.a2);
}

} // namespace

float BlockResponseDb(const uint8_t* block, float w) { return ResponseDb(FromBlock(block), w); }

RecognisedFilter RecogniseBlock(uint32_t fs, const uint8_t* block) {
    return Recognise(fs ? fs : kDefaultSampleRate, FromBlock(block));
}

uint32_t DesignBandFilter(uint32_t fs, const EqBand* band, uint8_t* block) {
    if (!band || !block) return kDesignMissing;
    if (fs == 0) fs = kDefaultSampleRate;
    const int type = band->type & 0x0F;
    if (type > 4) return kDesignBadType;

    if (band->q == 0) {
        // Pass-through block: h = 1, b0 = 1.0.
        std::memset(block, 0, kEqBlockSize);
        Put16(block, 0x4000);
        block[10] = 3;
        return 0;
    }
    // A frequency of 0 or at/above half the sampling rate has no filter (the design divides by
    // sin w0); such a band comes only from a damaged store and is refused before any arithmetic.
    if (band->frequency == 0 || 2u * band->frequency >= fs) return kDesignBadFrequency;

    Biquad ideal;
    if (!Design(fs, *band, type, ideal)) return kDesignUnstable;

    // Shared exponent h = floor(log2 M) + 1, so that the largest coefficient fills 15 bits.
    const float M = std::fmax(std::fmax(std::fabs(ideal.a1), std::fabs(ideal.a2)),
                              std::fmax(std::fabs(ideal.b0), std::fmax(std::fabs(ideal.b1), std::fabs(ideal.b2))));
    const float L = std::log(M) * 1.4426950408889634f;
    int h = static_cast<int>(L);
    if (L >= static_cast<float>(h)) h += 1;
    if (h < -2) h = -2;   // the shift byte h + 2 never wraps below 0
    if (h > 40) return kDesignUnstable;
    const float scale = std::ldexp(1.0f, 15 - h);

    const float w0 = kTwoPi * band->frequency / static_cast<float>(fs);
    float freqs[3] = {w0 / 2, w0, 1.2f * w0};
    if (type == 1 || type == 3) freqs[0] = 0;
    if (type == 2 || type == 4) freqs[2] = kPi;
    float reference[3];
    for (int i = 0; i < 3; ++i) reference[i] = ResponseDb(ideal, freqs[i]);

    const float ideals[5] = {ideal.a1, ideal.a2, ideal.b0, ideal.b1, ideal.b2};
    int base[5];
    for (int k = 0; k < 5; ++k) {
        const float v = std::floor(ideals[k] * scale);
        base[k] = v > 40000.f ? 40000 : v < -40000.f ? -40000 : static_cast<int>(v);
    }
    auto candidate = [&](int i, int k) {
        int v = base[k] + ((i >> k) & 1);
        return v < -32767 ? -32767 : v > 32767 ? 32767 : v;
    };
    int chosen = 0;
    float bestError = 30000.0f;
    for (int i = 0; i < 32; ++i) {
        Biquad q;
        q.a1 = candidate(i, 0) / scale; q.a2 = candidate(i, 1) / scale;
        q.b0 = candidate(i, 2) / scale; q.b1 = candidate(i, 3) / scale; q.b2 = candidate(i, 4) / scale;
        if (!Stable(q.a1, q.a2)) continue;
        float error = 0;
        for (int j = 0; j < 3; ++j) error = std::fmax(error, std::fabs(ResponseDb(q, freqs[j]) - reference[j]));
        if (error < bestError) { bestError = error; chosen = i; }
    }

    uint8_t out[kEqBlockSize];
    Put16(out, candidate(chosen, 2));
    Put16(out + 2, candidate(chosen, 3));
    Put16(out + 4, candidate(chosen, 4));
    Put16(out + 6, -candidate(chosen, 0));
    Put16(out + 8, -candidate(chosen, 1));
    out[10] = static_cast<uint8_t>(h + 2);

    const Biquad quantised = FromBlock(out);
    if (!Stable(quantised.a1, quantised.a2)) return kDesignUnstable;
    std::memcpy(block, out, kEqBlockSize);

    const RecognisedFilter rec = Recognise(fs, quantised);
    uint32_t code = 0;
    if (rec.type != type) code |= kDesignTypeDiffers;
    const float f = band->frequency, qf = band->q;
    if (f < 0.9f * rec.frequency || f > 1.1f * rec.frequency) code |= kDesignFrequencyOff;
    if (qf < 0.8f * rec.q || qf > 1.2f * rec.q) code |= kDesignQOff;
    if (std::abs(static_cast<int>(band->gain) - rec.gain) > 256) code |= kDesignGainOff;
    return code;
}

} // namespace vt::aud
