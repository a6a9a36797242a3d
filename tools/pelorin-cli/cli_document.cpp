#include "cli_document.h"

#include "document/import_file.h"

namespace pelorin::cli {

std::optional<CliLogo> readLogoForCli(FileSystem& files, const std::string& path, std::string& error) {
    const ImportResult read = readLogoFile(files, path);
    switch (read.outcome) {
        case ImportOutcome::Imported:
            return CliLogo{read.kind, *read.canvas};
        case ImportOutcome::Failed:
            error = read.errorLine(path);
            break;
        case ImportOutcome::Ignored:
            error = path + " has no extension, so its type is unknown (plr, bmp, nlm, ngg, nol, wbmp or otb)";
            break;
        case ImportOutcome::KindChangedOnly:
            error = path + " is a bitmap 72 pixels wide whose height is neither 14 nor 28; nothing was imported";
            break;
    }
    return std::nullopt;
}

const char* logoKindName(LogoKind kind) {
    switch (kind) {
        case LogoKind::Picture:
            return "picture";
        case LogoKind::LargeOperator:
            return "large-operator";
        case LogoKind::Operator:
            break;
    }
    return "operator";
}

}  // namespace pelorin::cli
