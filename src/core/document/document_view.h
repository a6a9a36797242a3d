#pragma once

#include "document/logo_kind.h"

namespace pelorin {

// What the document's commands need from the editing view: the current kind
// lives in the view's canvas window, and every change to a canvas or the kind
// ends with a request to redraw the views.
class DocumentView {
public:
    virtual ~DocumentView() = default;
    virtual LogoKind currentKind() const = 0;
    virtual void setCurrentKind(LogoKind kind) = 0;
    virtual void updateAllViews() = 0;
};

}  // namespace pelorin
