#include "panel/searchpanel.h"

#include "panel/leftform.h"

CSearchPanel* CSearchPanel::Create(const CPanelServices& services, QWidget* parent) {
    return new CLeftForm(services, parent);
}
