// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

namespace quibex {

// Tells when a file system is mounted or unmounted, so that the drive list
// can show the drives there are now. The system marks its mount table with
// an exceptional condition at every change; where the table cannot be
// opened, nothing is told.
class MountWatcher : public QObject {
    Q_OBJECT
public:
    explicit MountWatcher(QObject* parent = nullptr);
    ~MountWatcher() override;

signals:
    void mountsChanged();

private:
    int table = -1;
    QSocketNotifier* notifier = nullptr;
};

}  // namespace quibex
