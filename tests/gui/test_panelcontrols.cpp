// The search panel's own controls: the list-page buttons painted from four
// frames, the tooltip buttons, and the results list sorted by its page column.
#include <QHeaderView>
#include <QTest>

#include "panel/sortlistctrl.h"
#include "panel/tooltipresourcebutton.h"

class TestPanelControls : public QObject {
    Q_OBJECT

private slots:
    // The 128 by 32 strips make 32 by 32 buttons.
    void buttonTakesOneFrame_data() {
        QTest::addColumn<QString>("picture");
        QTest::newRow("<") << QStringLiteral(":/res/list_prev.png");
        QTest::newRow(">") << QStringLiteral(":/res/list_next.png");
    }
    void buttonTakesOneFrame() {
        QFETCH(QString, picture);
        CToolTipResourceButton button(QStringLiteral("<"));
        QVERIFY(button.LoadBitmap(picture));
        QCOMPARE(button.FrameSize(), QSize(32, 32));
        QCOMPARE(button.size(), QSize(32, 32));
    }

    // A picture that cannot be read leaves the plain button.
    void missingPictureKeepsThePlainButton() {
        CToolTipResourceButton button(QStringLiteral(">"));
        QVERIFY(!button.LoadBitmap(QStringLiteral(":/res/no_such_picture.png")));
        QCOMPARE(button.FrameSize(), QSize(0, 0));
        button.show();
        QVERIFY(!button.grab().isNull());
    }

    // Normal, hover, pressed, and disabled over everything else; each frame
    // is painted from its own quarter of the strip.
    void framesFollowTheButtonState() {
        QWidget window;
        auto* button = new CToolTipResourceButton(QStringLiteral("<"), &window);
        QVERIFY(button->LoadBitmap(QStringLiteral(":/res/list_prev.png")));
        window.resize(100, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage strip = QImage(QStringLiteral(":/res/list_prev.png")).convertToFormat(QImage::Format_RGB32);
        const auto painted = [&] { return button->grab().toImage().convertToFormat(QImage::Format_RGB32); };
        const auto frame = [&](int i) { return strip.copy(i * 32, 0, 32, 32); };

        QEvent leave(QEvent::Leave);  // wherever the pointer starts
        QCoreApplication::sendEvent(button, &leave);
        QCOMPARE(button->CurrentFrame(), CToolTipResourceButton::kNormal);
        QCOMPARE(painted(), frame(0));
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)));
        QCoreApplication::sendEvent(button, &enter);
        QCOMPARE(button->CurrentFrame(), CToolTipResourceButton::kHover);
        QCOMPARE(painted(), frame(2));
        button->setDown(true);
        QCOMPARE(button->CurrentFrame(), CToolTipResourceButton::kPressed);
        QCOMPARE(painted(), frame(1));
        button->setDown(false);
        button->setEnabled(false);  // hover stays, disabled wins
        QCOMPARE(button->CurrentFrame(), CToolTipResourceButton::kDisabled);
        QCOMPARE(painted(), frame(3));
        button->setEnabled(true);
        QCoreApplication::sendEvent(button, &leave);
        QCOMPARE(button->CurrentFrame(), CToolTipResourceButton::kNormal);
    }

    // The tooltip text can be switched off and on; a null text changes nothing.
    void toolTipText() {
        CToolTipButton button;
        const QString text = QStringLiteral("Next Page");
        button.SetToolTipText(&text, true);
        QCOMPARE(button.toolTip(), text);
        button.SetToolTipText(nullptr, false);
        QCOMPARE(button.toolTip(), text);
        QVERIFY(button.IsToolTipActive());
        button.SetToolTipText(&text, false);
        QVERIFY(button.toolTip().isEmpty());
        QCOMPARE(button.GetToolTipText(), text);
    }

    // A click on "頁" sorts by the number (10 after 9), ascending both times,
    // keeping equal rows in their order; other headers do nothing.
    void sortByPageColumn() {
        CSortListCtrl list;
        list.setHeaderLabels({QStringLiteral("類別"), QStringLiteral("書名"), QStringLiteral("巻"), QStringLiteral("頁")});
        const int pages[] = {10, 9, 2, 9, 100};
        for (int i = 0; i < 5; ++i)
            list.AddRow({QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("v%1").arg(i), QString::number(pages[i])}, i);
        list.resize(400, 300);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const auto clickHeader = [&](int column) {
            QTest::mouseClick(list.header()->viewport(), Qt::LeftButton, {},
                              QPoint(list.header()->sectionViewportPosition(column) + list.header()->sectionSize(column) / 2, 5));
        };
        const auto order = [&] {
            QList<int> data;
            for (int row = 0; row < list.RowCount(); ++row) data << list.ItemData(row);
            return data;
        };
        clickHeader(1);
        QCOMPARE(order(), (QList<int>{0, 1, 2, 3, 4}));
        clickHeader(3);
        QCOMPARE(order(), (QList<int>{2, 1, 3, 0, 4}));
        clickHeader(3);
        QCOMPARE(order(), (QList<int>{2, 1, 3, 0, 4}));
        QCOMPARE(list.ItemData(5), -1);
    }
};

QTEST_MAIN(TestPanelControls)
#include "test_panelcontrols.moc"
