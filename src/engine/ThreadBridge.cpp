#include "engine/ThreadBridge.h"

#include <QMetaObject>
#include <QThread>
#include <future>
#include <memory>

namespace {

bool OnThreadOf(const QObject* home)
{
    return !home || QThread::currentThread() == home->thread();
}

} // namespace

bool CrossThreadStatus::OnHomeThread() const { return OnThreadOf(home_); }

void CrossThreadStatus::AddLine(const QString& text, std::optional<std::uint32_t> colour)
{
    if (OnHomeThread())
        return target_.AddLine(text, colour);
    StatusLines* target = &target_;
    QMetaObject::invokeMethod(home_, [target, text, colour] { target->AddLine(text, colour); }, Qt::QueuedConnection);
}

void CrossThreadStatus::ClearLines()
{
    if (OnHomeThread())
        return target_.ClearLines();
    StatusLines* target = &target_;
    QMetaObject::invokeMethod(home_, [target] { target->ClearLines(); }, Qt::QueuedConnection);
}

void CrossThreadStatus::SetDisplay(bool on)
{
    if (OnHomeThread())
        return target_.SetDisplay(on);
    StatusLines* target = &target_;
    QMetaObject::invokeMethod(home_, [target, on] { target->SetDisplay(on); }, Qt::QueuedConnection);
}

MessageResult CrossThreadMessenger::ShowMessage(const MessageRequest& request)
{
    if (OnThreadOf(home_))
        return target_.ShowMessage(request);
    // The answer comes back through a future, not a blocking queued call: everything the
    // front end's thread touched (the request, the call itself) is then ordered before the
    // worker goes on, by the future rather than by the toolkit's internal semaphore, and the
    // call is deleted on the front end's thread. A call the front end drops unanswered (its
    // window went away) breaks the promise and counts as Cancel.
    auto answer = std::make_shared<std::promise<MessageResult>>();
    std::future<MessageResult> result = answer->get_future();
    Messenger* target = &target_;
    const bool posted = QMetaObject::invokeMethod(
        home_, [target, request, answer] { answer->set_value(target->ShowMessage(request)); }, Qt::QueuedConnection);
    if (!posted)
        return MessageResult::Cancel;
    answer.reset();
    try {
        return result.get();
    } catch (const std::future_error&) {
        return MessageResult::Cancel;
    }
}
