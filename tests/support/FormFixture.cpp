#include "support/FormFixture.h"

#include "browser/Browser.h"
#include "selection/Selection.h"

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

QStringList FormFixture::names() const
{
    QStringList all;
    for (int i = 0; i < form->List1.count(); ++i)
        all << form->List1.item(i);
    return all;
}

QStringList FormFixture::folders() const
{
    QStringList all;
    for (int i = 0; i < form->List2.count(); ++i)
        all << form->List2.item(i);
    return all;
}

}  // namespace quibex::test
