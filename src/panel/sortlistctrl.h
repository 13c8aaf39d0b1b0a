// CSortListCtrl: the results list, a report of rows in four columns ("類別",
// "書名", "巻", "頁") with the store's page number as each row's item data.
// A click on the header of the page column "頁" sorts the rows by the number
// in it, ascending, every time; rows with equal numbers keep their order, and
// the selected row stays selected without being reported as a new selection.
#pragma once

#include <QStringList>
#include <QTreeWidget>

class CSortListCtrl : public QTreeWidget {
public:
    static constexpr int kPageColumn = 3;

    explicit CSortListCtrl(QWidget* parent = nullptr);

    // Appends a row with the four column texts and its item data.
    void AddRow(const QStringList& texts, int itemData);
    int RowCount() const { return topLevelItemCount(); }
    // The item data of row (0-based); -1 when there is no such row.
    int ItemData(int row) const;
    QString RowText(int row, int column) const;
    // The rows sorted by the page column, as a header click does.
    void SortByPageColumn();
};
