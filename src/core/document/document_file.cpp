#include "document/document_file.h"

#include "document/packed.h"

namespace pelorin {

std::optional<LogoKind> documentKindForLength(std::uint64_t length) {
    for (LogoKind kind : {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator})
        if (sizeOf(kind).packedBytes() == length) return kind;
    return std::nullopt;
}

ImportResult readDocumentFile(FileSystem& files, const std::string& path) {
    auto in = files.openForReading(path);
    if (!in) return ImportResult::unreadable(path);
    const auto length = in->size();
    if (!length) return ImportResult::unreadable(path);
    // The length is checked before anything is read, so a large file costs
    // nothing.
    const auto kind = documentKindForLength(*length);
    if (!kind) return ImportResult::failure(std::string(message::kUnsupportedFileFormat), false);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(*length));
    const auto got = in->readAt(0, bytes);
    if (!got || *got != bytes.size()) return ImportResult::unreadable(path);
    in.reset();

    Canvas canvas(sizeOf(*kind));
    unpackCanvas(canvas, bytes);
    return ImportResult::imported(*kind, std::move(canvas));
}

bool saveDocumentFile(DocumentContext& context, const std::string& path) {
    const auto bytes = packCanvas(context.document.canvas(context.view.currentKind()));
    const SaveResult result = saveFile(context.files, path, bytes);
    if (result.status == SaveStatus::Saved) return true;
    context.messages.showMessage(describeSaveFailure(result, path));
    return false;
}

void clearCurrentCanvas(CPelorinDoc& document, DocumentView& view) {
    document.canvas(view.currentKind()).clear();
    view.updateAllViews();
}

}  // namespace pelorin
