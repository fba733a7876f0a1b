// The yardstick: a bare main window with an empty plain-text editor (or one holding the
// file named on the command line).
#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QPlainTextEdit>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto* edit = new QPlainTextEdit;
    window.setCentralWidget(edit);
    if (argc > 1) {
        QFile file(QString::fromLocal8Bit(argv[1]));
        if (file.open(QIODevice::ReadOnly))
            edit->setPlainText(QString::fromUtf8(file.readAll()));
    }
    window.resize(639, 319);
    window.show();
    return QApplication::exec();
}
