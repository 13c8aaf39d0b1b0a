// CXEdit: the toolbar's read-only page edit; it shows the page label text
// ("%d/%d", the store's header word and the printed page) over the bar's picture.
#pragma once

#include <QLineEdit>

class CXEdit : public QLineEdit {
public:
    explicit CXEdit(QWidget* parent = nullptr) : QLineEdit(parent) {
        setReadOnly(true);
        setAlignment(Qt::AlignCenter);
    }
};
