// Dialog templates built into Qt controls: kinds, names, ids, states,
// placement in dialog units, radio groups, sorted combos, fonts, tab control,
// and captions from the language file in use.
#include "shell/DialogBuilder.h"
#include "controls/ColorLabel.h"
#include "platform/LanguageText.h"
#include "resources/DialogTemplate.h"
#include "shell/RelabelControl.h"
#include "shell/TabControl.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <vector>

namespace {

QFont DialogFont(int pixels) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixels);
    return font;
}

class DialogBuilderTest : public ::testing::Test {
protected:
    const DialogTemplate& Build(int templateId, int fontPixels = 14) {
        const DialogTemplate* found = FindDialogTemplate(templateId);
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

TEST_F(DialogBuilderTest, EveryTemplateBuildsItsControlsInsideTheDialog) {
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
            // A combo's template height is its dropped-down list.
            const bool combo = control.kind == ControlKind::ComboDropDown ||
                               control.kind == ControlKind::ComboDropList;
            const QRect rect = Pixels(control.x, control.y, control.cx, combo ? 0 : control.cy);
            EXPECT_TRUE(m_pDialog->rect().contains(rect.topLeft()) &&
                        (rect.isEmpty() || m_pDialog->rect().contains(rect)));
            if (control.id < 0) {
                continue;
            }
            EXPECT_TRUE(ids.insert(control.id).second && names.insert(control.name).second)
                << "id or name used twice";
            const QWidget* widget = DialogBuilder::FindControl(*m_pDialog, control.id);
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(widget->objectName().toStdString(), control.name);
            if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
                EXPECT_EQ(button->isDefault(), control.kind == ControlKind::DefPushButton);
            }
            if (const auto* box = qobject_cast<const QComboBox*>(widget)) {
                EXPECT_EQ(box->isEditable(), control.kind == ControlKind::ComboDropDown);
                EXPECT_EQ(box->currentIndex(), -1) << "entries offered, not chosen";
            }
            EXPECT_EQ(widget->isHidden(), (control.style & kHidden) != 0);
            EXPECT_EQ(widget->isEnabled(), (control.style & kDisabled) == 0);
        }
    }
}

TEST_F(DialogBuilderTest, PlacementFontsGroupBoxesAndTabsOfBuiltDialogs) {
    // One character cell is 4 × 8 dialog units.
    const QFont font = DialogFont(14);
    EXPECT_EQ(DialogBuilder::DialogUnitsToPixels(font, 4, 8).height(), QFontMetrics(font).height());
    Build(130, 14);
    const QRect small = Control<QPushButton>(1022)->geometry();
    // Group boxes let clicks through; ApplyFont skips the controls of pages.
    const QPushButton* test = Control<QPushButton>(1004);
    EXPECT_EQ(m_pDialog->childAt(test->geometry().center()), test);
    const QRect frame = Control<QGroupBox>(1011)->geometry();
    EXPECT_EQ(m_pDialog->childAt(frame.left() + 4, frame.bottom() - 4), nullptr);

    auto* page = new QWidget(m_pDialog.get());
    auto* pageControl = new QLabel(QStringLiteral("page"), page);
    pageControl->setFont(DialogFont(9));
    DialogBuilder::ApplyFont(*m_pDialog, DialogFont(20));
    const std::vector<int> pixels{test->font().pixelSize(), page->font().pixelSize(),
                                  pageControl->font().pixelSize()};
    EXPECT_EQ(pixels, (std::vector<int>{20, 20, 9}));
    Build(130, 28);
    const QRect large = Control<QPushButton>(1022)->geometry();
    EXPECT_EQ(large, Pixels(161, 171, 90, 14));
    EXPECT_NEAR(large.right(), 2.0 * small.right(), 0.15 * small.right());
    EXPECT_NEAR(large.bottom(), 2.0 * small.bottom(), 0.15 * small.bottom());

    Build(100);
    EXPECT_EQ(DialogBuilder::FindControl(*m_pDialog, -1)->size(), QSize(32, 32)) << "icon";
    Build(102);
    const auto* unit = qobject_cast<QLabel*>(DialogBuilder::FindControl(*m_pDialog, -1));
    EXPECT_EQ(unit->pos(), Pixels(83, 70, 0, 0).topLeft());
    EXPECT_GE(unit->width(), unit->fontMetrics().horizontalAdvance(unit->text()));
    // The tab control paints one client area and the wheel never switches tabs.
    auto* tabs = Control<TabControl>(1000);
    for (int i = 0; i < 5; ++i) {
        tabs->addTab(QString::number(i + 1));
    }
    EXPECT_LT(tabs->tabRect(0).bottom(), tabs->PageRect().top());
    // Right under the selected tab the client area looks like everywhere else.
    const QImage image = tabs->grab().toImage();
    EXPECT_EQ(image.pixel(tabs->tabRect(0).center().x(), tabs->PageRect().top() + 4),
              image.pixel(tabs->PageRect().center()));
    for (const QPoint at : {tabs->PageRect().center(), tabs->tabRect(0).center()}) {
        QWheelEvent event(at, tabs->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(tabs, &event);
        EXPECT_EQ(tabs->currentIndex(), 0);
    }
    Build(131);
    EXPECT_TRUE(Control<QLabel>(1106)->alignment().testFlag(Qt::AlignRight));
    const auto* sensorType = Control<QComboBox>(1165);
    const QRect dropped = Pixels(76, 80, 82, 153);
    EXPECT_EQ(sensorType->geometry().topLeft(), dropped.topLeft());
    EXPECT_LT(sensorType->height(), dropped.height() / 4);
    EXPECT_GT(sensorType->maxVisibleItems(), 5);
}

// What the user reads on a control, whatever its kind.
QString Caption(const QWidget* control) {
    if (const auto* label = qobject_cast<const ColorLabel*>(control)) {
        return label->Text();
    }
    for (const char* property : {"text", "title", "currentText"}) {
        if (const QVariant value = control->property(property); value.isValid()) {
            return value.toString();
        }
    }
    return {};
}

// A text found replaces the caption of a group box, label, radio button,
// push button, edit, editable combo or colour label; an empty text, one of
// another section or no such control change nothing.
TEST_F(DialogBuilderTest, RelabelTakesTheTextInUseRadioGroupsAndSortedCombos) {
    Build(131);
    // One file per process: CTest runs the tests of this suite side by side.
    const std::string file =
        ::testing::TempDir() + "calora-relabel-" + std::to_string(::getpid()) + ".ini";
    std::ofstream(file, std::ios::binary) << "[QXView2]\nIDC_STA1=Arbeitsweise\nIDC_STA4=传感器1\n"
                                             "IDC_RAO_MODE1=Reserve\nIDC_cmdRead2=Lesen\n"
                                             "IDC_txtZero=0.000\nIDC_cboUnit=K\n"
                                             "IDC_STA_SEN1UNIT=mV\nIDC_STA2=\n"
                                             "[QXView1]\nIDC_STA3=elsewhere\n";
    CurrentLanguageFile = file;
    const struct {
        int id;
        const char* key;
        QString caption; // empty: as built
    } cases[] = {{1102, "IDC_STA1", "Arbeitsweise"},
                 {1106, "IDC_STA4", "传感器1"},
                 {1142, "IDC_RAO_MODE1", "Reserve"},
                 {1049, "IDC_cmdRead2", "Lesen"},
                 {1001, "IDC_txtZero", "0.000"},
                 {1030, "IDC_cboUnit", "K"},
                 {1156, "IDC_STA_SEN1UNIT", "mV"},
                 {1103, "IDC_STA2", ""},
                 {1105, "IDC_STA3", ""},
                 {4242, "IDC_STA1", ""}};
    for (const auto& c : cases) {
        QWidget* control = DialogBuilder::FindControl(*m_pDialog, c.id);
        const QString built = control != nullptr ? Caption(control) : QString();
        RelabelControl(*m_pDialog, c.id, c.key, "QXView2");
        if (control != nullptr) {
            EXPECT_EQ(Caption(control), c.caption.isEmpty() ? built : c.caption) << c.key;
        }
    }
    // Radio buttons are exclusive within their group only.
    const int order[] = {1140, 1142, 1153, 1155, 1141, 1145, 1152};
    for (int id : order) {
        Control<QRadioButton>(id)->setChecked(true);
    }
    // Sensor 2's hidden pair (1152, 1155) is a group of its own.
    std::vector<bool> checked;
    for (int id : order) {
        checked.push_back(Control<QRadioButton>(id)->isChecked());
    }
    EXPECT_EQ(checked, (std::vector<bool>{false, false, false, true, true, true, true}));
    // A sorted combo keeps every insertion in order.
    auto* wire = Control<QComboBox>(1167);
    wire->clear();
    wire->addItems({"4 Wire", "2 Wire", "5 Wire"});
    wire->setCurrentIndex(1);
    wire->insertItem(0, "3 Wire");
    EXPECT_EQ(wire->itemText(0), "2 Wire");
    EXPECT_EQ(wire->currentText(), "4 Wire");
    auto* unit = Control<QComboBox>(1030); // not sorted
    unit->addItem("A");
    EXPECT_EQ(unit->itemText(unit->count() - 1), "A");
    CurrentLanguageFile.clear();
    std::remove(file.c_str());
}

} // namespace
