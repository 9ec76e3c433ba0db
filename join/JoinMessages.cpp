// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/JoinMessages.h"

#include "form/fmenu.h"
#include "toolkit/OffWindowThread.h"

namespace quibex {

namespace {

QString badName()
{
    return QStringLiteral("Nom de fichier incorrect !");
}

// The system refused to put the file under that name: the name, not the
// inputs, is at fault. EPERM and EACCES come from a protected file or
// folder, EBUSY from a name in use as a mount point, EROFS from a read-only
// file system; the others from names the file system does not take.
bool isRefusalOfTheName(int error)
{
    switch (error) {
    case EPERM:
    case EACCES:
    case EBUSY:
    case EROFS:
    case EINVAL:
    case EILSEQ:
    case ENAMETOOLONG:
    case EISDIR: return true;
    default: return false;
    }
}

// No room left for the new file, or for its name: a full disk (blocks or
// inodes) or a quota, as for any write that fails for lack of space.
bool isLackOfSpace(int error)
{
    return error == ENOSPC || error == EDQUOT;
}

// After a failed read or write: the message, then both displays emptied.
void reportReadError(fmenu& form)
{
    form.MsgBox(QStringLiteral("Impossible de lire l'un des fichiers !"), joinTitle(),
                MsgIcon::Critical);
    form.jauge2.setText(QString());
    form.jauge.setText(QString());
    form.jauge2.refresh();
    form.jauge.refresh();
    form.Refresh();
}

}  // namespace

QString joinTitle()
{
    return QStringLiteral("CREATION DE FICHIER");
}

void show(TextBox& box, fmenu& form, const QString& text)
{
    showOnWindowThread(box, form.window, text);
}

void refuseName(fmenu& form, const QString& text)
{
    form.MsgBox(text, joinTitle(), MsgIcon::Critical);
    form.Text1.setFocus();
}

JoinOutcome reportFailure(fmenu& form, const Failure& failure)
{
    using Kind = JoinOutcome::Kind;
    switch (failure.step) {
    case Failure::Step::Target:
        if (isLackOfSpace(failure.error))
            break;
        // Every other reason not to write there is the name's.
        refuseName(form, badName());
        return {Kind::BadName, failure.error};
    case Failure::Step::TooLarge:
        form.MsgBox(QStringLiteral("Opération impossible: taille totale de plus de 2 Go !"),
                    joinTitle(), MsgIcon::Critical);
        return {Kind::TooLarge};
    case Failure::Step::Placing:
        if (isRefusalOfTheName(failure.error)) {
            // Met only when the copy is done: the displays show its end.
            refuseName(form, badName());
            show(form.jauge2, form, QString());
            show(form.jauge, form, QString());
            return {Kind::BadName, failure.error};
        }
        break;
    case Failure::Step::Stopped:
        // Stopped by the user (Escape, or the window closing): no message,
        // the displays emptied, the selection and the name kept.
        show(form.jauge2, form, QString());
        show(form.jauge, form, QString());
        return {Kind::Stopped};
    case Failure::Step::Inputs:
    case Failure::Step::Copying: break;
    }
    reportReadError(form);
    return {Kind::ReadError, failure.error};
}

}  // namespace quibex
