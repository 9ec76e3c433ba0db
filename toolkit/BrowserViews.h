#pragma once

#include <QListView>

namespace quibex {

// The file list's view. A pick is every mouse click on a file, the one
// already highlighted included, and every keyboard move of the highlight
// onto a file: the two ways a user chooses a file in a list.
class FileListView : public QListView {
    Q_OBJECT
public:
    explicit FileListView(QWidget* parent = nullptr);

signals:
    void picked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The folder list's view: a double-click or Enter opens a folder; a single
// click only highlights it.
class FolderListView : public QListView {
    Q_OBJECT
public:
    explicit FolderListView(QWidget* parent = nullptr);

signals:
    void opened(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace quibex
