#pragma once

// A value or the reason why there is none. Used by the decoders, which report
// every malformed input as a reason instead of failing hard.

#include <optional>
#include <string>
#include <utility>

namespace pelorin::phone {

template <class T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    static Result failure(std::string why) {
        Result result;
        result.error_ = std::move(why);
        return result;
    }

    explicit operator bool() const { return value_.has_value(); }
    bool ok() const { return value_.has_value(); }
    const T& value() const { return *value_; }
    T& value() { return *value_; }
    const T* operator->() const { return &*value_; }
    T* operator->() { return &*value_; }
    const std::string& error() const { return error_; }

private:
    Result() = default;
    std::optional<T> value_;
    std::string error_;
};

}  // namespace pelorin::phone
