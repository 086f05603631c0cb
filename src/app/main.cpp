// Tarvik生产管理软件: the program entry. The command line is not read; the
// program folder is the folder of the executable.
#include "app/startup.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    tarvik::app::Startup startup;
    if (!startup.start())
        return 0;
    return app.exec();
}
