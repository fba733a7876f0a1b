#include "core/res/CommandIds.h"
#include "core/res/Toolbars.h"
#include "core/settings/ProfileStore.h"
#include "shell/app/CAboutDlg.h"
#include "shell/app/CKumorialApp.h"
#include "shell/frame/CMainFrame.h"
#include "shell/framework/ActionSet.h"
#include "shell/framework/QtEditPane.h"
#include "shell/view/CKumorialView.h"
#include "shell/view/ViewPrinting.h"
#include "support/DialogAnswers.h"

#include <QAction>
#include <QFile>
#include <QFontDialog>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPrinter>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <unistd.h>

namespace {
const QString Settings = QStringLiteral("Settings");

QList<int> rectKeys(const ProfileStore& ini)
{
    return {ini.readInt(Settings, QStringLiteral("Left"), -1),
            ini.readInt(Settings, QStringLiteral("Top"), -1),
            ini.readInt(Settings, QStringLiteral("Right"), -1),
            ini.readInt(Settings, QStringLiteral("Bottom"), -1)};
}
// Drags a docked bar by its handle far below the window, as a user makes it float.
void dragAway(QToolBar* bar)
{
    const int handle = bar->style()->pixelMetric(QStyle::PM_ToolBarHandleExtent, nullptr, bar);
    const QPoint press(bar->layout()->contentsMargins().left() + handle / 2, bar->height() / 2);
    const QPoint pressAt = bar->mapToGlobal(press);
    const QPoint offset(0, 3 * bar->window()->height());
    const auto send = [bar](QEvent::Type type, QPoint local, QPoint global, Qt::MouseButtons buttons) {
        QMouseEvent e(type, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(bar, &e);
    };
    send(QEvent::MouseButtonPress, press, pressAt, Qt::LeftButton);
    send(QEvent::MouseMove, press + offset, pressAt + offset, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, press, pressAt + offset, Qt::NoButton);
}
} // namespace

class TestMainFrame : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void placement_data();
    void placement();
    void alwaysOnTopPersists();
    void translucency_data();
    void translucency();
    void newTransparencyWaitsForNextSwitchOn();
    void toolBarsStandInThreeRows();
    void toolBarToggleFollowsEveryBar();
    void floatingToolBarCloses();
    void userButtonTooltips();
    void statusBarShowsPrompts();
    void barLayoutRoundTrip_data();
    void barLayoutRoundTrip();
    void closeSavesBarsEvenWhenCancelled();
    void donationsLink_data();
    void donationsLink();
    void handEditsSurviveExit();
    void fontSizeAsStored_data();
    void fontSizeAsStored();
    void settingsFolder_data();
    void settingsFolder();
    void aboutBoxKeepsOpenOnLink();
    void printingPaginates();

private:
    CMainFrame* frame() { return app->mainFrame(); }
    QString iniPath() const { return dir->filePath(QStringLiteral("Kumorial.ini")); }
    void writeIni(const QByteArray& text)
    {
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    void start()
    {
        app = std::make_unique<CKumorialApp>();
        app->InitInstance({}, dir->path());
        QVERIFY(QTest::qWaitForWindowExposed(frame()));
    }
    void quit()
    {
        frame()->view()->modified = 0;
        QVERIFY(frame()->close());
        app.reset();
    }
    QMenu* menu(const QString& title) { return frame()->actionSet()->menuOf(title); }
    bool inMenu(QMenu* m, Cmd::Id id)
    {
        for (QAction* a : m->actions())
            if (!a->isSeparator() && a->data().toInt() == id)
                return true;
        return false;
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<CKumorialApp> app;
};

void TestMainFrame::init()
{
    dir = std::make_unique<QTemporaryDir>();
}

void TestMainFrame::cleanup()
{
    if (app && frame())
        frame()->view()->modified = 0;
    app.reset();
    dir.reset();
}

void TestMainFrame::placement_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<bool>("maximise");
    QTest::addColumn<QRect>("opened");

    const QRect v = QGuiApplication::primaryScreen()->virtualGeometry();
    const int vr = v.x() + v.width();
    QTest::newRow("no file -> 0,0 639x319") << QByteArray() << false << QRect(0, 0, 639, 319);
    QTest::newRow("left beyond the right edge -> right edge on it")
        << QStringLiteral("[Settings]\nLeft=%1\nTop=20\nRight=%2\nBottom=340\n")
               .arg(vr + 3000)
               .arg(vr + 3640)
               .toUtf8()
        << false << QRect(vr - 640, 20, 640, 320);
    QTest::newRow("left -300 -> 0, width kept")
        << QByteArray("[Settings]\nLeft=-300\nTop=0\nRight=200\nBottom=300\n") << false
        << QRect(0, 0, 500, 300);
    QTest::newRow("damaged rectangle -> default size")
        << QByteArray("[Settings]\nLeft=10\nTop=15\nRight=10\nBottom=5\n") << false
        << QRect(10, 15, 639, 319);
    QTest::newRow("maximised at exit -> normal rectangle stored")
        << QByteArray("[Settings]\nLeft=20\nTop=30\nRight=420\nBottom=330\n") << true
        << QRect(20, 30, 400, 300);
}

void TestMainFrame::placement()
{
    QFETCH(QByteArray, ini);
    QFETCH(bool, maximise);
    QFETCH(QRect, opened);
    if (!ini.isEmpty())
        writeIni(ini);
    start();
    QCOMPARE(frame()->frameGeometry(), opened);
    if (maximise) {
        frame()->showMaximized();
        QTRY_VERIFY(frame()->isMaximized());
        QVERIFY(frame()->geometry() != opened);
    }
    quit();
    const ProfileStore stored(iniPath());
    QCOMPARE(rectKeys(stored), (QList<int>{opened.left(), opened.top(), opened.left() + opened.width(),
                                           opened.top() + opened.height()}));
}

void TestMainFrame::alwaysOnTopPersists()
{
    start();
    QAction* item = frame()->actionSet()->action(Cmd::AlwaysOnTop);
    frame()->actionSet()->updateMenu(menu(QStringLiteral("表示(&V)")));
    QVERIFY(item->isChecked());
    QVERIFY(frame()->windowFlags() & Qt::WindowStaysOnTopHint);

    item->trigger();
    QCOMPARE(frame()->alwaysOnTop, 0);
    QVERIFY(!(frame()->windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(frame()->isVisible());
    QVERIFY(!item->isChecked());
    quit();
    QCOMPARE(ProfileStore(iniPath()).readInt(Settings, QStringLiteral("MostTopWindow"), -1), 0);

    start();
    QCOMPARE(frame()->alwaysOnTop, 0);
    QVERIFY(!(frame()->windowFlags() & Qt::WindowStaysOnTopHint));
}

void TestMainFrame::translucency_data()
{
    QTest::addColumn<int>("transparency");
    QTest::addColumn<int>("alpha");
    QTest::newRow("10% -> 229") << 10 << 229;
    QTest::newRow("50% default -> 127") << 50 << 127;
    QTest::newRow("90% -> 25") << 90 << 25;
}

void TestMainFrame::translucency()
{
    QFETCH(int, transparency);
    QFETCH(int, alpha);
    writeIni(QStringLiteral("[Option]\nTransparency=%1\n").arg(transparency).toUtf8());
    start();
    QCOMPARE(frame()->translucent, 0);
    QCOMPARE(frame()->windowOpacity(), 1.0);
    QTest::keyClick(frame()->view()->paneWidget(), Qt::Key_F4);
    QCOMPARE(frame()->translucent, 1);
    QCOMPARE(frame()->appliedAlpha, alpha);
    QCOMPARE(qRound(frame()->windowOpacity() * 255), alpha);
    frame()->actionSet()->updateActions({Cmd::Translucency});
    QVERIFY(frame()->actionSet()->action(Cmd::Translucency)->isChecked());

    QTest::keyClick(frame()->view()->paneWidget(), Qt::Key_F4);
    QCOMPARE(frame()->translucent, 0);
    QCOMPARE(frame()->windowOpacity(), 1.0);
}

void TestMainFrame::newTransparencyWaitsForNextSwitchOn()
{
    start();
    const CommandRouter& router = frame()->router();
    router.dispatch(Cmd::Translucency);
    QCOMPARE(frame()->appliedAlpha, 127);
    frame()->view()->formats().transparency = 20;
    frame()->view()->publishTransparency(); // as after OK in the options dialog
    QCOMPARE(frame()->appliedAlpha, 127);
    QCOMPARE(qRound(frame()->windowOpacity() * 255), 127);
    router.dispatch(Cmd::Translucency);
    router.dispatch(Cmd::Translucency);
    QCOMPARE(frame()->appliedAlpha, 204);
    QCOMPARE(qRound(frame()->windowOpacity() * 255), 204);
}

void TestMainFrame::toolBarsStandInThreeRows()
{
    start();
    const QList<QToolBar*> bars = frame()->toolBars();
    const int ids[] = {Bar::MainId, Bar::FormatId, Bar::UserId};
    int lastY = -1;
    for (int i = 0; i < 3; ++i) {
        QToolBar* bar = bars[i];
        QCOMPARE(frame()->toolBarArea(bar), Qt::TopToolBarArea);
        QVERIFY2(bar->y() > lastY, qPrintable(bar->objectName()));
        lastY = bar->y();
        QList<int> shown, table;
        for (QAction* a : bar->actions())
            if (a->isVisible()) // the close button of a floating bar is hidden while docked
                shown << (a->isSeparator() ? 0 : a->data().toInt());
        for (Cmd::Id id : toolbarButtons(ids[i]))
            table << id;
        QCOMPARE(shown, table);
        for (QAction* a : bar->actions())
            QVERIFY2(!a->isVisible() || a->isSeparator() || !a->icon().isNull(),
                     qPrintable(QString::number(a->data().toInt())));
    }
    QCOMPARE(frame()->actionSet()->action(Cmd::FileNew)->toolTip(), QStringLiteral("新規ファイル"));
}

void TestMainFrame::toolBarToggleFollowsEveryBar()
{
    start();
    QMenu* view = menu(QStringLiteral("表示(&V)"));
    QAction* item = frame()->actionSet()->action(Cmd::ViewToolBar);
    const QList<QToolBar*> bars = frame()->toolBars();
    const auto shown = [&bars] {
        QList<bool> s;
        for (QToolBar* b : bars)
            s << !b->isHidden();
        return s;
    };
    frame()->actionSet()->updateMenu(view);
    QVERIFY(item->isChecked());

    item->trigger();
    QCOMPARE(shown(), (QList<bool>{false, false, false}));
    QVERIFY(frame()->statusBar()->isVisible());
    frame()->actionSet()->updateMenu(view);
    QVERIFY(!item->isChecked());
    item->trigger();
    QCOMPARE(shown(), (QList<bool>{true, true, true}));

    // One bar closed by itself: the item shows unchecked and brings all three back.
    frame()->formatToolBar->close();
    frame()->actionSet()->updateMenu(view);
    QVERIFY(!item->isChecked());
    QCOMPARE(frame()->toolBarsVisible, 0);
    item->trigger();
    QCOMPARE(shown(), (QList<bool>{true, true, true}));
    frame()->actionSet()->updateMenu(view);
    QVERIFY(item->isChecked());
}

void TestMainFrame::floatingToolBarCloses()
{
    start();
    QMenu* view = menu(QStringLiteral("表示(&V)"));
    QAction* item = frame()->actionSet()->action(Cmd::ViewToolBar);
    QToolBar* bar = frame()->formatToolBar;
    auto* closeButton = bar->findChild<QToolButton*>(QStringLiteral("closeButton"));
    QVERIFY(closeButton);
    QVERIFY(!closeButton->isVisibleTo(bar));

    dragAway(bar);
    QVERIFY2(bar->isFloating(), "the bar did not float after the drag");
    QTRY_VERIFY_WITH_TIMEOUT(closeButton->isVisible(), 3000);
    frame()->actionSet()->updateMenu(view);
    QVERIFY(item->isChecked());

    closeButton->click();
    QVERIFY(bar->isHidden());
    QVERIFY(!frame()->mainToolBar->isHidden());
    frame()->actionSet()->updateMenu(view);
    QVERIFY(!item->isChecked());
    item->trigger();
    QVERIFY(!bar->isHidden());
    QVERIFY(bar->isFloating());
    QVERIFY(closeButton->isVisibleTo(bar));
    frame()->actionSet()->updateMenu(view);
    QVERIFY(item->isChecked());

    // Docked again, the bar has no close button.
    frame()->addToolBar(Qt::TopToolBarArea, bar);
    QVERIFY(!bar->isFloating());
    QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible() && !closeButton->isVisibleTo(bar), 3000);
}

void TestMainFrame::userButtonTooltips()
{
    start();
    QAction* first = frame()->actionSet()->action(Cmd::UserFormatFirst);
    const auto tipOfButton = [this, first] {
        return frame()->userToolBar->widgetForAction(first)->toolTip();
    };
    QCOMPARE(first->toolTip(), QStringLiteral("太字"));
    QCOMPARE(tipOfButton(), QStringLiteral("太字"));
    QVERIFY(first->statusTip().isEmpty());

    auto& user = frame()->view()->formats().user;
    user[0].name = QStringLiteral("強調");
    frame()->view()->publishUserFormatNames(); // as after OK in the user format dialog
    QCOMPARE(tipOfButton(), QStringLiteral("強調"));

    user[0].name = QString(100, u'長');
    frame()->view()->publishUserFormatNames();
    QCOMPARE(tipOfButton(), QString(79, u'長'));
    QCOMPARE(frame()->formatNames()[0], QString(100, u'長'));

    user[0].name.clear();
    frame()->view()->publishUserFormatNames();
    QCOMPARE(tipOfButton(), QString());
}

void TestMainFrame::statusBarShowsPrompts()
{
    start();
    QLabel* message = frame()->statusBar()->findChildren<QLabel*>().value(0);
    QVERIFY(message);
    QCOMPARE(message->text(), QStringLiteral("レディ"));
    const auto hover = [](QWidget* w, QEvent::Type type) {
        QEvent e(type);
        QApplication::sendEvent(w, &e);
    };
    QWidget* open = frame()->mainToolBar->widgetForAction(frame()->actionSet()->action(Cmd::FileOpen));
    hover(open, QEvent::Enter);
    QCOMPARE(message->text(), QStringLiteral("既存のファイルを開く"));
    hover(open, QEvent::Leave);
    QCOMPARE(message->text(), QStringLiteral("レディ"));
    // The user buttons have no prompt of their own.
    QWidget* user = frame()->userToolBar->widgetForAction(frame()->actionSet()->action(Cmd::UserFormatFirst));
    hover(open, QEvent::Enter);
    hover(open, QEvent::Leave);
    hover(user, QEvent::Enter);
    QCOMPARE(message->text(), QStringLiteral("レディ"));
    // Without a keyboard to ask, the indicator panes keep their names, dimmed.
    QStringList indicators;
    for (QLabel* l : frame()->statusBar()->findChildren<QLabel*>().mid(1)) {
        if (l->objectName() == u"EncodingPane" || l->objectName() == u"LineBreakPane")
            continue;
        indicators << l->text();
        QVERIFY(!l->isEnabled());
    }
    QCOMPARE(indicators, (QStringList{"カナ", "CAP", "NUM", "SCRL"}));
}

void TestMainFrame::barLayoutRoundTrip_data()
{
    QTest::addColumn<bool>("keepLayout");
    QTest::newRow("saved layout") << true;
    QTest::newRow("readable keys only") << false;
}

void TestMainFrame::barLayoutRoundTrip()
{
    QFETCH(bool, keepLayout);
    start();
    frame()->addToolBar(Qt::LeftToolBarArea, frame()->formatToolBar);
    frame()->addToolBar(Qt::BottomToolBarArea, frame()->userToolBar);
    frame()->userToolBar->hide();
    quit();
    {
        ProfileStore ini(iniPath());
        QCOMPARE(ini.readInt(QStringLiteral("ToolBar-Summary"), QStringLiteral("Bars"), 0), 3);
        QCOMPARE(ini.readInt(QStringLiteral("ToolBar-Bar1"), QStringLiteral("BarID"), 0), 135);
        QCOMPARE(ini.readInt(QStringLiteral("ToolBar-Bar1"), QStringLiteral("Docking"), 0), 1);
        QCOMPARE(ini.readInt(QStringLiteral("ToolBar-Bar2"), QStringLiteral("Visible"), -1), 0);
        if (!keepLayout)
            ini.writeString(QStringLiteral("ToolBar-Summary"), QStringLiteral("Layout"), QString());
    }
    start();
    QCOMPARE(frame()->toolBarArea(frame()->mainToolBar), Qt::TopToolBarArea);
    QCOMPARE(frame()->toolBarArea(frame()->formatToolBar), Qt::LeftToolBarArea);
    QCOMPARE(frame()->toolBarArea(frame()->userToolBar), Qt::BottomToolBarArea);
    QVERIFY(!frame()->mainToolBar->isHidden());
    QVERIFY(!frame()->formatToolBar->isHidden());
    QVERIFY(frame()->userToolBar->isHidden());
}

void TestMainFrame::closeSavesBarsEvenWhenCancelled()
{
    start();
    frame()->view()->modified = 1;
    // Cancel in the save question.
    TestSupport::answerNext<QMessageBox>(QMessageBox::Cancel);
    QVERIFY(!frame()->close());
    QVERIFY(frame()->isVisible());
    const ProfileStore ini(iniPath());
    QCOMPARE(ini.readInt(QStringLiteral("ToolBar-Summary"), QStringLiteral("Bars"), 0), 3);
    QCOMPARE(ini.readInt(QStringLiteral("ToolBar-Bar0"), QStringLiteral("BarID"), 0), 128);
    QCOMPARE(ini.readInt(Settings, QStringLiteral("Left"), -1), -1);
    quit();
    QCOMPARE(rectKeys(ProfileStore(iniPath())), (QList<int>{0, 0, 639, 319}));
}

void TestMainFrame::donationsLink_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<int>("written");
    QTest::newRow("0 -> removed") << QByteArray("[Settings]\nDonationsLink=0\n") << false << 0;
    QTest::newRow("1 -> kept") << QByteArray("[Settings]\nDonationsLink=1\n") << true << 1;
    QTest::newRow("2 -> removed") << QByteArray("[Settings]\nDonationsLink=2\n") << false << 2;
    QTest::newRow("missing -> kept, 1 written") << QByteArray() << true << 1;
}

void TestMainFrame::donationsLink()
{
    QFETCH(QByteArray, ini);
    QFETCH(bool, kept);
    QFETCH(int, written);
    if (!ini.isEmpty())
        writeIni(ini);
    start();
    QMenu* help = menu(QStringLiteral("ヘルプ(&H)"));
    QVERIFY(inMenu(help, Cmd::DonationLink));
    frame()->actionSet()->updateMenu(help);
    QCOMPARE(inMenu(help, Cmd::DonationLink), kept);
    QVERIFY(inMenu(help, Cmd::About));
    QCOMPARE(ProfileStore(iniPath()).readInt(Settings, QStringLiteral("DonationsLink"), -1), written);
    // The value is read again at every opening while the item is there.
    app->profile().writeInt(Settings, QStringLiteral("DonationsLink"), 0);
    frame()->actionSet()->updateMenu(help);
    QVERIFY(!inMenu(help, Cmd::DonationLink));
}

void TestMainFrame::handEditsSurviveExit()
{
    writeIni("[Settings]\nDonationsLink=1\n");
    start();
    QMenu* help = menu(QStringLiteral("ヘルプ(&H)"));
    frame()->actionSet()->updateMenu(help);
    QVERIFY(inMenu(help, Cmd::DonationLink));
    // Edited by hand while the program runs.
    writeIni("[Settings]\nDonationsLink=0\n[Mine]\nHand=made\n[UserWord]\nWord05=by hand\n");
    quit();
    const ProfileStore ini(iniPath());
    QCOMPARE(ini.readInt(Settings, QStringLiteral("DonationsLink"), -1), 0);
    QCOMPARE(ini.readString(QStringLiteral("Mine"), QStringLiteral("Hand"), QString()),
             QStringLiteral("made"));
    // The program's own settings are written at exit over those edited by hand.
    QCOMPARE(ini.readString(QStringLiteral("UserWord"), QStringLiteral("Word05"), QString()),
             QStringLiteral("(@_@)"));
    QCOMPARE(ini.readInt(QStringLiteral("ToolBar-Summary"), QStringLiteral("Bars"), 0), 3);
    QVERIFY(ini.readInt(Settings, QStringLiteral("Right"), -1) > 0);
}

void TestMainFrame::fontSizeAsStored_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("drawn");  // 0: the default size
    QTest::addColumn<int>("chosen"); // 0: no font chosen
    QTest::addColumn<QString>("written");
    QTest::newRow("12") << QByteArray("12") << 12 << 0 << "12";
    QTest::newRow("-20: 20 points") << QByteArray("-20") << 20 << 0 << "-20";
    QTest::newRow("0: default") << QByteArray("0") << 0 << 0 << "0";
    QTest::newRow("abc: default, 0") << QByteArray("abc") << 0 << 0 << "0";
    QTest::newRow("huge: drawn smaller") << QByteArray("5000") << 1000 << 0 << "5000";
    QTest::newRow("lowest int") << QByteArray("-2147483648") << 1000 << 0 << "-2147483648";
    QTest::newRow("-20, then 11 chosen") << QByteArray("-20") << 20 << 11 << "11";
}

void TestMainFrame::fontSizeAsStored()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, drawn);
    QFETCH(int, chosen);
    QFETCH(QString, written);
    writeIni("[Font]\nSize=" + stored + "\n");
    start();
    const QFont font = frame()->view()->paneWidget()->font();
    if (drawn > 0)
        QCOMPARE(font.pointSize(), drawn);
    else
        QVERIFY2(font.pointSize() > 0, "no drawable default size");
    if (chosen > 0) {
        const TestSupport::AnswerHandle answer =
            TestSupport::answerNext<QFontDialog>([chosen](QFontDialog* dialog) {
                QFont f = dialog->currentFont();
                f.setPointSize(chosen);
                dialog->setCurrentFont(f);
                dialog->accept();
            });
        frame()->actionSet()->action(Cmd::ChooseFont)->trigger();
        QVERIFY2(answer->done, "no font dialog");
        QCOMPARE(frame()->view()->paneWidget()->font().pointSize(), chosen);
    }
    quit();
    QFile ini(iniPath());
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    QVERIFY2(text.contains("\nSize=" + written.toLatin1() + "\n"), text.constData());
}

void TestMainFrame::settingsFolder_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("holdsIni");
    QTest::addColumn<bool>("besideProgram");
    QTest::newRow("writable folder -> beside the program") << QStringLiteral("bin") << false << false << true;
    QTest::newRow("folder that cannot be made -> user folder")
        << QStringLiteral("file/bin") << false << false << false;
    // Permissions do not stop the superuser, so these two rows need an ordinary user.
    if (geteuid() != 0) {
        QTest::newRow("read-only folder -> user folder") << QStringLiteral("bin") << true << false << false;
        QTest::newRow("read-only folder holding Kumorial.ini -> beside the program")
            << QStringLiteral("bin") << true << true << true;
    }
}

void TestMainFrame::settingsFolder()
{
    QFETCH(QString, program);
    QFETCH(bool, readOnly);
    QFETCH(bool, holdsIni);
    QFETCH(bool, besideProgram);
    QFile blocker(dir->filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    const QString programFolder = dir->filePath(program);
    QDir().mkpath(programFolder);
    if (holdsIni) {
        QFile ini(QDir(programFolder).filePath(QStringLiteral("Kumorial.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
    }
    if (readOnly)
        QFile::setPermissions(programFolder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString userFolder = dir->filePath(QStringLiteral("config/Kumorial"));
    const QString chosen = CKumorialApp::settingsFolderFor(programFolder, userFolder);
    QFile::setPermissions(programFolder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(chosen, besideProgram ? programFolder : userFolder);
    QVERIFY(QFileInfo(chosen).isDir() || besideProgram);
    // The probe leaves nothing behind.
    QCOMPARE(QDir(programFolder).entryList(QDir::Files | QDir::Hidden).size(), holdsIni ? 1 : 0);
}

void TestMainFrame::aboutBoxKeepsOpenOnLink()
{
    start();
    QStringList texts;
    TestSupport::answerNext<QDialog>([&texts](QDialog* w) {
        for (QLabel* l : w->findChildren<QLabel*>())
            if (!l->text().isEmpty())
                texts << l->text();
        texts.prepend(w->windowTitle());
        w->close();
    });
    frame()->router().dispatch(Cmd::About);
    QCOMPARE(texts.mid(0, 3), (QStringList{"バージョン情報", "クモリアル", "version 1.10"}));

    QStringList opened;
    CAboutDlg dialog(QStringLiteral("/opt/kumorial/share/doc/kumorial/README.md"),
                     [&opened](const QString& address) { opened << address; });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.linkControl()->text(), QStringLiteral("README.md"));
    QVERIFY(dialog.linkControl()->font().underline());
    QCOMPARE(dialog.linkControl()->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QTest::mouseClick(dialog.linkControl(), Qt::LeftButton);
    QCOMPARE(opened, QStringList{"/opt/kumorial/share/doc/kumorial/README.md"});
    QVERIFY(dialog.isVisible());
}

void TestMainFrame::printingPaginates()
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = dir->filePath(QStringLiteral("out.pdf"));
    printer.setOutputFileName(pdf);
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QStringLiteral("行%1 日本語のテキスト\r\n").arg(i);
    printPaneText(text, QFont(QStringLiteral("ＭＳ ゴシック"), 12), printer);
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const qsizetype pages =
        QString::fromLatin1(bytes).count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b")));
    QVERIFY2(pages >= 4, qPrintable(QString::number(pages)));
}

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
