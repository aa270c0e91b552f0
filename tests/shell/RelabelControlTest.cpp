// Captions from the language file in use, on a built page.
#include "shell/RelabelControl.h"
#include "controls/ColorLabel.h"
#include "platform/LanguageText.h"
#include "resources/DialogTemplate.h"
#include "shell/DialogBuilder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>

namespace {

// What the user reads on a control, whatever its kind.
QString Caption(const QWidget& control) {
    if (const auto* label = qobject_cast<const ColorLabel*>(&control)) {
        return label->Text();
    }
    for (const char* property : {"text", "title", "currentText"}) {
        if (const QVariant value = control.property(property); value.isValid()) {
            return value.toString();
        }
    }
    return {};
}

class RelabelControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_strSavedLanguage = CurrentLanguageFile;
        CurrentLanguageFile = m_strFile;
        std::ofstream(m_strFile, std::ios::binary)
            << "[QXView2]\n"
               "IDC_STA1=Arbeitsweise\nIDC_STA4=传感器1\nIDC_RAO_MODE1=Reserve\n"
               "IDC_cmdRead2=Lesen\nIDC_txtZero=0.000\nIDC_cboUnit=K\nIDC_STA_SEN1UNIT=mV\n"
               "IDC_STA2=\n"
               "[QXView1]\nIDC_STA3=elsewhere\n";
        DialogBuilder::Build(*FindDialogTemplate(131), *m_pPage);
    }
    void TearDown() override {
        std::remove(m_strFile.c_str());
        CurrentLanguageFile = m_strSavedLanguage;
    }

    QString CaptionOf(int id) const { return Caption(*DialogBuilder::FindControl(*m_pPage, id)); }
    std::map<int, QString> AllCaptions() const {
        std::map<int, QString> captions;
        for (const ControlTemplate& control : FindDialogTemplate(131)->controls) {
            captions[control.id] = control.id >= 0 ? CaptionOf(control.id) : QString();
        }
        return captions;
    }

    // One file per process: CTest runs the tests of this suite side by side.
    const std::string m_strFile =
        ::testing::TempDir() + "calora-relabel-" + std::to_string(::getpid()) + ".ini";
    std::string m_strSavedLanguage;
    std::unique_ptr<QWidget> m_pPage = std::make_unique<QWidget>();
};

TEST_F(RelabelControlTest, EveryKindOfCaptionTakesTheText) {
    // Group box, label, radio button, push button, edit, editable combo, colour label.
    const std::map<int, std::pair<const char*, QString>> cases = {
        {1102, {"IDC_STA1", "Arbeitsweise"}}, {1106, {"IDC_STA4", "传感器1"}},
        {1142, {"IDC_RAO_MODE1", "Reserve"}}, {1049, {"IDC_cmdRead2", "Lesen"}},
        {1001, {"IDC_txtZero", "0.000"}},     {1030, {"IDC_cboUnit", "K"}},
        {1156, {"IDC_STA_SEN1UNIT", "mV"}}};
    for (const auto& [id, relabel] : cases) {
        RelabelControl(*m_pPage, id, relabel.first, "QXView2");
        EXPECT_EQ(CaptionOf(id), relabel.second) << relabel.first;
    }
}

TEST_F(RelabelControlTest, MissingEmptyOrMisdirectedTextsChangeNothing) {
    const std::map<int, QString> before = AllCaptions();
    RelabelControl(*m_pPage, 1105, "IDC_STA3", "QXView2"); // key missing in the section
    RelabelControl(*m_pPage, 1103, "IDC_STA2", "QXView2"); // value empty
    RelabelControl(*m_pPage, 4242, "IDC_STA1", "QXView2"); // no such control
    RelabelControl(*m_pPage, 1102, "IDC_STA1", "QXView9"); // no such section
    EXPECT_EQ(AllCaptions(), before);
    for (const std::string& file : {std::string(), ::testing::TempDir() + "missing.ini"}) {
        CurrentLanguageFile = file;
        RelabelControl(*m_pPage, 1102, "IDC_STA1", "QXView2");
        EXPECT_EQ(AllCaptions(), before) << file;
    }
}

} // namespace
