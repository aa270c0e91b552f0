#pragma once

#include <QDialog>

#include <string>

// The About box: product name and version, maker line, OK.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    // programDirectory holds the software-information file.
    AboutDialog(QWidget* parent, const std::string& programDirectory);
};
