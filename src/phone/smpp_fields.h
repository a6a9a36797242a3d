#pragma once

// Reads the fields of an SMPP body in order: octets, C strings of a bounded
// length and runs of octets. A field past the end reads as empty and marks
// the reader failed; nothing is read outside the body.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pelorin::phone {

class SmppFields {
public:
    explicit SmppFields(std::span<const std::uint8_t> data) : data_(data) {}
    bool failed = false;
    std::uint8_t octet() {
        if (at_ >= data_.size()) {
            failed = true;
            return 0;
        }
        return data_[at_++];
    }
    std::string text(std::size_t max) {
        for (std::size_t i = at_; i < data_.size() && i <= at_ + max; ++i)
            if (data_[i] == 0) {
                std::string value(data_.begin() + static_cast<std::ptrdiff_t>(at_),
                                  data_.begin() + static_cast<std::ptrdiff_t>(i));
                at_ = i + 1;
                return value;
            }
        failed = true;
        at_ = data_.size();
        return {};
    }
    std::vector<std::uint8_t> octets(std::size_t count) {
        if (count > data_.size() - at_) {
            failed = true;
            at_ = data_.size();
            return {};
        }
        std::vector<std::uint8_t> value(data_.begin() + static_cast<std::ptrdiff_t>(at_),
                                        data_.begin() + static_cast<std::ptrdiff_t>(at_ + count));
        at_ += count;
        return value;
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t at_ = 0;
};

}  // namespace pelorin::phone
