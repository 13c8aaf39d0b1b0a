#include "panel/sortlistctrl.h"

#include <QHeaderView>

#include "panel/model/listpager.h"

namespace {

constexpr int kItemDataRole = Qt::UserRole;

// A row that compares by the number in the page column, read like _wtol.
class CSortListItem : public QTreeWidgetItem {
public:
    explicit CSortListItem(const QStringList& texts) : QTreeWidgetItem(texts) {}
    bool operator<(const QTreeWidgetItem& other) const override {
        return PageNumber(*this) < PageNumber(other);
    }

private:
    static int PageNumber(const QTreeWidgetItem& item) {
        return CListPager::ParseNumber(item.text(CSortListCtrl::kPageColumn).toStdU16String());
    }
};

}  // namespace

CSortListCtrl::CSortListCtrl(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSortingEnabled(false);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (column == kPageColumn) SortByPageColumn();
    });
}

void CSortListCtrl::AddRow(const QStringList& texts, int itemData) {
    auto* item = new CSortListItem(texts);
    item->setData(0, kItemDataRole, itemData);
    addTopLevelItem(item);
}

int CSortListCtrl::ItemData(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->data(0, kItemDataRole).toInt() : -1;
}

QString CSortListCtrl::RowText(int row, int column) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(column) : QString();
}

void CSortListCtrl::SortByPageColumn() { sortItems(kPageColumn, Qt::AscendingOrder); }
