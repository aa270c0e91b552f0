#include "shell/DialogBuilder.h"

#include "controls/ColorLabel.h"
#include "resources/DialogTemplate.h"
#include "shell/TabControl.h"

#include <QAbstractItemModel>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTreeWidget>

#include <algorithm>

namespace {

// Icons in dialogs show at the system icon size whatever the template says.
constexpr int kIconPixels = 32;

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Rounded like the dialog manager's multiply-then-divide.
int Scale(int units, int base, int divisor) {
    return (units * base + divisor / 2) / divisor;
}

// The dialog's horizontal base unit: the mean width of the 52 Latin letters,
// rounded, rather than the font's declared average width, which a CJK face
// sets to a full-width character.
int BaseWidth(const QFontMetrics& metrics) {
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (letters / 26 + 1) / 2;
}

Qt::Alignment TextAlignment(std::uint32_t style) {
    if ((style & kRightAlign) != 0) {
        return Qt::AlignRight;
    }
    if ((style & kCenter) != 0) {
        return Qt::AlignHCenter;
    }
    return Qt::AlignLeft;
}

QLabel* CreateLabel(const ControlTemplate& control, QWidget& dialog) {
    auto* label = new QLabel(ToQString(control.caption), &dialog);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(TextAlignment(control.style) | Qt::AlignTop);
    // A static with a given width breaks its text at words; one without takes
    // the width of its text.
    label->setWordWrap(control.cx > 0);
    if ((control.style & kSunken) != 0) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    return label;
}

QLineEdit* CreateEdit(const ControlTemplate& control, QWidget& dialog) {
    auto* edit = new QLineEdit(ToQString(control.caption), &dialog);
    edit->setAlignment(TextAlignment(control.style) | Qt::AlignVCenter);
    edit->setReadOnly((control.style & kReadOnly) != 0);
    if ((control.style & kNumber) != 0) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    }
    return edit;
}

QComboBox* CreateCombo(const ControlTemplate& control, QWidget& dialog) {
    auto* combo = new QComboBox(&dialog);
    if (control.kind == ControlKind::ComboDropDown) {
        combo->setEditable(true);
        // Typing does not add entries; the owner fills the list.
        combo->setInsertPolicy(QComboBox::NoInsert);
    }
    if ((control.style & kSort) != 0) {
        // Every insertion, the template's or the owner's, lands in order; the
        // selected entry stays selected.
        QObject::connect(combo->model(), &QAbstractItemModel::rowsInserted, combo,
                         [combo] { combo->model()->sort(0); });
    }
    for (std::string_view item : control.items) {
        combo->addItem(ToQString(item));
    }
    // Template entries are offered, not chosen.
    combo->setCurrentIndex(-1);
    return combo;
}

QListWidget* CreateList(const ControlTemplate& control, QWidget& dialog) {
    auto* list = new QListWidget(&dialog);
    list->setSortingEnabled((control.style & kSort) != 0);
    for (std::string_view item : control.items) {
        list->addItem(ToQString(item));
    }
    return list;
}

QTreeWidget* CreateReportList(QWidget& dialog) {
    auto* list = new QTreeWidget(&dialog);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    return list;
}

QDateEdit* CreateDatePicker(QWidget& dialog) {
    auto* picker = new QDateEdit(QDate::currentDate(), &dialog);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    return picker;
}

QLabel* CreateIcon(QWidget& dialog) {
    auto* icon = new QLabel(&dialog);
    const QIcon application = dialog.windowIcon();
    if (!application.isNull()) {
        icon->setPixmap(application.pixmap(kIconPixels, kIconPixels));
    }
    return icon;
}

QWidget* CreateControl(const ControlTemplate& control, QWidget& dialog) {
    const QString caption = ToQString(control.caption);
    switch (control.kind) {
    case ControlKind::Static:
        return CreateLabel(control, dialog);
    case ControlKind::GroupBox: {
        auto* frame = new QGroupBox(caption, &dialog);
        frame->setAttribute(Qt::WA_TransparentForMouseEvents);
        return frame;
    }
    case ControlKind::PushButton:
        return new QPushButton(caption, &dialog);
    case ControlKind::DefPushButton: {
        auto* button = new QPushButton(caption, &dialog);
        button->setDefault(true);
        return button;
    }
    case ControlKind::RadioButton: {
        auto* radio = new QRadioButton(caption, &dialog);
        // Exclusivity comes from the button groups, not from the common parent.
        radio->setAutoExclusive(false);
        return radio;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(caption, &dialog);
    case ControlKind::Edit:
        return CreateEdit(control, dialog);
    case ControlKind::ComboDropList:
    case ControlKind::ComboDropDown:
        return CreateCombo(control, dialog);
    case ControlKind::ListBox:
        return CreateList(control, dialog);
    case ControlKind::ListView:
        return CreateReportList(dialog);
    case ControlKind::DateTimePicker:
        return CreateDatePicker(dialog);
    case ControlKind::TabControl:
        return new TabControl(&dialog);
    case ControlKind::ProgressBar: {
        auto* progress = new QProgressBar(&dialog);
        progress->setTextVisible(false);
        progress->setValue(0);
        return progress;
    }
    case ControlKind::Bitmap:
        return new QLabel(&dialog);
    case ControlKind::Icon:
        return CreateIcon(dialog);
    case ControlKind::ColorLabel: {
        auto* label = new ColorLabel(&dialog);
        label->SetText(caption);
        label->SetAlignment(TextAlignment(control.style));
        return label;
    }
    case ControlKind::Custom:
        break;
    }
    return new QWidget(&dialog);
}

void Place(QWidget& widget, const ControlTemplate& control, const QFont& font) {
    const QRect rect =
        DialogBuilder::DialogRectToPixels(font, control.x, control.y, control.cx, control.cy);
    if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
        // The template height includes the dropped-down list; the field itself
        // is as high as the font needs.
        const int field = combo->sizeHint().height();
        const int row = std::max(1, combo->fontMetrics().height());
        combo->setMaxVisibleItems(std::max(1, (rect.height() - field) / row));
        widget.setGeometry(rect.x(), rect.y(), rect.width(), field);
    } else if (control.cx > 0 || control.cy > 0) {
        widget.setGeometry(rect);
    } else if (control.kind == ControlKind::Icon) {
        widget.setGeometry(rect.x(), rect.y(), kIconPixels, kIconPixels);
    } else {
        widget.adjustSize();
        widget.move(rect.topLeft());
    }
}

} // namespace

void DialogBuilder::Build(const DialogTemplate& dialogTemplate, QWidget& dialog) {
    const QFont font = dialog.font();
    QButtonGroup* radioGroup = nullptr;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = CreateControl(control, dialog);
        widget->setObjectName(ToQString(control.name));
        widget->setProperty(kControlIdProperty, control.id);
        if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
            if (radioGroup == nullptr || (control.style & kFirstInGroup) != 0) {
                radioGroup = new QButtonGroup(&dialog);
            }
            radioGroup->addButton(radio);
        }
        Place(*widget, control, font);
        if (control.kind == ControlKind::GroupBox) {
            widget->lower();
        }
        widget->setEnabled((control.style & kDisabled) == 0);
        widget->setVisible((control.style & kHidden) == 0);
    }
    if (!dialogTemplate.caption.empty()) {
        dialog.setWindowTitle(ToQString(dialogTemplate.caption));
    }
    dialog.resize(DialogUnitsToPixels(font, dialogTemplate.cx, dialogTemplate.cy));
}

QWidget* DialogBuilder::FindControl(const QWidget& dialog, int id) {
    for (QObject* child : dialog.children()) {
        if (!child->isWidgetType()) {
            continue;
        }
        const QVariant value = child->property(kControlIdProperty);
        if (value.isValid() && value.toInt() == id) {
            return static_cast<QWidget*>(child);
        }
    }
    return nullptr;
}

QSize DialogBuilder::DialogUnitsToPixels(const QFont& font, int cx, int cy) {
    const QFontMetrics metrics(font);
    return {Scale(cx, BaseWidth(metrics), 4), Scale(cy, metrics.height(), 8)};
}

QRect DialogBuilder::DialogRectToPixels(const QFont& font, int x, int y, int cx, int cy) {
    const QSize origin = DialogUnitsToPixels(font, x, y);
    return {QPoint(origin.width(), origin.height()), DialogUnitsToPixels(font, cx, cy)};
}

void DialogBuilder::ApplyFont(QWidget& dialog, const QFont& font) {
    for (QWidget* control : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        control->setFont(font);
    }
}

bool DialogBuilder::SetControlText(QWidget& control, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(&control)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
        button->setText(text);
    } else if (auto* frame = qobject_cast<QGroupBox*>(&control)) {
        frame->setTitle(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
        edit->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(&control); combo && combo->isEditable()) {
        combo->setEditText(text);
    } else if (auto* colorLabel = qobject_cast<ColorLabel*>(&control)) {
        colorLabel->SetText(text);
    } else {
        return false;
    }
    return true;
}
