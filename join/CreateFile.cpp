// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "join/Join.h"
#include "join/JoinMessages.h"
#include "join/Joiner.h"
#include "join/OverwriteQuestion.h"
#include "join/SelectionCheck.h"
#include "selection/Selection.h"
#include "toolkit/OffWindowThread.h"

namespace quibex {

namespace {

// The join's displays in the window: each text goes to the window's thread.
class WindowDisplays : public JoinDisplays {
public:
    explicit WindowDisplays(fmenu& shownIn) : form(shownIn) { }
    void showFile(const QString& text) override { show(form.jauge, form, text); }
    void showTotal(const QString& text) override { show(form.jauge2, form, text); }

private:
    fmenu& form;
};

QByteArray lineEndOf(const fmenu& form)
{
    QByteArray lineEnd;
    if (form.Check1.value() == 1)
        lineEnd += '\r';
    if (form.Check2.value() == 1)
        lineEnd += '\n';
    return lineEnd;
}

// After a success: the new file listed, the message, and the selection and
// the name emptied for the next join.
JoinOutcome finish(fmenu& form, const Joiner& joiner, const QString& name)
{
    const std::optional<FolderListing> listing =
        offWindowThread([&] { return joiner.readListedFolder(); });
    show(form.jauge2, form, QString());
    if (listing)
        form.File1.show(form.File1.nativePath(), *listing);
    form.MsgBox(QStringLiteral("Fichier ") + name + QStringLiteral(" : création Ok !"), joinTitle(),
                MsgIcon::None);
    form.List1.clear();
    form.List2.clear();
    form.Text1.setText(QString());
    form.Refresh();
    return {JoinOutcome::Kind::Created};
}

}  // namespace

// The window's thread only reads the form, asks the questions and shows
// the outcome; every step that touches a file runs away from it (Joiner),
// so that a volume that is slow or hangs never keeps the window waiting.
JoinOutcome CreerFichier(fmenu& form, const QByteArray& fullPath, const QString& name)
{
    using Kind = JoinOutcome::Kind;
    if (form.List1.count() == 0)
        return {Kind::NothingSelected};
    clearStopRequest();

    JoinRequest request{selectedPaths(form), lineEndOf(form), fullPath, form.File1.nativePath()};
    if (isSelectedPath(request.inputs, fullPath)) {
        refuseName(form,
                   QStringLiteral("Impossible d'utiliser un nom présent dans la sélection !"));
        return {Kind::NameInSelection};
    }
    WindowDisplays displays(form);
    Joiner joiner(std::move(request), displays);

    // The name is checked before the question, so that a name that cannot
    // be written is refused before the user is asked anything; the
    // temporary file is made after it, so that nothing is left behind
    // should the program end while the question waits. Nothing at the path
    // is touched until the join succeeds.
    const Joiner::Look seen = offWindowThread([&] { return joiner.look(); });
    if (stopRequested())
        return reportFailure(form, {Failure::Step::Stopped, CopyStopped});
    if (seen.inSelection) {
        refuseName(form,
                   QStringLiteral("Impossible d'utiliser un nom présent dans la sélection !"));
        return {Kind::NameInSelection};
    }
    if (seen.failure)
        return reportFailure(form, *seen.failure);
    if (seen.hasData && !userAgreesToReplace(form, name)) {
        form.Text1.setFocus();
        return {Kind::Declined};
    }

    std::optional<Failure> failure = offWindowThread([&] { return joiner.copy(); });
    if (!failure && !placeAskingFirst(form, name, joiner, failure)) {
        runOffWindowThread([&] { joiner.discard(); });
        show(form.jauge2, form, QString());
        form.Text1.setFocus();
        return {Kind::Declined};
    }
    if (failure) {
        // Every file is closed, and the temporary one gone, before the message.
        runOffWindowThread([&] { joiner.discard(); });
        return reportFailure(form, *failure);
    }
    return finish(form, joiner, name);
}

}  // namespace quibex
