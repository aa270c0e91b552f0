#include "trend/DataListCtrl.h"

#include <QHeaderView>
#include <QLocale>

#include <gtest/gtest.h>

namespace {

class DataListCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Text order is the locale's; English puts "Banana" between "apple"
        // and "cherry", where plain character codes would put it first.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ASSERT_TRUE(m_List.SetColumns("Time,60;Data,60;Unit,50"));
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    // Adds rows so that they read top to bottom as given.
    void Rows(std::initializer_list<std::string> data) {
        m_List.DeleteAllRows();
        for (auto it = std::rbegin(data); it != std::rend(data); ++it) {
            m_List.AddRow({"t", *it, "u"});
        }
    }
    std::vector<std::string> Column(int column) const {
        std::vector<std::string> texts;
        for (int row = 0; row < m_List.RowCount(); ++row) {
            texts.push_back(m_List.Text(row, column));
        }
        return texts;
    }

    DataListCtrl m_List;
};

using Texts = std::vector<std::string>;

} // namespace

TEST_F(DataListCtrlTest, ColumnsComeFromTheSpecText) {
    ASSERT_EQ(m_List.ColumnCount(), 3);
    const QHeaderView* header = m_List.horizontalHeader();
    for (auto [column, name, width] :
         {std::tuple{0, "Time", 60}, {1, "Data", 60}, {2, "Unit", 50}}) {
        EXPECT_EQ(m_List.model()->headerData(column, Qt::Horizontal).toString(), name);
        EXPECT_EQ(header->sectionSize(column), width);
    }
    DataListCtrl partial;
    partial.SetColumns("A,40;B");
    EXPECT_EQ(partial.ColumnCount(), 1) << "a last part without a comma makes no column";
    partial.SetColumnName(0, "Zeit");
    EXPECT_EQ(partial.model()->headerData(0, Qt::Horizontal).toString(), "Zeit");
}

TEST_F(DataListCtrlTest, RowsGoInAtTheTopWithTheirOwnCopies) {
    for (int i = 1; i <= 3; ++i) {
        std::vector<std::string> texts{"12:00:0" + std::to_string(i), std::to_string(i) + ".000"};
        EXPECT_EQ(m_List.AddRow(texts), 0);
        texts[0] = "changed";
    }
    EXPECT_EQ(Column(0), (Texts{"12:00:03", "12:00:02", "12:00:01"}));
    EXPECT_EQ(m_List.Text(0, 2), "") << "a missing text is empty";
    EXPECT_EQ(m_List.model()->data(m_List.model()->index(0, 1)).toString(), "3.000");
    m_List.DeleteAllRows();
    EXPECT_EQ(m_List.RowCount(), 0);
    m_List.AddRow({"a"});
    EXPECT_EQ(m_List.RowCount(), 1);
}

TEST_F(DataListCtrlTest, SortsByNumberDateOrTextAsTheTextsAre) {
    struct Case {
        Texts rows;
        bool ascending;
        Texts sorted;
    };
    const Case cases[] = {
        {{"10", "9", "-1.5"}, true, {"-1.5", "9", "10"}},
        {{"10", "9", "-1.5", ""}, false, {"10", "9", "", "-1.5"}},
        {{"05/03/2014", "04/12/2012", "01/12/2012"},
         true,
         {"01/12/2012", "04/12/2012", "05/03/2014"}},
        {{"31/01/2013", "01/02/2012"}, false, {"31/01/2013", "01/02/2012"}},
        {{"cherry", "Banana", "apple"}, true, {"apple", "Banana", "cherry"}},
        {{"b", "B", "a"}, true, {"a", "b", "B"}},
        {{"12:00:10", "12:00:02", "09:59:59"}, false, {"12:00:10", "12:00:02", "09:59:59"}},
    };
    for (const Case& c : cases) {
        m_List.DeleteAllRows();
        for (auto it = c.rows.rbegin(); it != c.rows.rend(); ++it) {
            m_List.AddRow({"t", *it});
        }
        m_List.SortByColumn(1, c.ascending);
        EXPECT_EQ(Column(1), c.sorted) << c.rows.front();
    }
    EXPECT_EQ(DataListModel::Compare("10", "9"), 1);
    EXPECT_EQ(DataListModel::Compare("05/03/2014", "04/12/2012"), 1) << "year before day";
}

TEST_F(DataListCtrlTest, TheFirstTextOfAPairChoosesTheRule) {
    // A number text compares by value even against a word (which reads as
    // 0); a word compares as text even against a number.
    EXPECT_EQ(DataListModel::Compare("5", "abc"), 1);
    EXPECT_EQ(DataListModel::Compare("abc", "5"), 1);
    EXPECT_EQ(DataListModel::Compare("12/01/2010", "x"), 1);
    // A column of mixed texts still sorts without a fault, rows kept whole.
    Rows({"x", "3", "01/01/2000", "", "-", "a", "2", "31/12/1999", "Z", "0.5"});
    m_List.SortByColumn(1, true);
    EXPECT_EQ(m_List.RowCount(), 10);
    for (int row = 0; row < 10; ++row) {
        EXPECT_EQ(m_List.Text(row, 2), "u");
    }
}

TEST_F(DataListCtrlTest, HeaderClicksSortAndASecondClickReverses) {
    m_List.AddRow({"12:00:02", "7", "mA"});
    m_List.AddRow({"12:00:01", "30", "%"});
    m_List.AddRow({"12:00:03", "-2", "mA"});
    struct Click {
        int column;
        bool ascending;
        Texts first;
    };
    for (const Click& c : {Click{1, true, {"-2", "7", "30"}}, Click{1, false, {"30", "7", "-2"}},
                           Click{1, true, {"-2", "7", "30"}},
                           Click{0, true, {"12:00:01", "12:00:02", "12:00:03"}}}) {
        emit m_List.horizontalHeader()->sectionClicked(c.column);
        EXPECT_EQ(m_List.SortColumn(), c.column);
        EXPECT_EQ(m_List.IsAscending(), c.ascending);
        EXPECT_EQ(Column(c.column), c.first);
    }
    EXPECT_EQ(Column(2), (Texts{"%", "mA", "mA"})) << "rows move whole";
}
