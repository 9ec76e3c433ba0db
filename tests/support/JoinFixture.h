// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form/fmenu.h"
#include "join/Join.h"
#include "support/FormFixture.h"
#include "support/Lists.h"
#include "support/TempTree.h"
#include "toolkit/OffWindowThread.h"
#include "support/ScriptedMessageBox.h"

#include <QSignalSpy>
#include <QTest>
#include <QStringList>

#include <functional>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quibex::test {

// What the join tests share: the messages as they are expected to look, a
// form whose file list shows the folder "out" with its displays recorded,
// and helpers for the files they make.

// How a message is expected to look: its kind (icon and buttons), title and text.
inline QString stop(const QString& text,
                    const QString& title = QStringLiteral("CREATION DE FICHIER"))
{
    return QStringLiteral("stop/OK ") + title + ": " + text;
}
inline QString question(const QString& name)
{
    return QStringLiteral("none/YesNo CREATION DE FICHIER: Le fichier ") + name
        + QStringLiteral(" existe déjà. Voulez-vous l'écraser ?");
}
inline QString created(const QString& name)
{
    return QStringLiteral("none/OK CREATION DE FICHIER: Fichier ") + name
        + QStringLiteral(" : création Ok !");
}
inline const QString ReadError = stop(QStringLiteral("Impossible de lire l'un des fichiers !"));
inline const QString BadName = stop(QStringLiteral("Nom de fichier incorrect !"));

inline QString bar(int percent, int length)
{
    return QString::number(percent) + QStringLiteral("% ") + QString(length, QChar(127));
}

inline QByteArray pattern(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) % 256);
    return bytes;
}

inline bool makeSparse(const QByteArray& path, off_t size)
{
    const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool done = fd >= 0 && ftruncate(fd, size) == 0;
    if (fd >= 0)
        close(fd);
    return done;
}

inline struct stat statOf(const QByteArray& path)
{
    struct stat info { };
    stat(path.constData(), &info);
    return info;
}

// Writes what a text box tells into a shared log, and lets a test act in
// the middle of a join when a text is set (onText, called on the join's own
// thread before the join goes on, by the Join below).
class Recorder {
public:
    Recorder(QStringList& shared, QString boxName) : log(shared), name(std::move(boxName)) { }
    void listen(TextBox& box)
    {
        QObject::connect(&box, &TextBox::textChanged, &context,
                         [this](const QString& text) { log << name + '=' + text; });
        QObject::connect(&box, &TextBox::focusRequested, &context,
                         [this] { log << name + ".focus"; });
        QObject::connect(&box, &TextBox::repaintRequested, &context,
                         [this] { log << name + ".refresh"; });
    }
    std::function<void(const QString&)> onText;

private:
    QStringList& log;
    QString name;
    QObject context;  // the connections go with the recorder
};

inline QString describe(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons)
{
    return QString(icon == MsgIcon::Critical ? "stop/" : "none/")
        + (buttons == MsgButtons::Ok ? "OK " : "YesNo ") + title + ": " + text;
}

// Notes each message in the shared log too, where it falls among the displays.
// Can also act while a message is shown.
class LoggingBox : public ScriptedMessageBox {
public:
    QStringList* log = nullptr;
    std::function<void()> onShow;
    MsgAnswer show(const QString& text, const QString& title, MsgIcon icon,
                   MsgButtons buttons) override
    {
        if (log)
            *log << describe(text, title, icon, buttons);
        if (onShow)
            onShow();
        return ScriptedMessageBox::show(text, title, icon, buttons);
    }
};

// A form without widgets whose file list shows the folder "out".
struct Join {
    TempTree tree;
    LoggingBox box;
    fmenu form{box};
    QByteArray out = tree.folder("out");
    QStringList log;
    Recorder jauge{log, QStringLiteral("jauge")};
    Recorder jauge2{log, QStringLiteral("jauge2")};
    QSignalSpy text1Focus{&form.Text1, &TextBox::focusRequested};
    QSignalSpy ended{&form.window, &Surface::endRequested};

    Join()
    {
        form.Drive1.setDrives({{tree.path(), {}}});
        form.Dir1.setPath(out);
        form.File1.setPath(out);
        form.Text2.setText(QStringLiteral(".bin"));
        jauge.listen(form.jauge);
        jauge2.listen(form.jauge2);
        setDisplayStepHook([this](const TextBox& display, const QString& text) {
            Recorder& shown = &display == &form.jauge ? jauge : jauge2;
            if (shown.onText)
                shown.onText(text);
        });
    }
    ~Join() { setDisplayStepHook({}); }
    void add(const QByteArray& path) { appendFile(form, path); }
    QByteArray input(const QByteArray& name, const QByteArray& content)
    {
        const QByteArray path = tree.file("in/" + name, content);
        add(path);
        return path;
    }
    JoinOutcome create(const QString& name)
    {
        form.Text1.setText(name);
        log.clear();
        return Command2_Click(form, 1);
    }
    QStringList texts(const QString& display) const
    {
        QStringList found;
        for (const QString& entry : log)
            if (entry.startsWith(display + '='))
                found << entry.mid(display.size() + 1);
        return found;
    }
    // What a join stopped before replacing "old.bin" leaves: that file alone
    // in "out", unchanged, and the selection and the name as they were.
    void checkNothingChanged(int selected) const
    {
        QCOMPARE(TempTree::read(out + "/old.bin"), QByteArray("old content"));
        QCOMPARE(namesIn(out), QStringList{"old.bin"});
        QCOMPARE(form.List1.count(), selected);
        QCOMPARE(form.Text1.text(), QStringLiteral("old.bin"));
    }
    QStringList messages() const
    {
        QStringList all;
        for (const auto& shown : box.shown())
            all << describe(shown.text, shown.title, shown.icon, shown.buttons);
        return all;
    }
};

// While it lives, writing a file past one MiB fails as on a full disk.
class DiskFullAfterOneMegabyte {
public:
    DiskFullAfterOneMegabyte()
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 1 << 20;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~DiskFullAfterOneMegabyte() { setrlimit(RLIMIT_FSIZE, &saved); }

private:
    rlimit saved{};
};

}  // namespace quibex::test
