#include "core/format/FormatTable.h"
#include "core/format/Markup.h"
#include "core/res/CommandIds.h"
#include "core/settings/ProfileStore.h"
#include "support/MemoryPane.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class TestFormatTable : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void defaultsAndActivity();
    void settingsNameEachKeyAndFieldOnce();
    void insertedForm_data();
    void insertedForm();
    void activityRule_data();
    void activityRule();
    void transparencyNormalisation_data();
    void transparencyNormalisation();
};

void TestFormatTable::defaultsAndActivity()
{
    const FormatTable t;
    QCOMPARE(t.face, QStringLiteral("ＭＳ ゴシック"));
    QCOMPARE(t.face.size(), 7);
    QCOMPARE(t.size, 14);
    QCOMPARE(t.transparency, 50);
    QVERIFY(t.webPage.isEmpty());
    QCOMPARE(t.words[0], QStringLiteral("(*^^*)"));
    QCOMPARE(t.words[6], QStringLiteral("(^^ゞ"));
    QCOMPARE(t.words[9], QStringLiteral("(^^)/~ bye"));
    QCOMPARE(t.baseFormat(6).begin, QStringLiteral(R"(<FONT COLOR=\"red\">)"));
    QCOMPARE(t.baseFormat(13).end, QStringLiteral(R"(\">こちら</a>)"));
    QCOMPARE(t.userFormat(1).begin, QStringLiteral(R"(\'\'\')"));
    QCOMPARE(t.userFormat(4).begin, QStringLiteral("= \\"));
    QCOMPARE(t.userFormat(8).name, QStringLiteral("引用１"));

    // Background colour, heading and quotation start inactive; the other 22 are active.
    int active = 0;
    for (int n = 1; n <= FormatTable::BaseCount; ++n)
        active += t.isBaseActive(n);
    for (int n = 1; n <= FormatTable::UserCount; ++n)
        active += t.isUserActive(n);
    QCOMPARE(active, 22);
    QVERIFY(!t.isBaseActive(Cmd::baseFormatOf(Cmd::BaseBackground)));
    QVERIFY(!t.isBaseActive(Cmd::baseFormatOf(Cmd::BaseHeading)));
    QVERIFY(!t.isBaseActive(Cmd::baseFormatOf(Cmd::BaseQuote)));
}

void TestFormatTable::settingsNameEachKeyAndFieldOnce()
{
    FormatTable t;
    const std::vector<FormatTable::Setting> rows = t.settings();
    QSet<QString> keys;
    QSet<const void*> fields;
    for (const FormatTable::Setting& s : rows) {
        const QString key = QStringLiteral("%1/%2").arg(s.section).arg(s.key);
        QVERIFY2(!keys.contains(key), qPrintable(key));
        keys.insert(key);
        QVERIFY2((s.text == nullptr) != (s.number == nullptr), qPrintable(key));
        fields.insert(s.text ? static_cast<const void*>(s.text) : static_cast<const void*>(s.number));
    }
    QCOMPARE(rows.size(), std::size_t(4 + FormatTable::WordCount + 2 * FormatTable::BaseCount +
                                      3 * FormatTable::UserCount));
    QCOMPARE(fields.size(), qsizetype(rows.size()));
}

void TestFormatTable::insertedForm_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("inserted");
    QTest::newRow("quoted attribute") << R"(<FONT COLOR=\"red\">)"
                                      << R"(<FONT COLOR="red">)";
    QTest::newRow("apostrophes") << R"(\'\'\')"
                                 << "'''";
    QTest::newRow("blank kept at end") << "= \\"
                                       << "= ";
    QTest::newRow("blank kept at start") << "\\ ="
                                         << " =";
    QTest::newRow("only backslashes") << "\\\\"
                                      << "";
    QTest::newRow("path") << "C:\\"
                          << "C:";
    QTest::newRow("no backslash") << "<B>"
                                  << "<B>";
}

void TestFormatTable::insertedForm()
{
    QFETCH(QString, stored);
    QFETCH(QString, inserted);
    QCOMPARE(::insertedForm(stored), inserted);
}

void TestFormatTable::activityRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("active");
    QTest::newRow("empty name, begin text") << ""
                                            << "x"
                                            << "" << true;
    QTest::newRow("name, no texts") << "名前"
                                    << ""
                                    << "" << false;
    QTest::newRow("end text only") << ""
                                   << ""
                                   << "]" << true;
    QTest::newRow("backslashes only") << ""
                                      << "\\\\"
                                      << "" << true;
}

void TestFormatTable::activityRule()
{
    QFETCH(QString, name);
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(bool, active);
    FormatTable t;
    t.user[2] = {name, begin, end};
    t.base[2] = {begin, end};
    QCOMPARE(t.isUserActive(3), active);
    QCOMPARE(t.isBaseActive(3), active);
}

void TestFormatTable::transparencyNormalisation_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("loaded");
    QTest::newRow("55") << "55" << 50;
    QTest::newRow("5") << "5" << 10;
    QTest::newRow("0") << "0" << 10;
    QTest::newRow("abc") << "abc" << 10;
    QTest::newRow("95") << "95" << 90;
    QTest::newRow("100") << "100" << 90;
    QTest::newRow("250") << "250" << 90;
    QTest::newRow("-40") << "-40" << 10;
    QTest::newRow("90") << "90" << 90;
    QTest::newRow("39 trailing") << "39%" << 30;
}

void TestFormatTable::transparencyNormalisation()
{
    QFETCH(QString, stored);
    QFETCH(int, loaded);
    QTemporaryDir dir;
    ProfileStore store(dir.filePath(QStringLiteral("Kumorial.ini")));
    QVERIFY(store.writeString(QStringLiteral("Option"), QStringLiteral("Transparency"), stored));
    FormatTable t;
    t.load(store);
    QCOMPARE(t.transparency, loaded);
}

QTEST_GUILESS_MAIN(TestFormatTable)
#include "tst_formattable.moc"
