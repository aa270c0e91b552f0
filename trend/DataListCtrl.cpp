#include "trend/DataListCtrl.h"

#include "trend/Placeholder.h"

#include <QEvent>
#include <QHeaderView>

#include <cstdlib>

DataListCtrl::DataListCtrl(QWidget* parent) : QTableView(parent) {
    setModel(&m_Model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    FitRowHeight();
    QHeaderView* header = horizontalHeader();
    header->setSectionsMovable(true); // headers can be dragged into another order
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header, &QHeaderView::sectionClicked, this, &DataListCtrl::OnHeaderClicked);
}

DataListCtrl::~DataListCtrl() {
    setModel(nullptr); // the model is a member and goes before the view
}

void DataListCtrl::FitRowHeight() {
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}

void DataListCtrl::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        FitRowHeight();
    }
}

bool DataListCtrl::CreateFromPlaceholder(QWidget* placeholder) {
    return TakePlaceOf(*this, placeholder);
}

bool DataListCtrl::SetColumns(std::string_view spec) {
    std::size_t n = 0;
    for (;;) {
        const std::size_t comma = spec.find(',', n);
        if (comma == std::string_view::npos) {
            return true;
        }
        const std::size_t end = std::min(spec.find(';', comma + 1), spec.size());
        const std::string name(spec.substr(n, comma - n));
        const int width = std::atoi(std::string(spec.substr(comma + 1, end - comma - 1)).c_str());
        m_Model.AddColumn(name);
        horizontalHeader()->resizeSection(m_Model.Columns() - 1, width);
        if (end >= spec.size()) {
            return true;
        }
        n = end + 1;
    }
}

void DataListCtrl::SetColumnName(int column, const std::string& name) {
    m_Model.SetColumnName(column, name);
}

int DataListCtrl::AddRow(const std::vector<std::string>& texts) {
    m_Model.InsertTop(texts);
    return 0;
}

void DataListCtrl::DeleteAllRows() {
    m_Model.RemoveAllRows();
}

void DataListCtrl::SortByColumn(int column, bool ascending) {
    m_nSortColumn = column;
    m_bAscending = ascending;
    m_Model.Sort(column, ascending);
}

void DataListCtrl::OnHeaderClicked(int column) {
    SortByColumn(column, column != m_nSortColumn || !m_bAscending);
}

void DataListCtrl::SetBackColor(std::uint32_t colour) {
    m_Model.m_crBack = colour;
    viewport()->update();
}

void DataListCtrl::SetTextColor(std::uint32_t colour) {
    m_Model.m_crText = colour;
    viewport()->update();
}
