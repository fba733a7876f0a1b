#include "shell/framework/BarState.h"

#include "core/settings/ProfileStore.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QToolBar>

namespace {
const QString Bars = QStringLiteral("Bars");
const QString ScreenCX = QStringLiteral("ScreenCX");
const QString ScreenCY = QStringLiteral("ScreenCY");
const QString Layout = QStringLiteral("Layout");
const QString BarID = QStringLiteral("BarID");
const QString Visible = QStringLiteral("Visible");
const QString Floating = QStringLiteral("Floating");
const QString Docking = QStringLiteral("Docking");
const QString XPos = QStringLiteral("XPos");
const QString YPos = QStringLiteral("YPos");

QString summaryOf(const QString& name)
{
    return name + QStringLiteral("-Summary");
}
QString sectionOf(const QString& name, int index)
{
    return name + QStringLiteral("-Bar%1").arg(index);
}
int barId(const QToolBar* bar)
{
    return bar->objectName().mid(int(qstrlen("ToolBar"))).toInt();
}
bool isArea(int value)
{
    return value == Qt::LeftToolBarArea || value == Qt::RightToolBarArea || value == Qt::TopToolBarArea ||
           value == Qt::BottomToolBarArea;
}
} // namespace

namespace BarState {

void save(const QMainWindow& window, const QList<QToolBar*>& bars, ProfileStore& profile, const QString& name)
{
    ProfileStore::Batch batch(profile);
    const QString summary = summaryOf(name);
    const QSize screen =
        QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size() : QSize();
    profile.writeInt(summary, Bars, int(bars.size()));
    profile.writeInt(summary, ScreenCX, screen.width());
    profile.writeInt(summary, ScreenCY, screen.height());
    profile.writeString(summary, Layout, QString::fromLatin1(window.saveState().toHex()));
    for (int i = 0; i < bars.size(); ++i) {
        const QToolBar* bar = bars[i];
        const QString section = sectionOf(name, i);
        const bool floating = bar->isFloating();
        const QPoint at = floating ? bar->frameGeometry().topLeft() : bar->pos();
        profile.writeInt(section, BarID, barId(bar));
        profile.writeInt(section, Visible, bar->isVisibleTo(&window) ? 1 : 0);
        profile.writeInt(section, Floating, floating ? 1 : 0);
        profile.writeInt(section, Docking, int(window.toolBarArea(bar)));
        profile.writeInt(section, XPos, at.x());
        profile.writeInt(section, YPos, at.y());
    }
}

void load(QMainWindow& window, const QList<QToolBar*>& bars, const ProfileStore& profile, const QString& name)
{
    const QString summary = summaryOf(name);
    if (profile.readInt(summary, Bars, 0) != bars.size())
        return;
    const QByteArray layout = QByteArray::fromHex(profile.readString(summary, Layout, QString()).toLatin1());
    if (layout.isEmpty() || !window.restoreState(layout)) {
        for (QToolBar* bar : bars)
            window.removeToolBar(bar);
        QList<int> used;
        for (int i = 0; i < bars.size(); ++i) {
            int area = profile.readInt(sectionOf(name, i), Docking, Qt::TopToolBarArea);
            if (!isArea(area))
                area = Qt::TopToolBarArea;
            if (used.contains(area))
                window.addToolBarBreak(Qt::ToolBarArea(area));
            window.addToolBar(Qt::ToolBarArea(area), bars[i]);
            used.append(area);
        }
    }
    for (int i = 0; i < bars.size(); ++i) {
        const QString section = sectionOf(name, i);
        const bool sameBar = profile.readInt(section, BarID, barId(bars[i])) == barId(bars[i]);
        bars[i]->setVisible(!sameBar || profile.readInt(section, Visible, 1) == 1);
    }
}

} // namespace BarState
