// ST_SplitterWnd: the main frame's two-pane splitter (search panel, reader).
// It can hide one side so that the other fills it and show it again, keeps
// track of the active pane (the one that last had the focus), and writes its
// layout to the user's profile when it is destroyed; the saved pane sizes are
// read back at start-up, the hidden state is not.
#pragma once

#include <QMetaObject>
#include <QSplitter>
#include <QString>

class ST_SplitterWnd : public QSplitter {
    Q_OBJECT

public:
    static constexpr int kFirstPaneSize = 260;  // start width of the search panel
    static constexpr int kMinPaneSize = 10;
    static constexpr int kMaxPaneSize = 10000;
    static constexpr const char* kSection = "SplitterWnd";

    // level numbers the profile entry ("Panes_%d"); the frame's splitter is 0.
    explicit ST_SplitterWnd(int level, QWidget* parent = nullptr);
    // Writes the layout (SaveToProfile).
    ~ST_SplitterWnd() override;

    // Takes pane0 and pane1 as its children, side by side when vertical (two
    // columns), else stacked (two rows). Pane 0 starts kFirstPaneSize wide.
    void Create(QWidget* pane0, QWidget* pane1, bool vertical);

    // Hides side (0 or 1) when no side is hidden, shows it again when it is the
    // hidden one, and otherwise does nothing.
    void ToggleSide(int side);
    void HideColumn(int column);
    void ShowColumn();
    void HideRow(int row);
    void ShowRow();
    // Copies the current pane sizes, unless a side is hidden.
    void RememberSize();
    // Writes "hidden column, size 0, hidden row, size 1" to section
    // "SplitterWnd", entry "Panes_<level>".
    void SaveToProfile();
    // Applies the pane sizes saved by SaveToProfile to the first layout; both
    // panes start shown. False, keeping the start sizes, when no valid value was saved.
    bool LoadFromProfile();

    int GetHiddenColumn() const { return m_nHiddenColumn; }
    int GetHiddenRow() const { return m_nHiddenRow; }
    QWidget* GetPane(int index) const { return widget(index); }
    // Index of the pane that last had the focus; 0 at start.
    int GetActivePane() const { return m_nActivePane; }
    // Makes pane index the active pane and gives it the focus.
    void SetActivePane(int index);

signals:
    void ActivePaneChanged(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void HideSide(int side, int& hiddenSide);
    void ShowSide(int& hiddenSide);
    void OnFocusChanged(QWidget* now);
    int Extent() const;
    QString ProfileEntry() const;

    int m_nHiddenColumn = -1;
    int m_nHiddenRow = -1;
    int m_nPaneSize[2] = {100, 100};  // remembered sizes of pane 0 and pane 1
    bool m_bVertical = true;          // panes side by side
    int m_nLevel;
    int m_nActivePane = 0;
    int m_nFirstSize = kFirstPaneSize;  // size of pane 0 in the first layout
    bool m_bLaidOut = false;            // the first layout has been made
    QMetaObject::Connection m_FocusConnection;
};
