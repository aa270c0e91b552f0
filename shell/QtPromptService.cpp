#include "shell/QtPromptService.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace {

// "description|*.ext||" pairs become Qt's "description (*.ext)" entries.
QString QtFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|', Qt::SkipEmptyParts);
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        // The description already names the pattern in brackets; Qt wants it
        // once, after a blank.
        const int bracket = description.indexOf('(');
        if (bracket >= 0) {
            description.truncate(bracket);
        }
        entries << QStringLiteral("%1 (%2)").arg(description.trimmed(), parts[i + 1]);
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace

void QtPromptService::ShowMessage(const std::string& text, const std::string& caption, Icon icon) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    switch (icon) {
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    box.exec();
}

bool QtPromptService::AskYesNo(const std::string& text, const std::string& caption) {
    return QMessageBox::question(QApplication::activeWindow(), QString::fromStdString(caption),
                                 QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::string QtPromptService::AskOpenPath(const std::string& filter, const std::string& title) {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), QString::fromStdString(title),
                                        QString(), QtFilter(filter))
        .toStdString();
}

std::string QtPromptService::AskSavePath(const std::string& fileName, const std::string& extension,
                                         const std::string& filter, const std::string& title) {
    QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QtFilter(filter));
    dialog.setDefaultSuffix(QString::fromStdString(extension));
    dialog.selectFile(QString::fromStdString(fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first().toStdString();
}

void QtPromptService::OpenAddress(const std::string& address) {
    const QString text = QString::fromStdString(address);
    // A local file path opens like an address.
    const QUrl url = QFileInfo::exists(text) ? QUrl::fromLocalFile(text) : QUrl(text);
    QDesktopServices::openUrl(url);
}
