#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSlider>
#include <QSpinBox>
#include <QUrl>
#include <cmath>

#include "app/command_table.h"
#include "app/document_commands.h"
#include "browser/open_file_dialog.h"
#include "browser/preview_wnd.h"
#include "document/packed.h"
#include "gui_fixture.h"
#include "gui_test_helpers.h"
#include "imageio/picture_io.h"
#include "imaging/fit.h"
#include "imaging/tone.h"
#include "modal.h"
#include "pictures/export_picture_dialog.h"
#include "pictures/import_picture_dialog.h"
#include "pictures/picture_preview.h"
#include "pictures/text_dialog.h"
#include "support/compressed.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace pelorin {
namespace {

using testing::onModal;

// A photo-like picture from a formula: soft light and dark areas with fine detail.
QImage photo(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = static_cast<double>(x) / width;
            const double v = static_cast<double>(y) / height;
            const double shade = 0.5 + 0.45 * std::sin(7 * u + 3 * v) * std::cos(5 * v - 2 * u);
            const int level = static_cast<int>(shade * 255);
            image.setPixel(x, y, qRgb(level, level, std::min(255, level + 30)));
        }
    return image;
}

std::vector<std::uint8_t> pngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return {bytes.begin(), bytes.end()};
}

class PictureCommandsTest : public testing::EditorFixture {
protected:
    void trigger(int id) { frame().action(id)->trigger(); }
    PictureCommands& pictures() { return app->documentCommands().pictures(); }
    void drop(const std::string& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame(), &dropped);
    }
};

TEST_F(PictureCommandsTest, ImportDialogGivesTheCanvasTheCommandLineGives) {
    const testing::TemporaryFolder folder("pelorin-import");
    const std::string path = folder.file("photo.png");
    ASSERT_TRUE(photo(400, 240).save(QString::fromStdString(path)));
    files.files[path] = testing::readFileBytes(path);
    const testing::ProcessResult cli = testing::runProcess(
        PELORIN_CLI_PATH, {"convert", path, folder.file("out.plr"), "--kind", "large-operator", "--fit", "cover",
                           "--threshold", "100", "--dither", "atkinson", "--invert"});
    ASSERT_EQ(cli.exitStatus, 0) << cli.err;
    Canvas expected(sizeOf(LogoKind::LargeOperator));
    unpackCanvas(expected, testing::readFileBytes(folder.file("out.plr")));

    const Canvas pictureBefore = app->document().pictureCanvas;
    onModal<QFileDialog>([path](QFileDialog* dialog) {
        dialog->selectFile(QString::fromStdString(path));
        static_cast<QDialog*>(dialog)->accept();
    });
    onModal<ImportPictureDialog>([](ImportPictureDialog* dialog) {
        // The current canvas is the default target, the threshold automatic.
        EXPECT_EQ(dialog->kindList()->currentIndex(), 0);
        EXPECT_TRUE(dialog->automaticBox()->isChecked());
        EXPECT_FALSE(dialog->thresholdSlider()->isEnabled());
        const auto choose = [](QComboBox* list, int index) {
            list->setCurrentIndex(index);
            emit list->activated(index);
        };
        choose(dialog->kindList(), 2);
        choose(dialog->fitList(), 1);
        dialog->automaticBox()->click();
        dialog->thresholdSlider()->setValue(100);
        choose(dialog->ditherList(), 2);
        dialog->invertBox()->click();
        EXPECT_TRUE(dialog->invertBox()->isChecked());
        EXPECT_EQ(dialog->options().tone.threshold, 100);
        EXPECT_EQ(dialog->actualPreview()->image().size(), QSize(78, 21));
        EXPECT_EQ(dialog->enlargedPreview()->image().size(), QSize(312, 84));
        // The actual-size preview shows the result cell for cell.
        const QImage shown = dialog->actualPreview()->image();
        for (int x = 0; x < 78; ++x)
            for (int y = 0; y < 21; ++y)
                ASSERT_EQ(shown.pixel(x, y) == qRgb(0, 0, 0), dialog->result().isSet(x, y)) << x << "," << y;
        dialog->accept();
    });
    trigger(command::kImportPicture);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(editor().kind(), LogoKind::LargeOperator);
    EXPECT_EQ(app->document().largeOperatorCanvas, expected);
    EXPECT_EQ(app->document().pictureCanvas, pictureBefore);
    // One undo step takes it all back.
    ASSERT_TRUE(editor().undo());
    EXPECT_EQ(editor().kind(), LogoKind::Operator);
    EXPECT_EQ(app->document().largeOperatorCanvas, Canvas(sizeOf(LogoKind::LargeOperator)));
    EXPECT_FALSE(editor().canUndo());
}

TEST_F(PictureCommandsTest, DitheringChangesThePreviewLive) {
    ImportPictureDialog dialog(imageio::greyFromImage(photo(300, 100)), LogoKind::Picture);
    std::vector<Canvas> results;
    for (int index = 0; index < 4; ++index) {
        dialog.ditherList()->setCurrentIndex(index);
        emit dialog.ditherList()->activated(index);
        results.push_back(dialog.result());
        EXPECT_EQ(dialog.actualPreview()->image(), imageio::canvasImage(dialog.result(), 1, imageio::Look::Plain));
    }
    for (std::size_t a = 0; a < results.size(); ++a)
        for (std::size_t b = a + 1; b < results.size(); ++b) EXPECT_NE(results[a], results[b]) << a << " " << b;
    // The automatic threshold shows on the slider: the middle with a dithering,
    // the picture's own by Otsu's method without.
    EXPECT_EQ(dialog.thresholdSlider()->value(), 128);
    dialog.ditherList()->setCurrentIndex(0);
    emit dialog.ditherList()->activated(0);
    EXPECT_EQ(dialog.thresholdSlider()->value(), otsuThreshold(imageio::greyFromImage(photo(300, 100))));
}

TEST_F(PictureCommandsTest, BadPictureShowsOneMessageAndChangesNothing) {
    files.files["/docs/text.png"] = {'n', 'o', 't', '\n'};
    std::vector<std::uint8_t> truncated = pngBytes(photo(200, 100));
    truncated.resize(truncated.size() / 2);
    files.files["/docs/truncated.png"] = truncated;
    app->document().operatorCanvas.set(5, 5, true);
    const Canvas before = app->document().operatorCanvas;
    for (const char* path : {"/docs/text.png", "/docs/truncated.png", "/docs/missing.png"}) {
        messages.shown.clear();
        pictures().importPictureFile(path);
        ASSERT_EQ(messages.shown.size(), 1u) << path;
        EXPECT_NE(messages.shown[0].find(path), std::string::npos) << messages.shown[0];
        EXPECT_EQ(app->document().operatorCanvas, before);
        EXPECT_EQ(editor().kind(), LogoKind::Operator);
    }
}

TEST_F(PictureCommandsTest, ExportWritesTheCanvasAsTheChosenTypeAndScale) {
    const testing::TemporaryFolder folder("pelorin-export");
    app->document().operatorCanvas.set(0, 0, true);
    app->document().operatorCanvas.set(71, 13, true);
    struct Case {
        int type;
        int scale;
        int look;
        const char* typed;
        const char* written;
    };
    const Case cases[] = {{1, 2, 0, "logo.png", "logo.bmp"}, {0, 16, 1, "screen", "screen.png"}};
    for (const auto& c : cases) {
        onModal<ExportPictureDialog>([&c](ExportPictureDialog* dialog) {
            dialog->typeList()->setCurrentIndex(c.type);
            dialog->scaleBox()->setValue(c.scale);
            dialog->lookList()->setCurrentIndex(c.look);
            dialog->accept();
        });
        const std::string typed = folder.file(c.typed);
        onModal<QFileDialog>([typed](QFileDialog* dialog) {
            dialog->selectFile(QString::fromStdString(typed));
            static_cast<QDialog*>(dialog)->accept();
        });
        trigger(command::kExportPicture);
        const auto written = files.files.find(folder.file(c.written));
        ASSERT_NE(written, files.files.end()) << c.written;
        QImage image;
        ASSERT_TRUE(image.loadFromData(written->second.data(), static_cast<int>(written->second.size())));
        EXPECT_EQ(image.size(), QSize(72 * c.scale, 14 * c.scale));
        EXPECT_EQ(image.pixel(0, 0), c.look == 0 ? qRgb(0, 0, 0) : qRgb(0x20, 0x2c, 0x1c));
        EXPECT_EQ(image.pixel(1 * c.scale, 0), c.look == 0 ? qRgb(255, 255, 255) : qRgb(0x9c, 0xb0, 0x8a));
    }
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(withPictureExtension("/a.b/name", "png"), "/a.b/name.png");
    EXPECT_EQ(withPictureExtension("/a/name.BMP", "png"), "/a/name.png");
    EXPECT_EQ(withPictureExtension("/a/name.plr", "bmp"), "/a/name.plr.bmp");
}

TEST_F(PictureCommandsTest, TextGoesOnTheCanvasFromTheFirstVisibleCell) {
    editor().setOrigin({editor().cellSize() * 2, editor().cellSize()});
    onModal<TextDialog>([](TextDialog* dialog) {
        dialog->fontList()->setCurrentIndex(0);
        emit dialog->fontList()->activated(0);
        QTest::keyClicks(dialog->textEdit(), "Hi");
        EXPECT_EQ(dialog->result().width(), 7);
        EXPECT_FALSE(dialog->heightBox()->isEnabled());
        dialog->accept();
    });
    trigger(command::kText);
    const Canvas& canvas = app->document().operatorCanvas;
    const char* rows[] = {"#.#..#.", "#.#....", "###..#.", "#.#..#.", "#.#..#."};
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 72; ++x) {
            const bool inText = x >= 2 && x < 9 && y >= 1 && y < 6 && rows[y - 1][x - 2] == '#';
            ASSERT_EQ(canvas.isSet(x, y), inText) << x << "," << y;
        }
    // Lifted, ready to drag; one undo step takes it away.
    EXPECT_EQ(editor().selection(), (Rect{2, 1, 9, 6}));
    ASSERT_TRUE(editor().undo());
    EXPECT_TRUE(std::all_of(canvas.values().begin(), canvas.values().end(), [](std::int32_t v) { return v == 0; }));
    EXPECT_FALSE(editor().canUndo());

    // An installed font, drawn without antialiasing, fits the block.
    TextDialog dialog;
    dialog.fontList()->setCurrentIndex(dialog.fontList()->count() - 1);
    emit dialog.fontList()->activated(dialog.fontList()->count() - 1);
    dialog.textEdit()->setPlainText(QString(200, QLatin1Char('W')));
    EXPECT_TRUE(dialog.heightBox()->isEnabled());
    EXPECT_LE(dialog.result().width(), 78);
    EXPECT_LE(dialog.result().height(), 28);
    EXPECT_TRUE(std::any_of(dialog.result().values().begin(), dialog.result().values().end(),
                            [](std::int32_t v) { return v != 0; }));
}

TEST_F(PictureCommandsTest, DroppedFilesImportAsOpenOrThroughTheDialog) {
    // A logo file: imported as Open does.
    std::vector<std::uint8_t> nlm(136, 0);
    nlm[7] = 72;
    nlm[8] = 14;
    nlm[10] = 0x80;
    files.files["/docs/a.nlm"] = nlm;
    editor().setCanvasKind(LogoKind::Picture);
    drop("/docs/a.nlm");
    EXPECT_EQ(editor().kind(), LogoKind::Operator);
    EXPECT_TRUE(app->document().operatorCanvas.isSet(0, 0));

    // A picture: through the import dialog.
    QImage black(144, 56, QImage::Format_RGB32);
    black.fill(Qt::black);
    files.files["/docs/black.png"] = pngBytes(black);
    bool asked = false;
    onModal<ImportPictureDialog>([&asked](ImportPictureDialog* dialog) {
        asked = true;
        dialog->kindList()->setCurrentIndex(1);
        emit dialog->kindList()->activated(1);
        dialog->accept();
    });
    drop("/docs/black.png");
    EXPECT_TRUE(asked);
    EXPECT_EQ(editor().kind(), LogoKind::Picture);
    const auto& cells = app->document().pictureCanvas.values();
    EXPECT_TRUE(std::all_of(cells.begin(), cells.end(), [](std::int32_t v) { return v != 0; }));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PictureCommandsTest, OpenListsPicturesWithThumbnailsAndImportsThemThroughTheDialog) {
    QImage black(144, 28, QImage::Format_RGB32);
    black.fill(Qt::black);
    files.files[documentsFolder() + "/black.png"] = pngBytes(black);
    onModal<OpenFileDialog>([](OpenFileDialog* dialog) {
        ASSERT_EQ(dialog->fileList().size(), 1u);
        // The thumbnail (read on a worker): the picture fitted into 78 x 28, here 72 x 14 of black.
        dialog->preview()->viewport()->grab();
        ASSERT_TRUE(testing::waitUntil([dialog] { return !dialog->preview()->pictureThumbnails().busy(); }));
        QTest::qWait(20);
        const QImage shown = dialog->preview()->viewport()->grab().toImage();
        EXPECT_EQ(shown.pixelColor(5 + 40, 5 + 7), QColor(Qt::black));
        QTest::mouseClick(dialog->preview()->viewport(), Qt::LeftButton, {}, QPoint(40, 20));
    });
    bool asked = false;
    onModal<ImportPictureDialog>([&asked](ImportPictureDialog* dialog) {
        asked = true;
        dialog->accept();
    });
    trigger(command::kFileOpen);
    EXPECT_TRUE(asked);
    const auto& cells = app->document().operatorCanvas.values();
    EXPECT_TRUE(std::all_of(cells.begin(), cells.end(), [](std::int32_t v) { return v != 0; }));
}

TEST_F(PictureCommandsTest, ExportWritesAOneBitBitmapWhenAsked) {
    const testing::TemporaryFolder folder("pelorin-export");
    Canvas& canvas = app->document().operatorCanvas;
    for (int x = 0; x < 72; ++x) canvas.set(x, (x * 5) % 14, true);
    onModal<ExportPictureDialog>([](ExportPictureDialog* dialog) {
        EXPECT_FALSE(dialog->oneBitBox()->isEnabled()) << "PNG at first";
        dialog->typeList()->setCurrentIndex(1);
        dialog->lookList()->setCurrentIndex(1);
        EXPECT_FALSE(dialog->oneBitBox()->isEnabled()) << "a phone screen has more than two colours";
        dialog->lookList()->setCurrentIndex(0);
        ASSERT_TRUE(dialog->oneBitBox()->isEnabled());
        dialog->oneBitBox()->setChecked(true);
        dialog->scaleBox()->setValue(2);
        dialog->accept();
    });
    const std::string typed = folder.file("mono");
    onModal<QFileDialog>([typed](QFileDialog* dialog) {
        dialog->selectFile(QString::fromStdString(typed));
        static_cast<QDialog*>(dialog)->accept();
    });
    trigger(command::kExportPicture);
    const auto written = files.files.find(folder.file("mono.bmp"));
    ASSERT_NE(written, files.files.end());
    const std::vector<std::uint8_t>& bmp = written->second;
    ASSERT_EQ(bmp.size(), 62u + 28u * 20u);  // 144 bits a row padded to 20 octets
    EXPECT_EQ(bmp[28], 1);                   // bits a pixel
    QImage image;
    ASSERT_TRUE(image.loadFromData(bmp.data(), static_cast<int>(bmp.size())));
    ASSERT_EQ(image.size(), QSize(144, 28));
    for (int x = 0; x < 144; ++x)
        for (int y = 0; y < 28; ++y)
            ASSERT_EQ(image.pixel(x, y), canvas.isSet(x / 2, y / 2) ? qRgb(0, 0, 0) : qRgb(255, 255, 255))
                << x << "," << y;
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PictureCommandsTest, PastedPictureBytesAreReadAsFilesAreAndFailuresAreSaid) {
    // Bytes another program put on the clipboard go through the import dialog.
    auto* data = new QMimeData;
    QImage picture(1200, 800, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = 0; y < 800; ++y)
        for (int x = 0; x < 600; ++x) picture.setPixel(x, y, qRgb(0, 0, 0));
    const auto png = pngBytes(picture);
    data->setData("image/png",
                  QByteArray(reinterpret_cast<const char*>(png.data()), static_cast<qsizetype>(png.size())));
    QGuiApplication::clipboard()->setMimeData(data);
    long set = -1;
    onModal<ImportPictureDialog>([&set](ImportPictureDialog* dialog) {
        const auto& cells = dialog->result().values();
        set = std::count_if(cells.begin(), cells.end(), [](std::int32_t v) { return v != 0; });
        dialog->reject();
    });
    trigger(command::kPastePicture);
    // Contained in 72 x 14: 21 columns of picture, the left half of them black.
    EXPECT_GE(set, 10 * 14);
    EXPECT_LE(set, 11 * 14);
    EXPECT_TRUE(messages.shown.empty());

    // What cannot be read is said, and no dialog opens.
    data = new QMimeData;
    const auto huge = testing::hugePngStart();
    data->setData("image/png",
                  QByteArray(reinterpret_cast<const char*>(huge.data()), static_cast<qsizetype>(huge.size())));
    QGuiApplication::clipboard()->setMimeData(data);
    trigger(command::kPastePicture);
    data = new QMimeData;
    data->setImageData(QImage());
    QGuiApplication::clipboard()->setMimeData(data);
    trigger(command::kPastePicture);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0],
              "The clipboard's picture: the picture is 20000 x 20000 pixels; pictures of at most 100 "
              "megapixels can be read");
    EXPECT_EQ(messages.shown[1], "The picture on the clipboard cannot be read.");
    EXPECT_FALSE(editor().canUndo());
}

TEST_F(PictureCommandsTest, CopyPictureThenPastePictureGivesTheSameCells) {
    Canvas& canvas = app->document().operatorCanvas;
    for (int x = 3; x < 9; ++x) canvas.set(x, (x * 3) % 4 + 2, true);
    editor().setSelection({3, 2, 9, 6});
    trigger(command::kCopyPicture);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasImage());
    const QImage image = qvariant_cast<QImage>(data->imageData());
    ASSERT_EQ(image.size(), QSize(6, 4));
    std::string rows;
    for (int y = 2; y < 6; ++y) {
        for (int x = 3; x < 9; ++x) {
            rows += canvas.isSet(x, y) ? '#' : '.';
            EXPECT_EQ(image.pixel(x - 3, y - 2), canvas.isSet(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
        rows += '\n';
    }
    EXPECT_EQ(data->text().toStdString(), rows);
    EXPECT_FALSE(editor().canUndo());  // copying changes nothing

    // Paste on another canvas, panned: lifted at the first visible cell.
    editor().setCanvasKind(LogoKind::Picture);
    editor().setOrigin({editor().cellSize() * 10, editor().cellSize() * 5});
    trigger(command::kPastePicture);
    EXPECT_EQ(editor().selection(), (Rect{10, 5, 16, 9}));
    for (int x = 0; x < 6; ++x)
        for (int y = 0; y < 4; ++y)
            EXPECT_EQ(app->document().pictureCanvas.isSet(10 + x, 5 + y), canvas.isSet(3 + x, 2 + y)) << x << "," << y;
    ASSERT_TRUE(editor().undo());
    const auto& cells = app->document().pictureCanvas.values();
    EXPECT_TRUE(std::all_of(cells.begin(), cells.end(), [](std::int32_t v) { return v == 0; }));

    // Without a selection the whole canvas goes; plain text is no picture.
    editor().setCanvasKind(LogoKind::Operator);
    trigger(command::kCopyPicture);
    EXPECT_EQ(qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData()).size(), QSize(72, 14));
    QGuiApplication::clipboard()->setText("hello");
    trigger(command::kPastePicture);
    EXPECT_EQ(messages.shown, std::vector<std::string>{"The clipboard holds no picture."});

    // An image alone goes through the import dialog, onto the canvas shown.
    QImage black(144, 28, QImage::Format_RGB32);
    black.fill(Qt::black);
    QGuiApplication::clipboard()->setImage(black);
    onModal<ImportPictureDialog>([](ImportPictureDialog* dialog) {
        EXPECT_FALSE(dialog->kindList()->isEnabled());
        dialog->accept();
    });
    editor().setOrigin({0, 0});
    trigger(command::kPastePicture);
    EXPECT_EQ(editor().selection(), (Rect{0, 0, 72, 14}));
    EXPECT_TRUE(std::all_of(canvas.values().begin(), canvas.values().end(), [](std::int32_t v) { return v != 0; }));
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(PictureCommandsTest, APictureNamedAtStartComesInThroughTheDialog) {
    QImage black(72, 28, QImage::Format_RGB32);
    black.fill(Qt::black);
    files.files["/docs/start.png"] = pngBytes(black);
    files.files["/docs/broken.jpg"] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00};
    std::string failure;
    EXPECT_FALSE(app->openAtStartup("/docs/broken.jpg", failure));
    EXPECT_NE(failure.find("/docs/broken.jpg"), std::string::npos) << failure;
    ASSERT_TRUE(app->openAtStartup("/docs/start.png", failure)) << failure;
    bool asked = false;
    onModal<ImportPictureDialog>([&asked](ImportPictureDialog* dialog) {
        asked = true;
        EXPECT_EQ(dialog->kindList()->currentIndex(), 0);
        dialog->accept();
    });
    app->show();
    EXPECT_TRUE(QTest::qWaitFor([&asked] { return asked; }, 2000));
    QTest::qWait(20);
    EXPECT_TRUE(app->document().operatorCanvas.isSet(36, 7));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PictureCommandsTest, TheTextButtonAndKeyOpenTheTextDialog) {
    int opened = 0;
    const auto cancel = [&opened](TextDialog* dialog) {
        ++opened;
        dialog->reject();
    };
    onModal<TextDialog>(cancel);
    QTest::keyClick(&frame(), Qt::Key_T);
    EXPECT_EQ(opened, 1);
    onModal<TextDialog>(cancel);
    QTest::mouseClick(&palette(), Qt::LeftButton, {}, QPoint(110 + 16, 38 + 16));
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(palette().currentTool(), Tool::Pen);
    EXPECT_EQ(CToolPaletteWnd::toolTipAt({120, 50}), "Text (T)");
    EXPECT_FALSE(editor().canUndo());
}

}  // namespace
}  // namespace pelorin
