// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>

namespace quibex {

// Gives the new file at newFd what the file it replaces had, as far as this
// user may: the group (a member of it may set it), the owner (only a
// privileged program may), the permission bits, and the extended
// attributes, the access ACL among them.
//
// Nothing is ever granted to anyone beyond what the old file granted: bits
// that would now apply to another group or owner are narrowed, and an ACL
// that cannot be copied leaves the group bits of the ACL's owning-group
// entry rather than those of its mask.
//
// oldFile is an open descriptor (O_PATH is enough) of the file replaced.
// Returns 0, or the errno of a failure that leaves the new file wider open
// than the old one (the permission bits could not be set).
//
// When the new file cannot get both the old owner and the old group, no
// bits or ACL can say who had what (the owner would lose its own file to
// the writer), so nothing more is done and kept is false: the caller
// writes into the old file instead.
[[nodiscard]] int keepAttributes(int oldFile, const struct stat& old, int newFd, bool& kept);

// The permission bits the new file gets. aclGroup is the permission of the
// old ACL's owning-group entry (0 to 7), or -1 where it had no ACL.
mode_t narrowedMode(mode_t old, int aclGroup, bool ownerKept, bool groupKept);

}  // namespace quibex
