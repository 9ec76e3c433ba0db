// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/drives/VolumeProbe.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statfs.h>

namespace quibex {

namespace {

struct Question {
    std::mutex lock;
    std::condition_variable done;
    bool answered = false;
    VolumeAnswer answer;
};

// The questions still waiting for their volume, by root. Never destroyed:
// a thread stuck on a volume may wake up while the program ends, and must
// still find it there.
struct Pending {
    std::mutex lock;
    std::map<QByteArray, std::shared_ptr<Question>> questions;
};

Pending& pending()
{
    static Pending* const all = new Pending;
    return *all;
}

VolumeAnswer ask(const QByteArray& root)
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

// Starts asking a root on a thread of its own; null when a question to that
// root is still waiting from before, or no thread could be made.
std::shared_ptr<Question> startAsking(const QByteArray& root)
{
    Pending& all = pending();
    const std::lock_guard<std::mutex> guard(all.lock);
    const auto earlier = all.questions.find(root);
    if (earlier != all.questions.end()) {
        const std::lock_guard<std::mutex> hold(earlier->second->lock);
        if (!earlier->second->answered)
            return nullptr;
    }
    auto question = std::make_shared<Question>();
    try {
        std::thread([root, question] {
            const VolumeAnswer answer = ask(root);
            {
                const std::lock_guard<std::mutex> hold(question->lock);
                question->answer = answer;
                question->answered = true;
            }
            question->done.notify_all();
            Pending& stillPending = pending();
            const std::lock_guard<std::mutex> hold(stillPending.lock);
            const auto mine = stillPending.questions.find(root);
            if (mine != stillPending.questions.end() && mine->second == question)
                stillPending.questions.erase(mine);
        }).detach();
    } catch (const std::system_error&) {
        return nullptr;
    }
    all.questions[root] = question;
    return question;
}

}  // namespace

std::vector<VolumeAnswer> askVolumes(const std::vector<QByteArray>& roots,
                                     std::chrono::milliseconds bound)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    std::vector<std::shared_ptr<Question>> questions;
    questions.reserve(roots.size());
    for (const QByteArray& root : roots)
        questions.push_back(startAsking(root));
    std::vector<VolumeAnswer> answers(roots.size());
    for (size_t i = 0; i < questions.size(); ++i) {
        if (!questions[i])
            continue;
        std::unique_lock<std::mutex> hold(questions[i]->lock);
        if (questions[i]->done.wait_until(hold, deadline, [&] { return questions[i]->answered; }))
            answers[i] = questions[i]->answer;
    }
    return answers;
}

}  // namespace quibex
