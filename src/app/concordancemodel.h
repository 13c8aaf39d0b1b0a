// CConcordanceModel: the concordance lines of a search result as a table of
// book, volume, page, left context, match and right context. Lines are made
// as the view asks for them, a slice at a time from the event loop, so a
// result whose pages mark little never holds the window up; a sort by the
// context reads the whole result first, in the same slices.
#pragma once

#include <memory>
#include <vector>

#include <QAbstractTableModel>
#include <QTimer>

#include "panel/model/concordance.h"

class CConcordanceModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kBook, kVolume, kPage, kLeft, kMatch, kRight, kColumnCount };
    // Lines a view asks for each time it reaches the end of those made.
    static constexpr size_t kBatch = 100;
    // One slice reads at most this many pages and gives the event loop its
    // turn after this many milliseconds.
    static constexpr size_t kPagesPerSlice = 4;
    static constexpr int kSliceMilliseconds = 15;

    explicit CConcordanceModel(QObject* parent = nullptr);

    // Shows the lines of concordance from the first, in result order; the
    // lines and the filling of the previous one end. Null shows none.
    void Start(std::unique_ptr<CConcordance> concordance);
    // Makes the remaining lines at once (for writing them all out).
    void FetchAll();

    const ConcordanceLine& Line(int row) const { return m_lines[size_t(row)]; }
    const std::vector<ConcordanceLine>& Lines() const { return m_lines; }
    CConcordance::SortOrder Order() const { return m_order; }
    // Lines are being made in slices.
    bool IsFilling() const { return m_timer.isActive(); }
    bool AtEnd() const { return !m_concordance || m_concordance->AtEnd(); }
    // A page could not be read: the lines end before it.
    bool Failed() const { return m_failed; }
    size_t PagesRead() const { return m_concordance ? m_concordance->PagesRead() : 0; }
    size_t ResultCount() const { return m_concordance ? m_concordance->ResultCount() : 0; }
    // The sort order a column's header stands for: the contexts their own, the rest result order.
    static CConcordance::SortOrder OrderOfColumn(int column);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    // The direction is not used: every order is ascending.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    // Lines were added, the filling stopped or the order changed.
    void ProgressChanged();

private:
    void RunSlice();
    void Stop();
    bool Wanting() const;
    void ApplyOrder();

    std::unique_ptr<CConcordance> m_concordance;
    std::vector<ConcordanceLine> m_lines;
    size_t m_wanted = 0;  // lines to make before the filling stops
    CConcordance::SortOrder m_order = CConcordance::SortOrder::kPosition;
    bool m_failed = false;
    QTimer m_timer;
};
