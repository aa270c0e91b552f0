#include "shell/Settings.h"

#include <QSettings>

void Settings::WriteString(const std::string& name, const std::string& text) {
    QSettings store(QStringLiteral("Varnel"), QStringLiteral("DORWIN"));
    store.setValue(QString::fromStdString(name), QString::fromStdString(text));
}

std::string Settings::ReadString(const std::string& name) {
    QSettings store(QStringLiteral("Varnel"), QStringLiteral("DORWIN"));
    const QVariant value = store.value(QString::fromStdString(name));
    // Only text counts; anything else stored under the name is no choice.
    return value.typeId() == QMetaType::QString ? value.toString().toStdString() : std::string{};
}
