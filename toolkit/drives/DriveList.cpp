// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/drives/DriveList.h"

#include "toolkit/FolderReader.h"
#include "toolkit/drives/MountTable.h"
#include "toolkit/drives/VolumeProbe.h"

#include <algorithm>

#include <climits>
#include <cstdlib>

#include <dirent.h>

namespace quibex {

DriveList::DriveList() = default;

namespace {

bool isUnder(const QByteArray& folder, const QByteArray& root)
{
    if (!folder.startsWith(root))
        return false;
    return folder.size() == root.size() || root.endsWith('/') || folder.at(root.size()) == '/';
}

// The kernel's own file systems, where there is nothing to browse.
bool isSystemMount(const MountEntry& mount)
{
    for (const char* system : {"/dev", "/proc", "/sys", "/var/run", "/var/lock"}) {
        if (isUnder(mount.root, system))
            return true;
    }
    return mount.type == "rootfs";
}

// udev writes a label's spaces, slashes and other unsafe bytes as "\xNN".
QString labelOf(const QByteArray& linkName)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < linkName.size(); ++i) {
        bool ok = false;
        const int value = linkName.mid(i + 2, 2).toInt(&ok, 16);
        if (linkName.mid(i, 2) == "\\x" && i + 4 <= linkName.size() && ok) {
            bytes += char(value);
            i += 3;
        } else {
            bytes += linkName[i];
        }
    }
    return QString::fromUtf8(bytes);
}

// The labels the system knows, by device: the links of /dev/disk/by-label,
// which live on the system's device folder and never on a volume.
std::map<QByteArray, QString> deviceLabels()
{
    std::map<QByteArray, QString> labels;
    const QByteArray folder = "/dev/disk/by-label";
    DIR* dir = opendir(folder.constData());
    if (!dir)
        return labels;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        char device[PATH_MAX];
        const QByteArray link = folder + '/' + entry->d_name;
        if (realpath(link.constData(), device))
            labels[QByteArray(device)] = labelOf(entry->d_name);
    }
    closedir(dir);
    return labels;
}

QByteArray mountKey(const MountEntry& mount)
{
    return mount.root + '\0' + mount.type + '\0' + mount.source;
}

// What each mounted volume answered when first asked: whether its root is a
// folder and whether it has a size stay the same while it stays mounted,
// so a volume is asked once, not at every change of the mount table (a
// machine with hundreds of bind mounts sees many). A volume that did not
// answer in time is listed all the same, without its label: the user sees
// it is there, and picking it is refused; it is asked again next time.
std::vector<VolumeAnswer> answersFor(const std::vector<MountEntry>& mounts)
{
    static std::map<QByteArray, VolumeAnswer> known;
    std::vector<QByteArray> unknownRoots;
    for (const MountEntry& mount : mounts) {
        if (known.count(mountKey(mount)) == 0)
            unknownRoots.push_back(mount.root);
    }
    const std::vector<VolumeAnswer> fresh = askVolumes(unknownRoots, VolumeAnswerBound);
    std::map<QByteArray, VolumeAnswer> stillMounted;
    std::vector<VolumeAnswer> answers;
    size_t next = 0;
    for (const MountEntry& mount : mounts) {
        const QByteArray key = mountKey(mount);
        const auto found = known.find(key);
        const VolumeAnswer answer = found != known.end() ? found->second : fresh[next++];
        if (answer.answered)
            stillMounted[key] = answer;
        answers.push_back(answer);
    }
    known = std::move(stillMounted);
    return answers;
}

}  // namespace

std::vector<Drive> DriveList::mountedDrives()
{
    std::vector<MountEntry> mounts;
    for (MountEntry& mount : readMountTable()) {
        if (isSystemMount(mount))
            continue;
        // A file system mounted over another hides it: the later one counts.
        const auto seen = std::find_if(mounts.begin(), mounts.end(),
                                       [&](const MountEntry& m) { return m.root == mount.root; });
        if (seen == mounts.end())
            mounts.push_back(std::move(mount));
        else
            *seen = std::move(mount);
    }
    const std::vector<VolumeAnswer> answers = answersFor(mounts);
    const std::map<QByteArray, QString> labels = deviceLabels();
    std::vector<Drive> found;
    for (size_t i = 0; i < mounts.size(); ++i) {
        const VolumeAnswer& answer = answers[i];
        // Containers bind-mount single files; only folders can be browsed.
        if (answer.answered && (!answer.folder || (!answer.sized && mounts[i].root != "/")))
            continue;
        const auto label = labels.find(mounts[i].source);
        found.push_back({mounts[i].root, label == labels.end() ? QString() : label->second, true});
    }
    std::sort(found.begin(), found.end(),
              [](const Drive& a, const Drive& b) { return a.root < b.root; });
    return found;
}

void DriveList::setDrives(std::vector<Drive> newDrives)
{
    drives = std::move(newDrives);
    currentFolders.clear();
    for (const Drive& d : drives)
        currentFolders[d.root] = d.root;
    selected = -1;
    showDrives();
}

void DriveList::updateDrives(std::vector<Drive> fresh, const QByteArray& shownFolder)
{
    const auto same = [](const Drive& a, const Drive& b) {
        return a.root == b.root && a.label == b.label;
    };
    if (std::equal(fresh.begin(), fresh.end(), drives.begin(), drives.end(), same))
        return;  // nothing mounted or unmounted: the list stays as the user sees it
    std::map<QByteArray, QByteArray> kept;
    for (const Drive& d : fresh) {
        const auto found = currentFolders.find(d.root);
        kept[d.root] = found == currentFolders.end() ? d.root : found->second;
    }
    const QByteArray before = selected < 0 ? QByteArray() : drives[size_t(selected)].root;
    drives = std::move(fresh);
    currentFolders = std::move(kept);
    selected = indexOf(driveOf(shownFolder));
    showDrives();
    // The folder shown is now on another drive: its own was unmounted, or a
    // volume was mounted over it. What the folder list shows there is gone
    // or hidden, so the browser follows the drive as after any drive change.
    if (selected >= 0 && drives[size_t(selected)].root != before)
        emit changed();
}

void DriveList::showDrives()
{
    std::vector<QString> texts;
    std::vector<QByteArray> roots;
    for (const Drive& d : drives) {
        texts.push_back(designationOf(d));
        roots.push_back(d.root);
    }
    shown.replaceItems(texts, roots, selected);
}

QString DriveList::designationOf(const Drive& drive)
{
    const QString root = displayName(drive.root);
    return drive.label.isEmpty() ? root
                                 : root + QStringLiteral(" [") + drive.label + QLatin1Char(']');
}

int DriveList::indexOf(const QString& designation) const
{
    for (size_t i = 0; i < drives.size(); ++i) {
        if (designationOf(drives[i]) == designation || displayName(drives[i].root) == designation)
            return int(i);
    }
    return -1;
}

QString DriveList::drive() const
{
    return selected < 0 ? QString() : designationOf(drives[size_t(selected)]);
}

void DriveList::setDrive(const QString& designation)
{
    if (indexOf(designation) != selected)
        pickDrive(designation);
}

void DriveList::pickDrive(const QString& designation)
{
    const int index = indexOf(designation);
    if (index < 0)
        return;
    selected = index;
    shown.setListIndex(index);
    emit changed();
}

QString DriveList::driveOf(const QByteArray& nativeFolder) const
{
    int best = -1;
    for (size_t i = 0; i < drives.size(); ++i) {
        if (isUnder(nativeFolder, drives[i].root)
            && (best < 0 || drives[i].root.size() > drives[size_t(best)].root.size()))
            best = int(i);
    }
    return best < 0 ? QString() : designationOf(drives[size_t(best)]);
}

QByteArray DriveList::rootOf(const QString& designation) const
{
    const int index = indexOf(designation);
    return index < 0 ? QByteArray() : drives[size_t(index)].root;
}

bool DriveList::isReady(const QString& designation) const
{
    const int index = indexOf(designation);
    if (index < 0)
        return false;
    const Drive& d = drives[size_t(index)];
    if (d.mountPoint) {
        const std::vector<MountEntry> mounts = readMountTable();
        if (std::none_of(mounts.begin(), mounts.end(),
                         [&](const MountEntry& m) { return m.root == d.root; }))
            return false;
    }
    // Only this drive is asked, and only for a moment: a volume that does not
    // answer is refused like any drive that cannot be read.
    return askVolumes({d.root}, VolumeAnswerBound).front().readable;
}

QByteArray DriveList::currentFolder(const QString& designation) const
{
    const auto found = currentFolders.find(rootOf(designation));
    return found == currentFolders.end() ? QByteArray() : found->second;
}

void DriveList::rememberFolder(const QByteArray& nativeFolder)
{
    const QByteArray root = rootOf(driveOf(nativeFolder));
    if (!root.isEmpty())
        currentFolders[root] = nativeFolder;
}

}  // namespace quibex
