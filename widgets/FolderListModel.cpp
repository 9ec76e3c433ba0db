// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/FolderListModel.h"

#include "toolkit/DirList.h"

namespace quibex {

FolderListModel::FolderListModel(DirList& folderList, QAbstractItemView* itemView)
    : ListBoxModel(folderList.list(), itemView),
      folders(&folderList)
{
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const
{
    if (!folders || !index.isValid() || index.row() >= rowCount())
        return ListBoxModel::data(index, role);
    const int depth = folders->depth(index.row());
    if (role == DepthRole)
        return depth;
    // A tree's levels count from 1, the drive's root.
    if (role == Qt::AccessibleDescriptionRole)
        return QStringLiteral("niveau %1").arg(depth + 1);
    return ListBoxModel::data(index, role);
}

}  // namespace quibex
