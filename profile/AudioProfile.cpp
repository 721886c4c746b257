#include "profile/AudioProfile.h"

CAudioProfile::CAudioProfile(const CAudioProfile& other)
    : CBaseProfile(other),
      m_gains(other.m_gains),
      m_gainMin(other.m_gainMin),
      m_gainMax(other.m_gainMax),
      m_gainScale(other.m_gainScale),
      m_eqEnabled(other.m_eqEnabled) {}

bool CAudioProfile::InitBands(const std::vector<int32_t>& bands, int32_t min, int32_t max, int32_t scale) {
    m_gainMin = min;
    m_gainMax = max;
    m_gainScale = scale;
    for (int32_t band : bands) m_gains[band] = 0;
    return true;
}

bool CAudioProfile::SetAllBandGains(const BandGains& gains) {
    for (const auto& [band, gain] : gains) m_gains[band] = gain;
    return true;
}

bool CAudioProfile::SetBandGain(int32_t band, int16_t gain) {
    int32_t g = gain;
    if (g < m_gainMin)
        g = m_gainMin;
    else if (g > m_gainMax)
        g = m_gainMax;
    m_gains[band] = int16_t(g);
    return true;
}

bool CAudioProfile::GetAllBandGains(BandGains& out) const {
    out = m_gains;
    return true;
}

int16_t CAudioProfile::GetBandGain(int32_t band) { return m_gains[band]; }

void CAudioProfile::GetGainRange(int32_t* min, int32_t* max, int32_t* scale) const {
    if (min) *min = m_gainMin;
    if (max) *max = m_gainMax;
    if (scale) *scale = m_gainScale;
}

int32_t CAudioProfile::GetBandIdAt(uint32_t position) const {
    if (position >= m_gains.size()) return 0;
    auto it = m_gains.begin();
    std::advance(it, position);
    return it->first;
}
