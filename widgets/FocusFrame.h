// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAbstractItemView;

namespace quibex {

// A list with no rows draws no focus frame of its own, so with the focus it
// looks exactly as without: a frame inside its border then shows where the
// keyboard is. Called at the end of the view's paint.
void paintFocusOnEmptyList(QAbstractItemView* view);

// Tells assistive tools which row carries the focus frame, once the view's
// own focus has been announced: a list that takes the focus would otherwise
// be read out without the row a key press acts on.
void announceFramedRow(QAbstractItemView* view);

// The frame that shows a list will take what is dragged over it.
void paintDropTarget(QAbstractItemView* view);

}  // namespace quibex
