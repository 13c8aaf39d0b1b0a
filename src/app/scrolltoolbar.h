// CSCrollToolBar: the main frame's toolbar: the command buttons, then at its
// right end the page slider and the read-only page edit. It implements the
// page controls the search panel writes, and hands the slider's end of a
// scroll to the panel's reading state (m_pLeftForm, set by the frame).
#pragma once

#include <QHash>

#include "app/xedit.h"
#include "app/xsliderctrl.h"
#include "app/xtoolbar.h"
#include "panel/pagecontrols.h"
#include "panel/readingstate.h"

class QAction;

class CSCrollToolBar : public CXToolBar, public CPageControls {
    Q_OBJECT

public:
    static constexpr int kImageCount = 11;
    static constexpr int kSliderWidth = 300;
    static constexpr int kEditWidth = 100;

    // commands maps the command ids of the buttons to the frame's actions; the
    // actions must outlive the toolbar.
    CSCrollToolBar(const QHash<int, QAction*>& commands, QWidget* parent = nullptr);

    void SetReadingState(CReadingState* leftForm) { m_pLeftForm = leftForm; }

    void SetSliderRange(int minimum, int maximum) override;
    void SetSliderPos(int position) override;
    int GetSliderPos() const override;
    void SetPageLabel(const QString& text) override;
    QString GetPageLabel() const override;

    CXSliderCtrl* GetSlider() const { return m_wndSlider; }
    CXEdit* GetEdit() const { return m_wndEdit; }

private:
    void OnHScroll(int position);

    CXSliderCtrl* m_wndSlider = nullptr;
    CXEdit* m_wndEdit = nullptr;
    CReadingState* m_pLeftForm = nullptr;  // the search panel; not owned
};
