#include "trend/DataListCtrl.h"

#include <QHeaderView>
#include <QLocale>

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

class DataListCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Text order is the locale's; English puts "Banana" between "apple"
        // and "cherry", where plain character codes would put it first.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ASSERT_TRUE(m_List.SetColumns("Time,60;Data,60;Unit,50"));
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    // Replaces the rows with ones that read top to bottom as given.
    void Rows(const Texts& data) {
        m_List.DeleteAllRows();
        for (auto it = data.rbegin(); it != data.rend(); ++it) {
            m_List.AddRow({"t", *it, "u"});
        }
    }
    Texts Column(int column) const {
        Texts texts;
        for (int row = 0; row < m_List.RowCount(); ++row) {
            texts.push_back(m_List.Text(row, column));
        }
        return texts;
    }

    DataListCtrl m_List;
};

} // namespace

TEST_F(DataListCtrlTest, SortsByNumberDateOrTextAsTheFirstTextOfAPairIs) {
    // Rows top to bottom, the order, and the rows sorted.
    for (const auto& [rows, ascending, sorted] :
         {std::tuple{Texts{"10", "9", "-1.5"}, true, Texts{"-1.5", "9", "10"}},
          {{"10", "9", "-1.5", ""}, false, {"10", "9", "", "-1.5"}},
          {{"02/01/2013", "31/12/2012"}, true, {"31/12/2012", "02/01/2013"}},
          {{"cherry", "Banana", "apple"}, true, {"apple", "Banana", "cherry"}},
          {{"B", "b", "a"}, true, {"a", "b", "B"}},
          {{"12:00:10", "12:00:02", "09:59:59"}, false, {"12:00:10", "12:00:02", "09:59:59"}}}) {
        Rows(rows);
        m_List.SortByColumn(1, ascending);
        EXPECT_EQ(Column(1), sorted) << rows.front();
    }
    // A number text compares by value even against a word (which reads as
    // 0); a word compares as text even against a number.
    EXPECT_EQ(DataListModel::Compare("5", "abc"), 1);
    EXPECT_EQ(DataListModel::Compare("abc", "5"), 1);
    EXPECT_EQ(DataListModel::Compare("12/01/2010", "x"), 1);
    // A column of mixed texts, no consistent order, still sorts with rows kept whole.
    Rows({"x", "3", "01/01/2000", "", "-", "a", "2", "31/12/1999", "Z", "0.5"});
    m_List.SortByColumn(1, true);
    EXPECT_EQ(Column(2), Texts(10, "u"));
}

TEST_F(DataListCtrlTest, ColumnsComeFromNamesAndWidthsRowsGoInAtTheTopHeaderClicksSortThem) {
    for (auto [column, name, width] :
         {std::tuple{0, "Time", 60}, {1, "Data", 60}, {2, "Unit", 50}}) {
        EXPECT_EQ(m_List.model()->headerData(column, Qt::Horizontal).toString(), name);
        EXPECT_EQ(m_List.horizontalHeader()->sectionSize(column), width);
    }
    DataListCtrl partial;
    partial.SetColumns("A,40;B");
    EXPECT_EQ(partial.ColumnCount(), 1) << "a last part without a comma makes no column";
    partial.SetColumnName(0, "Zeit");
    EXPECT_EQ(partial.model()->headerData(0, Qt::Horizontal).toString(), "Zeit");

    m_List.AddRow({"12:00:02", "7", "mA"});
    m_List.AddRow({"12:00:01", "30", "%"});
    EXPECT_EQ(m_List.AddRow({"12:00:03", "-2"}), 0);
    EXPECT_EQ(Column(2), (Texts{"", "%", "mA"})) << "a missing text is empty";
    EXPECT_EQ(m_List.model()->data(m_List.model()->index(0, 1)).toString(), "-2");
    // The column clicked, the order, and the column sorted: a second click reverses.
    for (const auto& [column, ascending, sorted] :
         {std::tuple{1, true, Texts{"-2", "7", "30"}},
          {1, false, {"30", "7", "-2"}},
          {1, true, {"-2", "7", "30"}},
          {0, true, {"12:00:01", "12:00:02", "12:00:03"}}}) {
        emit m_List.horizontalHeader()->sectionClicked(column);
        EXPECT_EQ(std::pair(m_List.SortColumn(), m_List.IsAscending()),
                  std::pair(column, ascending));
        EXPECT_EQ(Column(column), sorted);
    }
    EXPECT_EQ(Column(2), (Texts{"%", "mA", ""})) << "rows move whole";
}
