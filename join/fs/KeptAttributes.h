// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>

namespace quibex {

// Gives the new file at newFd what the file it replaces had: its owner and
// group, its permission bits, and its extended attributes, the access ACL
// among them; never a file capability (security.capability), which would
// hand the new content privileges nobody gave it. Nothing is granted to
// anyone beyond what the old file granted: an ACL that cannot be copied
// leaves the group bits of the ACL's owning-group entry rather than those
// of its mask.
//
// oldFile is an open descriptor (O_PATH is enough) of the file replaced.
// Returns 0, or the errno of a failure that leaves the new file wider open
// than the old one (the permission bits could not be set).
//
// When the new file cannot get both the old owner and the old group (only
// a privileged program may give a file another owner, a member of a group
// that group), nothing is done and kept is false: no bits or ACL could say
// who had what, the owner would lose its own file to the writer, and the
// caller writes into the old file instead.
[[nodiscard]] int keepAttributes(int oldFile, const struct stat& old, int newFd, bool& kept);

}  // namespace quibex
