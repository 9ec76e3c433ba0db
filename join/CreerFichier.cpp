#include "form/fmenu.h"
#include "join/ChunkCopier.h"
#include "join/InputFile.h"
#include "join/Join.h"
#include "join/OutputFile.h"
#include "join/ProgressText.h"
#include "selection/Selection.h"

#include <vector>

#include <sys/stat.h>

namespace quibex {

namespace {

// A joined file holds at most 2 GiB less one byte.
constexpr int64_t LargestTotal = 2147483647;

QString title()
{
    return QStringLiteral("CREATION DE FICHIER");
}

void show(TextBox& box, fmenu& form, const QString& text)
{
    box.setText(text);
    box.refresh();
    form.Refresh();
}

// The output names a selected file: the same text, or the same file under
// another spelling ("./", "../", a link, a file system that ignores case).
bool isInSelection(const fmenu& form, const QByteArray& fullPath)
{
    const int n = form.List1.count();
    for (int i = 0; i < n; ++i) {
        if (entryNativePath(form, i) == fullPath)
            return true;
    }
    struct stat output;
    if (fullPath.contains('\0') || stat(fullPath.constData(), &output) != 0)
        return false;
    for (int i = 0; i < n; ++i) {
        struct stat entry;
        const QByteArray path = entryNativePath(form, i);
        if (!path.contains('\0') && stat(path.constData(), &entry) == 0
            && entry.st_dev == output.st_dev && entry.st_ino == output.st_ino)
            return true;
    }
    return false;
}

void refuseName(fmenu& form, const QString& text)
{
    form.MsgBox(text, title(), MsgIcon::Critical);
    form.Text1.setFocus();
}

// After a failed read or write: the message, then both displays emptied.
void reportReadError(fmenu& form)
{
    form.MsgBox(QStringLiteral("Impossible de lire l'un des fichiers !"), title(), MsgIcon::Critical);
    form.jauge2.setText(QString());
    form.jauge.setText(QString());
    form.jauge2.refresh();
    form.jauge.refresh();
    form.Refresh();
}

// The path of every input, and the sum of their sizes, to hold the total to
// its limit before anything is copied. A missing input, or one that is not
// a regular file, fails here. One stat per file keeps this pass cheap on
// thousands of small files; an input that exists but may not be read fails
// when it is opened to be copied, with the same message and nothing left
// behind.
bool measureInputs(const fmenu& form, std::vector<QByteArray>& paths, int64_t& total)
{
    total = 0;
    paths.clear();
    paths.reserve(size_t(form.List1.count()));
    for (int i = 0; i < form.List1.count(); ++i) {
        paths.push_back(entryNativePath(form, i));
        const QByteArray& path = paths.back();
        struct stat info;
        if (path.contains('\0') || stat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode))
            return false;
        total += info.st_size;
    }
    return true;
}

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

// Copies one input chunk by chunk, showing each chunk's progress before
// copying it. The length is the one the file has when it is opened here:
// bytes it gains afterwards are not copied, bytes it loses are a read error.
bool copyInput(fmenu& form, const QByteArray& path, ChunkCopier& copier, OutputFile& output,
               ProgressTexts& progress)
{
    InputFile input;
    if (!input.open(path))
        return false;
    const int64_t length = input.size();
    const int64_t chunks = length <= ChunkCopier::ChunkSize
                               ? 1
                               : (length + ChunkCopier::ChunkSize - 1) / ChunkCopier::ChunkSize;
    show(form.jauge, form, QString());
    for (int64_t k = 1; k <= chunks; ++k) {
        show(form.jauge, form, progress(k, chunks));
        const int64_t offset = (k - 1) * ChunkCopier::ChunkSize;
        const int64_t size = k < chunks ? ChunkCopier::ChunkSize : length - offset;
        if (!copier.copy(input, offset, size, output))
            return false;
    }
    return true;
}

}  // namespace

void CreerFichier(fmenu& form, const QByteArray& fullPath, const QString& name)
{
    const int count = form.List1.count();
    if (count == 0)
        return;

    if (isInSelection(form, fullPath)) {
        refuseName(form, QStringLiteral("Impossible d'utiliser un nom présent dans la sélection !"));
        return;
    }

    // The name is checked, and the temporary file made, before the question:
    // a name that cannot be written is refused before the user is asked
    // anything, and nothing at the path is touched until the join succeeds.
    OutputFile output;
    if (!output.prepare(fullPath)) {
        refuseName(form, QStringLiteral("Nom de fichier incorrect !"));
        return;
    }
    if (output.targetHasData()) {
        const QString question = QStringLiteral("Le fichier ") + name
                                 + QStringLiteral(" existe déjà. Voulez-vous l'écraser ?");
        if (form.MsgBox(question, title(), MsgIcon::None, MsgButtons::YesNo) != MsgAnswer::Yes) {
            output.discard();
            form.Text1.setFocus();
            return;
        }
    }

    std::vector<QByteArray> paths;
    int64_t total = 0;
    if (!measureInputs(form, paths, total)) {
        output.discard();
        reportReadError(form);
        return;
    }
    if (total > LargestTotal) {
        output.discard();
        form.MsgBox(QStringLiteral("Opération impossible: taille totale de plus de 2 Go !"), title(),
                    MsgIcon::Critical);
        return;
    }

    QByteArray lineEnd;
    if (form.Check1.value() == 1)
        lineEnd += '\r';
    if (form.Check2.value() == 1)
        lineEnd += '\n';

    show(form.jauge2, form, QString());
    ChunkCopier copier;
    ProgressTexts fileProgress;
    for (int i = 0; i < count; ++i) {
        if (!copyInput(form, paths[size_t(i)], copier, output, fileProgress)) {
            output.discard();
            reportReadError(form);
            return;
        }
        show(form.jauge, form, QString());
        if (!output.write(lineEnd.constData(), lineEnd.size())) {
            output.discard();
            reportReadError(form);
            return;
        }
        show(form.jauge2, form, progressText(i + 1, count));
    }

    switch (output.commit()) {
    case OutputFile::Commit::Done:
        break;
    case OutputFile::Commit::BadName:
        // Only file systems with rules of their own on names get here.
        refuseName(form, QStringLiteral("Nom de fichier incorrect !"));
        show(form.jauge2, form, QString());
        show(form.jauge, form, QString());
        return;
    case OutputFile::Commit::Failed:
        reportReadError(form);
        return;
    }
    show(form.jauge2, form, QString());
    form.File1.reread();

    form.MsgBox(QStringLiteral("Fichier ") + name + QStringLiteral(" : création Ok !"), title(),
                MsgIcon::None);
    form.List1.clear();
    form.List2.clear();
    form.Text1.setText(QString());
    form.Refresh();
}

}  // namespace quibex
