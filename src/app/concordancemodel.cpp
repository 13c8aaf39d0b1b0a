#include "app/concordancemodel.h"

#include <exception>

#include <QElapsedTimer>

namespace {

constexpr const char* kHeaders[CConcordanceModel::kColumnCount] = {"書名", "巻", "頁", "前文脈", "検索語", "後文脈"};

}  // namespace

CConcordanceModel::CConcordanceModel(QObject* parent) : QAbstractTableModel(parent) {
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &CConcordanceModel::RunSlice);
}

void CConcordanceModel::Start(std::unique_ptr<CConcordance> concordance) {
    beginResetModel();
    m_timer.stop();
    m_concordance = std::move(concordance);
    m_lines.clear();
    m_failed = false;
    m_wanted = m_order == CConcordance::SortOrder::kPosition ? kBatch : SIZE_MAX;
    endResetModel();
    if (Wanting()) m_timer.start();
    emit ProgressChanged();
}

bool CConcordanceModel::Wanting() const { return !m_failed && !AtEnd() && m_lines.size() < m_wanted; }

void CConcordanceModel::RunSlice() {
    QElapsedTimer clock;
    clock.start();
    std::vector<ConcordanceLine> made;
    try {
        while (!m_concordance->AtEnd() && m_lines.size() + made.size() < m_wanted &&
               clock.elapsed() < kSliceMilliseconds)
            m_concordance->FetchMore(m_wanted - m_lines.size() - made.size(), made, kPagesPerSlice);
    } catch (const std::exception&) {  // a page cannot be read: the lines end before it
        m_failed = true;
    }
    if (!made.empty()) {
        const int first = int(m_lines.size());
        beginInsertRows(QModelIndex(), first, first + int(made.size()) - 1);
        m_lines.insert(m_lines.end(), std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()));
        endInsertRows();
    }
    if (!Wanting()) Stop();
    emit ProgressChanged();
}

// A sorted listing is put in order once all its lines are there.
void CConcordanceModel::Stop() {
    m_timer.stop();
    if (m_order != CConcordance::SortOrder::kPosition) ApplyOrder();
}

void CConcordanceModel::FetchAll() {
    m_wanted = SIZE_MAX;
    while (Wanting()) RunSlice();
}

CConcordance::SortOrder CConcordanceModel::OrderOfColumn(int column) {
    if (column == kLeft) return CConcordance::SortOrder::kLeft;
    if (column == kRight) return CConcordance::SortOrder::kRight;
    return CConcordance::SortOrder::kPosition;
}

void CConcordanceModel::sort(int column, Qt::SortOrder) {
    m_order = OrderOfColumn(column);
    if (m_order != CConcordance::SortOrder::kPosition) m_wanted = SIZE_MAX;
    if (Wanting()) {
        m_timer.start();
    } else {
        ApplyOrder();
    }
    emit ProgressChanged();
}

// Lines of equal context keep their result order, whatever order they had.
void CConcordanceModel::ApplyOrder() {
    emit layoutAboutToBeChanged();
    CConcordance::Sort(m_lines, CConcordance::SortOrder::kPosition);
    if (m_order != CConcordance::SortOrder::kPosition) CConcordance::Sort(m_lines, m_order);
    emit layoutChanged();
}

int CConcordanceModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_lines.size());
}

int CConcordanceModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant CConcordanceModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || size_t(index.row()) >= m_lines.size()) return {};
    const ConcordanceLine& line = m_lines[size_t(index.row())];
    if (role == Qt::TextAlignmentRole) {
        // The left context ends where the match begins, so the keyword stands in one vertical line.
        const Qt::Alignment horizontal =
            index.column() == kLeft || index.column() == kPage ? Qt::AlignRight : Qt::AlignLeft;
        return QVariant::fromValue(horizontal | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
    case kBook: return QString::fromStdU16String(line.bookName);
    case kVolume: return QString::fromStdU16String(line.volumeName);
    case kPage: return line.pageInVolume;
    case kLeft: return QString::fromStdU32String(line.left);
    case kMatch: return QString::fromStdU32String(line.match);
    case kRight: return QString::fromStdU32String(line.right);
    default: return {};
    }
}

QVariant CConcordanceModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount) return {};
    return QString::fromUtf8(kHeaders[section]);
}

// In result order a view asks for a batch more when it reaches the last line.
bool CConcordanceModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !m_failed && !AtEnd() && m_lines.size() >= m_wanted;
}

void CConcordanceModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) return;
    m_wanted = m_lines.size() + kBatch;
    m_timer.start();
}
