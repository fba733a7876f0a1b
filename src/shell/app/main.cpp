#include "shell/app/CKumorialApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    CKumorialApp kumorial;
    kumorial.InitInstance(QCoreApplication::arguments().mid(1));
    const int result = QApplication::exec();
    kumorial.ExitInstance();
    return result;
}
