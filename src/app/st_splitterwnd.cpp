#include "app/st_splitterwnd.h"

#include <QApplication>
#include <QStringList>

#include "app/profile.h"

namespace {

constexpr const char* kEntryFormat = "Panes_%1";

}  // namespace

ST_SplitterWnd::ST_SplitterWnd(int level, QWidget* parent) : QSplitter(parent), m_nLevel(level) {
    setObjectName(QStringLiteral("splitter"));
    setChildrenCollapsible(false);
    m_FocusConnection = connect(qApp, &QApplication::focusChanged, this,
                                [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
}

ST_SplitterWnd::~ST_SplitterWnd() {
    disconnect(m_FocusConnection);  // the panes' destruction moves the focus
    SaveToProfile();
}

void ST_SplitterWnd::Create(QWidget* pane0, QWidget* pane1, bool vertical) {
    m_bVertical = vertical;
    setOrientation(vertical ? Qt::Horizontal : Qt::Vertical);
    addWidget(pane0);
    addWidget(pane1);
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
    pane0->setMinimumSize(kMinPaneSize, kMinPaneSize);
    pane1->setMinimumSize(kMinPaneSize, kMinPaneSize);
    m_nPaneSize[0] = m_nFirstSize;
}

int ST_SplitterWnd::Extent() const { return m_bVertical ? width() : height(); }

void ST_SplitterWnd::resizeEvent(QResizeEvent* event) {
    QSplitter::resizeEvent(event);
    if (m_bLaidOut || count() != 2 || Extent() <= 0) return;
    m_bLaidOut = true;
    setSizes({m_nFirstSize, qMax(kMinPaneSize, Extent() - m_nFirstSize - handleWidth())});
}

void ST_SplitterWnd::ToggleSide(int side) {
    const int hidden = m_bVertical ? m_nHiddenColumn : m_nHiddenRow;
    if (hidden != -1 && side != hidden) return;
    if (m_bVertical) {
        if (hidden == -1)
            HideColumn(side);
        else
            ShowColumn();
    } else {
        if (hidden == -1)
            HideRow(side);
        else
            ShowRow();
    }
}

void ST_SplitterWnd::HideColumn(int column) {
    if (m_bVertical) HideSide(column, m_nHiddenColumn);
}

void ST_SplitterWnd::ShowColumn() {
    if (m_bVertical) ShowSide(m_nHiddenColumn);
}

void ST_SplitterWnd::HideRow(int row) {
    if (!m_bVertical) HideSide(row, m_nHiddenRow);
}

void ST_SplitterWnd::ShowRow() {
    if (!m_bVertical) ShowSide(m_nHiddenRow);
}

void ST_SplitterWnd::HideSide(int side, int& hiddenSide) {
    if (hiddenSide != -1 || side < 0 || side >= count()) return;
    RememberSize();
    hiddenSide = side;
    if (m_nActivePane == side) SetActivePane((side + 1) % count());
    widget(side)->hide();
}

void ST_SplitterWnd::ShowSide(int& hiddenSide) {
    if (hiddenSide == -1) return;
    const int side = hiddenSide;
    hiddenSide = -1;
    widget(side)->show();
    setSizes({m_nPaneSize[0], qMax(kMinPaneSize, Extent() - m_nPaneSize[0] - handleWidth())});
}

void ST_SplitterWnd::RememberSize() {
    if (m_nHiddenColumn != -1 || m_nHiddenRow != -1 || !m_bLaidOut || count() != 2) return;
    const QList<int> current = sizes();
    m_nPaneSize[0] = current[0];
    m_nPaneSize[1] = current[1];
}

QString ST_SplitterWnd::ProfileEntry() const { return QString::fromLatin1(kEntryFormat).arg(m_nLevel); }

void ST_SplitterWnd::SaveToProfile() {
    RememberSize();
    const int size0 = m_nPaneSize[0] < 0 ? 100 : m_nPaneSize[0];
    const int size1 = m_nPaneSize[1] < 0 ? 100 : m_nPaneSize[1];
    CProfile().WriteProfileString(QString::fromLatin1(kSection), ProfileEntry(),
                                  QStringLiteral("%1 %2 %3 %4").arg(m_nHiddenColumn).arg(size0).arg(m_nHiddenRow).arg(size1));
}

bool ST_SplitterWnd::LoadFromProfile() {
    const QStringList fields =
        CProfile().GetProfileString(QString::fromLatin1(kSection), ProfileEntry(), QString()).split(QLatin1Char(' '));
    if (fields.size() != 4) return false;
    int numbers[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = fields[i].toInt(&ok);
        if (!ok) return false;
    }
    const int size0 = numbers[1];
    const int size1 = numbers[3];
    if (size0 < kMinPaneSize || size0 > kMaxPaneSize || size1 < kMinPaneSize || size1 > kMaxPaneSize) return false;
    m_nFirstSize = size0;
    m_nPaneSize[0] = size0;
    m_nPaneSize[1] = size1;
    return true;
}

void ST_SplitterWnd::SetActivePane(int index) {
    if (index < 0 || index >= count()) return;
    m_nActivePane = index;
    widget(index)->setFocus(Qt::OtherFocusReason);
    emit ActivePaneChanged(index);
}

void ST_SplitterWnd::OnFocusChanged(QWidget* now) {
    for (int i = 0; i < count(); ++i) {
        QWidget* pane = widget(i);
        if (now && (pane == now || pane->isAncestorOf(now)) && i != m_nActivePane) {
            m_nActivePane = i;
            emit ActivePaneChanged(i);
            return;
        }
    }
}
