// quorel: the reader window.
#include <QApplication>

#include "app/book.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorel"));
    CBookApp book;
    return book.Run();
}
