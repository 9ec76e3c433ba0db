// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractItemView>
#include <QListView>

#include <utility>

namespace quibex {

// Whether a list's focus frame still stands where taking the focus put it:
// no key or click has moved it since, however often the focus left and
// came back. The first arrow press then takes the framed row rather than
// moving past it, so the keyboard never skips the first entry.
class FrameFromFocus {
public:
    // Runs the view's own focus-in handling, which may put the frame on
    // the first row.
    template <typename FocusIn>
    void takeFocus(const QAbstractItemView& view, FocusIn&& focusIn)
    {
        const bool hadFrame = view.currentIndex().isValid();
        taking = true;
        std::forward<FocusIn>(focusIn)();
        taking = false;
        if (!hadFrame && view.currentIndex().isValid())
            pending = true;
    }
    // The frame moved: by a key, a click, or the rows changing.
    void moved()
    {
        if (!taking)
            pending = false;
    }
    // True for the first key press after the frame was put in place.
    bool firstKey() { return std::exchange(pending, false); }

private:
    bool pending = false;
    bool taking = false;
};

// A list view that tells assistive tools which row has the focus only while
// the list itself has it. Qt's list view tells them at every change of its
// current row: the folder list refilled as the drive list changes, or the
// selection reordered by "Bas", would claim the focus for a row while the
// keys still go to the drive list or the button.
class QuietListView : public QListView {
public:
    using QListView::QListView;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
};

// A list with no rows draws no focus frame of its own, so with the focus it
// looks exactly as without: a frame inside its border then shows where the
// keyboard is. Called at the end of the view's paint.
void paintFocusOnEmptyList(QAbstractItemView* view);

// Tells assistive tools which row carries the focus frame, once the view's
// own focus has been announced: a list that takes the focus would otherwise
// be read out without the row a key press acts on.
void announceFramedRow(QAbstractItemView* view);

// Tells assistive tools, at once, that a row of a view has the focus.
void announceRow(QAbstractItemView* view, int row);

// The frame that shows a list will take what is dragged over it.
void paintDropTarget(QAbstractItemView* view);

}  // namespace quibex
