// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "join/fs/AtomicFile.h"
#include "join/fs/ChunkCopier.h"
#include "join/fs/Failure.h"
#include "join/fs/InputFile.h"
#include "join/fs/Inputs.h"
#include "selection/Selection.h"
#include "join/Join.h"
#include "join/JoinMessages.h"
#include "join/OverwriteQuestion.h"
#include "join/fs/OutputWriter.h"
#include "join/ProgressText.h"
#include "join/SelectionCheck.h"
#include "join/fs/Sizes.h"
#include "join/fs/TargetCheck.h"
#include "toolkit/OffWindowThread.h"

#include <optional>

namespace quibex {

namespace {

// The last progress text made, handed out again while the progress stays
// the same: every file of a single chunk shows the full bar, and sharing
// one string spares building and freeing thousands of equal ones.
class ProgressTexts {
public:
    const QString& operator()(int64_t a, int64_t b)
    {
        if (a != lastA || b != lastB) {
            text = progressText(a, b);
            lastA = a;
            lastB = b;
        }
        return text;
    }

private:
    QString text;
    int64_t lastA = 0;
    int64_t lastB = 0;
};

int64_t chunkCount(int64_t length)
{
    return length <= DisplayChunk ? 1 : (length + DisplayChunk - 1) / DisplayChunk;
}

// Copies one input, exactly its measured length, chunk by chunk, showing
// each chunk's progress before copying it. Returns 0 or the errno.
int copyInput(fmenu& form, const Inputs& inputs, size_t i, InputFolder& folders,
              ChunkCopier& copier, OutputWriter& output, ProgressTexts& progress)
{
    QByteArray name;
    const int folder = folders.folderOf(inputs.paths[i], name);
    const int64_t length = inputs.lengths[i];
    InputFile input;
    if (const int error = input.open(folder, name, length, inputs.ids[i]))
        return error;
    const int64_t chunks = chunkCount(length);
    show(form.jauge, form, QString());
    for (int64_t k = 1; k <= chunks; ++k) {
        show(form.jauge, form, progress(k, chunks));
        // A close request stops the copy between two chunks.
        if (stopRequested())
            return CopyStopped;
        const int64_t offset = (k - 1) * DisplayChunk;
        const int64_t size = k < chunks ? DisplayChunk : length - offset;
        if (const int error = copier.copy(input, offset, size, output))
            return error;
    }
    return 0;
}

QByteArray lineEndOf(const fmenu& form)
{
    QByteArray lineEnd;
    if (form.Check1.value() == 1)
        lineEnd += '\r';
    if (form.Check2.value() == 1)
        lineEnd += '\n';
    return lineEnd;
}

// Copies every input into the temporary file.
std::optional<Failure> copyAndPlace(fmenu& form, const Inputs& inputs, AtomicFile& file)
{
    const QByteArray lineEnd = lineEndOf(form);
    OutputWriter output(file.handle());
    if (file.replaces())
        output.startWritebackEarly();
    show(form.jauge2, form, QString());
    InputFolder folders;
    ChunkCopier copier;
    ProgressTexts fileProgress;
    const int count = int(inputs.paths.size());
    for (int i = 0; i < count; ++i) {
        if (const int error =
                copyInput(form, inputs, size_t(i), folders, copier, output, fileProgress))
            return Failure{error == CopyStopped ? Failure::Step::Stopped : Failure::Step::Copying,
                           error};
        show(form.jauge, form, QString());
        if (const int error = output.write(lineEnd.constData(), lineEnd.size()))
            return Failure{Failure::Step::Copying, error};
        show(form.jauge2, form, progressText(i + 1, count));
    }
    if (const int error = output.finish())
        return Failure{Failure::Step::Copying, error};
    if (const int error = file.makeDurable())
        return Failure{Failure::Step::Copying, error};
    return std::nullopt;
}

}  // namespace

JoinOutcome CreerFichier(fmenu& form, const QByteArray& fullPath, const QString& name)
{
    using Kind = JoinOutcome::Kind;
    if (form.List1.count() == 0)
        return {Kind::NothingSelected};

    // The selection's paths, read once on the window's thread: the name is
    // checked against them, and the join measures and copies them.
    const std::vector<QByteArray> paths = selectedPaths(form);
    if (isInSelection(paths, fullPath)) {
        refuseName(form,
                   QStringLiteral("Impossible d'utiliser un nom présent dans la sélection !"));
        return {Kind::NameInSelection};
    }

    // The name is checked before the question, so that a name that cannot
    // be written is refused before the user is asked anything; the
    // temporary file is made after it, so that nothing is left behind
    // should the program end while the question waits. Nothing at the path
    // is touched until the join succeeds.
    Target target;
    if (const int error = checkTarget(fullPath, target))
        return reportFailure(form, {Failure::Step::Target, error});
    if (target.hasData() && !userAgreesToReplace(form, name)) {
        form.Text1.setFocus();
        return {Kind::Declined};
    }
    AtomicFile file;
    if (const int error = file.create(std::move(target)))
        return reportFailure(form, {Failure::Step::Target, error});

    Inputs inputs;
    std::optional<Failure> failure;
    // The inputs are read, and the copy made, away from the window's thread:
    // the window answers while a slow volume keeps the join waiting.
    runOffWindowThread([&] {
        if (const int measured = measureInputs(paths, inputs))
            failure = Failure{Failure::Step::Inputs, measured};
        else if (inputs.total > LargestTotal)
            failure = Failure{Failure::Step::TooLarge, 0};
        else
            failure = copyAndPlace(form, inputs, file);
    });
    // Closed while the copy was made durable: the name stays as it was.
    if (!failure && stopRequested())
        failure = Failure{Failure::Step::Stopped, CopyStopped};
    if (!failure && !placeAskingFirst(form, name, file, failure)) {
        file.discard();
        show(form.jauge2, form, QString());
        form.Text1.setFocus();
        return {Kind::Declined};
    }
    if (failure) {
        // Every file is closed, and the temporary one gone, before the message.
        file.discard();
        return reportFailure(form, *failure);
    }

    show(form.jauge2, form, QString());
    form.File1.reread();
    form.MsgBox(QStringLiteral("Fichier ") + name + QStringLiteral(" : création Ok !"), joinTitle(),
                MsgIcon::None);
    form.List1.clear();
    form.List2.clear();
    form.Text1.setText(QString());
    form.Refresh();
    return {Kind::Created};
}

}  // namespace quibex
