#include "support/OffscreenApp.h"

#include <QApplication>

namespace TestSupport {
QApplication& offscreenApplication()
{
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    static int argc = 1;
    static char name[] = "kumorial";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit the platform plugin may be gone before a static would go.
    static auto* app = new QApplication(argc, argv);
    return *app;
}
} // namespace TestSupport
