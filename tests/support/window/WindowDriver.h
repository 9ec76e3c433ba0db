// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/MainWindow.h"

#include <memory>

#include <QAbstractItemView>
#include <QApplication>
#include <QMessageBox>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QStringList>
#include <QTest>

namespace quibex::test {

// Drives a real window as a user would: widgets are found by their names.
template <typename W>
W* widget(QWidget* window, const char* name)
{
    W* found = window->findChild<W*>(QLatin1String(name));
    if (!found)
        qFatal("no widget %s", name);
    return found;
}

inline void press(QWidget* window, const char* name)
{
    QTest::mouseClick(widget<QPushButton>(window, name), Qt::LeftButton);
}

// The texts a list view shows, top to bottom.
inline QStringList rows(QAbstractItemView* view)
{
    QStringList all;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        all << view->model()->index(r, 0).data().toString();
    return all;
}

// A row as rows() counts it.
inline QPoint rowCenter(QAbstractItemView* view, qsizetype row)
{
    return view->visualRect(view->model()->index(int(row), 0)).center();
}

inline void clickRow(QAbstractItemView* view, qsizetype row)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCenter(view, row));
}

inline void doubleClickRow(QAbstractItemView* view, qsizetype row)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCenter(view, row));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rowCenter(view, row));
}

// Drags a text/uri-list onto a widget and lets it go there, as a file
// manager does. True when the widget took the drop.
inline bool dropUris(QWidget* target, const QByteArray& uris)
{
    QMimeData drag;
    drag.setData(QStringLiteral("text/uri-list"), uris);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &drag, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(at, Qt::CopyAction, &drag, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// The message box the program shows now, if any.
inline QMessageBox* shownMessageBox()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible())
            return box;
    }
    return nullptr;
}

// What every test of the real window needs: the window, and its widgets by name.
class WindowTestBase : public QObject {
protected:
    template <typename W>
    W* widget(const char* name)
    {
        return test::widget<W>(window.get(), name);
    }
    void press(const char* name) { test::press(window.get(), name); }

    std::unique_ptr<MainWindow> window;
};

}  // namespace quibex::test
