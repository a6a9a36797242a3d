#include "document/document.h"

namespace pelorin {

CPelorinDoc::CPelorinDoc() = default;

Canvas& CPelorinDoc::canvas(LogoKind kind) {
    switch (kind) {
    case LogoKind::Picture: return pictureCanvas;
    case LogoKind::LargeOperator: return largeOperatorCanvas;
    case LogoKind::Operator: break;
    }
    return operatorCanvas;
}

const Canvas& CPelorinDoc::canvas(LogoKind kind) const {
    return const_cast<CPelorinDoc*>(this)->canvas(kind);
}

}  // namespace pelorin
