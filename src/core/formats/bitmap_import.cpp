#include "formats/bitmap_import.h"

namespace pelorin {

namespace {

// Stored rows run from the bottom of the image upwards.
void fillFromBottomUp(Canvas& canvas, const BitmapReader& reader) {
    const int h = canvas.height();
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < canvas.width(); ++x) canvas.set(x, h - 1 - r, reader.indexAt(x, r) == 0);
}

}  // namespace

ImportOutcome importLoadedBitmap(DocumentContext& context, const BitmapReader& reader) {
    if (!reader.loaded()) return ImportOutcome::Failed;
    if (reader.bitsPerPixel() > 8) {
        context.messages.showMessage(std::string(message::kUnsupportedBitmap));
        return ImportOutcome::Failed;
    }
    const int width = reader.width();
    const int height = reader.height();
    if (width == 72) {
        // Every 72-wide bitmap selects the operator logo, even one of a
        // height that is then not imported.
        context.view.setCurrentKind(LogoKind::Operator);
        ImportOutcome outcome = ImportOutcome::KindChangedOnly;
        if (height == 14) {
            fillFromBottomUp(context.document.operatorCanvas, reader);
            outcome = ImportOutcome::Imported;
        } else if (height == 28) {
            context.view.setCurrentKind(LogoKind::Picture);
            fillFromBottomUp(context.document.pictureCanvas, reader);
            outcome = ImportOutcome::Imported;
        }
        context.view.updateAllViews();
        return outcome;
    }
    if (width == 78 && height == 21) {
        context.view.setCurrentKind(LogoKind::LargeOperator);
        fillFromBottomUp(context.document.largeOperatorCanvas, reader);
        context.view.updateAllViews();
        return ImportOutcome::Imported;
    }
    context.messages.showMessage(std::string(message::kUnsupportedBitmap));
    return ImportOutcome::Failed;
}

bool isLogoBitmap(FileSystem& files, const std::string& path) {
    struct Silent : UserMessages {
        void showMessage(const std::string&) override {}
    } silent;
    BitmapReader reader;
    if (!reader.load(files, silent, path) || reader.bitsPerPixel() > 8) return false;
    const int width = reader.width();
    const int height = reader.height();
    return (width == 72 && (height == 14 || height == 28)) || (width == 78 && height == 21);
}

ImportOutcome importBitmap(DocumentContext& context, const std::string& path) {
    BitmapReader reader;
    if (!reader.load(context.files, context.messages, path)) return ImportOutcome::Failed;
    return importLoadedBitmap(context, reader);
}

}  // namespace pelorin
