// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/ListBoxModel.h"

namespace quibex {

class DirList;

// The folder list as a tree: each row is a folder's name, with its depth
// below the drive's root beside it for the view to indent the row by, and
// for assistive tools to read out ("niveau 3").
class FolderListModel : public ListBoxModel {
    Q_OBJECT
public:
    static constexpr int DepthRole = Qt::UserRole + 1;

    FolderListModel(DirList& folders, QAbstractItemView* itemView);

    QVariant data(const QModelIndex& index, int role) const override;

private:
    QPointer<DirList> folders;
};

}  // namespace quibex
