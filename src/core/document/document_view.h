#pragma once

#include "document/logo_kind.h"

namespace pelorin {

// What the document's commands need from the editing view: the current kind
// lives in the view's canvas window, and every change to a canvas ends with a
// request to redraw the views. (Imports do not come through here: the editor
// applies what they read.)
class DocumentView {
public:
    virtual ~DocumentView() = default;
    virtual LogoKind currentKind() const = 0;
    virtual void updateAllViews() = 0;
};

// A view without a window, for programs that run the document commands
// headless (the command line, the fuzz targets): it holds a fixed current kind
// and has nothing to redraw.
class DetachedView final : public DocumentView {
public:
    explicit DetachedView(LogoKind kind = LogoKind::Operator) : kind_(kind) {}
    LogoKind currentKind() const override { return kind_; }
    void updateAllViews() override {}

private:
    LogoKind kind_;
};

}  // namespace pelorin
