// SPDX-License-Identifier: GPL-3.0-or-later
#include "join/fs/EndingGuard.h"

namespace quibex {

EndingGuard& noEndingGuard()
{
    static EndingGuard nothing;
    return nothing;
}

}  // namespace quibex
