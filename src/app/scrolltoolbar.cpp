#include "app/scrolltoolbar.h"

#include <QAction>

#include "app/commandids.h"

namespace {

// The items of the bar from left to right; 0 is a separator.
constexpr int kToolbarItems[] = {
    ID_SELECT_ALL, ID_EDIT_COPY, 0,
    ID_PRINT, 0,
    ID_PREV_VOLUME, ID_PREV_PAGE, ID_NEXT_PAGE, ID_NEXT_VOLUME, 0,
    ID_PREV_HIT, ID_NEXT_HIT, 0,
    ID_APP_ABOUT, 0,
    ID_VIEW_CONCORDANCE, 0,
    ID_PAGE_SLIDER, ID_PAGE_EDIT,
};

constexpr QRgb kMaskColor = qRgb(255, 0, 255);
constexpr int kImageSize = 40;

constexpr const char* kStyleSheet = R"(
QToolButton { border: 1px solid transparent; border-radius: 6px; padding: 1px; margin: 1px 2px; background: transparent; }
QToolButton:hover { border-color: rgba(122, 84, 38, 110); background: rgba(255, 252, 240, 120); }
QToolButton:pressed { background: rgba(122, 84, 38, 70); }
QToolButton:checked { border-color: rgba(122, 84, 38, 150); background: rgba(122, 84, 38, 45); }
QSlider::groove:horizontal { height: 6px; margin: 0 8px; border: 1px solid #a8926a; border-radius: 3px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #cdbb95, stop:1 #efe5cf); }
QSlider::sub-page:horizontal { margin: 0 0 0 8px; border: 1px solid #8c3a26; border-radius: 3px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #c9573a, stop:1 #9b3a22); }
QSlider::handle:horizontal { width: 16px; margin: -6px -8px; border: 1px solid #6e4f2a; border-radius: 8px;
    background: qradialgradient(cx:0.4, cy:0.35, radius:0.8, fx:0.4, fy:0.35, stop:0 #fffaf0, stop:1 #d8c39a); }
QSlider::handle:horizontal:hover { border-color: #9b3a22; }
QSlider::handle:horizontal:disabled { background: #e7dcc6; border-color: #b9a886; }
QLineEdit { border: 1px solid #a8926a; border-radius: 5px; padding: 3px 4px; color: #3a2a18;
    background: rgba(255, 252, 243, 190); font-weight: bold; }
)";

}  // namespace

CSCrollToolBar::CSCrollToolBar(const QHash<int, QAction*>& commands, QWidget* parent)
    : CXToolBar(QStringLiteral("ツールバー"), parent) {
    setObjectName(QStringLiteral("toolBar"));
    setStyleSheet(QString::fromLatin1(kStyleSheet));
    for (const int id : kToolbarItems) {
        if (id == 0) {
            addSeparator();
        } else if (id == ID_PAGE_SLIDER) {
            m_wndSlider = new CXSliderCtrl(this);
            m_wndSlider->setObjectName(QStringLiteral("pageSlider"));
            m_wndSlider->setFixedWidth(kSliderWidth);
            addWidget(m_wndSlider);
        } else if (id == ID_PAGE_EDIT) {
            m_wndEdit = new CXEdit(this);
            m_wndEdit->setObjectName(QStringLiteral("pageEdit"));
            m_wndEdit->setFixedWidth(kEditWidth);
            addWidget(m_wndEdit);
        } else if (QAction* action = commands.value(id)) {
            addAction(action);
        }
    }
    SetImageSize(kImageSize, kImageSize);
    SetBackground(QStringLiteral(":/res/toolbar_background.png"));
    LoadTrueColorToolBar(kImageCount, kMaskColor, QStringLiteral(":/res/toolbar_normal.png"),
                         QStringLiteral(":/res/toolbar_disabled.png"), QStringLiteral(":/res/toolbar_hot.png"));
    connect(m_wndSlider, &CXSliderCtrl::ScrollEnded, this, &CSCrollToolBar::OnHScroll);
}

void CSCrollToolBar::OnHScroll(int position) {
    if (m_pLeftForm) m_pLeftForm->OnSliderRelease(position);
}

void CSCrollToolBar::SetSliderRange(int minimum, int maximum) { m_wndSlider->setRange(minimum, maximum); }

void CSCrollToolBar::SetSliderPos(int position) { m_wndSlider->setValue(position); }

int CSCrollToolBar::GetSliderPos() const { return m_wndSlider->value(); }

void CSCrollToolBar::SetPageLabel(const QString& text) { m_wndEdit->setText(text); }

QString CSCrollToolBar::GetPageLabel() const { return m_wndEdit->text(); }
