// CAboutDlg: the About box: a borderless picture of 500 by 350 pixels with the
// program's title and version, closed by a click on it, Enter or Esc.
#pragma once

#include <QDialog>

class CAboutDlg : public QDialog {
public:
    static constexpr const char* kPicturePath = ":/res/about.png";

    explicit CAboutDlg(QWidget* parent = nullptr);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
