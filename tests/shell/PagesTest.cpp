// The configuration pages in the main window, in virtual time, on the
// simulated transmitter, whose own frame code reads what the pages send. What
// each check and sequence decides is proven with the decisions in tests/pages;
// here each page moves its texts in and out, runs what was decided, and shows
// refusals at the input to correct and failures with their reason.
#include "tests/shell/PageWindow.h"

#include <QDateEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using Bytes = PageWindow::Bytes;

// Each button after what the user typed or chose, and the question it asks:
// the commands it sends (each once) and the data of the last; or the refusal,
// with the focus on the input to correct; or, when the transmitter refuses a
// command, the failure that names it. No to the question sends and stores
// nothing.
TEST(Pages, ButtonsRunWhatTheirPageDecidedOrShowWhatStoppedThem) {
    const auto other = [](const char* typed) {
        return [=](PageWindow& p) {
            p.Click(0, 1019);
            EXPECT_TRUE(p.Item(0, 1020)->isEnabled());
            p.Type(0, 1020, typed);
        };
    };
    const auto trim = [](const char* first, const char* second) {
        return [=](PageWindow& p) {
            p.Type(0, 1001, first);
            p.Type(0, 1046, second);
            p.Item(0, 1046)->setFocus();
        };
    };
    const auto sensors = [](int mode, int wire1, int sensor2) {
        return [=](PageWindow& p) {
            p.Click(1, 1141);
            p.Click(1, 1142 + mode);
            p.Choose(1, 1167, wire1);
            p.Choose(1, 1186, sensor2);
        };
    };
    // No, after readings were typed that a Yes would store.
    const auto no = [trim](PageWindow& p) {
        trim("4", "20")(p);
        p.m_Prompt.m_bYes = false;
    };
    const struct {
        int tab, page;
        std::function<void(PageWindow&)> setup;
        int button;
        Bytes sent;
        Bytes data;                // of the last command sent
        const char* refusal = "";  // shown, with the focus then on the input
        int focus = 0;             // focused at the end
        std::uint8_t refused = 0;  // by the transmitter
        const char* question = ""; // asked first
    } cases[] = {
        {0, 0, [](PageWindow& p) { p.Click(0, 1012); }, 1021, {0, 40}, Float(3.8f)},
        {0, 0, [](PageWindow& p) { p.Click(0, 1018); }, 1021, {0, 40}, Float(20.5f)},
        {0, 0, other("11.5"), 1021, {0, 40}, Float(11.5f)},
        {0, 0, other(""), 1021, {}, {}, "strCurrentErr", 1020},
        {0, 0, {}, 1022, {0, 40}, Float(0.0f)},
        {0, 0, trim("4", "20"), 1047, {0, 45, 46, 40}, Float(0.0f), "", 1004, 0, "strTrimCurrent"},
        {0, 0, trim("2.9", "20"), 1047, {}, {}, "strCurrentErr", 1001, 0, "strTrimCurrent"},
        {0, 0, trim("4", "22.1"), 1047, {}, {}, "strCurrentErr", 1046, 0, "strTrimCurrent"},
        {0, 0, trim("4", "20"), 1047, {0, 45}, {}, "", 0, 45, "strTrimCurrent"},
        {0, 0, no, 1047, {}, {}, "", 0, 0, "strTrimCurrent"},
        {1, 1, [](PageWindow& p) { p.Type(1, 1031, "-195"); }, 1168, {}, {}, "SpanErr", 1031},
        {1, 1, sensors(0, 2, 0), 1168, {}, {}, "Sen1WireErr", 1167},
        {1, 1, sensors(1, 1, 21), 1168, {}, {}, "SenMatchErr", 1186},
        {1, 1, sensors(3, 1, 21), 1168, {0, 35, 186, 187, 34, 42}, {}},
        {1, 1, {}, 1049, {0, 15, 147}, {}, "", 0, 147},
        {1, 1, {}, 1168, {0, 35, 186}, {}, "", 0, 186},
        {2, 2, [](PageWindow& p) { p.Type(2, 1038, "-1"); }, 1040, {}, {}, "strNOErr", 1038},
        {2, 2, [](PageWindow& p) { p.Type(2, 1039, "ab12"); }, 1168, {0, 19}, {0x00, 0xAB, 0x12}},
        {2, 2, {}, 1163, {0, 17}, {}, "", 0, 17},
        {3, 4, {}, 1025, {0, 37}, {}, "", 0, 0, "strSetZero"},
        {3, 4, {}, 1027, {0, 36}, {}, "", 0, 0, "strSetFull"},
        {3, 4, no, 1025, {}, {}, "", 0, 0, "strSetZero"},
        {3, 4, no, 1027, {}, {}, "", 0, 0, "strSetFull"},
        {3, 4, {}, 1025, {0, 37}, {}, "", 0, 37, "strSetZero"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases) + ": button " + std::to_string(c.button));
        SimOptions options;
        options.m_unsupported = c.refused != 0 ? Bytes{c.refused} : Bytes{};
        PageWindow p(options);
        p.ShowTab(c.tab);
        if (c.setup) {
            c.setup(p);
        }
        p.m_Requests.clear();
        const DeviceRecord before = p.m_Protocol.Device();
        p.Click(c.page, c.button);
        Bytes sent = p.Commands();
        sent.erase(std::unique(sent.begin(), sent.end()), sent.end());
        EXPECT_EQ(sent, c.sent);
        EXPECT_EQ(p.m_Prompt.m_Asked, *c.question != 0 ? std::vector<std::string>{Text(c.question)}
                                                       : std::vector<std::string>{});
        if (c.refused != 0) {
            EXPECT_TRUE(p.Shown().starts_with(Text("strCommFail") + "\n")) << p.Shown();
            EXPECT_NE(p.Shown().find(std::to_string(c.refused)), std::string::npos);
            EXPECT_EQ(p.Status(), Text("strOpFail"));
        } else if (*c.refusal != 0) {
            EXPECT_EQ(p.Shown(), Text(c.refusal) + "|");
            EXPECT_EQ(p.m_Prompt.m_Shown[0].caption, "HART");
        } else {
            EXPECT_EQ(p.Shown(), "");
            EXPECT_EQ(p.Sent(c.sent.empty() ? 0 : c.sent.back()), c.data);
        }
        EXPECT_TRUE(c.focus == 0 || p.Focused(c.page, c.focus)) << c.focus;
        EXPECT_TRUE(p.m_Prompt.m_bYes || p.m_Protocol.Device() == before);
        EXPECT_FALSE(BusyFlag);
    }
}

TEST(Pages, TrimFromTheKeyboardSensorAndInformationRoundTripsAndAddressChange) {
    PageWindow p;
    p.Click(0, 1004);
    EXPECT_EQ(p.Sent(40), Float(4.0f));
    EXPECT_TRUE(p.Focused(0, 1001));
    p.Type(0, 1001, "4.012");
    p.Enter(0, 1001);
    EXPECT_EQ(p.Sent(40), Float(20.0f));
    EXPECT_TRUE(p.Focused(0, 1046));
    p.Type(0, 1046, "19.987");
    p.Enter(0, 1046);
    EXPECT_EQ(p.m_Prompt.m_Asked, std::vector<std::string>{Text("strTrimCurrent")});
    EXPECT_EQ(p.Commands(), (Bytes{0, 40, 0, 40, 0, 45, 46, 40}));
    EXPECT_EQ(p.Transmitter().m_trimZero, 4.012f);
    EXPECT_EQ(p.Transmitter().m_trimGain, 19.987f);
    EXPECT_TRUE(p.Focused(0, 1004));

    // Sensor Read shows the configuration and Update writes it back.
    DeviceConfig& transmitter = p.Transmitter();
    const Bytes block = Join({{3, 2, 0xFF, 0x01}, Float(0.5f), Float(-1.0f)}); // K, J averaged
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

    // The information page: what Write sent comes back on Read, upper case.
    p.ShowTab(2);
    p.Type(2, 1032, "tt 7");
    p.Type(2, 1033, "boiler inlet");
    p.Type(2, 1034, "checked in march");
    p.Item<QDateEdit>(2, 1101)->setDate(QDate(2014, 3, 5));
    p.Click(2, 1163);
    p.Item(2, 1032)->clear();
    p.Item<QDateEdit>(2, 1101)->setDate(QDate(2020, 1, 1));
    p.Click(2, 1048);
    EXPECT_EQ(p.Item(2, 1032)->text() + "|" + p.Item(2, 1033)->text() + "|" +
                  p.Item(2, 1034)->text(),
              "TT 7|BOILER INLET|CHECKED IN MARCH");
    EXPECT_EQ(p.Item<QDateEdit>(2, 1101)->date(), QDate(2014, 3, 5));
    // A date that is no date leaves the picker as it is.
    p.Transmitter().m_month = 13;
    p.Click(2, 1048);
    EXPECT_EQ(p.Item<QDateEdit>(2, 1101)->date(), QDate(2014, 3, 5));

    p.Click(2, 1049);
    EXPECT_EQ(p.Item(2, 1039)->text().toStdString(), "000001");
    // After the change the commands reach the transmitter at its new address.
    p.Type(2, 1038, "3");
    p.Click(2, 1040);
    EXPECT_EQ(p.Item<QComboBox>(2, 1025)->currentText().toStdString(), "3");
    p.Click(2, 1048);
    EXPECT_EQ(p.Transmitter().m_pollingAddress, 3);
    EXPECT_EQ(p.Shown(), "");
    EXPECT_EQ(p.Status(), Text("strOpOK"));
    // An address typed is used at once.
    QLineEdit* edit = p.Item<QComboBox>(2, 1025)->lineEdit();
    edit->clear();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
    QApplication::sendEvent(edit, &press);
    EXPECT_EQ(p.m_Protocol.Device().pollingAddress, 7);
}

} // namespace
