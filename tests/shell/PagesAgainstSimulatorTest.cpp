// The sensor page on the simulated transmitter, whose own frame code reads
// what the page sends, in virtual time: what a Read shows, an Update writes
// back byte for byte.
#include "tests/shell/PageWindow.h"

#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

TEST(PagesAgainstSimulator, SensorReadShowsTheConfigurationAndUpdateWritesItBack) {
    PageWindow p;
    DeviceConfig& transmitter = p.Transmitter();
    const PageWindow::Bytes block =
        Join({{3, 2, 0xFF, 0x01}, Float(0.5f), Float(-1.0f)}); // K, J averaged
    std::copy(block.begin(), block.end(), transmitter.m_sensorBlock.begin());
    transmitter.m_displayBlock = {1, 2, 1};
    transmitter.m_lowerRange = -50.0f;
    transmitter.m_upperRange = 300.0f;
    p.ShowTab(1);
    p.Click(1, 1049);
    EXPECT_TRUE(p.Item<QRadioButton>(1, 1141)->isChecked());
    EXPECT_TRUE(p.Item<QRadioButton>(1, 1143)->isChecked());
    EXPECT_EQ(p.Item<QComboBox>(1, 1165)->currentIndex(), 14); // Type K
    EXPECT_EQ(p.Item<QComboBox>(1, 1186)->currentIndex(), 13); // Type J
    EXPECT_EQ(p.Item<QComboBox>(1, 1024)->currentIndex(), 2);
    EXPECT_FALSE(p.Item<QComboBox>(1, 1167)->isEnabled());
    EXPECT_FALSE(p.Item<QComboBox>(1, 1032)->isEnabled());
    const auto texts = [&p] {
        std::string all;
        for (int id : {1001, 1031, 1002, 1003, 1161}) {
            all += p.Item(1, id)->text().toStdString() + " ";
        }
        return all + p.Item<QComboBox>(1, 1030)->currentText().toStdString();
    };
    EXPECT_EQ(texts(), "-50.000 300.000 0.500 -1.000 1.0 °C");

    // A type typed over the one chosen is none: the type read is sent back.
    p.Choose(1, 1186, 14);
    p.Item<QComboBox>(1, 1186)->setEditText("Type X");
    const DeviceConfig read = transmitter;
    p.Click(1, 1168);
    EXPECT_EQ(p.Status(), Text("strOpOK"));
    EXPECT_TRUE(transmitter == read);

    // A unit chosen converts what is shown; relabelling starts the page over.
    p.Choose(1, 1030, 2);
    EXPECT_EQ(texts(), "-58.000 572.000 0.900 -1.800 1.0 F");
    p.m_pWindow->Page(1)->Relabel();
    EXPECT_EQ(texts(), "-200 850 0.900 -1.800 1.0 °C");
    EXPECT_EQ(p.Item<QComboBox>(1, 1165)->currentIndex(), 0);
    EXPECT_EQ(p.Item<QComboBox>(1, 1167)->currentIndex(), 1);
}

} // namespace
