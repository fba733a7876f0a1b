#include <QtGui/QFont>

int probe()
{
    return QFont().pointSize();
}
