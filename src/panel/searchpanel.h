// CSearchPanel: the left pane of the main window as the frame sees it: a
// widget that keeps the reading state. Create builds the program's panel; the
// frame takes any other factory in its constructor, so tests can give it fakes.
// A panel that searches hands the research tools its results.
#pragma once

#include <QWidget>

#include "panel/panelservices.h"
#include "panel/readingstate.h"

class CResearchSource;

class CSearchPanel : public QWidget, public CReadingState {
public:
    explicit CSearchPanel(QWidget* parent = nullptr) : QWidget(parent) {}

    // The panel's searches for the research tools; null when it has none.
    virtual CResearchSource* GetResearchSource() { return nullptr; }

    // The program's search panel, a child of parent, using services.
    static CSearchPanel* Create(const CPanelServices& services, QWidget* parent);
};
