#include "shell/AboutDialog.h"

#include "controls/IconFactory.h"
#include "platform/LanguageText.h"
#include "platform/PrivateProfile.h"
#include "resources/DialogTemplate.h"
#include "shell/DialogBuilder.h"
#include "shell/RelabelControl.h"
#include "shell/SharedFont.h"

#include <QLabel>
#include <QPushButton>

AboutDialog::AboutDialog(QWidget* parent, const std::string& programDirectory) : QDialog(parent) {
    setFont(SharedFont());
    if (const DialogTemplate* layout = FindDialogTemplate(100)) {
        DialogBuilder::Build(*layout, *this);
    }
    DialogBuilder::ApplyFont(*this, SharedFont());
    RelabelControl(*this, 1, "IDOK", "About");

    // Read each time the box opens: the file may have changed.
    const std::string info = programDirectory + "qxrfw.dat";
    const std::string name = PrivateProfile::ReadString(info, "SoftInf", "Name");
    if (auto* maker = qobject_cast<QLabel*>(DialogBuilder::FindControl(*this, 1102))) {
        maker->setText(
            QString::fromStdString(PrivateProfile::ReadString(info, "SoftInf", "Commpany")));
    }
    if (auto* version = qobject_cast<QLabel*>(DialogBuilder::FindControl(*this, 1028))) {
        version->setText(QString::fromStdString(name) + QStringLiteral("  ") + version->text());
    }
    if (auto* icon = qobject_cast<QLabel*>(DialogBuilder::FindControl(*this, -1))) {
        icon->setPixmap(IconFactory::Icon(128).pixmap(32, 32));
    }
    if (auto* ok = qobject_cast<QPushButton*>(DialogBuilder::FindControl(*this, 1))) {
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    }
    setWindowTitle(QString::fromStdString(LoadLanguageText("Menu", "IDM_HELP_ABOUT") + " " + name));
}
