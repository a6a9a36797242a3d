#include "document/user_messages.h"

namespace pelorin::message {

std::string withPath(std::string_view text, const std::string& path) {
    std::string result(text);
    const auto at = result.find("%s");
    if (at != std::string::npos) result.replace(at, 2, path);
    return result;
}

}  // namespace pelorin::message
