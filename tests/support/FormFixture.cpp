// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FormFixture.h"

#include "browser/Browser.h"
#include "selection/Selection.h"
#include "support/Lists.h"

#include <QFile>

namespace quibex::test {

FormFixture::FormFixture() : form(std::make_unique<fmenu>(box))
{
    fmenu& f = *form;
    f.Drive1.setDrives({{tree.path(), {}}});
    QObject::connect(&f.Drive1, &DriveList::changed, [&f] { Drive1_Change(f); });
    QObject::connect(&f.Dir1, &DirList::changed, [&f] { Dir1_Change(f); });
    f.programFolder = tree.path();
    Form_Load(f);
}

void FormFixture::browse(const QByteArray& folder)
{
    form->Dir1.setPath(folder);
}

bool FormFixture::pick(const QString& name)
{
    return pickFile(*form, name);
}

bool pickFile(fmenu& form, const QString& name)
{
    for (int i = 0; i < form.File1.count(); ++i) {
        if (form.File1.item(i) == name) {
            form.File1.setListIndex(i);
            File1_Click(form);
            return true;
        }
    }
    return false;
}

void appendFile(fmenu& form, const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    form.List1.addItem(QFile::decodeName(path.mid(slash + 1)), path.mid(slash + 1));
    form.List2.addItem(QFile::decodeName(path.left(slash)), path.left(slash));
}

QStringList FormFixture::names() const
{
    return texts(form->List1);
}

QStringList FormFixture::folders() const
{
    return texts(form->List2);
}

}  // namespace quibex::test
