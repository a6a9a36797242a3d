#pragma once

#include "document/canvas.h"
#include "document/logo_kind.h"

namespace pelorin {

// The one document of the program: the three canvases, each kept while the
// others are edited, so switching kinds never loses a drawing.
class CPelorinDoc {
public:
    CPelorinDoc();

    Canvas operatorCanvas{sizeOf(LogoKind::Operator)};
    Canvas pictureCanvas{sizeOf(LogoKind::Picture)};
    Canvas largeOperatorCanvas{sizeOf(LogoKind::LargeOperator)};

    Canvas& canvas(LogoKind kind);
    const Canvas& canvas(LogoKind kind) const;
};

}  // namespace pelorin
