// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/QtMessageBox.h"

#include <QMessageBox>
#include <QPushButton>

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

MsgAnswer ask(QWidget* parent, const QString& text, const QString& title, MsgIcon icon,
              MsgButtons buttons)
{
    QMessageBox box(parent);
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
        box.exec();
        return MsgAnswer::Ok;
    }
    QPushButton* yes = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
    yes->setObjectName(QStringLiteral("Oui"));
    no->setObjectName(QStringLiteral("Non"));
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? MsgAnswer::Yes : MsgAnswer::No;
}

}  // namespace

MsgAnswer QtMessageBox::show(const QString& text, const QString& title, MsgIcon icon,
                             MsgButtons buttons)
{
    const MsgAnswer answer = ask(parent, text, title, icon, buttons);
    reactivate(parent);
    return answer;
}

}  // namespace quibex
