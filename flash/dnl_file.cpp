#include "dnl_file.hpp"

#include "firmware_versions.hpp"

namespace zarvelo {

std::uint16_t DNL_rechne_Pruefsumme(ByteView dnl) {
    std::uint16_t sum = 0;
    for (std::size_t p = kDnlHeaderSize; p < dnl.size(); p += 2) {
        const std::uint8_t lo = dnl[p];
        const std::uint8_t hi = p + 1 < dnl.size() ? dnl[p + 1] : lo;
        sum = static_cast<std::uint16_t>(sum - lo - 256u * hi);
    }
    return sum;
}

std::uint16_t DNL_lese_Pruefsumme(ByteView dnl) {
    return static_cast<std::uint16_t>(readBE(dnl, 30, 1).value_or(0) | (readBE(dnl, 31, 1).value_or(0) << 8));
}

void DNL_schreibe_Pruefsumme(Bytes& dnl, std::uint16_t checksum) {
    if (dnl.size() < kDnlHeaderSize) return;
    const auto length = static_cast<std::uint32_t>(dnl.size() - kDnlHeaderSize);
    for (int i = 0; i < 4; ++i) dnl[2 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    dnl[30] = static_cast<std::uint8_t>(checksum & 0xFF);
    dnl[31] = static_cast<std::uint8_t>(checksum >> 8);
}

VersionFlags DNL_lese_Version(ByteView dnl) {
    VersionFlags result;
    ByteReader r(dnl, 6);
    const auto id = r.peek(4);
    if (!id) return result;
    for (int row = 1; row <= kVersionCount; ++row) {
        const auto& v = firmwareVersion(row);
        if (std::equal(v.id.begin(), v.id.end(), id->begin())) result.index = row;
    }
    if (result.index > 0) {
        result.dspLogoSupported = firmwareVersion(result.index).dspLogoSupported();
        result.vwOverlays = firmwareVersion(result.index).vwOverlays();
    }
    return result;
}

bool DNL_CheckOriginal(ByteView dnl, int versionIndex) {
    if (versionIndex < 1 || versionIndex > kVersionCount || dnl.size() < kDnlHeaderSize) return false;
    return DNL_lese_Pruefsumme(dnl) == firmwareVersion(versionIndex).originalChecksum;
}

}  // namespace zarvelo
