// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/drives/VolumeProbe.h"

#include "toolkit/OffWindowThread.h"
#include "toolkit/drives/MountTable.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statfs.h>

namespace quibex {

namespace {

// Threads that may wait on volumes at once. Each volume that hangs holds
// one until it answers; questions beyond them wait in line.
constexpr int MaxAskingThreads = 8;

struct Question {
    QByteArray volume;
    std::function<void()> ask;
    bool wakeWindow = false;
    std::mutex lock;
    std::condition_variable done;
    bool answered = false;
};

// The questions in line and those still waiting for their volume, by
// volume. Never destroyed: a thread stuck on a volume may wake up while
// the program ends, and must still find it there.
struct Pool {
    std::mutex lock;
    std::condition_variable work;
    std::deque<std::shared_ptr<Question>> line;
    std::map<QByteArray, std::shared_ptr<Question>> unanswered;
    int threads = 0;
    int idle = 0;
};

Pool& pool()
{
    static Pool* const all = new Pool;
    return *all;
}

// Asks, then lets the volume be asked again before telling the waiter: a
// caller that asks the same volume right after must find it free.
void answer(Pool& all, Question& question, const std::shared_ptr<Question>& mine)
{
    question.ask();
    {
        const std::lock_guard<std::mutex> hold(all.lock);
        const auto found = all.unanswered.find(question.volume);
        if (found != all.unanswered.end() && found->second == mine)
            all.unanswered.erase(found);
    }
    {
        const std::lock_guard<std::mutex> hold(question.lock);
        question.answered = true;
    }
    question.done.notify_all();
    if (question.wakeWindow)
        wakeWindowThread();
}

void askInTurn()
{
    Pool& all = pool();
    for (;;) {
        std::shared_ptr<Question> next;
        {
            std::unique_lock<std::mutex> hold(all.lock);
            ++all.idle;
            all.work.wait(hold, [&] { return !all.line.empty(); });
            --all.idle;
            next = all.line.front();
            all.line.pop_front();
        }
        answer(all, *next, next);
    }
}

// Puts a question in line; null when the volume's earlier question is
// still unanswered.
std::shared_ptr<Question> submit(const QByteArray& volume, std::function<void()> ask,
                                 bool wakeWindow)
{
    Pool& all = pool();
    const std::lock_guard<std::mutex> hold(all.lock);
    if (all.unanswered.count(volume) != 0)
        return nullptr;
    auto question = std::make_shared<Question>();
    question->volume = volume;
    question->ask = std::move(ask);
    question->wakeWindow = wakeWindow;
    if (all.idle == 0 && all.threads < MaxAskingThreads) {
        try {
            std::thread(askInTurn).detach();
            ++all.threads;
        } catch (const std::system_error&) {
            // The threads there are will get to it.
        }
    }
    if (all.threads == 0)
        return nullptr;
    all.unanswered[volume] = question;
    all.line.push_back(question);
    all.work.notify_one();
    return question;
}

bool waitStill(Question& question, std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock<std::mutex> hold(question.lock);
    return question.done.wait_until(hold, deadline, [&] { return question.answered; });
}

bool isAnswered(Question& question)
{
    const std::lock_guard<std::mutex> hold(question.lock);
    return question.answered;
}

VolumeAnswer probe(const QByteArray& root)
{
    VolumeAnswer answer;
    answer.answered = true;
    struct stat info;
    answer.folder = stat(root.constData(), &info) == 0 && S_ISDIR(info.st_mode);
    struct statfs volume;
    answer.sized = statfs(root.constData(), &volume) == 0 && volume.f_blocks > 0;
    if (DIR* dir = answer.folder ? opendir(root.constData()) : nullptr) {
        answer.readable = true;
        closedir(dir);
    }
    return answer;
}

bool isUnder(const QByteArray& path, const QByteArray& root)
{
    return path.startsWith(root)
        && (path.size() == root.size() || root.endsWith('/') || path.at(root.size()) == '/');
}

}  // namespace

bool askVolume(const QByteArray& volume, std::function<void()> question,
               std::chrono::milliseconds bound, Waiting waiting)
{
    const bool answering = waiting == Waiting::Answering && canWaitAnswering();
    const std::shared_ptr<Question> asked = submit(volume, std::move(question), answering);
    if (!asked)
        return false;
    if (answering)
        return waitAnswering([&asked] { return isAnswered(*asked); }, bound);
    return waitStill(*asked, std::chrono::steady_clock::now() + bound);
}

bool isOfTypeWithin(const QByteArray& path, unsigned type)
{
    return askVolumeFor<bool>(
               volumeOf(path),
               [path, type] {
                   struct stat info;
                   return stat(path.constData(), &info) == 0 && (info.st_mode & S_IFMT) == type;
               },
               VolumeAnswerBound)
        .value_or(false);
}

std::vector<VolumeAnswer> askVolumes(const std::vector<QByteArray>& roots,
                                     std::chrono::milliseconds bound)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    std::vector<std::shared_ptr<VolumeAnswer>> answers;
    std::vector<std::shared_ptr<Question>> questions;
    for (const QByteArray& root : roots) {
        auto answer = std::make_shared<VolumeAnswer>();
        questions.push_back(submit(
            root, [answer, root] { *answer = probe(root); }, false));
        answers.push_back(std::move(answer));
    }
    std::vector<VolumeAnswer> found(roots.size());
    for (size_t i = 0; i < questions.size(); ++i) {
        if (questions[i] && waitStill(*questions[i], deadline))
            found[i] = *answers[i];
    }
    return found;
}

QByteArray volumeOf(const QByteArray& path)
{
    QByteArray best = "/";
    for (const MountEntry& mount : readMountTable()) {
        if (mount.root.size() > best.size() && isUnder(path, mount.root))
            best = mount.root;
    }
    return best;
}

}  // namespace quibex
