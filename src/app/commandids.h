// The command ids of the reader window: menu items, toolbar buttons and
// accelerators carry them, and the frame finds its actions by them.
#pragma once

enum CommandId : int {
    ID_RCLICK_COPY = 32771,        // reader menu: limited copy
    ID_RCLICK_SELECT_ALL = 32772,  // reader menu: select all
    ID_VIEW_ALL = 32774,           // full display: toggles the search panel
    ID_PRINT_SETUP = 32776,
    ID_PRINT = 32777,
    ID_SELECT_ALL = 32778,
    ID_PREV_PAGE = 32780,
    ID_NEXT_PAGE = 32781,
    ID_PAGE_SLIDER = 32787,  // toolbar place of the page slider
    ID_PAGE_EDIT = 32788,    // toolbar place of the page edit
    ID_NEXT_VOLUME = 32790,
    ID_PREV_VOLUME = 32791,
    ID_HELP_FILE = 32798,
    ID_PREV_HIT = 32805,
    ID_NEXT_HIT = 32806,
    ID_VIEW_CONCORDANCE = 32807,  // shows or hides the research dock
    ID_FILE_EXPORT = 32808,       // writes the results list or the concordance lines to a file
    ID_FILE_SAVE = 57603,
    ID_FILE_PRINT = 57607,  // Ctrl+P: print with the print dialog
    ID_EDIT_COPY = 57634,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_NEXT_PANE = 57680,  // F6
    ID_PREV_PANE = 57681,  // Shift+F6
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
};
