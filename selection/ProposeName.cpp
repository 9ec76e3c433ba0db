// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/fmenu.h"
#include "selection/Selection.h"

namespace quibex {

// Offers "." and the first entry's extension as the start of the name of
// the file to create, but only while the name box is empty: a name the user
// typed is never overwritten. Text2 remembers the offer, so that "Créer"
// can refuse it until the user has typed a name in front of it.
void ProposerNom(fmenu& form)
{
    // The focus goes to the name box before its text changes: a screen
    // reader takes the caret moving in a box for the focus being there
    // already, and would then say nothing when the focus came.
    form.Text1.setFocus();
    const QString first = form.List1.count() > 0 ? form.List1.item(0) : QString();
    const qsizetype dot = first.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : first.mid(dot + 1);
    if (form.Text1.text().isEmpty() && !extension.isEmpty()) {
        const QString proposal = QLatin1Char('.') + extension;
        form.Text1.setText(proposal);
        form.Text2.setText(proposal);
    }
}

}  // namespace quibex
