#include "core/frame/Placement.h"

#include <QTest>

using Placement::Edges;
using Placement::Frame;
Q_DECLARE_METATYPE(Edges)
Q_DECLARE_METATYPE(Frame)

class TestPlacement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void placeOnScreen_data();
    void placeOnScreen();
    void alpha_data();
    void alpha();
    void tooltipCut_data();
    void tooltipCut();
};

void TestPlacement::placeOnScreen_data()
{
    QTest::addColumn<Edges>("stored");
    QTest::addColumn<Edges>("screen");
    QTest::addColumn<Frame>("expected");

    const Edges single{0, 0, 1920, 1080};
    QTest::newRow("defaults") << Edges{} << single << Frame{0, 0, 639, 319};
    QTest::newRow("left 5000 right 5640 -> right edge on 1920")
        << Edges{5000, 10, 5640, 330} << single << Frame{1280, 10, 640, 320};
    QTest::newRow("top 2000 bottom 2300 -> bottom edge on 1080")
        << Edges{10, 2000, 650, 2300} << single << Frame{10, 780, 640, 300};
    QTest::newRow("left -300 -> 0, width kept")
        << Edges{-300, 5, 340, 325} << single << Frame{0, 5, 640, 320};
    QTest::newRow("top -50 -> 0") << Edges{5, -50, 645, 270} << single << Frame{5, 0, 640, 320};
    QTest::newRow("overhanging right edge stays")
        << Edges{1800, 900, 2440, 1220} << single << Frame{1800, 900, 640, 320};
    QTest::newRow("left exactly on far edge stays")
        << Edges{1920, 0, 2560, 320} << single << Frame{1920, 0, 640, 320};
    QTest::newRow("second monitor on the left")
        << Edges{-1500, 0, -860, 320} << Edges{-1920, 0, 1920, 1080} << Frame{-1500, 0, 640, 320};
    QTest::newRow("left of a virtual screen starting at -1920")
        << Edges{-3000, 0, -2360, 320} << Edges{-1920, 0, 1920, 1080} << Frame{-1920, 0, 640, 320};
    QTest::newRow("zero width -> default size")
        << Edges{100, 100, 100, 500} << single << Frame{100, 100, 639, 319};
    QTest::newRow("negative height -> default size")
        << Edges{100, 400, 900, 100} << single << Frame{100, 400, 639, 319};
    QTest::newRow("damaged and beyond the screen")
        << Edges{5000, 0, 0, 0} << single << Frame{1281, 0, 639, 319};
    QTest::newRow("width beyond int -> default size")
        << Edges{std::numeric_limits<int>::min(), 0, std::numeric_limits<int>::max(), 100} << single
        << Frame{0, 0, 639, 319};
    QTest::newRow("far left of a far right edge")
        << Edges{std::numeric_limits<int>::max() - 10, 0, std::numeric_limits<int>::max(), 100} << single
        << Frame{1910, 0, 10, 100};
}

void TestPlacement::placeOnScreen()
{
    QFETCH(Edges, stored);
    QFETCH(Edges, screen);
    QFETCH(Frame, expected);
    const Frame got = Placement::placeOnScreen(stored, screen);
    QCOMPARE(QList<int>({got.x, got.y, got.width, got.height}),
             QList<int>({expected.x, expected.y, expected.width, expected.height}));
}

void TestPlacement::alpha_data()
{
    QTest::addColumn<int>("transparency");
    QTest::addColumn<int>("alpha");
    QTest::newRow("10%") << 10 << 229;
    QTest::newRow("50% default") << 50 << 127;
    QTest::newRow("90%") << 90 << 25;
    QTest::newRow("20%") << 20 << 204;
    QTest::newRow("out of range below -> opaque") << -5 << 255;
    QTest::newRow("out of range above -> clear") << 150 << 0;
}

void TestPlacement::alpha()
{
    QFETCH(int, transparency);
    QFETCH(int, alpha);
    QCOMPARE(Placement::alphaOf(transparency), alpha);
}

void TestPlacement::tooltipCut_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tooltip");
    const QString a79(79, u'a');
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("short") << QStringLiteral("太字") << QStringLiteral("太字");
    QTest::newRow("79 kept whole") << a79 << a79;
    QTest::newRow("80 cut to 79") << a79 + u'b' << a79;
    QTest::newRow("pair across the cut is dropped whole")
        << QString(78, u'x') + QStringLiteral("😀z") << QString(78, u'x');
    QTest::newRow("pair ending at 79 is kept")
        << QString(77, u'x') + QStringLiteral("😀z") << QString(77, u'x') + QStringLiteral("😀");
}

void TestPlacement::tooltipCut()
{
    QFETCH(QString, name);
    QFETCH(QString, tooltip);
    QCOMPARE(Placement::tooltipOfName(name), tooltip);
}

QTEST_APPLESS_MAIN(TestPlacement)
#include "tst_placement.moc"
