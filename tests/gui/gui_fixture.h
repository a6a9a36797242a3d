#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QMouseEvent>
#include <QStringList>
#include <QWidget>
#include <QtTest/QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/pelorin_app.h"
#include "document/memory_file_system.h"
#include "editor/pelorin_view.h"
#include "platform/sleeper.h"
#include "settings/memory_settings_store.h"
#include "sms/simulated_phone.h"
#include "support/temp_folder.h"

namespace pelorin::testing {

class RecordingMessages : public UserMessages {
public:
    void showMessage(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

// Sends one mouse event straight to a widget, as the window system would
// after its own double-click detection.
void sendMouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButtons held);

// The whole editor: document, main window and view, shown on the offscreen
// screen, with settings and files in memory and messages recorded.
class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { app.reset(); }

    CMainFrame& frame() { return app->frame(); }
    CPelorinView& view() { return app->view(); }
    CLogoWnd& canvas() { return view().logoWnd(); }
    CanvasEditor& editor() { return view().editor(); }
    CToolPaletteWnd& palette() { return view().toolPalette(); }

    // The canvas window's widget point over the middle of a cell.
    QPoint cellCentre(int x, int y);
    // A stroke on the canvas window: press at the first point, move through
    // the others, release at the last.
    void stroke(const std::vector<QPoint>& points);
    // What the screen shows of the whole view, painted afresh.
    QImage viewImage() { return view().grab().toImage(); }

    MemorySettingsStore settings;
    RecordingMessages messages;
    MemoryFileSystem files;
    std::unique_ptr<CPelorinApp> app;
};

// The editor with a simulated phone at the far end of its sends, storing what
// it receives in store; by default at a tenth of the real waits. The end waits
// for the send workers to be gone.
class PhoneEditorFixture : public EditorFixture {
protected:
    void SetUp() override;
    void TearDown() override;
    void startWithPhone(std::shared_ptr<Sleeper> sleeper, const QStringList& phoneOptions);

    TemporaryFolder store{"pelorin-editor-phone"};
    std::unique_ptr<SimulatedPhone> phone;
};

}  // namespace pelorin::testing
