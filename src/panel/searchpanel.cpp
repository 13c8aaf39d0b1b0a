#include "panel/searchpanel.h"

#include "panel/placeholderpanel.h"

CSearchPanel* CSearchPanel::Create(const CPanelServices& services, QWidget* parent) {
    return new CPlaceholderPanel(services, parent);
}
