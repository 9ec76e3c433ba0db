// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/drives/MountWatcher.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

namespace quibex {

MountWatcher::MountWatcher(QObject* parent) : QObject(parent)
{
    table = open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (table < 0)
        return;
    // Each wait on the table clears the mark, so one change is told once.
    notifier = new QSocketNotifier(table, QSocketNotifier::Exception, this);
    connect(notifier, &QSocketNotifier::activated, this, &MountWatcher::mountsChanged);
}

MountWatcher::~MountWatcher()
{
    delete notifier;  // stops watching before the table is closed
    if (table >= 0)
        close(table);
}

}  // namespace quibex
