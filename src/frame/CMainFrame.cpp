#include "frame/CMainFrame.h"

#include "format/ProfileStore.h"
#include "format/SettingsKeys.h"
#include "framework/ActionSet.h"
#include "framework/QtEditPane.h"
#include "framework/QtPrompts.h"
#include "res/Strings.h"
#include "view/CKumorialView.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

CMainFrame::CMainFrame(ProfileStore& store, const CommandMap* applicationCommands)
    : profile(store), prompts(std::make_unique<QtPrompts>(this))
{
    const QString settings = Keys::section(Str::SectionSettings);
    windowLeft = profile.readInt(settings, Keys::Left, 0);
    windowTop = profile.readInt(settings, Keys::Top, 0);
    windowRight = profile.readInt(settings, Keys::Right, 639);
    windowBottom = profile.readInt(settings, Keys::Bottom, 319);
    alwaysOnTop = profile.readInt(settings, Keys::MostTopWindow, 1);

    setWindowTitle(resString(Str::AppTitle));
    setGeometry(windowLeft, windowTop, windowRight - windowLeft, windowBottom - windowTop);

    commandRouter.setTarget(CommandRouter::Document, &document.commands());
    commandRouter.setTarget(CommandRouter::Frame, &frameCommands);
    commandRouter.setTarget(CommandRouter::Application, applicationCommands);
    registerFrameCommands();

    actionsObject = new ActionSet(commandRouter, this);
    actionsObject->buildMenuBar(menuBar());
    actionsObject->bindAccelerators();

    messagePane = new QLabel(resString(Str::Ready));
    statusBar()->addWidget(messagePane, 1);
    connect(actionsObject, &ActionSet::promptRequested, this, [this](const QString& text) {
        messagePane->setText(text.isEmpty() ? resString(Str::Ready) : text);
    });
}

CMainFrame::~CMainFrame()
{
    viewObject.reset();
    writeFrameKeys();
}

void CMainFrame::createView(const QStringList& arguments)
{
    viewObject = std::make_unique<CKumorialView>(profile, *prompts, this);
    commandRouter.setTarget(CommandRouter::View, &viewObject->commands());
    setCentralWidget(viewObject->paneWidget());
    viewObject->initialUpdate(this, arguments);
    viewObject->paneWidget()->setFocus();
}

void CMainFrame::registerFrameCommands()
{
    frameCommands.on(Cmd::AppExit, [this] { close(); });
    frameCommands.on(
        Cmd::ViewStatusBar, [this] { statusBar()->setVisible(!statusBar()->isVisible()); },
        [this](CommandState& s) { s.checked = statusBar()->isVisible() ? 1 : 0; });
    frameCommands.on(Cmd::NextPane, [] {});
    frameCommands.on(Cmd::PrevPane, [] {});
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (viewObject && !viewObject->QuerySaveChanges()) {
        event->ignore();
        return;
    }
    normalRect = normalGeometry();
    placementCaptured = true;
    event->accept();
}

void CMainFrame::writeFrameKeys()
{
    const QString settings = Keys::section(Str::SectionSettings);
    ProfileStore::Batch batch(profile);
    if (placementCaptured) {
        profile.writeInt(settings, Keys::Left, normalRect.left());
        profile.writeInt(settings, Keys::Top, normalRect.top());
        profile.writeInt(settings, Keys::Right, normalRect.left() + normalRect.width());
        profile.writeInt(settings, Keys::Bottom, normalRect.top() + normalRect.height());
    }
    profile.writeInt(settings, Keys::MostTopWindow, alwaysOnTop);
}
