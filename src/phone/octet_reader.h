#pragma once

// Reads octets front to back from received data and never past its end: every
// read says whether the octets were there.

#include <cstddef>
#include <cstdint>
#include <span>

namespace pelorin::phone {

class OctetReader {
public:
    explicit OctetReader(std::span<const std::uint8_t> data) : data_(data) {}

    bool read(std::uint8_t& octet) {
        if (position_ >= data_.size()) return false;
        octet = data_[position_++];
        return true;
    }
    // The next count octets, or false (and nothing consumed) when fewer remain.
    bool take(std::size_t count, std::span<const std::uint8_t>& out) {
        if (count > remaining()) return false;
        out = data_.subspan(position_, count);
        position_ += count;
        return true;
    }
    std::size_t remaining() const { return data_.size() - position_; }
    std::size_t position() const { return position_; }

private:
    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
};

}  // namespace pelorin::phone
