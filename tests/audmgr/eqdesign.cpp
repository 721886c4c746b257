// Prints the coefficient block and result code of the equaliser filter design for one band, so the
// design can be compared with an independent reference.
//   eqdesign <sampling rate> <type> <frequency Hz> <Q field (Q x 256)> <gain field (dB x 256)>
//   eqdesign -    reads one band a line ("fs type frequency qfield gainfield") from standard input
//                 and prints one line each: the code and the 11 block bytes in hexadecimal.
#include "audmgr/FilterDesign.h"

#include <cstdio>
#include <cstdlib>

static int Batch() {
    unsigned long fs, type, f, q;
    long g;
    while (std::scanf("%lu %lu %lu %lu %ld", &fs, &type, &f, &q, &g) == 5) {
        const vt::aud::EqBand band{static_cast<uint16_t>(type), static_cast<uint16_t>(f), static_cast<uint16_t>(q),
                                   static_cast<int16_t>(g)};
        uint8_t block[vt::aud::kEqBlockSize] = {};
        const uint32_t code = vt::aud::DesignBandFilter(static_cast<uint32_t>(fs), &band, block);
        std::printf("%04X", code);
        for (uint8_t b : block) std::printf(" %02x", b);
        std::printf("\n");
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 2 && argv[1][0] == '-' && argv[1][1] == 0) return Batch();
    if (argc != 6) {
        std::fprintf(stderr, "usage: eqdesign <fs> <type> <frequency> <qfield> <gainfield>\n");
        return 2;
    }
    const auto fs = static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 0));
    vt::aud::EqBand band{};
    band.type = static_cast<uint16_t>(std::strtoul(argv[2], nullptr, 0));
    band.frequency = static_cast<uint16_t>(std::strtoul(argv[3], nullptr, 0));
    band.q = static_cast<uint16_t>(std::strtoul(argv[4], nullptr, 0));
    band.gain = static_cast<int16_t>(std::strtol(argv[5], nullptr, 0));
    uint8_t block[vt::aud::kEqBlockSize] = {};
    const uint32_t code = vt::aud::DesignBandFilter(fs, &band, block);
    std::printf("code 0x%04X\nblock", code);
    for (uint8_t b : block) std::printf(" %02x", b);
    auto s16 = [&](int i) { return static_cast<int16_t>(block[i] | (block[i + 1] << 8)); };
    std::printf("\nb0 %d b1 %d b2 %d -a1 %d -a2 %d shift %u\n", s16(0), s16(2), s16(4), s16(6), s16(8), block[10]);
    const auto rec = vt::aud::RecogniseBlock(fs, block);
    std::printf("recognised type %d frequency %d q %d gain %d\n", rec.type, rec.frequency, rec.q, rec.gain);
    return 0;
}
