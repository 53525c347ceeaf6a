#include "engine/ThreadBridge.h"

#include <QMetaObject>
#include <QThread>
#include <future>
#include <memory>
#include <mutex>

namespace {

bool OnThreadOf(const QObject* home)
{
    return !home || QThread::currentThread() == home->thread();
}

// Posting a call and running (or dropping) it meet on this lock. The toolkit's event queue
// orders them too, but with a lock of its own that a thread checker cannot see; this one
// makes the hand-over of the call, its captures and its event visible to it. Recursive:
// the poster may drop the last reference to a call inside the post.
std::recursive_mutex& HandOverLock()
{
    static std::recursive_mutex lock;
    return lock;
}

struct PostedCall {
    std::function<void()> call;

    PostedCall(std::function<void()> c) : call(std::move(c)) {}
    PostedCall(PostedCall&& other) noexcept : call(std::move(other.call)) {}
    PostedCall(const PostedCall& other) : call(other.call) {}
    ~PostedCall() { std::lock_guard lock(HandOverLock()); }
    void operator()() const
    {
        { std::lock_guard lock(HandOverLock()); }
        call();
    }
};

} // namespace

bool PostToThreadOf(QObject* home, std::function<void()> call)
{
    std::lock_guard lock(HandOverLock());
    return home && QMetaObject::invokeMethod(home, PostedCall(std::move(call)), Qt::QueuedConnection);
}

bool CrossThreadStatus::OnHomeThread() const { return OnThreadOf(home_); }

void CrossThreadStatus::AddLine(const QString& text, std::optional<std::uint32_t> colour)
{
    if (OnHomeThread())
        return target_.AddLine(text, colour);
    StatusLines* target = &target_;
    PostToThreadOf(home_, [target, text, colour] { target->AddLine(text, colour); });
}

void CrossThreadStatus::ClearLines()
{
    if (OnHomeThread())
        return target_.ClearLines();
    StatusLines* target = &target_;
    PostToThreadOf(home_, [target] { target->ClearLines(); });
}

void CrossThreadStatus::SetDisplay(bool on)
{
    if (OnHomeThread())
        return target_.SetDisplay(on);
    StatusLines* target = &target_;
    PostToThreadOf(home_, [target, on] { target->SetDisplay(on); });
}

MessageResult CrossThreadMessenger::ShowMessage(const MessageRequest& request)
{
    if (OnThreadOf(home_))
        return target_.ShowMessage(request);
    // The answer comes back through a future: the worker waits for it outside the hand-over
    // lock. A call the front end drops unanswered (its window went away) breaks the promise
    // and counts as Cancel.
    auto answer = std::make_shared<std::promise<MessageResult>>();
    std::future<MessageResult> result = answer->get_future();
    Messenger* target = &target_;
    if (!PostToThreadOf(home_, [target, request, answer] { answer->set_value(target->ShowMessage(request)); }))
        return MessageResult::Cancel;
    answer.reset();
    try {
        return result.get();
    } catch (const std::future_error&) {
        return MessageResult::Cancel;
    }
}
