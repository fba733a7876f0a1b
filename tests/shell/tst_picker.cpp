#include "core/res/CommandIds.h"
#include "shell/app/CKumorialApp.h"
#include "shell/frame/CMainFrame.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/CKumorialView.h"
#include "shell/view/CMarkDlg.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class TestPicker : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void choosingInsertsAfterTheSelection_data();
    void choosingInsertsAfterTheSelection();
    void onlyOnePickerAtATime_data();
    void onlyOnePickerAtATime();

private:
    CMarkDlg* openPicker();
    QList<CMarkDlg*> pickers() const;
    QtEditPane& pane() { return app->mainFrame()->view()->paneWidget()->pane(); }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<CKumorialApp> app;
};

void TestPicker::init()
{
    dir = std::make_unique<QTemporaryDir>();
    app = std::make_unique<CKumorialApp>();
    app->InitInstance({}, dir->path());
    QVERIFY(QTest::qWaitForWindowExposed(app->mainFrame()));
}

void TestPicker::cleanup()
{
    qDeleteAll(pickers());
    if (app->mainFrame())
        app->mainFrame()->view()->modified = 0;
    app.reset();
    dir.reset();
}

QList<CMarkDlg*> TestPicker::pickers() const
{
    QList<CMarkDlg*> open;
    for (CMarkDlg* p : app->mainFrame()->findChildren<CMarkDlg*>())
        if (p->isVisible())
            open.append(p);
    return open;
}

CMarkDlg* TestPicker::openPicker()
{
    app->mainFrame()->router().dispatch(Cmd::SymbolPicker);
    const QList<CMarkDlg*> open = pickers();
    return open.size() == 1 ? open.first() : nullptr;
}

namespace {
QPoint cellCentre(int cell)
{
    return QPoint(18 * (cell % 20) + 9, 18 * (cell / 20) + 9);
}
} // namespace

// Each step: "k<key>" a key sent to the focused "閉じる" button, "c<cell>" / "d<cell>" a
// click / double click on a cell, "C" / "D" a click / double click below the grid.
void TestPicker::choosingInsertsAfterTheSelection_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<int>("selected");

    const QString none;
    QTest::newRow("Enter at once: ♂") << QStringList{"kEnter"} << QStringLiteral("♂") << 0;
    QTest::newRow("Enter twice: ♂♂") << QStringList{"kEnter", "kEnter"} << QStringLiteral("♂♂") << 0;
    QTest::newRow("click never inserts") << QStringList{"c5"} << none << 5;
    QTest::newRow("click ● then Enter") << QStringList{"c5", "kEnter"} << QStringLiteral("●") << 5;
    QTest::newRow("double click ⇒") << QStringList{"d24"} << QStringLiteral("⇒") << 24;
    QTest::newRow("double click filler: U+3000") << QStringList{"d39"} << QStringLiteral("\u3000") << 39;
    QTest::newRow("click below grid, Enter: nothing") << QStringList{"C", "kEnter"} << none << -1;
    QTest::newRow("double click below grid: nothing") << QStringList{"D"} << none << -1;
    QTest::newRow("Right Right on the button, Enter: ☆")
        << QStringList{"kRight", "kRight", "kEnter"} << QStringLiteral("☆") << 2;
    QTest::newRow("Down Down Right, Enter: ∥")
        << QStringList{"kDown", "kDown", "kRight", "kEnter"} << QStringLiteral("∥") << 41;
    QTest::newRow("End Home, Enter: ♂") << QStringList{"kEnd", "kHome", "kEnter"} << QStringLiteral("♂") << 0;
    QTest::newRow("outside then Right: cell 0") << QStringList{"C", "kRight"} << none << 0;
    QTest::newRow("outside then Down: cell 19")
        << QStringList{"C", "kDown", "kEnter"} << QStringLiteral("♪") << 19;
}

void TestPicker::choosingInsertsAfterTheSelection()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, inserted);
    QFETCH(int, selected);

    pane().setText(QStringLiteral("abcdef"));
    pane().setSelection(2, 4);
    CMarkDlg* picker = openPicker();
    QVERIFY(picker);
    QVERIFY(QTest::qWaitForWindowExposed(picker));
    auto* close = picker->controlAs<QPushButton>(1);
    QVERIFY(close);
    QCOMPARE(picker->selected(), 0);

    const QPoint below(100, 185);
    for (const QString& step : steps) {
        const QString arg = step.mid(1);
        if (step.startsWith('k')) {
            const Qt::Key key = arg == "Enter"   ? Qt::Key_Return
                                : arg == "Right" ? Qt::Key_Right
                                : arg == "Down"  ? Qt::Key_Down
                                : arg == "End"   ? Qt::Key_End
                                                 : Qt::Key_Home;
            QTest::keyClick(close, key);
        } else if (step == "C") {
            QTest::mouseClick(picker, Qt::LeftButton, {}, below);
        } else if (step == "D") {
            QTest::mouseDClick(picker, Qt::LeftButton, {}, below);
        } else if (step.startsWith('c')) {
            QTest::mouseClick(picker, Qt::LeftButton, {}, cellCentre(arg.toInt()));
        } else {
            QTest::mouseDClick(picker, Qt::LeftButton, {}, cellCentre(arg.toInt()));
        }
    }
    QCOMPARE(pane().text(), QStringLiteral("abcd") + inserted + QStringLiteral("ef"));
    QCOMPARE(picker->selected(), selected);
    // Enter inserted; it did not press "閉じる".
    QVERIFY(picker->isVisible());
}

void TestPicker::onlyOnePickerAtATime_data()
{
    QTest::addColumn<QString>("closeBy");
    QTest::newRow("閉じる") << QStringLiteral("button");
    QTest::newRow("Esc") << QStringLiteral("esc");
    QTest::newRow("close box") << QStringLiteral("box");
}

void TestPicker::onlyOnePickerAtATime()
{
    QFETCH(QString, closeBy);

    CMarkDlg* first = openPicker();
    QVERIFY(first);
    QVERIFY(QTest::qWaitForWindowExposed(first));
    QTest::mouseClick(first, Qt::LeftButton, {}, cellCentre(77));
    QCOMPARE(first->selected(), 77);
    app->mainFrame()->router().dispatch(Cmd::SymbolPicker);
    QCOMPARE(pickers(), QList<CMarkDlg*>{first});
    QCOMPARE(first->selected(), 77);

    if (closeBy == "button")
        QTest::mouseClick(first->controlAs<QPushButton>(1), Qt::LeftButton);
    else if (closeBy == "esc")
        QTest::keyClick(first->controlAs<QPushButton>(1), Qt::Key_Escape);
    else
        first->close();
    QVERIFY(pickers().isEmpty());
    QVERIFY(!CMarkDlg::isOpen());

    CMarkDlg* second = openPicker();
    QVERIFY(second);
    QVERIFY(QTest::qWaitForWindowExposed(second));
    QCOMPARE(second->selected(), 0);
}

QTEST_MAIN(TestPicker)
#include "tst_picker.moc"
