#include "core/document/FileCommands.h"
#include "support/Files.h"
#include "support/MemoryPane.h"
#include "support/StandInPrompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using Answer = Prompts::Answer;
using Path = std::optional<QString>;

using TestSupport::readBytes;
using TestSupport::writeBytes;

namespace {
QString question(const QString& name)
{
    return name + u' ' + resString(Str::SaveQuestion);
}
} // namespace

// One document on an in-memory pane, with scripted answers and the clock at 2026-12-08 09:05.
struct Document {
    explicit Document(const QString& folder) : files(pane, prompts, modified, folder)
    {
        pane.setChangeHandler([this] { modified = 1; });
        files.titleSuffix = QStringLiteral("- クモリアル");
    }
    MemoryPane pane;
    ScriptedPrompts prompts;
    int modified = 0;
    FileCommands files;
};

class TestFileCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void saveQuestion_data();
    void saveQuestion();
    void newDocument_data();
    void newDocument();
    void openDocument_data();
    void openDocument();
    void nameAcceptedByCreatePromptIsCreatedBySave();
    void saveAndSaveAs_data();
    void saveAndSaveAs();
    void dropOpensTheFirstFileAfterTheQuestion();
    void commandLineFiles_data();
    void commandLineFiles();
    void startupDocument_data();
    void startupDocument();
    void templatePlaceholders_data();
    void templatePlaceholders();
    void saveAsTemplate_data();
    void saveAsTemplate();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString inDir(const QString& name) const { return dir->filePath(name); }
};

void TestFileCommands::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    writeBytes(inDir("a.txt"), "file a");
    writeBytes(inDir("b.txt"), "file b");
    writeBytes(inDir("c.txt"), "file c");
    QVERIFY(QDir(dir->path()).mkdir("folder.txt"));
}

void TestFileCommands::saveQuestion_data()
{
    QTest::addColumn<int>("modified");
    QTest::addColumn<QString>("name"); // empty: untitled
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<Path>("saveAs");
    QTest::addColumn<bool>("goOn");
    QTest::addColumn<int>("modifiedAfter");
    QTest::addColumn<bool>("written");

    const Path none;
    QTest::newRow("unchanged: no question") << 0 << "a.txt" << QList<Answer>{} << none << true << 0 << false;
    QTest::newRow("Cancel stops") << 1 << "a.txt" << QList<Answer>{Answer::Cancel} << none << false << 1
                                  << false;
    QTest::newRow("No goes on unsaved")
        << 1 << "a.txt" << QList<Answer>{Answer::No} << none << true << 1 << false;
    QTest::newRow("Yes saves under the name")
        << 1 << "a.txt" << QList<Answer>{Answer::Yes} << none << true << 0 << true;
    QTest::newRow("Yes, untitled, Save As cancelled: stops")
        << 1 << "" << QList<Answer>{Answer::Yes} << none << false << 1 << false;
    QTest::newRow("Yes, untitled, Save As to a name")
        << 1 << "" << QList<Answer>{Answer::Yes} << Path("new.txt") << true << 0 << true;
    QTest::newRow("Yes, Cancel at 105: stops")
        << 1 << "big" << QList<Answer>{Answer::Yes, Answer::Cancel} << none << false << 1 << false;
    QTest::newRow("Yes, 103 in a missing folder: stops")
        << 1 << "no/such/x.txt" << QList<Answer>{Answer::Yes} << none << false << 1 << false;
}

void TestFileCommands::saveQuestion()
{
    QFETCH(int, modified);
    QFETCH(QString, name);
    QFETCH(QList<Answer>, answers);
    QFETCH(Path, saveAs);
    QFETCH(bool, goOn);
    QFETCH(int, modifiedAfter);
    QFETCH(bool, written);

    Document doc(dir->path());
    doc.pane.setText(name == "big" ? QString(40000, u'x') : QStringLiteral("text"));
    doc.modified = modified;
    if (!name.isEmpty()) {
        doc.files.filePath = inDir(name);
        doc.files.fileTitle = QFileInfo(name).fileName();
    }
    doc.prompts.answers = answers;
    if (saveAs)
        doc.prompts.saveAnswers = {inDir(*saveAs)};
    const QString target = saveAs ? inDir(*saveAs) : inDir(name);
    const QByteArray before = readBytes(target);

    QCOMPARE(doc.files.QuerySaveChanges(), goOn);
    QCOMPARE(doc.modified, modifiedAfter);
    QCOMPARE(readBytes(target) != before, written);
    if (modified == 1)
        QCOMPARE(doc.prompts.shown.value(0),
                 question(name.isEmpty() ? QStringLiteral("無題") : doc.files.fileTitle));
    else
        QVERIFY(doc.prompts.shown.isEmpty());
}

void TestFileCommands::newDocument_data()
{
    QTest::addColumn<int>("modified");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<bool>("replaced");

    QTest::newRow("unchanged: no question") << 0 << QList<Answer>{} << true;
    QTest::newRow("changed, No") << 1 << QList<Answer>{Answer::No} << true;
    QTest::newRow("changed, Yes and saved") << 1 << QList<Answer>{Answer::Yes} << true;
    QTest::newRow("changed, Cancel: nothing changes") << 1 << QList<Answer>{Answer::Cancel} << false;
}

void TestFileCommands::newDocument()
{
    QFETCH(int, modified);
    QFETCH(QList<Answer>, answers);
    QFETCH(bool, replaced);

    writeBytes(inDir("Kumorial.tmp"), "Date %Y-%M-%D\r\n");
    Document doc(dir->path());
    doc.pane.setText(QStringLiteral("old text"));
    doc.modified = modified;
    doc.files.filePath = inDir("a.txt");
    doc.files.fileTitle = QStringLiteral("a.txt");
    doc.prompts.title = QStringLiteral("a.txt - クモリアル");
    doc.prompts.answers = answers;

    doc.files.NewDocument();
    QCOMPARE(doc.prompts.shown.size(), modified);
    if (replaced) {
        QCOMPARE(doc.pane.text(), QStringLiteral("Date 2026-12-08\r\n"));
        QCOMPARE(doc.files.filePath, QString());
        QCOMPARE(doc.files.fileTitle, QString());
        QCOMPARE(doc.prompts.title, QStringLiteral("無題 - クモリアル"));
        QCOMPARE(doc.modified, 0);
        QCOMPARE(doc.prompts.clockReadings, 1);
    } else {
        QCOMPARE(doc.pane.text(), QStringLiteral("old text"));
        QCOMPARE(doc.files.filePath, inDir("a.txt"));
        QCOMPARE(doc.prompts.title, QStringLiteral("a.txt - クモリアル"));
        QCOMPARE(doc.modified, 1);
    }
}

void TestFileCommands::openDocument_data()
{
    QTest::addColumn<int>("modified");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<Path>("chosen");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("modifiedAfter");
    QTest::addColumn<QStringList>("messages");

    const QString old = QStringLiteral("old text");
    const QString oldTitle = QStringLiteral("old - name.txt - クモリアル");
    const QString q = question(QStringLiteral("old - name.txt"));
    QTest::newRow("unchanged, OK: named and changed")
        << 0 << QList<Answer>{} << Path("a.txt") << 1 << "file a"
        << "a.txt - クモリアル" << 1 << QStringList();
    QTest::newRow("dialog cancelled: nothing changes")
        << 0 << QList<Answer>{} << Path() << 1 << old << oldTitle << 0 << QStringList();
    QTest::newRow("changed, Cancel at the question: no dialog")
        << 1 << QList<Answer>{Answer::Cancel} << Path("a.txt") << 0 << old << oldTitle << 1 << QStringList{q};
    QTest::newRow("changed, No: opens") << 1 << QList<Answer>{Answer::No} << Path("a.txt") << 1 << "file a"
                                        << "a.txt - クモリアル" << 1 << QStringList{q};
    QTest::newRow("name that does not exist: 104, old text under the new name")
        << 0 << QList<Answer>{} << Path("new - file.txt") << 1 << old << "new - file.txt - クモリアル" << 0
        << QStringList{resString(Str::CannotLoad)};
    QTest::newRow("existing file that cannot be read: 104, old name kept")
        << 0 << QList<Answer>{} << Path("folder.txt") << 1 << old << oldTitle << 0
        << QStringList{resString(Str::CannotLoad)};
}

void TestFileCommands::openDocument()
{
    QFETCH(int, modified);
    QFETCH(QList<Answer>, answers);
    QFETCH(Path, chosen);
    QFETCH(int, dialogs);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(int, modifiedAfter);
    QFETCH(QStringList, messages);

    Document doc(dir->path());
    doc.pane.setText(QStringLiteral("old text"));
    doc.modified = modified;
    doc.files.filePath = inDir("old - name.txt");
    doc.files.fileTitle = QStringLiteral("old - name.txt");
    doc.prompts.title = QStringLiteral("old - name.txt - クモリアル");
    doc.prompts.answers = answers;
    doc.prompts.openAnswers = {chosen ? Path(inDir(*chosen)) : Path()};

    doc.files.OpenDocument();
    QCOMPARE(doc.prompts.openDialogs, dialogs);
    QCOMPARE(doc.pane.text(), text);
    QCOMPARE(doc.prompts.title, title);
    QCOMPARE(doc.modified, modifiedAfter);
    QCOMPARE(doc.prompts.shown, messages);
    const QString name = title.chopped(QStringLiteral(" - クモリアル").size());
    QCOMPARE(doc.files.fileTitle, name);
    QCOMPARE(doc.files.filePath, inDir(name));
}

void TestFileCommands::nameAcceptedByCreatePromptIsCreatedBySave()
{
    Document doc(dir->path());
    doc.pane.setText(QStringLiteral("old text"));
    doc.prompts.openAnswers = {inDir("created.txt")};
    doc.files.OpenDocument();
    doc.files.SaveDocument();
    QCOMPARE(readBytes(inDir("created.txt")), QByteArray("old text"));
    QCOMPARE(doc.modified, 0);
}

void TestFileCommands::saveAndSaveAs_data()
{
    QTest::addColumn<QString>("name"); // empty: untitled
    QTest::addColumn<bool>("saveAs");
    QTest::addColumn<Path>("chosen");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("modifiedAfter");
    QTest::addColumn<QStringList>("proposed");

    const QStringList proposal{QStringLiteral("ブログ_202612080905")};
    QTest::newRow("Save on a named document")
        << "x - y.txt" << false << Path() << "x - y.txt - クモリアル" << 0 << QStringList();
    QTest::newRow("Save on untitled opens Save As with the proposed name")
        << "" << false << Path("blog-1.txt") << "blog-1.txt - クモリアル" << 0 << proposal;
    QTest::newRow("Save As cancelled: nothing changes")
        << "x - y.txt" << true << Path() << "before" << 1 << proposal;
    QTest::newRow("Save As into a missing folder: 103, the new name stays")
        << "x - y.txt" << true << Path("none/z - w.txt") << "z - w.txt - クモリアル" << 1 << proposal;
    QTest::newRow("Save As with hyphens")
        << "" << true << Path("--a-b--.txt") << "--a-b--.txt - クモリアル" << 0 << proposal;
}

void TestFileCommands::saveAndSaveAs()
{
    QFETCH(QString, name);
    QFETCH(bool, saveAs);
    QFETCH(Path, chosen);
    QFETCH(QString, title);
    QFETCH(int, modifiedAfter);
    QFETCH(QStringList, proposed);

    Document doc(dir->path());
    doc.pane.setText(QStringLiteral("text"));
    doc.modified = 1;
    if (!name.isEmpty()) {
        doc.files.filePath = inDir(name);
        doc.files.fileTitle = name;
    }
    doc.prompts.title = QStringLiteral("before");
    doc.prompts.saveAnswers = {chosen ? Path(inDir(*chosen)) : Path()};

    const bool saved = saveAs ? doc.files.SaveDocumentAs() : doc.files.SaveDocument();
    QCOMPARE(saved, modifiedAfter == 0);
    QCOMPARE(doc.prompts.title, title);
    QCOMPARE(doc.modified, modifiedAfter);
    QCOMPARE(doc.prompts.proposedNames, proposed);
    QCOMPARE(doc.prompts.clockReadings, proposed.size());
    if (saved)
        QCOMPARE(readBytes(doc.files.filePath), QByteArray("text"));
    if (chosen && title != "before")
        QCOMPARE(doc.files.fileTitle, QFileInfo(*chosen).fileName());
    QCOMPARE(doc.prompts.shown,
             modifiedAfter == 1 && chosen ? QStringList{resString(Str::CannotSave)} : QStringList());
}

void TestFileCommands::dropOpensTheFirstFileAfterTheQuestion()
{
    Document doc(dir->path());
    doc.pane.setText(QStringLiteral("typed"));
    doc.modified = 1;
    const QStringList three{inDir("a.txt"), inDir("b.txt"), inDir("c.txt")};

    doc.prompts.answers = {Answer::Cancel};
    doc.files.OpenDroppedFile(three);
    QCOMPARE(doc.pane.text(), QStringLiteral("typed"));
    QCOMPARE(doc.files.filePath, QString());

    doc.files.OpenDroppedFile({});
    QCOMPARE(doc.prompts.shown.size(), 1);

    doc.prompts.answers = {Answer::No};
    doc.files.OpenDroppedFile(three);
    QCOMPARE(doc.pane.text(), QStringLiteral("file a"));
    QCOMPARE(doc.files.filePath, inDir("a.txt"));
    QCOMPARE(doc.prompts.title, QStringLiteral("a.txt - クモリアル"));
    QCOMPARE(doc.modified, 1);
}

void TestFileCommands::commandLineFiles_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("files");

    QTest::newRow("none") << QStringList() << "" << false << QStringList();
    QTest::newRow("leading -") << QStringList{"-x", "a.txt"} << "-x a.txt" << false << QStringList();
    QTest::newRow("two names: both, in order")
        << QStringList{"b.txt", "a.txt"} << "\"b.txt\" \"a.txt\"" << true << QStringList{"b.txt", "a.txt"};
    QTest::newRow("unreadable pieces are left out")
        << QStringList{"missing.txt", "folder.txt", "c.txt"} << "\"missing.txt\" \"folder.txt\" \"c.txt\""
        << true << QStringList{"c.txt"};
    QTest::newRow("name with blanks stays one piece")
        << QStringList{"with blank - x.txt"} << "\"with blank - x.txt\"" << true
        << QStringList{"with blank - x.txt"};
}

void TestFileCommands::commandLineFiles()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, text);
    QFETCH(bool, result);
    QFETCH(QStringList, files);

    writeBytes(inDir("with blank - x.txt"), "blank");
    QVERIFY(QDir::setCurrent(dir->path()));
    QCOMPARE(FileCommands::commandLineText(arguments), text);
    QStringList list{"stale"};
    QCOMPARE(FileCommands::GetCommandLineFiles(text, list), result);
    QCOMPARE(list, files);
    // Unquoted text splits only at quotes: the blank between two names is a piece of its own.
    QVERIFY(FileCommands::GetCommandLineFiles(QStringLiteral("a.txt\"b.txt\" \"c.txt"), list));
    QCOMPARE(list, (QStringList{"a.txt", "b.txt", "c.txt"}));
}

void TestFileCommands::startupDocument_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("modified");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("no arguments: template") << QStringList() << "%Y-2026"
                                            << "無題 - クモリアル" << 0 << QString() << QStringList();
    QTest::newRow("first readable of two") << QStringList{"missing.txt", "b.txt", "a.txt"} << "file b"
                                           << "b.txt - クモリアル" << 1 << "b.txt" << QStringList();
    QTest::newRow("leading -: template") << QStringList{"-a.txt"} << "%Y-2026"
                                         << "無題 - クモリアル" << 0 << QString() << QStringList();
    QTest::newRow("nothing readable: template") << QStringList{"folder.txt"} << "%Y-2026"
                                                << "無題 - クモリアル" << 0 << QString() << QStringList();
    // A regular file that opens but whose first read fails.
    QTest::newRow("readable but the load fails: 104, named, empty")
        << QStringList{"/proc/self/mem"} << ""
        << "mem - クモリアル" << 0 << "/proc/self/mem" << QStringList{resString(Str::CannotLoad)};
}

void TestFileCommands::startupDocument()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(int, modified);
    QFETCH(QString, path);
    QFETCH(QStringList, shown);

    writeBytes(inDir("Kumorial.tmp"), "%%Y-%Y");
    QVERIFY(QDir::setCurrent(dir->path()));
    Document doc(dir->path());
    doc.files.titleSuffix.clear();
    doc.files.ChooseStartupDocument(arguments);
    QCOMPARE(doc.files.titleSuffix, QStringLiteral("- クモリアル"));
    QCOMPARE(doc.pane.text(), QString(text).replace("%Y", "%2026"));
    QCOMPARE(doc.prompts.title, title);
    QCOMPARE(doc.modified, modified);
    QCOMPARE(doc.prompts.shown, shown);
    QCOMPARE(doc.files.filePath, path);
    QCOMPARE(doc.files.fileTitle, path.isEmpty() ? QString() : QFileInfo(path).fileName());
}

void TestFileCommands::templatePlaceholders_data()
{
    QTest::addColumn<QByteArray>("stored"); // empty: no template
    QTest::addColumn<QString>("filled");
    QTest::addColumn<qsizetype>("caret");

    QTest::newRow("[%Y/%M/%D %h:%m]") << QByteArray("%Y/%M/%D %h:%m") << "2026/12/08 09:05" << qsizetype(16);
    QTest::newRow("[%y %d %H %s] are no placeholders")
        << QByteArray("%y %d %H %s") << "%y %d %H %s" << qsizetype(0);
    QTest::newRow("[%%Y] keeps its first percent") << QByteArray("%%Y") << "%2026" << qsizetype(0);
    QTest::newRow("[%m a %m] everywhere, the caret after the last")
        << QByteArray("%m a %m\r\n") << "05 a 05\r\n"
        << qsizetype(7);
    QTest::newRow("[%M%m] month, then minute") << QByteArray("%M%m") << "1205" << qsizetype(4);
    QTest::newRow("no placeholders: unchanged, caret at the start")
        << QByteArray("\x96\x7b\x95\xb6\r\n") << "本文\r\n"
        << qsizetype(0);
    QTest::newRow("no template: empty") << QByteArray() << "" << qsizetype(0);
}

void TestFileCommands::templatePlaceholders()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, filled);
    QFETCH(qsizetype, caret);

    if (!stored.isEmpty())
        writeBytes(inDir("Kumorial.tmp"), stored);
    Document doc(dir->path());
    doc.pane.setText(QStringLiteral("previous"));
    QCOMPARE(doc.files.GetTemplatePath(), inDir("Kumorial.tmp"));
    doc.files.ApplyTemplate();
    QCOMPARE(doc.pane.text(), filled);
    QCOMPARE(doc.pane.selection(), (EditPane::Selection{caret, caret}));
    QCOMPARE(doc.prompts.clockReadings, stored.isEmpty() ? 0 : 1);
    QVERIFY(doc.prompts.shown.isEmpty());
}

void TestFileCommands::saveAsTemplate_data()
{
    QTest::addColumn<QByteArray>("existing"); // empty: none
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<bool>("missingFolder");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QByteArray>("after");

    const QString exists = resString(Str::TemplateExists);
    QTest::newRow("no template: no question")
        << QByteArray() << QList<Answer>{} << false << QStringList() << QByteArray("current");
    QTest::newRow("existing, OK: replaced") << QByteArray("old") << QList<Answer>{Answer::Ok} << false
                                            << QStringList{exists} << QByteArray("current");
    QTest::newRow("existing, Cancel: kept") << QByteArray("old") << QList<Answer>{Answer::Cancel} << false
                                            << QStringList{exists} << QByteArray("old");
    QTest::newRow("folder missing: 103")
        << QByteArray() << QList<Answer>{} << true << QStringList{resString(Str::CannotSave)}
        << QByteArray("<unreadable>");
}

void TestFileCommands::saveAsTemplate()
{
    QFETCH(QByteArray, existing);
    QFETCH(QList<Answer>, answers);
    QFETCH(bool, missingFolder);
    QFETCH(QStringList, messages);
    QFETCH(QByteArray, after);

    if (!existing.isEmpty())
        writeBytes(inDir("Kumorial.tmp"), existing);
    Document doc(missingFolder ? inDir("gone") : dir->path());
    doc.pane.setText(QStringLiteral("current"));
    doc.modified = 1;
    doc.files.filePath = inDir("a.txt");
    doc.files.fileTitle = QStringLiteral("a.txt");
    doc.prompts.title = QStringLiteral("a.txt - クモリアル");
    doc.prompts.answers = answers;

    doc.files.SaveAsTemplate();
    QCOMPARE(doc.prompts.shown, messages);
    QCOMPARE(readBytes(doc.files.GetTemplatePath()), after);
    // The document itself was not saved: it still counts as changed, under its own name.
    QCOMPARE(doc.modified, 1);
    QCOMPARE(doc.files.filePath, inDir("a.txt"));
    QCOMPARE(doc.prompts.title, QStringLiteral("a.txt - クモリアル"));
    QCOMPARE(readBytes(inDir("a.txt")), QByteArray("file a"));
}

QTEST_GUILESS_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
