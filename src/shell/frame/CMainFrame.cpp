#include "shell/frame/CMainFrame.h"

#include "core/document/FileCommands.h"
#include "core/frame/Placement.h"
#include "core/res/Strings.h"
#include "core/res/Toolbars.h"
#include "core/settings/ProfileStore.h"
#include "core/settings/SettingsKeys.h"
#include "shell/framework/ActionSet.h"
#include "shell/framework/BarState.h"
#include "shell/framework/LockIndicators.h"
#include "shell/framework/PlainText.h"
#include "shell/framework/QtEditPane.h"
#include "shell/framework/QtPrompts.h"
#include "shell/framework/ToolBars.h"
#include "shell/view/CKumorialView.h"
#include "shell/view/LiveCounts.h"
#include "shell/view/PreviewDock.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>

CMainFrame::CMainFrame(ProfileStore& store, const CommandMap* applicationCommands)
    : profile(store), promptsObject(std::make_unique<QtPrompts>(this))
{
    const QString settings = Keys::section(Str::SectionSettings);
    windowEdges.left = profile.readInt(settings, Keys::Left, windowEdges.left);
    windowEdges.top = profile.readInt(settings, Keys::Top, windowEdges.top);
    windowEdges.right = profile.readInt(settings, Keys::Right, windowEdges.right);
    windowEdges.bottom = profile.readInt(settings, Keys::Bottom, windowEdges.bottom);
    alwaysOnTop = profile.readInt(settings, Keys::MostTopWindow, alwaysOnTop);

    setWindowTitle(resString(Str::AppTitle));
    initIconResources();
    setWindowIcon(QIcon(QStringLiteral(":/icons/kumorial.svg")));
    placeWindow();
    if (alwaysOnTop == 1)
        setWindowFlag(Qt::WindowStaysOnTopHint, true);

    commandRouter.setTarget(CommandRouter::Frame, &frameCommands);
    commandRouter.setTarget(CommandRouter::Application, applicationCommands);
    registerFrameCommands();

    actionsObject = new ActionSet(commandRouter, this);
    actionsObject->buildMenuBar(menuBar());
    actionsObject->bindAccelerators();

    createBars();
    createStatusBar();
    BarState::load(*this, toolBars(), profile, resString(Str::SectionToolBar));
}

CMainFrame::~CMainFrame()
{
    if (locks)
        qApp->removeEventFilter(this);
    writePreviewKeys();
    liveCounts.reset();
    delete previewDock;
    viewObject.reset();
    writeFrameKeys();
}

Prompts& CMainFrame::prompts() const
{
    return *promptsObject;
}

void CMainFrame::createView(const QStringList& arguments)
{
    viewObject = std::make_unique<CKumorialView>(profile, *promptsObject, this);
    viewObject->files().setEncodingHandler([this](const DocumentEncoding& e) {
        encodingPane->setText(e.displayName());
        lineBreakPane->setText(e.lineBreakName());
    });
    commandRouter.setTarget(CommandRouter::View, &viewObject->commands());
    setCentralWidget(viewObject->paneWidget());
    viewObject->initialUpdate(this, arguments);
    liveCounts = std::make_unique<LiveCounts>(*viewObject->paneWidget(), viewObject->formats(), *countsLabel);
    restorePreview();
    viewObject->paneWidget()->setFocus();
}

void CMainFrame::placeWindow()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect v = screen ? screen->virtualGeometry() : QRect(0, 0, 640, 480);
    const Placement::Frame f =
        Placement::placeOnScreen(windowEdges, {v.x(), v.y(), v.x() + v.width(), v.y() + v.height()});
    // The stored rectangle includes the window frame; its size is known only once the
    // window manager has framed the window, so the client size is corrected then.
    move(f.x, f.y);
    resize(f.width, f.height);
    wantedFrameSize = QSize(f.width, f.height);
}

void CMainFrame::fitFrameSize()
{
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))
        return;
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    const QMargins m(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                     frame.bottom() - client.bottom());
    if (m.left() < 0 || m.top() < 0 || m.right() < 0 || m.bottom() < 0)
        return;
    frameMargins = m;
    if (wantedFrameSize.isValid() && !m.isNull()) {
        const QSize wanted = wantedFrameSize;
        wantedFrameSize = QSize();
        resize(wanted.width() - m.left() - m.right(), wanted.height() - m.top() - m.bottom());
    }
}

void CMainFrame::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    fitFrameSize();
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    fitFrameSize();
}

void CMainFrame::createBars()
{
    const struct {
        QToolBar** bar;
        int id;
        int title;
    } bars[] = {{&mainToolBar, Bar::MainId, Str::MainToolBarTitle},
                {&formatToolBar, Bar::FormatId, Str::FormatToolBarTitle},
                {&userToolBar, Bar::UserId, Str::UserToolBarTitle}};
    QVector<Cmd::Id> watched;
    bool first = true;
    for (const auto& b : bars) {
        *b.bar = buildToolBar(*actionsObject, b.id, resString(b.title), this);
        if (!first)
            addToolBarBreak(Qt::TopToolBarArea);
        addToolBar(Qt::TopToolBarArea, *b.bar);
        watched += toolbarCommands(b.id);
        first = false;
    }
    actionsObject->watchOnIdle(watched);
}

void CMainFrame::createStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("StatusBar59393"));
    messagePane = new QLabel(resString(Str::Ready));
    messagePane->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(messagePane, 1);
    connect(actionsObject, &ActionSet::promptRequested, this, [this](const QString& text) {
        messagePane->setText(text.isEmpty() ? resString(Str::Ready) : text);
    });
    countsLabel = new CountsPane;
    statusBar()->addPermanentWidget(countsLabel);
    const auto documentPane = [this](const QString& name, int tip) {
        auto* pane = new QLabel;
        pane->setObjectName(name);
        pane->setAlignment(Qt::AlignCenter);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setToolTip(resString(tip));
        statusBar()->addPermanentWidget(pane);
        return pane;
    };
    encodingPane = documentPane(QStringLiteral("EncodingPane"), Str::EncodingPaneTip);
    lineBreakPane = documentPane(QStringLiteral("LineBreakPane"), Str::LineBreakPaneTip);
    const int texts[] = {Str::IndicatorKana, Str::IndicatorCaps, Str::IndicatorNum, Str::IndicatorScroll};
    for (int i = 0; i < 4; ++i) {
        auto* pane = new QLabel(resString(texts[i]));
        pane->setAlignment(Qt::AlignCenter);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setMinimumWidth(pane->sizeHint().width() + 8);
        pane->setEnabled(false);
        statusBar()->addPermanentWidget(pane);
        lockPanes[i] = pane;
    }
    locks = std::make_unique<LockIndicators>();
    const auto states = locks->query();
    if (std::all_of(states.begin(), states.end(), [](auto s) { return s == LockIndicators::Unknown; })) {
        locks.reset();
        return;
    }
    qApp->installEventFilter(this);
    updateLockPanes();
}

void CMainFrame::updateLockPanes()
{
    const int texts[] = {Str::IndicatorKana, Str::IndicatorCaps, Str::IndicatorNum, Str::IndicatorScroll};
    const auto states = locks->query();
    for (int i = 0; i < 4; ++i) {
        // Off shows a blank pane; a lock the keyboard map does not report stays dimmed.
        lockPanes[i]->setEnabled(states[i] != LockIndicators::Unknown);
        lockPanes[i]->setText(states[i] == LockIndicators::Off ? QString() : resString(texts[i]));
    }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // A key event reaches the window first and then each widget it passes through.
    if (locks && ((event->type() == QEvent::KeyRelease && watched->isWindowType()) ||
                  (event->type() == QEvent::ApplicationActivate && watched == qApp)))
        updateLockPanes();
    return QMainWindow::eventFilter(watched, event);
}

bool CMainFrame::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        messagePane->setText(tip.isEmpty() ? resString(Str::Ready) : tip);
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::setUserFormatNames(const std::array<QString, 10>& names)
{
    userFormatNames = names;
    for (int i = 0; i < 10; ++i)
        actionsObject->action(Cmd::Id(Cmd::UserFormatFirst + i))
            ->setToolTip(PlainText::toolTip(Placement::tooltipOfName(names[i])));
}

void CMainFrame::formatsChanged()
{
    // What counts as markup changed with them.
    if (liveCounts)
        liveCounts->update();
}

void CMainFrame::registerFrameCommands()
{
    frameCommands.on(Cmd::AppExit, [this] { close(); });
    frameCommands.on(
        Cmd::ViewStatusBar, [this] { statusBar()->setVisible(statusBar()->isHidden()); },
        [this](CommandState& s) { s.checked = statusBar()->isHidden() ? 0 : 1; });
    frameCommands.on(
        Cmd::ViewToolBar, [this] { ToggleToolBars(); },
        [this](CommandState& s) {
            const QList<QToolBar*> bars = toolBars();
            toolBarsVisible =
                std::none_of(bars.begin(), bars.end(), [](QToolBar* b) { return b->isHidden(); });
            s.checked = toolBarsVisible;
        });
    frameCommands.on(
        Cmd::ViewPreview, [this] { TogglePreview(); },
        [this](CommandState& s) { s.checked = previewDock && !previewDock->isHidden() ? 1 : 0; });
    frameCommands.on(
        Cmd::AlwaysOnTop, [this] { ToggleAlwaysOnTop(); },
        [this](CommandState& s) { s.checked = alwaysOnTop == 1 ? 1 : 0; });
    frameCommands.on(
        Cmd::Translucency, [this] { ToggleTranslucency(); },
        [this](CommandState& s) { s.checked = translucent == 1 ? 1 : 0; });
    frameCommands.on(Cmd::NextPane, [] {});
    frameCommands.on(Cmd::PrevPane, [] {});
}

void CMainFrame::ToggleToolBars()
{
    toolBarsVisible = toolBarsVisible == 1 ? 0 : 1;
    for (QToolBar* bar : toolBars())
        bar->setVisible(toolBarsVisible == 1);
}

void CMainFrame::ToggleAlwaysOnTop()
{
    alwaysOnTop = alwaysOnTop == 1 ? 0 : 1;
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, alwaysOnTop == 1);
    // Changing the hint may hide a shown window on some platforms.
    if (wasVisible && !isVisible())
        show();
}

void CMainFrame::ToggleTranslucency()
{
    if (translucent == 1) {
        translucent = 0;
        appliedAlpha = 255;
    } else {
        translucent = 1;
        appliedAlpha = Placement::alphaOf(transparency);
    }
    setWindowOpacity(appliedAlpha / 255.0);
}

void CMainFrame::SaveBarState()
{
    BarState::save(*this, toolBars(), profile, resString(Str::SectionToolBar));
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    SaveBarState();
    if (viewObject && !viewObject->QuerySaveChanges()) {
        event->ignore();
        return;
    }
    normalRect = normalGeometry().marginsAdded(frameMargins);
    placementCaptured = true;
    capturePreview();
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

namespace {
namespace PreviewKeys {
const QString Visible = QStringLiteral("Visible");
const QString Area = QStringLiteral("Area");
const QString Floating = QStringLiteral("Floating");
const QString Left = QStringLiteral("Left");
const QString Top = QStringLiteral("Top");
const QString Width = QStringLiteral("Width");
const QString Height = QStringLiteral("Height");
} // namespace PreviewKeys

Qt::DockWidgetArea dockArea(int stored)
{
    switch (stored) {
    case Qt::LeftDockWidgetArea:
    case Qt::RightDockWidgetArea:
    case Qt::TopDockWidgetArea:
    case Qt::BottomDockWidgetArea:
        return Qt::DockWidgetArea(stored);
    default:
        return Qt::RightDockWidgetArea;
    }
}
} // namespace

PreviewDock* CMainFrame::ensurePreview()
{
    if (previewDock)
        return previewDock;
    previewDock = new PreviewDock(*viewObject->paneWidget(), *promptsObject, this);
    previewDock->setFolderSource([this] {
        const QString& path = viewObject->files().filePath;
        return path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
    });
    const QString section = Keys::section(Str::SectionPreview);
    const Qt::DockWidgetArea area =
        dockArea(profile.readInt(section, PreviewKeys::Area, Qt::RightDockWidgetArea));
    previewDock->hide();
    addDockWidget(area, previewDock);
    const int w = profile.readInt(section, PreviewKeys::Width, 0);
    const int h = profile.readInt(section, PreviewKeys::Height, 0);
    if (profile.readInt(section, PreviewKeys::Floating, 0) == 1) {
        previewDock->setFloating(true);
        const QRect wanted(profile.readInt(section, PreviewKeys::Left, x()),
                           profile.readInt(section, PreviewKeys::Top, y()), std::clamp(w, 120, 4000),
                           std::clamp(h, 80, 4000));
        // A place on a screen that is gone comes back beside the window.
        const QScreen* screen = QGuiApplication::screenAt(wanted.topLeft());
        previewDock->setGeometry(screen ? wanted : QRect(geometry().topRight(), wanted.size()));
    } else if (w > 0 && h > 0) {
        const bool side = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
        resizeDocks({previewDock}, {side ? w : h}, side ? Qt::Horizontal : Qt::Vertical);
    } else {
        resizeDocks({previewDock}, {width() / 2}, Qt::Horizontal);
    }
    return previewDock;
}

void CMainFrame::TogglePreview()
{
    PreviewDock* dock = ensurePreview();
    dock->setVisible(dock->isHidden());
}

void CMainFrame::restorePreview()
{
    if (profile.readInt(Keys::section(Str::SectionPreview), PreviewKeys::Visible, 0) == 1)
        ensurePreview()->show();
}

void CMainFrame::capturePreview()
{
    if (!previewDock)
        return;
    previewPlace.captured = true;
    previewPlace.visible = previewDock->isHidden() ? 0 : 1;
    previewPlace.area = dockWidgetArea(previewDock);
    previewPlace.floating = previewDock->isFloating() ? 1 : 0;
    previewPlace.geometry = previewDock->geometry();
}

void CMainFrame::writePreviewKeys()
{
    // A run that never showed the preview leaves the settings file as it was.
    if (!previewDock)
        return;
    if (!previewPlace.captured)
        capturePreview();
    const QString section = Keys::section(Str::SectionPreview);
    const QRect g = previewPlace.geometry;
    const QPoint at = previewPlace.floating == 1 ? g.topLeft() : QPoint();
    ProfileStore::Batch batch(profile);
    profile.writeInt(section, PreviewKeys::Visible, previewPlace.visible);
    profile.writeInt(section, PreviewKeys::Area, previewPlace.area);
    profile.writeInt(section, PreviewKeys::Floating, previewPlace.floating);
    profile.writeInt(section, PreviewKeys::Left, at.x());
    profile.writeInt(section, PreviewKeys::Top, at.y());
    profile.writeInt(section, PreviewKeys::Width, g.width());
    profile.writeInt(section, PreviewKeys::Height, g.height());
}
