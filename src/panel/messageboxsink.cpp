#include "panel/messageboxsink.h"

#include <QMessageBox>

void CMessageBoxSink::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quorel"), text, QMessageBox::Ok, m_pParent);
    box.exec();
}
