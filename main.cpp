#include "app/MainWindow.h"

#include <QApplication>
#include <QFile>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    quibex::MainWindow window(QFile::encodeName(QCoreApplication::applicationDirPath()));
    window.show();
    return app.exec();
}
