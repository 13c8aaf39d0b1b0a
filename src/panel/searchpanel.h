// CSearchPanel: the left pane of the main window as the frame sees it: a
// widget that keeps the reading state. Create builds the program's panel; the
// frame takes any other factory in its constructor, so tests can give it fakes.
#pragma once

#include <QWidget>

#include "panel/panelservices.h"
#include "panel/readingstate.h"

class CSearchPanel : public QWidget, public CReadingState {
public:
    explicit CSearchPanel(QWidget* parent = nullptr) : QWidget(parent) {}

    // The program's search panel, a child of parent, using services.
    static CSearchPanel* Create(const CPanelServices& services, QWidget* parent);
};
