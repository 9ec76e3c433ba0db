// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/DriveList.h"

#include "toolkit/FolderReader.h"

#include <QFile>
#include <QStorageInfo>

#include <algorithm>

#include <sys/stat.h>

namespace quibex {

DriveList::DriveList() = default;

std::vector<Drive> DriveList::mountedDrives()
{
    std::vector<Drive> found;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QByteArray root = QFile::encodeName(volume.rootPath());
        struct stat info;
        // Containers bind-mount single files; only folders can be browsed.
        if (stat(root.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
            continue;
        const bool seen = std::any_of(found.begin(), found.end(),
                                      [&](const Drive& d) { return d.root == root; });
        if (!seen)
            found.push_back({root, volume.name(), true});
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
    showDrives();
    selected = -1;
}

void DriveList::updateDrives(std::vector<Drive> fresh, const QByteArray& shownFolder)
{
    const auto same = [](const Drive& a, const Drive& b) { return a.root == b.root && a.label == b.label; };
    if (std::equal(fresh.begin(), fresh.end(), drives.begin(), drives.end(), same))
        return;  // nothing mounted or unmounted: the list stays as the user sees it
    std::map<QByteArray, QByteArray> kept;
    for (const Drive& d : fresh) {
        const auto found = currentFolders.find(d.root);
        kept[d.root] = found == currentFolders.end() ? d.root : found->second;
    }
    drives = std::move(fresh);
    currentFolders = std::move(kept);
    showDrives();
    selected = indexOf(driveOf(shownFolder));
    shown.setListIndex(selected);
}

void DriveList::showDrives()
{
    shown.clear();
    for (const Drive& d : drives)
        shown.addItem(designationOf(d), d.root);
}

QString DriveList::designationOf(const Drive& drive)
{
    const QString root = displayName(drive.root);
    return drive.label.isEmpty() ? root : root + QStringLiteral(" [") + drive.label + QLatin1Char(']');
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

static bool isUnder(const QByteArray& folder, const QByteArray& root)
{
    if (!folder.startsWith(root))
        return false;
    return folder.size() == root.size() || root.endsWith('/') || folder.at(root.size()) == '/';
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
        const QStorageInfo volume(QFile::decodeName(d.root));
        if (!volume.isValid() || !volume.isReady() || QFile::encodeName(volume.rootPath()) != d.root)
            return false;
    }
    return isReadableFolder(d.root);
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
