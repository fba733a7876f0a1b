#include "core/view/SymbolGrid.h"
#include "core/view/SymbolTable.h"

#include <QTest>

using SymbolGrid::Key;

class TestSymbolGrid : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keysMoveTheSelection_data();
    void keysMoveTheSelection();
    void hitTest_data();
    void hitTest();
    void fillerCellsAreIdeographicSpaces();
};

namespace {
// One letter a key: H Home, E End, L Left, U Up, R Right, D Down, o any other key.
int play(int start, const char* keys)
{
    int cell = start;
    for (const char* k = keys; *k; ++k) {
        switch (*k) {
        case 'H':
            cell = SymbolGrid::afterKey(cell, Key::Home);
            break;
        case 'E':
            cell = SymbolGrid::afterKey(cell, Key::End);
            break;
        case 'L':
            cell = SymbolGrid::afterKey(cell, Key::Left);
            break;
        case 'U':
            cell = SymbolGrid::afterKey(cell, Key::Up);
            break;
        case 'R':
            cell = SymbolGrid::afterKey(cell, Key::Right);
            break;
        case 'D':
            cell = SymbolGrid::afterKey(cell, Key::Down);
            break;
        default:
            cell = SymbolGrid::afterKey(cell, Key::Other);
            break;
        }
    }
    return cell;
}
} // namespace

void TestSymbolGrid::keysMoveTheSelection_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QByteArray>("keys");
    QTest::addColumn<int>("expected");

    QTest::newRow("0: nothing pressed") << 0 << QByteArray("") << 0;
    QTest::newRow("0: Left stays at the first cell") << 0 << QByteArray("L") << 0;
    QTest::newRow("0: Up stays in the top row") << 0 << QByteArray("U") << 0;
    QTest::newRow("Home Up stays at 0") << 57 << QByteArray("HU") << 0;
    QTest::newRow("End Down stays at 199") << 3 << QByteArray("ED") << 199;
    QTest::newRow("End Right stays at 199") << 3 << QByteArray("ER") << 199;
    QTest::newRow("19 Right runs on to 20") << 19 << QByteArray("R") << 20;
    QTest::newRow("20 Left runs back to 19") << 20 << QByteArray("L") << 19;
    QTest::newRow("185 Down stays: bottom row") << 185 << QByteArray("D") << 185;
    QTest::newRow("179 Down to 199") << 179 << QByteArray("D") << 199;
    QTest::newRow("0 DDRRU") << 0 << QByteArray("DDRRU") << 22;
    QTest::newRow("other keys change nothing") << 42 << QByteArray("oo") << 42;
    QTest::newRow("none: Right selects 0") << -1 << QByteArray("R") << 0;
    QTest::newRow("none: Down selects 19") << -1 << QByteArray("D") << 19;
    QTest::newRow("none: Left keeps none") << -1 << QByteArray("L") << -1;
    QTest::newRow("none: Up keeps none") << -1 << QByteArray("U") << -1;
    QTest::newRow("none: Home selects 0") << -1 << QByteArray("H") << 0;
    QTest::newRow("none: End selects 199") << -1 << QByteArray("E") << 199;
}

void TestSymbolGrid::keysMoveTheSelection()
{
    QFETCH(int, start);
    QFETCH(QByteArray, keys);
    QFETCH(int, expected);
    QCOMPARE(play(start, keys.constData()), expected);
}

void TestSymbolGrid::hitTest_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("cell");

    QTest::newRow("origin is cell 0") << QPoint(0, 0) << 0;
    QTest::newRow("inset corner still cell 0") << QPoint(1, 1) << 0;
    QTest::newRow("17,17 last pixel of cell 0") << QPoint(17, 17) << 0;
    QTest::newRow("18,0 is cell 1") << QPoint(18, 0) << 1;
    QTest::newRow("0,18 is cell 20") << QPoint(0, 18) << 20;
    QTest::newRow("last pixel is 199") << QPoint(359, 179) << 199;
    QTest::newRow("right of column 19") << QPoint(360, 5) << -1;
    QTest::newRow("below the grid") << QPoint(100, 180) << -1;
    QTest::newRow("beside the close button") << QPoint(200, 200) << -1;
    QTest::newRow("left of the grid") << QPoint(-1, 5) << -1;
    QTest::newRow("above the grid") << QPoint(5, -3) << -1;
}

void TestSymbolGrid::hitTest()
{
    QFETCH(QPoint, point);
    QFETCH(int, cell);
    QCOMPARE(SymbolGrid::hitTest(point.x(), point.y()), cell);
}

void TestSymbolGrid::fillerCellsAreIdeographicSpaces()
{
    const auto& cells = SymbolTable::cells();
    QCOMPARE(cells[0], u'\u2642');
    for (int cell : {38, 39, 68, 79, 115, 119, 144, 159, 184, 199})
        QCOMPARE(cells[cell], u'\u3000');
    QCOMPARE(cells[143], u'\u03A9');
}

QTEST_GUILESS_MAIN(TestSymbolGrid)
#include "tst_symbolgrid.moc"
