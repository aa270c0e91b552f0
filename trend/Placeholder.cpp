#include "trend/Placeholder.h"

#include "shell/DialogBuilder.h"

#include <QVariant>
#include <QWidget>

bool TakePlaceOf(QWidget& control, QWidget* placeholder) {
    if (placeholder == nullptr) {
        return false;
    }
    constexpr const char* kControlIdProperty = DialogBuilder::kControlIdProperty;
    control.setParent(placeholder->parentWidget());
    control.setGeometry(placeholder->geometry());
    control.setObjectName(placeholder->objectName());
    control.setProperty(kControlIdProperty, placeholder->property(kControlIdProperty));
    control.stackUnder(placeholder);
    control.setVisible(!placeholder->isHidden());
    delete placeholder;
    return true;
}
