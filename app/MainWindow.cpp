#include "app/MainWindow.h"

#include "app/Handlers.h"
#include "toolkit/QtMessageBox.h"

namespace quibex {

MainWindow::MainWindow(const QByteArray& startFolder, QWidget* parent)
    : QWidget(parent),
      ownMessages(std::make_unique<QtMessageBox>(this)),
      controls(std::make_unique<fmenu>(*ownMessages))
{
    controls->programFolder = startFolder;
    build();
}

MainWindow::MainWindow(const QByteArray& startFolder, MessageBox& messages, QWidget* parent)
    : QWidget(parent), controls(std::make_unique<fmenu>(messages))
{
    controls->programFolder = startFolder;
    build();
}

MainWindow::~MainWindow() = default;

void MainWindow::build()
{
    controls->Drive1.setDrives(DriveList::mountedDrives());
    Form_Load(*controls);
}

}  // namespace quibex
