#include "trend/DataListModel.h"

#include "controls/Colorref.h"
#include "platform/Formatting.h"

#include <QCollator>
#include <QCollatorSortKey>

#include <algorithm>
#include <array>
#include <charconv>
#include <numeric>
#include <tuple>

namespace {

bool IsNumberText(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-'; });
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// "dd/mm/yyyy"
bool IsDateText(const std::string& text) {
    if (text.size() != 10 || text[2] != '/' || text[5] != '/') {
        return false;
    }
    for (std::size_t i : {0, 1, 3, 4, 6, 7, 8, 9}) {
        if (!IsDigit(text[i])) {
            return false;
        }
    }
    return true;
}

// The C text-to-integer rule on part of a text: blanks, a sign, digits.
long LeadingInteger(const std::string& text, std::size_t from, std::size_t length) {
    if (from >= text.size()) {
        return 0;
    }
    std::string_view part = std::string_view(text).substr(from, length);
    while (!part.empty() && (part.front() == ' ' || part.front() == '\t')) {
        part.remove_prefix(1);
    }
    if (!part.empty() && part.front() == '+') {
        part.remove_prefix(1);
    }
    long value = 0;
    std::from_chars(part.data(), part.data() + part.size(), value);
    return value;
}

// What the comparison of one row's text needs, worked out once per sort.
struct SortKey {
    bool isNumber = false;
    double number = 0.0;
    bool isDate = false;
    std::tuple<long, long, long> date; // year, month, day
    std::optional<QCollatorSortKey> text;

    SortKey(const std::string& cell, const QCollator* collator)
        : isNumber(IsNumberText(cell)), number(TextToDouble(cell)), isDate(IsDateText(cell)),
          date(LeadingInteger(cell, 6, 4), LeadingInteger(cell, 3, 2), LeadingInteger(cell, 0, 2)) {
        if (collator != nullptr) {
            text = collator->sortKey(QString::fromStdString(cell));
        }
    }
};

template <typename T> int Order(const T& a, const T& b) {
    return a < b ? -1 : b < a ? 1 : 0;
}

// The rule the first text selects decides, whatever the second text is.
int CompareKeys(const SortKey& a, const SortKey& b) {
    if (a.isNumber) {
        return Order(a.number, b.number);
    }
    if (a.isDate) {
        return Order(a.date, b.date);
    }
    if (a.text && b.text) {
        return std::clamp(a.text->compare(*b.text), -1, 1);
    }
    return 0;
}

QCollator TextCollator() {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    return collator;
}

// A stable merge sort that never looks outside the range, whatever the
// comparison says: the mixed rule above is not a consistent order, which
// the standard sorts may not be given.
template <typename Compare> void MergeSort(std::vector<int>& items, Compare compare) {
    std::vector<int> scratch(items.size());
    for (std::size_t width = 1; width < items.size(); width *= 2) {
        for (std::size_t low = 0; low < items.size(); low += 2 * width) {
            const std::size_t middle = std::min(low + width, items.size());
            const std::size_t high = std::min(low + 2 * width, items.size());
            std::size_t left = low;
            std::size_t right = middle;
            std::size_t out = low;
            while (left < middle && right < high) {
                scratch[out++] =
                    compare(items[right], items[left]) < 0 ? items[right++] : items[left++];
            }
            while (left < middle) {
                scratch[out++] = items[left++];
            }
            while (right < high) {
                scratch[out++] = items[right++];
            }
        }
        items.swap(scratch);
    }
}

} // namespace

DataListModel::DataListModel(QObject* parent) : QAbstractTableModel(parent) {}

void DataListModel::AddColumn(const std::string& name) {
    const int at = Columns();
    beginInsertColumns(QModelIndex(), at, at);
    m_Columns.push_back(name);
    for (std::vector<std::string>& row : m_Rows) {
        row.resize(m_Columns.size());
    }
    endInsertColumns();
}

void DataListModel::SetColumnName(int column, const std::string& name) {
    if (column < 0 || column >= Columns()) {
        return;
    }
    m_Columns[static_cast<std::size_t>(column)] = name;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void DataListModel::InsertTop(std::vector<std::string> texts) {
    texts.resize(m_Columns.size());
    beginInsertRows(QModelIndex(), 0, 0);
    m_Rows.push_front(std::move(texts));
    endInsertRows();
}

void DataListModel::RemoveAllRows() {
    beginResetModel();
    std::deque<std::vector<std::string>>().swap(m_Rows);
    endResetModel();
}

const std::string& DataListModel::Text(int row, int column) const {
    return m_Rows.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
}

int DataListModel::Compare(const std::string& a, const std::string& b) {
    const QCollator collator = TextCollator();
    return CompareKeys(SortKey(a, &collator), SortKey(b, &collator));
}

void DataListModel::Sort(int column, bool ascending) {
    if (column < 0 || column >= Columns() || m_Rows.empty()) {
        return;
    }
    const auto cell = [this, column](const std::vector<std::string>& row) -> const std::string& {
        return row[static_cast<std::size_t>(column)];
    };
    // Text keys cost the most; they are made only when some text needs them.
    const bool anyText = std::any_of(m_Rows.begin(), m_Rows.end(), [&cell](const auto& row) {
        return !IsNumberText(cell(row)) && !IsDateText(cell(row));
    });
    const QCollator collator = TextCollator();
    std::vector<SortKey> keys;
    keys.reserve(m_Rows.size());
    for (const auto& row : m_Rows) {
        keys.emplace_back(cell(row), anyText ? &collator : nullptr);
    }
    std::vector<int> order(m_Rows.size());
    std::iota(order.begin(), order.end(), 0);
    MergeSort(order, [&keys, ascending](int a, int b) {
        const SortKey& first = keys[static_cast<std::size_t>(a)];
        const SortKey& second = keys[static_cast<std::size_t>(b)];
        return ascending ? CompareKeys(first, second) : CompareKeys(second, first);
    });

    emit layoutAboutToBeChanged();
    std::deque<std::vector<std::string>> sorted;
    std::vector<int> newRowOf(order.size());
    for (std::size_t to = 0; to < order.size(); ++to) {
        sorted.push_back(std::move(m_Rows[static_cast<std::size_t>(order[to])]));
        newRowOf[static_cast<std::size_t>(order[to])] = static_cast<int>(to);
    }
    m_Rows.swap(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        after.append(this->index(newRowOf[static_cast<std::size_t>(index.row())], index.column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

int DataListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Rows();
}

int DataListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Columns();
}

QVariant DataListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Rows() || index.column() >= Columns()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(Text(index.row(), index.column()));
    case Qt::BackgroundRole:
        return ColorrefToQColor(m_crBack);
    case Qt::ForegroundRole:
        return ColorrefToQColor(m_crText);
    default:
        return {};
    }
}

QVariant DataListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= Columns()) {
        return {};
    }
    return QString::fromStdString(m_Columns[static_cast<std::size_t>(section)]);
}
