// SPDX-License-Identifier: GPL-3.0-or-later
// Times "Créer" against cat(1) writing the same inputs into a file on the
// same file system, with a warm cache, in the same run, and shows how much
// the program's resident memory grows during a 2 GiB join:
//
//   new file, 64 inputs totalling 1 GiB        against cat
//   new file, 4,096 inputs of 4 KiB            against cat
//   replacing a 1 GiB file, same 64 inputs     against cat + flush (fdatasync),
//                                              and cat + flush + rename
//   peak resident growth, one sparse input of 2,147,483,647 bytes
//   slow input: the longest the window went without handling an event
//
// Each case is run once to warm up, unrecorded, then 5 times; the minimum
// and the median are printed, of the wall time and of the CPU time (user +
// system), with the ratios reference / Créer (above 1: "Créer" was faster).
// The CPU time is what the work itself cost, the program's threads or cat
// and the flushes and renames around it; the wall time adds whatever else
// the machine did meanwhile. On a shared machine a wall ratio that moves
// while the CPU ratio holds is noise, not a change in the code. Neither
// counts the kernel's own writeback threads, but the kernel charges some of
// its housekeeping (pages reclaimed, an old file's blocks freed) to the
// process that happens to need it: on the 1 GiB cases a CPU median can jump
// on either side; the minimums are the steadiest figures.
//
// The replace case is set against both ways cat can do it: overwriting the
// old file and flushing it, and the steps of a durable replace (a new file,
// flushed, renamed over the old one), which is what "Créer" does: on some
// disks writing fresh blocks while the old file still holds its own costs
// more than overwriting in place.
//
//   bench_join [--long] [folder]
//
// folder is where to work (the current one by default). --long runs each
// case 11 times and also times the join on a form without widgets, to show
// what the displays cost. BENCH_JOIN_SETS=new,small,replace,memory,slow picks
// cases, BENCH_JOIN_RUNS=n the runs of each.
//
// Prints figures only; nothing here passes or fails.

#include "app/MainWindow.h"
#include "form/fmenu.h"
#include "join/Join.h"
#include "toolkit/ProcessSignals.h"
#include "toolkit/OffWindowThread.h"
#include "support/ScriptedMessageBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace quibex;
using Clock = std::chrono::steady_clock;

namespace {

// Runs of each case: the minimum shows what the code can do, the median
// what a user sees on a machine that does other things too.
int Runs = 5;

// One run of one side: the wall time, and the CPU time (user + system) of
// this process's threads and of the children it waited for.
struct Sample {
    double wall = 0;
    double cpu = 0;
};

struct InputSet {
    const char* title;
    std::vector<QByteArray> files;
    int64_t bytes = 0;
};

double seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double cpuSeconds()
{
    double total = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        for (const timeval& t : {usage.ru_utime, usage.ru_stime})
            total += double(t.tv_sec) + double(t.tv_usec) / 1e6;
    }
    return total;
}

template <typename Work>
Sample timed(Work work)
{
    const double cpuBefore = cpuSeconds();
    const auto start = Clock::now();
    work();
    return {seconds(start), cpuSeconds() - cpuBefore};
}

double minimum(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n <= 0) {
            std::perror("write");
            std::exit(1);
        }
        data += n;
        size -= size_t(n);
    }
}

// Files of pseudo-random bytes, each different, so that nothing can be
// shared or compressed along the way.
InputSet makeFiles(const char* title, const QByteArray& folder, int count, size_t size)
{
    InputSet set{title, {}, 0};
    mkdir(folder.constData(), 0755);
    std::vector<uint64_t> block((size + 7) / 8);
    uint64_t state = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < count; ++i) {
        for (uint64_t& word : block) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            word = state;
        }
        const QByteArray path =
            folder + "/" + QByteArray::number(i).rightJustified(5, '0') + ".dat";
        const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        writeAll(fd, reinterpret_cast<const char*>(block.data()), size);
        close(fd);
        set.files.push_back(path);
        set.bytes += int64_t(size);
    }
    return set;
}

InputSet makeSparse(const QByteArray& folder)
{
    mkdir(folder.constData(), 0755);
    const QByteArray path = folder + "/sparse.dat";
    const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ftruncate(fd, 2147483647) != 0 || pwrite(fd, "head", 4, 0) != 4
        || pwrite(fd, "tail", 4, 2147483643) != 4) {
        std::perror("sparse file");
        std::exit(1);
    }
    close(fd);
    return {"1 sparse file of 2,147,483,647 bytes", {path}, 2147483647};
}

// Reads every input once so that all runs find them in the page cache.
void warm(const InputSet& set)
{
    std::vector<char> buffer(1 << 20);
    for (const QByteArray& path : set.files) {
        const int fd = open(path.constData(), O_RDONLY);
        while (read(fd, buffer.data(), buffer.size()) > 0) {
        }
        close(fd);
    }
}

// Leaves no dirty pages of an earlier run to be written during the next one.
void settle(const QByteArray& output)
{
    unlink(output.constData());
    sync();
}

// cat with every input as an argument, its standard output sent to the file.
void runCat(const InputSet& set, const QByteArray& output, bool flush)
{
    std::vector<char*> argv{const_cast<char*>("cat")};
    for (const QByteArray& path : set.files)
        argv.push_back(const_cast<char*>(path.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid;
    if (posix_spawnp(&pid, "cat", &actions, nullptr, argv.data(), environ) != 0) {
        std::perror("cat");
        std::exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (flush) {
        const int fd = open(output.constData(), O_WRONLY);
        fdatasync(fd);
        close(fd);
    }
    posix_spawn_file_actions_destroy(&actions);
}

// The same steps as a durable replace, done with cat: the new content into
// a new file, flushed, renamed over the old one, the folder flushed.
void runCatRename(const InputSet& set, const QByteArray& output)
{
    const QByteArray temporary = output + ".new";
    runCat(set, temporary, true);
    rename(temporary.constData(), output.constData());
    const int folder =
        open(output.left(output.lastIndexOf('/')).constData(), O_RDONLY | O_DIRECTORY);
    fsync(folder);
    close(folder);
}

void fillForm(fmenu& form, const InputSet& set, const QByteArray& outFolder)
{
    form.File1.setPath(outFolder);
    form.List1.clear();
    form.List2.clear();
    for (const QByteArray& path : set.files) {
        const qsizetype slash = path.lastIndexOf('/');
        form.List1.addItem(QFile::decodeName(path.mid(slash + 1)), path.mid(slash + 1));
        form.List2.addItem(QFile::decodeName(path.left(slash)), path.left(slash));
    }
    form.Text2.setText(QString());
    form.Text1.setText(QStringLiteral("joined.bin"));
    QApplication::processEvents();
}

Sample timeJoin(fmenu& form)
{
    return timed([&] { Command2_Click(form, 1); });
}

long statusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
            return std::stol(line.substr(length + 1));
    }
    return -1;
}

bool resetPeakRss()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return bool(clear);
}

int64_t sizeOf(const QByteArray& path)
{
    struct stat info;
    return stat(path.constData(), &info) == 0 ? int64_t(info.st_size) : -1;
}

// Notes when the window's thread handles each event, and the longest time
// it went without handling one.
class EventGaps : public QObject {
public:
    EventGaps() { clock.start(); }
    bool eventFilter(QObject*, QEvent*) override
    {
        const qint64 now = clock.nsecsElapsed();
        if (watching)
            longest = std::max(longest, now - last);
        last = now;
        return false;
    }
    void start()
    {
        watching = true;
        last = clock.nsecsElapsed();
        longest = 0;
    }
    double stopMilliseconds()
    {
        eventFilter(nullptr, nullptr);
        watching = false;
        return double(longest) / 1e6;
    }

private:
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    bool watching = false;
};

// A join whose every display step is followed by a wait, as on a medium
// that takes that long for each chunk, while a timer asks the window's
// thread for attention every 5 ms.
void slowInput(MainWindow& window, ScriptedMessageBox& messages, const QByteArray& root,
               const QByteArray& outFolder)
{
    const InputSet slow = makeFiles("2 files of 6 MiB", root + "/slow", 2, 6u << 20);
    constexpr unsigned long StepMilliseconds = 100;
    // Only the copy waits on the medium; the steps after it are the window's.
    setDisplayStepHook([](const TextBox&, const QString&) {
        if (QThread::currentThread() != qApp->thread())
            QThread::msleep(StepMilliseconds);
    });
    fillForm(window.form(), slow, outFolder);
    QTimer ticks;
    ticks.start(5);
    EventGaps gaps;
    qApp->installEventFilter(&gaps);
    gaps.start();
    const double took = timeJoin(window.form()).wall;
    const double longest = gaps.stopMilliseconds();
    qApp->removeEventFilter(&gaps);
    setDisplayStepHook({});
    messages.forget();
    settle(outFolder + "/joined.bin");
    std::printf(
        "slow input, %s, %lu ms per step: join %.2f s, longest gap between two handled events "
        "%.1f ms\n",
        slow.title, StepMilliseconds, took, longest);
}

}  // namespace

// The runs of one way of doing a case.
struct Side {
    const char* name;
    std::vector<Sample> runs;

    std::vector<double> wall() const
    {
        std::vector<double> values;
        for (const Sample& s : runs)
            values.push_back(s.wall);
        return values;
    }
    std::vector<double> cpu() const
    {
        std::vector<double> values;
        for (const Sample& s : runs)
            values.push_back(s.cpu);
        return values;
    }
};

// The times of one case: "Créer" through the window, then what it is set
// against: cat (with a flush when a file is replaced, and with a flush and
// a rename), and, with --long, "Créer" on a form without widgets.
struct Timings {
    Side join{"Créer", {}};
    Side cat{"cat", {}};
    Side catRename{"cat+flush+rename", {}};
    Side bare{"Créer, no widgets", {}};
    bool sizesRight = true;
};

// Makes the file a replacing join finds at the output name.
void makeOldOutput(const InputSet& set, const QByteArray& output)
{
    runCat(set, output, true);
}

// printf's widths count bytes; these columns hold "é".
void printPadded(const char* text, int width)
{
    int shown = 0;
    for (const char* c = text; *c; ++c)
        shown += (static_cast<unsigned char>(*c) & 0xC0) != 0x80;
    std::printf("%s%*s", text, std::max(0, width - shown), "");
}

void printHeader()
{
    printPadded("case", 30);
    printPadded("side", 19);
    std::printf("%8s %8s %8s %8s   %s\n", "wall min", "med", "cpu min", "med",
                "reference / Créer: wall min, med; cpu min, med");
}

// One line a side; each side after "Créer" with its ratios to it.
void printCase(const char* title, const Timings& t)
{
    const Side& join = t.join;
    for (const Side* side : {&t.join, &t.cat, &t.catRename, &t.bare}) {
        if (side->runs.empty())
            continue;
        printPadded(side == &t.join ? title : "", 30);
        printPadded(side->name, 19);
        std::printf("%8.3f %8.3f %8.3f %8.3f", minimum(side->wall()), median(side->wall()),
                    minimum(side->cpu()), median(side->cpu()));
        if (side != &join)
            std::printf("   %5.2fx %5.2fx; %5.2fx %5.2fx",
                        minimum(side->wall()) / minimum(join.wall()),
                        median(side->wall()) / median(join.wall()),
                        minimum(side->cpu()) / minimum(join.cpu()),
                        median(side->cpu()) / median(join.cpu()));
        std::printf("%s\n", side == &join && !t.sizesRight ? "   OUTPUT SIZE WRONG" : "");
    }
    std::fflush(stdout);
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    quibex::setUpProcessSignals();
    QApplication app(argc, argv);
    bool longRun = false;
    QString base = QDir::currentPath();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--long") == 0)
            longRun = true;
        else
            base = QString::fromLocal8Bit(argv[i]);
    }
    Runs = longRun ? 11 : 5;
    if (const int runs = qEnvironmentVariableIntValue("BENCH_JOIN_RUNS"); runs > 0)
        Runs = runs;
    QTemporaryDir work(base + QStringLiteral("/quibex-bench-XXXXXX"));
    if (!work.isValid()) {
        std::fprintf(stderr, "cannot make a folder in %s\n", qPrintable(base));
        return 1;
    }
    const QByteArray root = QFile::encodeName(work.path());
    struct statvfs disk;
    statvfs(root.constData(), &disk);
    const double freeGiB = double(disk.f_bavail) * double(disk.f_frsize) / double(1 << 30);
    std::printf(
        "working in %s (%.1f GiB free; inputs and outputs on this one file system), %d runs\n",
        root.constData(), freeGiB, Runs);
    if (freeGiB < 6) {
        std::fprintf(stderr, "needs 6 GiB free\n");
        return 1;
    }

    const QByteArray outFolder = root + "/out";
    mkdir(outFolder.constData(), 0755);
    const QByteArray output = outFolder + "/joined.bin";
    const QByteArray catOutput = outFolder + "/cat.bin";

    ScriptedMessageBox messages;
    MainWindow window(root, messages);
    window.show();
    QApplication::processEvents();
    fmenu bare(messages);

    const QByteArray chosen = qgetenv("BENCH_JOIN_SETS");
    const auto wanted = [&](const char* name) {
        return chosen.isEmpty() || chosen.split(',').contains(QByteArray(name));
    };
    std::printf("preparing inputs...\n");
    const InputSet large = makeFiles("64 files totalling 1 GiB", root + "/large", 64, 16u << 20);
    const InputSet small = wanted("small")
        ? makeFiles("4,096 files of 4 KiB", root + "/small", 4096, 4096)
        : InputSet{};
    sync();

    printHeader();
    const auto measure = [&](const InputSet& set, bool replace, const char* against) {
        Timings t;
        t.cat.name = against;
        warm(set);
        // Run -1 warms up: its times are dropped. The first run of a case
        // finds caches, the allocator and the disk in the state the case
        // before left them.
        for (int run = -1; run < Runs; ++run) {
            const bool kept = run >= 0;
            const auto joinOnce = [&](fmenu& form, Side& into) {
                if (replace) {
                    makeOldOutput(set, output);
                    sync();
                    messages.answerNext(MsgAnswer::Yes);
                }
                fillForm(form, set, outFolder);
                const Sample took = timeJoin(form);
                if (kept)
                    into.runs.push_back(took);
                t.sizesRight = t.sizesRight && messages.shown().size() == (replace ? 2u : 1u)
                    && sizeOf(output) == set.bytes;
                messages.forget();
                settle(output);
            };
            const auto catOnce = [&] {
                if (replace) {
                    makeOldOutput(set, catOutput);
                    sync();
                }
                const Sample cat = timed([&] { runCat(set, catOutput, replace); });
                if (kept)
                    t.cat.runs.push_back(cat);
                if (replace) {
                    // The old file is there again for the same steps with cat.
                    sync();
                    const Sample renamed = timed([&] { runCatRename(set, catOutput); });
                    if (kept)
                        t.catRename.runs.push_back(renamed);
                }
                settle(catOutput);
            };
            // Each goes first in every other run: what the one before leaves
            // to the disk (blocks to free and discard) falls on both alike.
            if (run % 2 != 0)
                catOnce();
            joinOnce(window.form(), t.join);
            if (longRun)
                joinOnce(bare, t.bare);
            if (run % 2 == 0)
                catOnce();
        }
        return t;
    };
    if (wanted("new"))
        printCase("new file, 64 x 16 MiB", measure(large, false, "cat"));
    if (wanted("small"))
        printCase("new file, 4,096 x 4 KiB", measure(small, false, "cat"));
    if (wanted("replace"))
        printCase("replacing 1 GiB, 64 x 16 MiB", measure(large, true, "cat+flush"));

    if (wanted("memory")) {
        // Peak resident size during the join of a 2 GiB sparse file, against
        // the size just before it.
        const InputSet sparse = makeSparse(root + "/sparse");
        fillForm(window.form(), sparse, outFolder);
        const bool reset = resetPeakRss();
        const long before = statusKiB("VmRSS");
        timeJoin(window.form());
        const long peak = statusKiB("VmHWM");
        messages.forget();
        settle(output);
        if (reset && before >= 0 && peak >= 0)
            std::printf("join of %s: resident %ld KiB before, peak %ld KiB, growth %ld KiB\n",
                        sparse.title, before, peak, peak - before);
        else
            std::printf("peak resident size not available on this system\n");
    }
    if (wanted("slow"))
        slowInput(window, messages, root, outFolder);
    std::printf("(window with %s)\n",
                window.findChildren<QWidget*>().isEmpty()
                    ? "no widgets bound yet: display updates cost nothing here"
                    : "its widgets: display updates included");
    return 0;
}
