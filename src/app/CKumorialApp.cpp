#include "app/CKumorialApp.h"

#include "frame/CMainFrame.h"
#include "framework/Fonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

CKumorialApp::CKumorialApp() = default;

CKumorialApp::~CKumorialApp()
{
    ExitInstance();
}

QString CKumorialApp::settingsFolder()
{
    return QCoreApplication::applicationDirPath();
}

bool CKumorialApp::InitInstance(const QStringList& arguments, const QString& folder)
{
    settings.setPath(QDir(folder).filePath(QStringLiteral("Kumorial.ini")));

    // Qt's own dialog texts in Japanese, like every other text of the program.
    auto* qtTranslator = new QTranslator(QCoreApplication::instance());
    if (qtTranslator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTranslator);
    registerFontSubstitutes();

    registerApplicationCommands();
    frame = std::make_unique<CMainFrame>(settings, &commandMap);
    frame->createView(arguments);
    frame->show();
    return true;
}

void CKumorialApp::ExitInstance()
{
    if (!frame)
        return;
    ProfileStore::Batch batch(settings);
    frame.reset();
}

void CKumorialApp::registerApplicationCommands() {}
