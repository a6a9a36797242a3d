// pelorin-icons: writes the program's icon into an icon-theme folder at every
// size the desktop asks for, as OUTDIR/NxN/apps/NAME.png. Run at build time.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>

#include "resources/hicolor_icon.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: pelorin-icons OUTDIR NAME\n");
        return 2;
    }
    // Images only; no window is shown, so no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (const int size : pelorin::kHicolorIconSizes) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
        const QString path = QStringLiteral("%1/%2.png").arg(folder, name);
        const QImage icon = pelorin::hicolorIconImage(size);
        if (icon.isNull() || !QDir().mkpath(folder) || !icon.save(path, "PNG")) {
            std::fprintf(stderr, "pelorin-icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
