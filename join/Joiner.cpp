// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/Joiner.h"

#include "join/ProgressText.h"
#include "join/SelectionCheck.h"
#include "join/fs/ChunkCopier.h"
#include "join/fs/InputFile.h"
#include "join/fs/Leftovers.h"
#include "join/fs/OutputWriter.h"
#include "join/fs/Sizes.h"
#include "toolkit/OffWindowThread.h"
#include "toolkit/ProcessSignals.h"

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

// A stop request, or the program asked to end while an old file is written into.
bool stopping()
{
    return stopRequested() || processSignals().endingAsked();
}

// Copies one input, exactly its measured length, chunk by chunk, showing
// each chunk's progress before copying it. Returns 0 or the errno.
int copyInput(const InputToCopy& in, InputFolder& folders, ChunkCopier& copier,
              OutputWriter& output, JoinDisplays& displays, ProgressTexts& progress)
{
    QByteArray name;
    const int folder = folders.folderOf(in.path, name);
    InputFile input;
    if (const int error = input.open(folder, name, in.length, in.id))
        return error;
    const int64_t chunks = chunkCount(in.length);
    displays.showFile(QString());
    for (int64_t k = 1; k <= chunks; ++k) {
        displays.showFile(progress(k, chunks));
        // A stop request ends the copy between two chunks.
        if (stopping())
            return CopyStopped;
        const int64_t offset = (k - 1) * DisplayChunk;
        const int64_t size = k < chunks ? DisplayChunk : in.length - offset;
        if (const int error = copier.copy(input, offset, size, output))
            return error;
    }
    return 0;
}

std::optional<Failure> failureOf(Failure::Step step, int error)
{
    if (error == 0)
        return std::nullopt;
    return Failure{error == CopyStopped ? Failure::Step::Stopped : step, error};
}

}  // namespace

Joiner::Joiner(JoinRequest joinRequest, JoinDisplays& shown)
    : request(std::move(joinRequest)),
      displays(shown),
      file(processSignals())
{
}

Joiner::Look Joiner::look()
{
    Look seen;
    if (namesASelectedFile(request.inputs, request.target)) {
        seen.inSelection = true;
        return seen;
    }
    int error = checkTarget(request.target, target, processSignals());
    // A join that ended on the way may have left the very file to replace
    // half written: its old content is put back before anyone looks at it.
    if (error == 0 && clearLeftovers(target.folder.get()) > 0)
        error = checkTarget(request.target, target, processSignals());
    seen.failure = failureOf(Failure::Step::Target, error);
    seen.hasData = target.hasData();
    return seen;
}

std::optional<Failure> Joiner::copy()
{
    if (stopping())
        return Failure{Failure::Step::Stopped, CopyStopped};
    if (const int error = file.create(std::move(target)))
        return Failure{Failure::Step::Target, error};
    if (const int measured = measureInputs(request.inputs, inputs))
        return Failure{Failure::Step::Inputs, measured};
    if (inputs.total > LargestTotal)
        return Failure{Failure::Step::TooLarge, 0};
    if (const std::optional<Failure> failure = copyInputs())
        return failure;
    // Stopped while the copy was made durable: the name stays as it was.
    if (stopping())
        return Failure{Failure::Step::Stopped, CopyStopped};
    return std::nullopt;
}

std::optional<Failure> Joiner::copyInputs()
{
    OutputWriter output(file.handle());
    if (file.replaces())
        output.startWritebackEarly();
    displays.showTotal(QString());
    InputFolder folders;
    ChunkCopier copier;
    ProgressTexts fileProgress;
    const int count = int(inputs.files.size());
    for (int i = 0; i < count; ++i) {
        const int error =
            copyInput(inputs.files[size_t(i)], folders, copier, output, displays, fileProgress);
        if (error)
            return failureOf(Failure::Step::Copying, error);
        displays.showFile(QString());
        if (const int written = output.write(request.lineEnd.constData(), request.lineEnd.size()))
            return Failure{Failure::Step::Copying, written};
        displays.showTotal(progressText(i + 1, count));
    }
    if (const int error = output.finish())
        return Failure{Failure::Step::Copying, error};
    if (const int error = file.makeDurable())
        return Failure{Failure::Step::Copying, error};
    return std::nullopt;
}

// Writing into an old file copies the whole content once more: the file
// display shows that copy, and a stop request ends it with the old content
// put back.
StepWatch Joiner::placingWatch()
{
    StepWatch watch;
    watch.stopped = stopRequested;
    watch.step = [this, progress = std::make_shared<ProgressTexts>()](int64_t done, int64_t total) {
        if (total > 0)
            displays.showFile((*progress)(done, total));
    };
    return watch;
}

int Joiner::place()
{
    if (stopping())
        return CopyStopped;
    Placed how;
    return file.place(how, placingWatch());
}

int Joiner::replaceWhatIsThere()
{
    if (stopping())
        return CopyStopped;
    Placed how;
    return file.replaceWhatIsThere(how, placingWatch());
}

void Joiner::discard()
{
    file.discard();
}

std::optional<FolderListing> Joiner::readListedFolder() const
{
    return readFolder(request.listedFolder);
}

}  // namespace quibex
