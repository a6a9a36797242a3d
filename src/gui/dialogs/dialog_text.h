#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "app/qt_text.h"

namespace pelorin {

// All three send dialogs carry this caption.
inline constexpr std::string_view kSendDialogCaption = "Send logo";

}  // namespace pelorin
