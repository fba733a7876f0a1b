#include "shell/app/CKumorialApp.h"

#include "core/base/Prompts.h"
#include "core/res/Links.h"
#include "core/settings/SettingsKeys.h"
#include "shell/app/CAboutDlg.h"
#include "shell/frame/CMainFrame.h"
#include "shell/framework/Fonts.h"
#include "shell/framework/QtPrompts.h"
#include "shell/view/CKumorialView.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTranslator>
#include <algorithm>

namespace {
const QString IniName = QStringLiteral("Kumorial.ini");

bool canWriteIn(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".kumorial-probe-XXXXXX")));
    return probe.open();
}
} // namespace

CKumorialApp::CKumorialApp() = default;

CKumorialApp::~CKumorialApp()
{
    ExitInstance();
}

QString CKumorialApp::settingsFolder()
{
    return settingsFolderFor(QCoreApplication::applicationDirPath(),
                             QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

QString CKumorialApp::settingsFolderFor(const QString& programFolder, const QString& userFolder)
{
    if (QFileInfo::exists(QDir(programFolder).filePath(IniName)) || canWriteIn(programFolder))
        return programFolder;
    QDir().mkpath(userFolder);
    return userFolder;
}

QString CKumorialApp::makerPage()
{
    const QDir programDir(QCoreApplication::applicationDirPath());
    for (const char* candidate : Links::MakerPageCandidates) {
        const QString path = QDir::cleanPath(programDir.filePath(QString::fromUtf8(candidate)));
        if (QFileInfo::exists(path))
            return path;
    }
    return QDir::cleanPath(programDir.filePath(QString::fromUtf8(Links::MakerPageCandidates[0])));
}

void CKumorialApp::InitInstance(const QStringList& arguments, const QString& folder)
{
    settings.setPath(QDir(folder).filePath(IniName));

    // Qt's own dialog texts in Japanese, like every other text of the program.
    auto* qtTranslator = new QTranslator(QCoreApplication::instance());
    if (qtTranslator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTranslator);
    registerFontSubstitutes();

    // Before anything else: a copy left by a run that did not end normally.
    recovery = std::make_unique<RecoveryStore>(folder);
    std::optional<RecoveryCopy> restored;
    if (recovery->open()) {
        QtPrompts startPrompts(nullptr);
        restored = recovery->takeLeftCopy(startPrompts);
    }

    registerApplicationCommands();
    frame = std::make_unique<CMainFrame>(settings, &commandMap);
    // A restored copy is the start-up document: the named file is not loaded only to be
    // replaced, with whatever questions its loading would ask.
    frame->createView(restored ? QStringList() : arguments);
    frame->view()->startRecovery(*recovery, restored, recoveryTiming(settings), arguments);
    frame->show();
}

RecoverySchedule::Timing CKumorialApp::recoveryTiming(const ProfileStore& profile)
{
    const QString section = Keys::section(Str::SectionRecovery);
    RecoverySchedule::Timing timing;
    const int pause = std::clamp(profile.readInt(section, Keys::RecoveryPause, 3), 1, 60);
    const int interval = std::clamp(profile.readInt(section, Keys::RecoveryInterval, 30), pause, 600);
    timing.pause = pause * 1000LL;
    timing.interval = interval * 1000LL;
    return timing;
}

void CKumorialApp::ExitInstance()
{
    if (!frame)
        return;
    {
        ProfileStore::Batch batch(settings);
        frame.reset();
    }
    // A normal end: whatever was unsaved has been saved or let go at the save question.
    if (recovery)
        recovery->remove();
    recovery.reset();
}

void CKumorialApp::About()
{
    CAboutDlg dialog(
        makerPage(), [this](const QString& address) { frame->prompts().openUrl(address); }, frame.get());
    dialog.exec();
}

void CKumorialApp::OpenDonationPage()
{
    frame->prompts().openUrl(QString::fromUtf8(Links::DonationPage));
}

void CKumorialApp::registerApplicationCommands()
{
    commandMap.on(Cmd::About, [this] { About(); });
    commandMap.on(
        Cmd::DonationLink, [this] { OpenDonationPage(); },
        [this](CommandState& s) {
            // Written back at once so that the key is there to edit after the first opening.
            const QString section = Keys::section(Str::SectionSettings);
            const int value = settings.readInt(section, Keys::DonationsLink, 1);
            settings.writeInt(section, Keys::DonationsLink, value);
            s.removeFromMenu = value != 1;
        });
}
