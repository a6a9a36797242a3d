#include <QApplication>

#include "app/pelorin_app.h"

int main(int argc, char** argv) { return pelorin::runPelorin(argc, argv); }
