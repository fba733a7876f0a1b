#include "shell/framework/ToolBars.h"

#include "core/res/Strings.h"
#include "core/res/Toolbars.h"
#include "shell/framework/ActionSet.h"

#include <QAction>
#include <QEvent>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace {
struct ThemeIcon {
    Cmd::Id id;
    const char* name;
};

// Only where a theme icon says the same as ours; the format buttons always draw our own.
constexpr ThemeIcon themeIcons[] = {
    {Cmd::FileNew, "document-new"},
    {Cmd::FileOpen, "document-open"},
    {Cmd::FileSave, "document-save"},
    {Cmd::EditCut, "edit-cut"},
    {Cmd::EditCopy, "edit-copy"},
    {Cmd::EditPaste, "edit-paste"},
    {Cmd::Find, "edit-find"},
    {Cmd::ChooseFont, "preferences-desktop-font"},
    {Cmd::SymbolPicker, "accessories-character-map"},
    {Cmd::OpenBlogPage, "applications-internet"},
    {Cmd::About, "help-about"},
};
// Looks the theme up only when the icon is first drawn: the lookup reads the theme's
// folders, which would otherwise delay the window's first appearance.
class DeferredThemeIcon final : public QIconEngine {
public:
    DeferredThemeIcon(const char* name, QString fallback)
        : name(QLatin1String(name)), fallback(std::move(fallback))
    {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QIconEngine* clone() const override { return new DeferredThemeIcon(*this); }
    QString key() const override { return QStringLiteral("DeferredThemeIcon"); }
    QString iconName() override { return name; }
    bool isNull() override { return false; }

private:
    const QIcon& icon()
    {
        if (resolved.isNull())
            resolved = QIcon::fromTheme(name, QIcon(fallback));
        return resolved;
    }

    QString name;
    QString fallback;
    QIcon resolved;
};
// A floating QToolBar is a frameless window, so it gets a close button of its own, shown
// only while the bar floats. Closing hides the bar like the View menu does.
class CloseWhileFloating : public QObject {
public:
    CloseWhileFloating(QToolBar* bar, QAction* holder) : QObject(bar), bar(bar), holder(holder)
    {
        update();
        bar->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // Docking and undocking change the bar's window flags and show it again; a
        // restored layout or a dock by the program's own call emits no signal.
        if (event->type() == QEvent::ParentChange || event->type() == QEvent::Show)
            update();
        return false;
    }

private:
    void update() { holder->setVisible(bar->isFloating()); }

    QToolBar* bar;
    QAction* holder;
};

void addCloseButton(QToolBar* bar)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(QStringLiteral("closeButton"));
    button->setIcon(bar->style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    button->setToolTip(resString(Str::CloseToolBar));
    button->setAutoRaise(true);
    QObject::connect(button, &QToolButton::clicked, bar, &QToolBar::hide);
    new CloseWhileFloating(bar, bar->addWidget(button));
}
} // namespace

void initIconResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(done);
}

QIcon commandIcon(Cmd::Id id)
{
    initIconResources();
    const QString own = QStringLiteral(":/icons/%1.svg").arg(id);
    for (const ThemeIcon& t : themeIcons)
        if (t.id == id)
            return QIcon(new DeferredThemeIcon(t.name, own));
    return QIcon(own);
}

QVector<Cmd::Id> toolbarCommands(int toolbarId)
{
    QVector<Cmd::Id> ids;
    for (Cmd::Id id : toolbarButtons(toolbarId))
        if (id != Cmd::None)
            ids.append(id);
    return ids;
}

QToolBar* buildToolBar(ActionSet& actions, int toolbarId, const QString& title, QWidget* parent)
{
    auto* bar = new QToolBar(title, parent);
    bar->setObjectName(QStringLiteral("ToolBar%1").arg(toolbarId));
    bar->setIconSize(QSize(16, 16));
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    bar->setMovable(true);
    bar->setFloatable(true);
    for (Cmd::Id id : toolbarButtons(toolbarId)) {
        if (id == Cmd::None) {
            bar->addSeparator();
            continue;
        }
        QAction* a = actions.action(id);
        if (a->icon().isNull()) {
            a->setIcon(commandIcon(id));
            a->setIconVisibleInMenu(false);
        }
        bar->addAction(a);
    }
    addCloseButton(bar);
    return bar;
}
