// Times "Créer" on three sets of inputs against cat(1) writing the same
// inputs into a file on the same file system, with a warm cache, and shows
// how much the program's resident memory grows during the 2 GiB join.
//
//   bench_join [folder]   (the folder to work in; the current one by default)
//
// BENCH_JOIN_SETS=large,small,sparse picks the input sets (all by default)
// and BENCH_JOIN_RUNS=n the runs of each, to look closer at one case.
//
// Prints figures only; nothing here passes or fails.

#include "app/MainWindow.h"
#include "form/fmenu.h"
#include "join/Join.h"
#include "toolkit/ScriptedMessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace quibex;
using Clock = std::chrono::steady_clock;

namespace {

// Each figure is the best of this many runs: the machine's noise only ever
// adds time, so the fastest run is the truest.
int Runs = 5;

struct InputSet {
    const char* title;
    std::vector<QByteArray> files;
    int64_t bytes = 0;
};

double seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double best(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
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
        const QByteArray path = folder + "/" + QByteArray::number(i).rightJustified(5, '0') + ".dat";
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
double timeCat(const InputSet& set, const QByteArray& output, bool flush)
{
    std::vector<char*> argv{const_cast<char*>("cat")};
    for (const QByteArray& path : set.files)
        argv.push_back(const_cast<char*>(path.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const auto start = Clock::now();
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
    const double elapsed = seconds(start);
    posix_spawn_file_actions_destroy(&actions);
    return elapsed;
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

double timeJoin(fmenu& form)
{
    const auto start = Clock::now();
    Command2_Click(form, 1);
    return seconds(start);
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

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir work(base + QStringLiteral("/quibex-bench-XXXXXX"));
    if (!work.isValid()) {
        std::fprintf(stderr, "cannot make a folder in %s\n", qPrintable(base));
        return 1;
    }
    const QByteArray root = QFile::encodeName(work.path());
    struct statvfs disk;
    statvfs(root.constData(), &disk);
    const double freeGiB = double(disk.f_bavail) * double(disk.f_frsize) / double(1 << 30);
    std::printf("working in %s (%.1f GiB free; inputs and outputs on this one file system)\n",
                root.constData(), freeGiB);
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

    std::printf("preparing inputs...\n");
    const QByteArray chosen = qgetenv("BENCH_JOIN_SETS");
    const auto wanted = [&](const char* name) {
        return chosen.isEmpty() || chosen.split(',').contains(QByteArray(name));
    };
    if (const int runs = qEnvironmentVariableIntValue("BENCH_JOIN_RUNS"); runs > 0)
        Runs = runs;
    std::vector<InputSet> sets;
    if (wanted("large"))
        sets.push_back(makeFiles("64 files totalling 1 GiB", root + "/large", 64, 16u << 20));
    if (wanted("small"))
        sets.push_back(makeFiles("4,096 files of 4 KiB", root + "/small", 4096, 4096));
    if (wanted("sparse"))
        sets.push_back(makeSparse(root + "/sparse"));
    if (sets.empty()) {
        std::fprintf(stderr, "BENCH_JOIN_SETS names none of large, small, sparse\n");
        return 1;
    }
    sync();

    std::printf("%-38s %9s %9s %12s %10s %14s %14s\n", "inputs", "Créer s", "cat s", "cat+flush s",
                "vs cat", "vs cat+flush", "no widgets s");
    for (const InputSet& set : sets) {
        warm(set);
        std::vector<double> join, engine, cat, catFlushed;
        bool sizesRight = true;
        for (int run = 0; run < Runs; ++run) {
            fillForm(window.form(), set, outFolder);
            join.push_back(timeJoin(window.form()));
            sizesRight = sizesRight && messages.shown().size() == 1 && sizeOf(output) == set.bytes;
            messages.forget();
            settle(output);
            // The same join on a form without widgets: what the displays cost.
            fillForm(bare, set, outFolder);
            engine.push_back(timeJoin(bare));
            messages.forget();
            settle(output);
            cat.push_back(timeCat(set, catOutput, false));
            settle(catOutput);
            catFlushed.push_back(timeCat(set, catOutput, true));
            settle(catOutput);
        }
        const double j = best(join), e = best(engine), c = best(cat), f = best(catFlushed);
        // A ratio above 1 means "Créer" moved the bytes faster than cat did.
        std::printf("%-38s %9.3f %9.3f %12.3f %9.2fx %13.2fx %14.3f  (%.0f MB/s)%s\n", set.title, j,
                    c, f, c / j, f / j, e, double(set.bytes) / j / 1e6,
                    sizesRight ? "" : "  OUTPUT SIZE WRONG");
    }

    // Peak resident size during one more join of the last set (the 2 GiB one
    // unless others were picked), against the size just before it.
    fillForm(window.form(), sets.back(), outFolder);
    const bool reset = resetPeakRss();
    const long before = statusKiB("VmRSS");
    timeJoin(window.form());
    const long peak = statusKiB("VmHWM");
    settle(output);
    if (reset && before >= 0 && peak >= 0)
        std::printf("join of %s: resident size %ld KiB before, peak %ld KiB, growth %ld KiB\n",
                    sets.back().title, before, peak, peak - before);
    else
        std::printf("peak resident size not available on this system\n");
    std::printf("(window with %s)\n", window.findChildren<QWidget*>().isEmpty()
                                          ? "no widgets bound yet: display updates cost nothing here"
                                          : "its widgets: display updates included");
    return 0;
}
