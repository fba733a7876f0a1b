#include "shell/framework/LockIndicators.h"

#include <QGuiApplication>

#if defined(KUMORIAL_HAVE_X11)
#include <QtGui/qguiapplication_platform.h>

#include <X11/XKBlib.h>
#endif

struct LockIndicators::Native {
#if defined(KUMORIAL_HAVE_X11)
    Display* display = nullptr;
    std::array<int, LockCount> bit{-1, -1, -1, -1};
#endif
};

LockIndicators::LockIndicators() : native(std::make_unique<Native>())
{
#if defined(KUMORIAL_HAVE_X11)
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display())
        return;
    native->display = x11->display();
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(native->display, &opcode, &event, &error, &major, &minor)) {
        native->display = nullptr;
        return;
    }
    // Indicator names are the keyboard map's; these are the ones every common map uses.
    const char* names[LockCount] = {"Kana", "Caps Lock", "Num Lock", "Scroll Lock"};
    for (int i = 0; i < LockCount; ++i) {
        const Atom atom = XInternAtom(native->display, names[i], True);
        int index = -1;
        if (atom != None && XkbGetNamedIndicator(native->display, atom, &index, nullptr, nullptr, nullptr))
            native->bit[i] = index;
    }
#endif
}

LockIndicators::~LockIndicators() = default;

std::array<LockIndicators::State, LockIndicators::LockCount> LockIndicators::query() const
{
    std::array<State, LockCount> states{};
    states.fill(Unknown);
#if defined(KUMORIAL_HAVE_X11)
    unsigned int mask = 0;
    if (!native->display || XkbGetIndicatorState(native->display, XkbUseCoreKbd, &mask) != Success)
        return states;
    for (int i = 0; i < LockCount; ++i)
        if (native->bit[i] >= 0 && native->bit[i] < 32)
            states[i] = (mask >> native->bit[i]) & 1u ? On : Off;
#endif
    return states;
}
