#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

// The rows of a DataListCtrl: the control's own copy of every cell text,
// newest row first, and the order it sorts them in.
class DataListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataListModel(QObject* parent = nullptr);

    void AddColumn(const std::string& name);
    void SetColumnName(int column, const std::string& name);
    // Inserts a row at the top, one text per column (missing texts empty).
    void InsertTop(std::vector<std::string> texts);
    void RemoveAllRows();
    // Reorders the rows by column, keeping equal rows in their order.
    void Sort(int column, bool ascending);

    const std::string& Text(int row, int column) const;
    int Columns() const { return static_cast<int>(m_Columns.size()); }
    int Rows() const { return static_cast<int>(m_Rows.size()); }

    // −1, 0 or 1 for a before, equal to or after b, by the rule a selects:
    // numerically when a is a number text (digits, "." and "-" only, or
    // empty), by date when a is "dd/mm/yyyy" (year, then month, then day),
    // otherwise by the locale's case-sensitive text order.
    static int Compare(const std::string& a, const std::string& b);

    std::uint32_t m_crBack = 0xFFFFFF;
    std::uint32_t m_crText = 0x000000;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<std::string> m_Columns;
    std::deque<std::vector<std::string>> m_Rows;
};
