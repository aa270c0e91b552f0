// Dialog templates built into Qt controls: kinds, names, ids, states,
// placement in dialog units, radio groups, sorted combos, fonts, tab control.
#include "shell/DialogBuilder.h"
#include "controls/ColorLabel.h"
#include "resources/DialogTemplate.h"
#include "shell/TabControl.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

QFont DialogFont(int pixels) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixels);
    return font;
}

// The Qt control each template kind must become.
bool IsKind(const QWidget& widget, ControlKind kind) {
    const auto* button = qobject_cast<const QPushButton*>(&widget);
    const auto* combo = qobject_cast<const QComboBox*>(&widget);
    switch (kind) {
    case ControlKind::Static:
    case ControlKind::Bitmap:
    case ControlKind::Icon:
        return qobject_cast<const QLabel*>(&widget) != nullptr;
    case ControlKind::GroupBox:
        return qobject_cast<const QGroupBox*>(&widget) != nullptr;
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
        return button != nullptr && button->isDefault() == (kind == ControlKind::DefPushButton);
    case ControlKind::RadioButton:
        return qobject_cast<const QRadioButton*>(&widget) != nullptr;
    case ControlKind::Edit:
        return qobject_cast<const QLineEdit*>(&widget) != nullptr;
    case ControlKind::ComboDropList:
    case ControlKind::ComboDropDown:
        return combo != nullptr && combo->isEditable() == (kind == ControlKind::ComboDropDown);
    case ControlKind::ListView:
        return qobject_cast<const QTreeWidget*>(&widget) != nullptr;
    case ControlKind::DateTimePicker:
        return qobject_cast<const QDateEdit*>(&widget) != nullptr;
    case ControlKind::TabControl:
        return qobject_cast<const TabControl*>(&widget) != nullptr;
    case ControlKind::ProgressBar:
        return qobject_cast<const QProgressBar*>(&widget) != nullptr;
    case ControlKind::ColorLabel:
        return qobject_cast<const ColorLabel*>(&widget) != nullptr;
    case ControlKind::Custom:
        return widget.metaObject() == &QWidget::staticMetaObject;
    default: // no template uses the other kinds
        return false;
    }
}

class DialogBuilderTest : public ::testing::Test {
protected:
    const DialogTemplate& Build(int templateId, int fontPixels = 14) {
        const DialogTemplate* found = FindDialogTemplate(templateId);
        EXPECT_NE(found, nullptr) << templateId;
        m_pDialog = std::make_unique<QWidget>();
        m_pDialog->setFont(DialogFont(fontPixels));
        DialogBuilder::Build(*found, *m_pDialog);
        return *found;
    }
    template <typename T> T* Control(int id) const {
        return qobject_cast<T*>(DialogBuilder::FindControl(*m_pDialog, id));
    }
    QRect Pixels(int x, int y, int cx, int cy) const {
        return DialogBuilder::DialogRectToPixels(m_pDialog->font(), x, y, cx, cy);
    }

    std::unique_ptr<QWidget> m_pDialog;
};

TEST_F(DialogBuilderTest, EveryTemplateBuildsExactlyItsControlsInsideTheDialog) {
    EXPECT_EQ(FindDialogTemplate(101), nullptr);
    for (int templateId : {100, 102, 130, 131, 133, 135, 136}) {
        SCOPED_TRACE(templateId);
        const DialogTemplate& dialog = Build(templateId);
        EXPECT_EQ(m_pDialog->size(), Pixels(0, 0, dialog.cx, dialog.cy).size());
        EXPECT_EQ(m_pDialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(),
                  static_cast<qsizetype>(dialog.controls.size()));

        std::set<int> ids;
        std::set<std::string_view> names;
        for (const ControlTemplate& control : dialog.controls) {
            SCOPED_TRACE(control.id);
            // A combo's template height is its dropped-down list, which may
            // leave the dialog.
            const bool combo = control.kind == ControlKind::ComboDropDown ||
                               control.kind == ControlKind::ComboDropList;
            const QRect rect = Pixels(control.x, control.y, control.cx, combo ? 0 : control.cy);
            EXPECT_TRUE(m_pDialog->rect().contains(rect.topLeft()) &&
                        (rect.isEmpty() || m_pDialog->rect().contains(rect)));
            if (control.id < 0) {
                continue;
            }
            EXPECT_TRUE(ids.insert(control.id).second) << "id used twice";
            EXPECT_TRUE(names.insert(control.name).second) << "name used twice";
            const QWidget* widget = DialogBuilder::FindControl(*m_pDialog, control.id);
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(widget->objectName().toStdString(), control.name);
            EXPECT_TRUE(IsKind(*widget, control.kind)) << widget->metaObject()->className();
            EXPECT_EQ(widget->isHidden(), (control.style & kHidden) != 0);
            EXPECT_EQ(widget->isEnabled(), (control.style & kDisabled) == 0);
        }
    }
    Build(131);
    EXPECT_EQ(Control<QLabel>(1106)->text(), "Sensor1");
    EXPECT_TRUE(Control<QLabel>(1106)->alignment().testFlag(Qt::AlignRight));
    EXPECT_EQ(Control<QComboBox>(1030)->itemText(0), "℃");
    EXPECT_EQ(Control<QComboBox>(1030)->currentIndex(), -1) << "entries offered, not chosen";
}

TEST_F(DialogBuilderTest, PlacementScalesWithTheDialogFont) {
    const QFont font = DialogFont(14);
    // One character cell is 4 × 8 dialog units.
    EXPECT_EQ(DialogBuilder::DialogUnitsToPixels(font, 4, 8).height(), QFontMetrics(font).height());

    Build(130, 14);
    const QRect small = Control<QPushButton>(1022)->geometry();
    const QSize smallDialog = m_pDialog->size();
    Build(130, 28);
    const QRect large = Control<QPushButton>(1022)->geometry();
    EXPECT_EQ(large, Pixels(161, 171, 90, 14));
    EXPECT_NEAR(m_pDialog->width(), 2.0 * smallDialog.width(), 0.15 * smallDialog.width());
    EXPECT_NEAR(m_pDialog->height(), 2.0 * smallDialog.height(), 0.15 * smallDialog.height());
    for (auto [l, s] : {std::pair{large.x(), small.x()},
                        {large.y(), small.y()},
                        {large.width(), small.width()},
                        {large.height(), small.height()}}) {
        EXPECT_NEAR(l, 2.0 * s, 0.15 * s);
    }
}

TEST_F(DialogBuilderTest, SizelessControlsAndCombosTakeTheirNaturalHeight) {
    Build(100);
    EXPECT_EQ(DialogBuilder::FindControl(*m_pDialog, -1)->size(), QSize(32, 32)) << "icon";

    Build(102);
    const auto* unit = qobject_cast<QLabel*>(DialogBuilder::FindControl(*m_pDialog, -1));
    ASSERT_EQ(unit->text(), "mA");
    EXPECT_EQ(unit->pos(), Pixels(83, 70, 0, 0).topLeft());
    EXPECT_GE(unit->width(), unit->fontMetrics().horizontalAdvance("mA"));

    Build(131);
    const auto* sensorType = Control<QComboBox>(1165);
    const QRect dropped = Pixels(76, 80, 82, 153);
    EXPECT_EQ(sensorType->geometry().topLeft(), dropped.topLeft());
    EXPECT_EQ(sensorType->width(), dropped.width());
    EXPECT_LT(sensorType->height(), dropped.height() / 4);
    EXPECT_GT(sensorType->maxVisibleItems(), 5);
}

TEST_F(DialogBuilderTest, RadioButtonsAreExclusiveWithinTheirGroupOnly) {
    Build(131);
    for (int id : {1140, 1142, 1153, 1155, 1141, 1145, 1152}) {
        Control<QRadioButton>(id)->setChecked(true);
    }
    for (int id : {1140, 1142, 1153}) {
        EXPECT_FALSE(Control<QRadioButton>(id)->isChecked()) << id;
    }
    // Sensor 2's hidden pair is a group of its own.
    for (int id : {1141, 1145, 1152, 1155}) {
        EXPECT_TRUE(Control<QRadioButton>(id)->isChecked()) << id;
    }
}

TEST_F(DialogBuilderTest, SortedCombosKeepEveryInsertionInOrder) {
    Build(131);
    auto* wire = Control<QComboBox>(1167);
    wire->clear();
    wire->addItems({"4 Wire", "2 Wire", "3 Wire"});
    wire->insertItem(0, "5 Wire");
    EXPECT_EQ(wire->itemText(0), "2 Wire");
    EXPECT_EQ(wire->itemText(3), "5 Wire");
    wire->setCurrentIndex(2);
    wire->addItem("1 Wire");
    EXPECT_EQ(wire->currentText(), "4 Wire");

    auto* unit = Control<QComboBox>(1030); // not sorted
    unit->addItem("A");
    EXPECT_EQ(unit->itemText(3), "A");
}

TEST_F(DialogBuilderTest, GroupBoxesLetClicksThroughToNothingOrTheirControls) {
    Build(130);
    const QPushButton* test = Control<QPushButton>(1004);
    EXPECT_EQ(m_pDialog->childAt(test->geometry().center()), test);
    const QRect frame = Control<QGroupBox>(1011)->geometry();
    EXPECT_EQ(m_pDialog->childAt(frame.left() + 4, frame.bottom() - 4), nullptr);
}

TEST_F(DialogBuilderTest, ApplyFontReachesTheDialogsOwnControlsOnly) {
    Build(130);
    auto* page = new QWidget(m_pDialog.get());
    auto* pageControl = new QLabel(QStringLiteral("page"), page);
    pageControl->setFont(DialogFont(9));
    const QRect before = Control<QPushButton>(1022)->geometry();

    DialogBuilder::ApplyFont(*m_pDialog, DialogFont(20));
    EXPECT_EQ(Control<QPushButton>(1022)->font().pixelSize(), 20);
    EXPECT_EQ(page->font().pixelSize(), 20);
    EXPECT_EQ(pageControl->font().pixelSize(), 9);
    EXPECT_EQ(Control<QPushButton>(1022)->geometry(), before);
}

TEST_F(DialogBuilderTest, TabControlPaintsOneClientAreaAndSwitchesOnlyFromItsTabRow) {
    Build(102);
    auto* tabs = Control<TabControl>(1000);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->geometry(), Pixels(10, 91, 358, 225));
    for (int i = 0; i < 5; ++i) {
        tabs->addTab(QString::number(i + 1));
    }
    EXPECT_EQ(tabs->PageRect(), tabs->rect().adjusted(4, 25, -4, -4));
    EXPECT_LT(tabs->tabRect(0).bottom(), tabs->PageRect().top());
    // Right under the selected tab the client area looks like everywhere else.
    const QImage image = tabs->grab().toImage();
    EXPECT_EQ(image.pixel(tabs->tabRect(0).center().x(), tabs->PageRect().top() + 4),
              image.pixel(tabs->PageRect().center()));

    auto wheel = [tabs](QPoint at) {
        QWheelEvent event(at, tabs->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(tabs, &event);
    };
    wheel(tabs->PageRect().center());
    EXPECT_EQ(tabs->currentIndex(), 0);
    wheel(tabs->tabRect(0).center());
    EXPECT_EQ(tabs->currentIndex(), 1);
}

} // namespace
