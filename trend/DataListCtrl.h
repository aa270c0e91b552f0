#pragma once

#include "trend/DataListModel.h"

#include <QTableView>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A report-style list (columns with headers, one line per row) that keeps
// its own copy of every cell and sorts its rows by any column: by number,
// by date or by text, as the first text of each compared pair selects.
// Clicking a header sorts by that column, a second click reverses the order.
class DataListCtrl : public QTableView {
    Q_OBJECT
public:
    explicit DataListCtrl(QWidget* parent = nullptr);
    ~DataListCtrl() override;

    // Takes the place of the dialog's list control; false without one.
    bool CreateFromPlaceholder(QWidget* placeholder);

    // Appends the columns of a spec such as "Time,60;Data,60;Unit,50":
    // entries of a name, a comma and a width in pixels, separated by ";".
    // A last part without a comma makes no column.
    bool SetColumns(std::string_view spec);
    void SetColumnName(int column, const std::string& name);
    // Inserts a row at the top with copies of the texts; its position (0).
    int AddRow(const std::vector<std::string>& texts);
    void DeleteAllRows();
    void SortByColumn(int column, bool ascending);
    // What a click on a column header does.
    void OnHeaderClicked(int column);

    void SetBackColor(std::uint32_t colour);
    void SetTextColor(std::uint32_t colour);

    int ColumnCount() const { return m_Model.Columns(); }
    int RowCount() const { return m_Model.Rows(); }
    const std::string& Text(int row, int column) const { return m_Model.Text(row, column); }
    int SortColumn() const { return m_nSortColumn; }
    bool IsAscending() const { return m_bAscending; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void FitRowHeight();

    DataListModel m_Model;
    int m_nSortColumn = -1;
    bool m_bAscending = true;
};
