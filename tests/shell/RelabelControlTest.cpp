// Captions from the language file in use, on a built page.
#include "shell/RelabelControl.h"
#include "controls/ColorLabel.h"
#include "platform/LanguageText.h"
#include "resources/DialogTemplate.h"
#include "shell/DialogBuilder.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

namespace {

// What the user reads on a control, whatever its kind.
QString Caption(const QWidget& control) {
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        return button->text();
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(&control)) {
        return frame->title();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(&control)) {
        return edit->text();
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(&control)) {
        return combo->currentText();
    }
    const auto* label = qobject_cast<const ColorLabel*>(&control);
    return label != nullptr ? label->Text() : QString();
}

class RelabelControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "calora-relabel-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_Directory = pattern;
        m_strSavedLanguage = CurrentLanguageFile;
        CurrentLanguageFile = (m_Directory / "english.ini").string();
        std::ofstream(CurrentLanguageFile, std::ios::binary)
            << "[QXView2]\n"
               "IDC_STA1=Arbeitsweise\nIDC_STA4=传感器1\nIDC_RAO_MODE1=Reserve\n"
               "IDC_cmdRead2=Lesen\nIDC_txtZero=0.000\nIDC_cboUnit=K\nIDC_STA_SEN1UNIT=mV\n"
               "IDC_STA2=\n"
               "[QXView1]\nIDC_STA3=elsewhere\n";

        m_pPage = std::make_unique<QWidget>();
        DialogBuilder::Build(*FindDialogTemplate(131), *m_pPage);
    }
    void TearDown() override {
        CurrentLanguageFile = m_strSavedLanguage;
        std::filesystem::remove_all(m_Directory);
    }

    QString CaptionOf(int id) const { return Caption(*DialogBuilder::FindControl(*m_pPage, id)); }
    std::map<int, QString> AllCaptions() const {
        std::map<int, QString> captions;
        for (const ControlTemplate& control : FindDialogTemplate(131)->controls) {
            if (control.id >= 0) {
                captions[control.id] = CaptionOf(control.id);
            }
        }
        return captions;
    }

    std::filesystem::path m_Directory;
    std::string m_strSavedLanguage;
    std::unique_ptr<QWidget> m_pPage;
};

TEST_F(RelabelControlTest, EveryKindOfCaptionTakesTheText) {
    const struct {
        int id;
        const char* key;
        QString text;
    } cases[] = {
        {1102, "IDC_STA1", "Arbeitsweise"}, // group box
        {1106, "IDC_STA4", "传感器1"},      // label
        {1142, "IDC_RAO_MODE1", "Reserve"}, // radio button
        {1049, "IDC_cmdRead2", "Lesen"},    // push button
        {1001, "IDC_txtZero", "0.000"},     // edit
        {1030, "IDC_cboUnit", "K"},         // editable combo
        {1156, "IDC_STA_SEN1UNIT", "mV"},   // colour label
    };
    for (const auto& relabel : cases) {
        RelabelControl(*m_pPage, relabel.id, relabel.key, "QXView2");
        EXPECT_EQ(CaptionOf(relabel.id), relabel.text) << relabel.key;
    }
}

TEST_F(RelabelControlTest, MissingEmptyOrMisdirectedTextsChangeNothing) {
    const std::map<int, QString> before = AllCaptions();
    RelabelControl(*m_pPage, 1105, "IDC_STA3", "QXView2"); // key missing in the section
    RelabelControl(*m_pPage, 1103, "IDC_STA2", "QXView2"); // value empty
    RelabelControl(*m_pPage, 4242, "IDC_STA1", "QXView2"); // no such control
    RelabelControl(*m_pPage, 1102, "IDC_STA1", "QXView9"); // no such section
    EXPECT_EQ(AllCaptions(), before);
    EXPECT_EQ(CaptionOf(1105), "Output Setup");

    CurrentLanguageFile.clear();
    RelabelControl(*m_pPage, 1102, "IDC_STA1", "QXView2");
    EXPECT_EQ(CaptionOf(1102), "Work Mode");

    CurrentLanguageFile = (m_Directory / "missing.ini").string();
    RelabelControl(*m_pPage, 1102, "IDC_STA1", "QXView2");
    EXPECT_EQ(AllCaptions(), before);
}

} // namespace
