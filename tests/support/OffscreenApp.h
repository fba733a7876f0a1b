#pragma once

class QApplication;

namespace TestSupport {
// The one QApplication of a benchmark or fuzzer executable, created offscreen on first use
// and kept for the whole run (never destroyed).
QApplication& offscreenApplication();
} // namespace TestSupport
