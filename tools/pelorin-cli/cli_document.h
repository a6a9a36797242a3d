#pragma once

#include <optional>
#include <string>

#include "document/canvas.h"
#include "document/file_system.h"
#include "document/logo_kind.h"

namespace pelorin::cli {

// Reads any logo file the editor can open: the canvas and its kind, or one
// line for standard error that says which file and why.
struct CliLogo {
    LogoKind kind = LogoKind::Operator;
    Canvas canvas{sizeOf(LogoKind::Operator)};
};
std::optional<CliLogo> readLogoForCli(FileSystem& files, const std::string& path, std::string& error);

// "operator", "picture" or "large-operator".
const char* logoKindName(LogoKind kind);

}  // namespace pelorin::cli
