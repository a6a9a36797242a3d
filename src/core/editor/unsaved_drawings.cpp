#include "editor/unsaved_drawings.h"

namespace pelorin {

std::string_view canvasName(LogoKind kind) {
    switch (kind) {
        case LogoKind::Operator:
            return "Operator logo & group graphic";
        case LogoKind::Picture:
            return "Picture message";
        case LogoKind::LargeOperator:
            return "62xx/71xx Operator logo";
    }
    return {};
}

std::string unsavedDrawingsQuestion(const std::vector<LogoKind>& kinds) {
    std::string text = "Drawings that are not saved will be lost: ";
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (i > 0) text += ", ";
        text += canvasName(kinds[i]);
    }
    return text + ".";
}

}  // namespace pelorin
