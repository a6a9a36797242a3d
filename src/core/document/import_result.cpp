#include "document/import_result.h"

#include "document/user_messages.h"

namespace pelorin {

ImportResult ImportResult::imported(LogoKind kind, Canvas canvas) {
    ImportResult result;
    result.outcome = ImportOutcome::Imported;
    result.kind = kind;
    result.canvas = std::move(canvas);
    return result;
}

ImportResult ImportResult::kindOnly(LogoKind kind) {
    ImportResult result;
    result.outcome = ImportOutcome::KindChangedOnly;
    result.kind = kind;
    return result;
}

ImportResult ImportResult::failure(std::string error, bool namesPath) {
    ImportResult result;
    result.outcome = ImportOutcome::Failed;
    result.error = std::move(error);
    result.errorNamesPath = namesPath;
    return result;
}

ImportResult ImportResult::unreadable(const std::string& path) {
    return failure(message::withPath(message::kFailedToOpenForReading, path), true);
}

std::string ImportResult::errorLine(const std::string& path) const {
    return errorNamesPath ? error : path + ": " + error;
}

void ImportResult::applyTo(CPelorinDoc& document) const {
    if (outcome == ImportOutcome::Imported && canvas) document.canvas(kind) = *canvas;
}

}  // namespace pelorin
