#include "app/aboutdlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("aboutBox"));
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("aboutPicture"));
    picture->setPixmap(QPixmap(QString::fromLatin1(kPicturePath)));
    picture->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture);
    setFixedSize(500, 350);
}

void CAboutDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        accept();
    else
        QDialog::mouseReleaseEvent(event);
}

void CAboutDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        accept();
    else
        QDialog::keyPressEvent(event);  // Esc rejects
}
