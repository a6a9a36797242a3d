#include "app/pelorin_app.h"

#include <QApplication>

namespace pelorin {

int runPelorin(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}

}  // namespace pelorin
