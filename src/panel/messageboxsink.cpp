#include "panel/messageboxsink.h"

#include <QMessageBox>

void CMessageBoxSink::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quorel"), text, QMessageBox::Ok, m_pParent);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);  // above the splash, which covers the screen at start-up
    box.exec();
}
