#include "app/MainWindow.h"
#include "app/ProgramFolder.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    quibex::MainWindow window(quibex::programFolder());
    window.show();
    return app.exec();
}
