#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A small file system in memory that fails the way network and FUSE file
# systems do, for the join's tests: usage failing_fs.py MOUNTPOINT [MODE].
# - A file keeps at most its first 1,000,000 bytes; the write past them is
#   taken, and the loss is reported only by flush (at close) and fsync, with
#   EDQUOT, as NFS or sshfs over quota do. How often it is reported depends
#   on the mode:
#     (none)      at every flush and fsync from then on;
#     once        at the first flush or fsync only, then forgotten, as NFS
#                 does: whoever asks first gets the error;
#     last-close  not at the first flush, at every later one: a program that
#                 closes a copy of its descriptor early hears it only when
#                 it closes the file itself.
# - Mode quota: no file can be created (EDQUOT), folders can.
# - Mode interrupted: the first read and the first write of each file fail
#   with EINTR, as on a volume mounted to let signals interrupt its calls;
#   reads and writes then go straight to this program (direct_io).
# - Removing a file whose name starts with "unlink-fails-once" fails with
#   EIO the first time, as an injected failure would; "unlink-fails" always.
# - Its listings give no entry types (d_type DT_UNKNOWN), as many network
#   and FUSE file systems do: a program must ask for each entry's kind.
import errno
import os
import stat
import sys
import time

from fusepy import FUSE, FuseOSError, Operations

KEPT = 1000000


class FailingFs(Operations):
    def __init__(self, mode):
        self.mode = mode
        self.nodes = {'/': self.node(stat.S_IFDIR | 0o777, 2)}
        self.data = {}
        self.over_quota = set()
        self.flushes = {}
        self.unlink_failed = set()
        self.interrupted = set()

    @staticmethod
    def node(mode, links=1):
        now = time.time()
        return dict(st_mode=mode, st_nlink=links, st_size=0, st_uid=os.getuid(),
                    st_gid=os.getgid(), st_atime=now, st_mtime=now, st_ctime=now)

    def entry(self, path):
        if path not in self.nodes:
            raise FuseOSError(errno.ENOENT)
        return self.nodes[path]

    def getattr(self, path, fh=None):
        return self.entry(path)

    def readdir(self, path, fh):
        # Names alone: the kernel then gives DT_UNKNOWN for every entry.
        prefix = path.rstrip('/') + '/'
        return ['.', '..'] + [p[len(prefix):] for p in self.nodes
                              if p != '/' and os.path.dirname(p) == path]

    def mkdir(self, path, mode):
        self.nodes[path] = self.node(stat.S_IFDIR | (mode & 0o7777), 2)

    def rmdir(self, path):
        self.entry(path)
        del self.nodes[path]

    def create(self, path, mode, fi=None):
        if self.mode == 'quota':
            raise FuseOSError(errno.EDQUOT)
        self.nodes[path] = self.node(stat.S_IFREG | (mode & 0o7777))
        self.data[path] = bytearray()
        return 0

    def interrupt_once(self, path, call):
        if self.mode == 'interrupted' and (path, call) not in self.interrupted:
            self.interrupted.add((path, call))
            raise FuseOSError(errno.EINTR)

    def open(self, path, flags):
        self.entry(path)
        return 0

    def read(self, path, size, offset, fh):
        self.interrupt_once(path, 'read')
        return bytes(self.data[path][offset:offset + size])

    def write(self, path, buf, offset, fh):
        self.interrupt_once(path, 'write')
        data = self.data[path]
        if offset + len(buf) > KEPT:
            self.over_quota.add(path)
        kept = buf[:max(0, KEPT - offset)]
        if kept:
            if len(data) < offset:
                data.extend(bytes(offset - len(data)))
            data[offset:offset + len(kept)] = kept
        self.nodes[path]['st_size'] = len(data)
        return len(buf)

    def truncate(self, path, length, fh=None):
        data = self.data[path]
        del data[length:]
        data.extend(bytes(max(0, min(length, KEPT) - len(data))))
        self.nodes[path]['st_size'] = len(data)

    def flush(self, path, fh):
        if path not in self.over_quota:
            return 0
        self.flushes[path] = self.flushes.get(path, 0) + 1
        if self.mode == 'last-close' and self.flushes[path] == 1:
            return 0
        if self.mode == 'once':
            self.over_quota.discard(path)
        raise FuseOSError(errno.EDQUOT)

    def fsync(self, path, datasync, fh):
        return self.flush(path, fh)

    def release(self, path, fh):
        return 0

    def unlink(self, path):
        self.entry(path)
        name = os.path.basename(path)
        if name.startswith('unlink-fails') and path not in self.unlink_failed:
            if name.startswith('unlink-fails-once'):
                self.unlink_failed.add(path)
            raise FuseOSError(errno.EIO)
        del self.nodes[path]
        self.data.pop(path, None)
        self.over_quota.discard(path)

    def rename(self, old, new):
        self.entry(old)
        self.nodes[new] = self.nodes.pop(old)
        self.data[new] = self.data.pop(old)
        if old in self.over_quota:
            self.over_quota.discard(old)
            self.over_quota.add(new)
            self.flushes[new] = self.flushes.pop(old, 0)

    def chmod(self, path, mode):
        node = self.entry(path)
        node['st_mode'] = (node['st_mode'] & ~0o7777) | (mode & 0o7777)
        return 0

    def chown(self, path, uid, gid):
        return 0

    def utimens(self, path, times=None):
        return 0


if __name__ == '__main__':
    # Unmounted by fusermount should a killed test leave it behind.
    mode = sys.argv[2] if len(sys.argv) > 2 else ''
    FUSE(FailingFs(mode), sys.argv[1], foreground=True, nothreads=True, auto_unmount=True,
         direct_io=mode == 'interrupted')
