#pragma once

// User data of GSM 7-bit text behind a user data header, packed here on its
// own for the tests: the septets start on the first septet boundary after
// the header (the fill bits), least significant bit first.

#include <cstdint>
#include <vector>

namespace pelorin::testing {

// The user data octets; length is set to the user data length in septets.
inline std::vector<std::uint8_t> sevenBitUserData(const std::vector<std::uint8_t>& header,
                                                  const std::vector<std::uint8_t>& septets, std::size_t& length) {
    std::vector<std::uint8_t> userData{static_cast<std::uint8_t>(header.size())};
    userData.insert(userData.end(), header.begin(), header.end());
    const std::size_t start = (userData.size() * 8 + 6) / 7 * 7;
    length = start / 7 + septets.size();
    userData.resize((length * 7 + 7) / 8, 0);
    for (std::size_t i = 0; i < septets.size(); ++i)
        for (unsigned bit = 0; bit < 7; ++bit)
            if ((septets[i] >> bit) & 1) {
                const std::size_t at = start + i * 7 + bit;
                userData[at / 8] = static_cast<std::uint8_t>(userData[at / 8] | 1u << (at % 8));
            }
    return userData;
}

}  // namespace pelorin::testing
