// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/QtMessageBox.h"

#include "toolkit/UserInput.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>

namespace quibex {

namespace {

// A window manager need not give the window back its activation once the
// box over it closes: the focus the command then sets would only be noted
// for later, and a screen reader never told where it went. The box was
// answered in this window, so it is the one place where the window is
// brought back to the front.
void reactivate(QWidget* window)
{
    if (window && window->isVisible() && !window->isActiveWindow())
        window->activateWindow();
}

// The box keeps the user to itself while it is up, as a modal one does:
// clicks, keys and drops meant for any other window are dropped. It is not
// made modal for Qt, which would keep the window behind it from ever
// hearing the window manager's close: closing the window while the program
// asks something must end the program (the question then answered as its
// Escape key would).
class KeptToTheBox : public QObject {
public:
    explicit KeptToTheBox(QWidget* shownBox) : box(shownBox)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~KeptToTheBox() override { QCoreApplication::instance()->removeEventFilter(this); }
    KeptToTheBox(const KeptToTheBox&) = delete;
    KeptToTheBox& operator=(const KeptToTheBox&) = delete;

    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (!isUserInput(event->type()))
            return false;
        if (auto* widget = qobject_cast<QWidget*>(receiver))
            return widget->window() != box;
        if (auto* window = qobject_cast<QWindow*>(receiver))
            return window != box->windowHandle();
        return false;
    }

private:
    QWidget* box;
};

void waitForAnswer(QMessageBox& box)
{
    box.setWindowModality(Qt::NonModal);
    const KeptToTheBox kept(&box);
    QEventLoop loop;
    QObject::connect(&box, &QDialog::finished, &loop, &QEventLoop::quit);
    box.show();
    loop.exec();
}

MsgAnswer ask(QMessageBox& box, const QString& text, const QString& title, MsgIcon icon,
              MsgButtons buttons)
{
    box.setWindowTitle(title);
    // Messages carry file names, which may hold "<" or "&": left to guess,
    // the box would take such a name for markup and show another name.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(icon == MsgIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon);
    // Buttons carry their French captions whatever translations are installed.
    if (buttons == MsgButtons::Ok) {
        QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        ok->setObjectName(QStringLiteral("OK"));
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
        waitForAnswer(box);
        return MsgAnswer::Ok;
    }
    QPushButton* yes = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
    yes->setObjectName(QStringLiteral("Oui"));
    no->setObjectName(QStringLiteral("Non"));
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    waitForAnswer(box);
    return box.clickedButton() == yes ? MsgAnswer::Yes : MsgAnswer::No;
}

}  // namespace

MsgAnswer QtMessageBox::show(const QString& text, const QString& title, MsgIcon icon,
                             MsgButtons buttons)
{
    QMessageBox box(parent);
    shown = &box;
    const MsgAnswer answer = ask(box, text, title, icon, buttons);
    shown = nullptr;
    reactivate(parent);
    return answer;
}

void QtMessageBox::dismiss()
{
    if (shown)
        shown->close();
}

}  // namespace quibex
