#include "join/OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

namespace quibex {

namespace {

// Symbolic links met before the path is given up, as the kernel does.
constexpr int MaxLinkHops = 40;

// How much is written before the kernel is asked to start putting it on disk.
constexpr int64_t WritebackStep = 2 << 20;

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return ".";
    if (slash == 0)
        return "/";
    return path.left(slash);
}

// Follows a symbolic link standing at path, and the links it leads to, so
// that the file replaced is the one the user sees under that name and the
// link itself stays. A path where nothing stands yet is returned as it is.
std::optional<QByteArray> resolveLinks(QByteArray path)
{
    for (int hops = 0; hops < MaxLinkHops; ++hops) {
        struct stat info;
        if (lstat(path.constData(), &info) != 0) {
            if (errno == ENOENT)
                return path;
            return std::nullopt;
        }
        if (!S_ISLNK(info.st_mode))
            return path;
        QByteArray target(4096, '\0');
        const ssize_t n = readlink(path.constData(), target.data(), size_t(target.size()));
        if (n <= 0 || n >= target.size())
            return std::nullopt;
        target.truncate(n);
        path = target.startsWith('/') ? target : folderOf(path) + '/' + target;
    }
    return std::nullopt;
}

// A hidden name for a temporary file, unlikely to be taken; callers still
// create it exclusively and try another when it is.
QByteArray temporaryNameCandidate()
{
    unsigned char random[6];
    if (getrandom(random, sizeof random, GRND_NONBLOCK) != ssize_t(sizeof random)) {
        timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        const unsigned long mixed = static_cast<unsigned long>(now.tv_nsec) ^ static_cast<unsigned long>(getpid()) << 16;
        for (size_t i = 0; i < sizeof random; ++i)
            random[i] = static_cast<unsigned char>(mixed >> (8 * i));
    }
    return ".quibex-" + QByteArray(reinterpret_cast<const char*>(random), sizeof random).toHex() + ".tmp";
}

bool isNameRefusal(int error)
{
    return error == EINVAL || error == EILSEQ || error == ENAMETOOLONG || error == EISDIR;
}

}  // namespace

bool OutputFile::prepare(const QByteArray& path, bool allowUnnamed)
{
    discard();
    if (path.isEmpty() || path.contains('\0'))
        return false;
    const std::optional<QByteArray> resolved = resolveLinks(path);
    if (!resolved)
        return false;
    targetName = resolved->mid(resolved->lastIndexOf('/') + 1);
    if (targetName.isEmpty() || targetName == "." || targetName == "..") {
        discard();
        return false;
    }
    const QByteArray folderPath = folderOf(*resolved);
    int dir = ::open(folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0 && errno == EACCES)  // a folder we may write in but not list
        dir = ::open(folderPath.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) {
        discard();
        return false;
    }
    folder.reset(dir);

    struct stat info;
    if (fstatat(dir, targetName.constData(), &info, 0) == 0) {
        // Only a regular file is replaced, and only one the user may write:
        // the folder being writable is not enough to overwrite a protected file.
        if (!S_ISREG(info.st_mode) || faccessat(dir, targetName.constData(), W_OK, AT_EACCESS) != 0) {
            discard();
            return false;
        }
        targetExists = true;
        targetSize = info.st_size;
    } else if (errno != ENOENT) {
        discard();
        return false;
    }
    if (!createTemporary(allowUnnamed)) {
        discard();
        return false;
    }
    return true;
}

bool OutputFile::createTemporary(bool allowUnnamed)
{
    if (allowUnnamed) {
        const int opened = openat(folder.get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
        if (opened >= 0) {
            fd.reset(opened);
            unnamed = true;
            return true;
        }
        // Only a file system without unnamed files is worth the named way;
        // any other failure (no permission, read-only) would fail it too.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return false;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = temporaryNameCandidate();
        const int opened =
            openat(folder.get(), name.constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0666);
        if (opened >= 0) {
            fd.reset(opened);
            temporaryName = name;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool OutputFile::write(const char* data, int64_t length)
{
    if (length <= 0)
        return true;
    // A line end after each of thousands of small files costs a call of its
    // own unless it joins the bytes gathered before it.
    if (length < GatherSize / 4) {
        char* area = gatherArea(length);
        if (!area)
            return false;
        std::memcpy(area, data, size_t(length));
        gathered(length);
        return true;
    }
    if (!flush() || !writeOut(data, length, pos))
        return false;
    advance(length);
    return true;
}

bool OutputFile::writeOut(const char* data, int64_t length, int64_t at)
{
    while (length > 0) {
        const ssize_t n = pwrite(fd.get(), data, size_t(length), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        length -= n;
        at += n;
    }
    return true;
}

char* OutputFile::gatherArea(int64_t length)
{
    if (length > GatherSize)
        return nullptr;
    // What is held must lie just before the new bytes, and leave them room.
    if (gatheredLength > 0 && (gatheredAt + gatheredLength != pos || gatheredLength + length > GatherSize)
        && !flush())
        return nullptr;
    if (!gather)
        gather = std::make_unique_for_overwrite<char[]>(size_t(GatherSize));
    if (gatheredLength == 0)
        gatheredAt = pos;
    return gather.get() + gatheredLength;
}

void OutputFile::gathered(int64_t length)
{
    gatheredLength += length;
    pos += length;
}

bool OutputFile::flush()
{
    if (gatheredLength == 0)
        return true;
    const int64_t length = gatheredLength;
    gatheredLength = 0;
    if (!writeOut(gather.get(), length, gatheredAt))
        return false;
    // The bytes were counted in pos when gathered; only the write-ahead
    // has yet to hear of them.
    advance(0);
    return true;
}

void OutputFile::advance(int64_t length)
{
    pos += length;
    if (pos - writebackFrom >= WritebackStep)
        startWriteback();
}

void OutputFile::startWriteback()
{
    // Asks the kernel to start writing what has been copied so far, without
    // waiting for it: the disk works while the copy goes on, and the flush
    // before the rename has only the tail left to wait for.
    (void)sync_file_range(fd.get(), writebackFrom, pos - writebackFrom, SYNC_FILE_RANGE_WRITE);
    writebackFrom = pos;
}

bool OutputFile::linkInto(const QByteArray& name)
{
    char procPath[64];
    std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", fd.get());
    if (linkat(AT_FDCWD, procPath, folder.get(), name.constData(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    if (errno != ENOENT)
        return false;
    // Without /proc, the descriptor itself can be linked by a privileged program.
    return linkat(fd.get(), "", folder.get(), name.constData(), AT_EMPTY_PATH) == 0;
}

bool OutputFile::replaceTarget()
{
    // An unnamed file can only be linked to a free name, so it gets a hidden
    // one first and is renamed over the target from there.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = temporaryNameCandidate();
        if (linkInto(name)) {
            if (renameat(folder.get(), name.constData(), folder.get(), targetName.constData()) == 0)
                return true;
            const int error = errno;
            unlinkat(folder.get(), name.constData(), 0);
            errno = error;
            return false;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

OutputFile::Commit OutputFile::commit()
{
    if (!fd.isOpen())
        return Commit::Failed;
    if (!flush()) {
        discard();
        return Commit::Failed;
    }
    struct stat own;
    // The copier leaves holes unwritten; when the content ends in one, the
    // file still has to reach its full length.
    if (fstat(fd.get(), &own) != 0 || (own.st_size < pos && ftruncate(fd.get(), pos) != 0)
        || fdatasync(fd.get()) != 0) {
        discard();
        return Commit::Failed;
    }

    struct stat target;
    const bool replacing = fstatat(folder.get(), targetName.constData(), &target, 0) == 0;
    if (replacing) {
        if (!S_ISREG(target.st_mode)) {
            discard();
            return Commit::BadName;
        }
        // The owner can only be kept by a privileged program; the permission
        // bits always are.
        if (target.st_uid != own.st_uid || target.st_gid != own.st_gid)
            (void)fchown(fd.get(), target.st_uid, target.st_gid);
        if (fchmod(fd.get(), target.st_mode & 07777) != 0) {
            discard();
            return Commit::Failed;
        }
    }

    bool placed;
    if (!temporaryName.isEmpty())
        placed = renameat(folder.get(), temporaryName.constData(), folder.get(),
                          targetName.constData()) == 0;
    else if (replacing)
        placed = replaceTarget();
    else
        placed = linkInto(targetName) || (errno == EEXIST && replaceTarget());
    if (!placed) {
        const int error = errno;
        discard();
        return isNameRefusal(error) ? Commit::BadName : Commit::Failed;
    }
    temporaryName.clear();
    // Makes the new name itself durable; a folder opened without read access
    // cannot be flushed, and the content is safe either way.
    (void)fsync(folder.get());
    discard();
    return Commit::Done;
}

void OutputFile::discard()
{
    if (!temporaryName.isEmpty() && folder.isOpen())
        unlinkat(folder.get(), temporaryName.constData(), 0);
    temporaryName.clear();
    fd.reset();
    folder.reset();
    targetName.clear();
    unnamed = false;
    targetExists = false;
    targetSize = 0;
    pos = 0;
    writebackFrom = 0;
    gather.reset();
    gatheredAt = 0;
    gatheredLength = 0;
}

}  // namespace quibex
