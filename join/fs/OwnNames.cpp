// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/OwnNames.h"

#include "join/fs/UniqueFd.h"

#include <QList>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <cerrno>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

namespace quibex {

namespace {

constexpr char Prefix[] = ".quibex-";
constexpr char TemporarySuffix[] = ".tmp";
constexpr char BackupSuffix[] = ".old";
constexpr char ProbeNoteSuffix[] = ".new";
// Every suffix has this many characters.
constexpr qsizetype SuffixLength = 4;

const char* suffixOf(OwnFile kind)
{
    switch (kind) {
    case OwnFile::Temporary: return TemporarySuffix;
    case OwnFile::Backup: return BackupSuffix;
    case OwnFile::ProbeNote: return ProbeNoteSuffix;
    }
    return TemporarySuffix;
}
constexpr qsizetype IdDigits = 12;
constexpr qsizetype RandomDigits = 8;
// A process's number and start time, in decimal, fit in this many digits.
constexpr qsizetype MaxNumberDigits = 20;

bool isLowerHex(const QByteArray& text, qsizetype digits)
{
    if (text.size() != digits)
        return false;
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

bool isDecimal(const QByteArray& text)
{
    if (text.isEmpty() || text.size() > MaxNumberDigits)
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

QByteArray readSmallFile(const char* path)
{
    const UniqueFd fd(::open(path, O_RDONLY | O_CLOEXEC));
    if (!fd.isOpen())
        return {};
    char buffer[512];
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    return n > 0 ? QByteArray(buffer, n) : QByteArray();
}

// The first hex digits of an identifier written by the system, in lower case.
QByteArray hexDigitsOf(const QByteArray& text)
{
    QByteArray digits;
    for (const char c : text.toLower()) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))
            digits += c;
        if (digits.size() == IdDigits)
            break;
    }
    return digits;
}

QByteArray hashedHex(const QByteArray& bytes)
{
    uint64_t hash = 14695981039346656037ull;  // 64-bit FNV-1a
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return QByteArray::number(qulonglong(hash), 16).rightJustified(16, '0').left(IdDigits);
}

// Which machine this is: the system's machine identifier, or its host name
// where it has none. Two clients of one shared folder never share it.
const QByteArray& thisMachine()
{
    static const QByteArray id = [] {
        for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
            const QByteArray digits = hexDigitsOf(readSmallFile(path));
            if (digits.size() == IdDigits)
                return digits;
        }
        char host[256] = {};
        gethostname(host, sizeof host - 1);
        return hashedHex(host);
    }();
    return id;
}

// Which boot of this machine this is: a process of an earlier boot is gone.
const QByteArray& thisBoot()
{
    static const QByteArray id = [] {
        const QByteArray digits = hexDigitsOf(readSmallFile("/proc/sys/kernel/random/boot_id"));
        return digits.size() == IdDigits ? digits : QByteArray(IdDigits, '0');
    }();
    return id;
}

// A process's start time in clock ticks after boot, the 22nd field of its
// /proc/<pid>/stat: with its number, it names one process of this boot,
// even once the number is given to another. Empty when it cannot be read.
QByteArray startTimeOf(const QByteArray& pid)
{
    const QByteArray stat = readSmallFile("/proc/" + pid + "/stat");
    // The command name, in parentheses, may hold spaces and parentheses.
    const qsizetype end = stat.lastIndexOf(')');
    if (end < 0)
        return {};
    const QList<QByteArray> fields = stat.mid(end + 2).split(' ');
    // The fields after the name start with the third, the state.
    constexpr qsizetype StartTimeField = 22 - 3;
    return fields.size() > StartTimeField ? fields[StartTimeField] : QByteArray();
}

// This process: its number and start time. Read at each call, since a
// forked child is another process.
QByteArray thisProcess()
{
    const QByteArray pid = QByteArray::number(getpid());
    const QByteArray start = startTimeOf(pid);
    return pid + '-' + (start.isEmpty() ? QByteArray("0") : start);
}

// Gone for certain: no process has that number now, or the one that has it
// started at another time. Where /proc cannot tell, the process may live.
bool processIsGone(const QByteArray& pid, const QByteArray& start)
{
    const QByteArray now = startTimeOf(pid);
    if (!now.isEmpty())
        return now != start;
    return access(("/proc/" + pid).constData(), F_OK) != 0 && errno == ENOENT
        && access("/proc/self/stat", R_OK) == 0;
}

QByteArray randomHex()
{
    unsigned char random[RandomDigits / 2];
    if (getrandom(random, sizeof random, GRND_NONBLOCK) != ssize_t(sizeof random)) {
        static std::atomic<unsigned> counter{0};
        timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        const unsigned long mixed = static_cast<unsigned long>(now.tv_nsec) ^ ++counter << 20;
        for (size_t i = 0; i < sizeof random; ++i)
            random[i] = static_cast<unsigned char>(mixed >> (8 * i));
    }
    return QByteArray(reinterpret_cast<const char*>(random), sizeof random).toHex();
}

constexpr OwnFile AllKinds[] = {OwnFile::Temporary, OwnFile::Backup, OwnFile::ProbeNote};

}  // namespace

QByteArray ownName(OwnFile kind)
{
    return Prefix + thisMachine() + '-' + thisBoot() + '-' + thisProcess() + '-' + randomHex()
        + suffixOf(kind);
}

QByteArray completedBackupName(const QByteArray& temporary)
{
    return temporary.left(temporary.size() - SuffixLength) + BackupSuffix;
}

std::optional<OwnNameParts> parseOwnName(const char* name)
{
    const QByteArray text(name);
    if (!text.startsWith(Prefix))
        return std::nullopt;
    OwnNameParts parts;
    QByteArray rest = text.mid(qsizetype(sizeof Prefix - 1));
    const auto kind = std::find_if(std::begin(AllKinds), std::end(AllKinds),
                                   [&](OwnFile k) { return rest.endsWith(suffixOf(k)); });
    if (kind == std::end(AllKinds))
        return std::nullopt;
    parts.kind = *kind;
    rest.chop(SuffixLength);
    const QList<QByteArray> fields = rest.split('-');
    if (fields.size() != 5 || !isLowerHex(fields[0], IdDigits) || !isLowerHex(fields[1], IdDigits)
        || !isDecimal(fields[2]) || !isDecimal(fields[3]) || !isLowerHex(fields[4], RandomDigits))
        return std::nullopt;
    parts.madeHere = fields[0] == thisMachine();
    parts.makerIsGone =
        parts.madeHere && (fields[1] != thisBoot() || processIsGone(fields[2], fields[3]));
    return parts;
}

}  // namespace quibex
