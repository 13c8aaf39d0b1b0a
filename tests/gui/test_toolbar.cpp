// The toolbar: true-colour button images from strips, the bar's items in
// order, and the page slider that reports only the end of a scroll.
#include <QAction>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWidgetAction>

#include "app/commandids.h"
#include "app/scrolltoolbar.h"
#include "guifixture.h"

namespace {

constexpr QRgb kMagenta = qRgb(255, 0, 255);

// A strip of count images of size x size in colour, with a magenta first pixel each.
QString WriteStrip(const QTemporaryDir& folder, const QString& name, int count, int size, QRgb colour) {
    QImage strip(count * size, size, QImage::Format_RGB32);
    strip.fill(colour);
    for (int i = 0; i < count; ++i) strip.setPixel(i * size, 0, kMagenta);
    const QString path = QDir(folder.path()).filePath(name);
    strip.save(path);
    return path;
}

QImage IconImage(const QAction* action, QIcon::Mode mode, int size) {
    return action->icon().pixmap(QSize(size, size), mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

class TestToolbar : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_Commands.clear();
        for (const int id : {ID_SELECT_ALL, ID_EDIT_COPY, ID_PRINT, ID_PREV_VOLUME, ID_PREV_PAGE, ID_NEXT_PAGE,
                             ID_NEXT_VOLUME, ID_PREV_HIT, ID_NEXT_HIT, ID_APP_ABOUT, ID_VIEW_CONCORDANCE}) {
            auto* action = new QAction(QString::number(id), &m_Owner);
            action->setObjectName(QString::number(id));
            m_Commands.insert(id, action);
        }
        m_pToolBar = new CSCrollToolBar(m_Commands);
        m_pPanel = new CFakePanel(CPanelServices(), nullptr);
        m_pToolBar->SetReadingState(m_pPanel);
        m_pToolBar->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pToolBar));
    }
    void cleanup() {
        delete m_pToolBar;
        delete m_pPanel;
        qDeleteAll(m_Commands);
    }

    // Each button shows its own image of each strip, the mask colour transparent.
    void stripImagesGoToTheButtonsInOrder() {
        CXToolBar bar(QStringLiteral("bar"));
        QAction* actions[3];
        for (QAction*& action : actions) action = bar.addAction(QStringLiteral("a"));
        bar.insertSeparator(actions[1]);
        bar.SetImageSize(8, 8);
        QImage normal(16, 8, QImage::Format_RGB32);
        normal.fill(kMagenta);
        for (int x = 0; x < 8; ++x)
            for (int y = 1; y < 8; ++y) {
                normal.setPixel(x, y, qRgb(200, 0, 0));
                normal.setPixel(8 + x, y, qRgb(0, 0, 200));
            }
        const QString normalPath = QDir(m_Folder.path()).filePath(QStringLiteral("normal.png"));
        normal.save(normalPath);
        QVERIFY(bar.LoadTrueColorToolBar(2, kMagenta, normalPath, WriteStrip(m_Folder, QStringLiteral("d.png"), 2, 8, qRgb(0, 150, 0)),
                                         WriteStrip(m_Folder, QStringLiteral("h.png"), 2, 8, qRgb(250, 250, 0))));
        const QImage first = IconImage(actions[0], QIcon::Normal, 8);
        QCOMPARE(qAlpha(first.pixel(3, 0)), 0);  // the magenta row
        QCOMPARE(first.pixel(3, 4), qRgb(200, 0, 0));
        QCOMPARE(IconImage(actions[1], QIcon::Normal, 8).pixel(3, 4), qRgb(0, 0, 200));  // the separator takes no image
        QCOMPARE(IconImage(actions[1], QIcon::Disabled, 8).pixel(3, 4), qRgb(0, 150, 0));
        QCOMPARE(IconImage(actions[1], QIcon::Active, 8).pixel(3, 4), qRgb(250, 250, 0));
        QCOMPARE(qAlpha(IconImage(actions[1], QIcon::Active, 8).pixel(0, 0)), 0);
        QVERIFY(actions[2]->icon().isNull());  // beyond the image count
    }

    // A strip too small for the images, or missing, changes nothing.
    void badStripsAreRefused() {
        CXToolBar bar(QStringLiteral("bar"));
        QAction* action = bar.addAction(QStringLiteral("a"));
        bar.SetImageSize(8, 8);
        const QString good = WriteStrip(m_Folder, QStringLiteral("good.png"), 2, 8, qRgb(1, 2, 3));
        const QString small = WriteStrip(m_Folder, QStringLiteral("small.png"), 1, 8, qRgb(1, 2, 3));
        QVERIFY(!bar.LoadTrueColorToolBar(2, kMagenta, good, small, good));
        QVERIFY(!bar.LoadTrueColorToolBar(2, kMagenta, good, good, QStringLiteral("/nonexistent.png")));
        QVERIFY(action->icon().isNull());
    }

    // The bar holds the eleven buttons, the separators, then the slider and the
    // edit, all with their pictures.
    void itemsInOrder() {
        QStringList items;
        for (QAction* action : m_pToolBar->actions()) {
            if (action->isSeparator())
                items << QStringLiteral("|");
            else if (auto* widget = qobject_cast<QWidgetAction*>(action))
                items << m_pToolBar->widgetForAction(widget)->objectName();
            else
                items << action->objectName();
        }
        const QStringList expected = {
            QString::number(ID_SELECT_ALL), QString::number(ID_EDIT_COPY), "|", QString::number(ID_PRINT), "|",
            QString::number(ID_PREV_VOLUME), QString::number(ID_PREV_PAGE), QString::number(ID_NEXT_PAGE),
            QString::number(ID_NEXT_VOLUME), "|", QString::number(ID_PREV_HIT), QString::number(ID_NEXT_HIT), "|",
            QString::number(ID_APP_ABOUT), "|", QString::number(ID_VIEW_CONCORDANCE), "|", "pageSlider", "pageEdit"};
        QCOMPARE(items, expected);
        for (const QAction* action : m_Commands) {
            QVERIFY(!action->icon().isNull());
            QCOMPARE(action->icon().actualSize(QSize(40, 40)), QSize(40, 40));
        }
        QCOMPARE(m_pToolBar->GetSlider()->width(), 300);
        QCOMPARE(m_pToolBar->GetEdit()->width(), 100);
        QVERIFY(m_pToolBar->GetEdit()->isReadOnly());
        QCOMPARE(m_pToolBar->GetSlider()->minimum(), 0);
        QCOMPARE(m_pToolBar->GetSlider()->maximum(), 0);
        QVERIFY(m_pToolBar->GetPageLabel().isEmpty());
    }

    // The panel writes the page controls through their interface.
    void pageControls() {
        CPageControls* controls = m_pToolBar;
        controls->SetSliderRange(5, 12);
        controls->SetSliderPos(9);
        controls->SetPageLabel(CPageControls::PageLabelText(3, 9));
        QCOMPARE(m_pToolBar->GetSlider()->minimum(), 5);
        QCOMPARE(m_pToolBar->GetSlider()->maximum(), 12);
        QCOMPARE(controls->GetSliderPos(), 9);
        QCOMPARE(m_pToolBar->GetEdit()->text(), QStringLiteral("3/9"));
        QVERIFY(m_pPanel->m_SliderReleases.isEmpty());  // set from outside: no release
    }

    // Dragging the thumb through several positions reports only the one where it is let go.
    void sliderDragReportsOnlyTheRelease() {
        CXSliderCtrl* slider = m_pToolBar->GetSlider();
        m_pToolBar->SetSliderRange(1, 10);
        m_pToolBar->SetSliderPos(1);
        QStyleOptionSlider option;
        option.initFrom(slider);
        option.orientation = Qt::Horizontal;
        option.minimum = 1;
        option.maximum = 10;
        option.sliderPosition = 1;
        option.sliderValue = 1;
        const QPoint handle =
            slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider).center();
        QTest::mousePress(slider, Qt::LeftButton, {}, handle);
        for (const int x : {handle.x() + 60, handle.x() + 120, handle.x() + 90}) {
            QMouseEvent move(QEvent::MouseMove, QPointF(x, handle.y()), slider->mapToGlobal(QPointF(x, handle.y())),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(slider, &move);
        }
        QVERIFY(slider->value() > 1);
        QVERIFY(m_pPanel->m_SliderReleases.isEmpty());
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(handle.x() + 90, handle.y()));
        QCOMPARE(m_pPanel->m_SliderReleases, QList<int>{slider->value()});
    }

    // A key move ends its scroll when the key is let go.
    void sliderKeyMoveReportsOnRelease() {
        m_pToolBar->SetSliderRange(1, 10);
        m_pToolBar->SetSliderPos(4);
        QTest::keyPress(m_pToolBar->GetSlider(), Qt::Key_Right);
        QVERIFY(m_pPanel->m_SliderReleases.isEmpty());
        QTest::keyRelease(m_pToolBar->GetSlider(), Qt::Key_Right);
        QCOMPARE(m_pPanel->m_SliderReleases, QList<int>{5});
        QTest::keyClick(m_pToolBar->GetSlider(), Qt::Key_A);  // moves nothing, reports nothing
        QCOMPARE(m_pPanel->m_SliderReleases.size(), 1);
    }

private:
    QTemporaryDir m_Folder;
    QObject m_Owner;
    QHash<int, QAction*> m_Commands;
    CSCrollToolBar* m_pToolBar = nullptr;
    CFakePanel* m_pPanel = nullptr;
};

QTEST_MAIN(TestToolbar)
#include "test_toolbar.moc"
