#include "cli_document.h"

#include "document/import_file.h"

namespace pelorin::cli {

std::string CollectedMessages::joinedFor(const std::string& path) const {
    std::string all;
    for (const auto& text : texts) all += (all.empty() ? "" : " ") + text;
    return all.find(path) == std::string::npos ? path + ": " + all : all;
}

bool importForCli(CliDocument& cli, const std::string& path, std::string& error) {
    switch (importFile(cli.context, path)) {
    case ImportOutcome::Imported: return true;
    case ImportOutcome::Failed: error = cli.messages.joinedFor(path); break;
    case ImportOutcome::Ignored:
        error = path + " has no extension, so its type is unknown (plr, bmp, nlm, ngg, nol, wbmp or otb)";
        break;
    case ImportOutcome::KindChangedOnly:
        error = path + " is a bitmap 72 pixels wide whose height is neither 14 nor 28; nothing was imported";
        break;
    }
    return false;
}

const char* logoKindName(LogoKind kind) {
    switch (kind) {
    case LogoKind::Picture: return "picture";
    case LogoKind::LargeOperator: return "large-operator";
    case LogoKind::Operator: break;
    }
    return "operator";
}

}  // namespace pelorin::cli
