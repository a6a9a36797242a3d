#pragma once

#include <QDialog>

namespace pelorin {

// "About Pelorin": the icon and the version line; OK closes it.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent);
};

}  // namespace pelorin
