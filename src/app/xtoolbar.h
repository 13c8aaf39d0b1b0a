// CXToolBar: a toolbar with true-colour button pictures and a picture behind
// it. The pictures come as strips of equal images (normal, disabled, hot); the
// strips' mask colour becomes transparent, so the background shows around
// each picture. The background picture is tiled across the whole bar.
#pragma once

#include <QPixmap>
#include <QRgb>
#include <QToolBar>

class CXToolBar : public QToolBar {
public:
    explicit CXToolBar(const QString& title, QWidget* parent = nullptr);

    // Size of one image in the strips and of the buttons' icons.
    void SetImageSize(int width, int height);
    // The picture tiled behind the bar; false (and the style's own background)
    // when it cannot be loaded.
    bool SetBackground(const QString& path);
    // Gives the bar's first count buttons, in order, the images of the three
    // strips (count images of the image size side by side; the disabled and
    // hot forms show while a button is disabled or under the mouse). Buttons
    // beyond count keep no image. False, changing nothing, when a strip cannot
    // be loaded or is smaller than count images.
    bool LoadTrueColorToolBar(int count, QRgb maskColor, const QString& normal, const QString& disabled,
                              const QString& hot);

    // image with every pixel of exactly maskColor made transparent.
    static QImage ReplaceMaskColor(const QImage& image, QRgb maskColor);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<QAction*> Buttons() const;

    int m_nImageCount = 0;
    int m_nImageWidth = 24;
    int m_nImageHeight = 24;
    QPixmap m_Background;  // null: the style's background
};
