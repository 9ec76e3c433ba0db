#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace quibex {

struct fmenu;

// The selected files as the join copies them: each path with the length it
// had when measured. Each is copied for exactly that length, so the total
// held to the limit is the total written.
struct Inputs {
    std::vector<QByteArray> paths;
    std::vector<int64_t> lengths;
    // The sum of the lengths; the largest value when the sum passes it,
    // which is far above any limit.
    int64_t total = 0;
};

// Measures every selected file. Returns 0, or the errno for the first one
// that is missing or not a regular file. One stat per file keeps this pass
// cheap on thousands of small files; a file that exists but may not be
// read fails when it is opened to be copied.
int measureInputs(const fmenu& form, Inputs& inputs);

}  // namespace quibex
