#include "platform/linux/desktop/CanberraContext.h"

#include "BuildInfo.h"

#include <canberra.h>
#include <memory>

namespace vigilo {

void CanberraContext::post(Task task) {
    const std::scoped_lock lock(mutex_);
    if (unavailable_) {
        return;
    }
    tasks_.push_back(std::move(task));
    if (!thread_.joinable()) {
        thread_ = std::jthread([this](const std::stop_token& stop) { run(stop); });
    }
    wake_.notify_one();
}

void CanberraContext::run(const std::stop_token& stop) {
    ca_context* made = nullptr;
    if (ca_context_create(&made) != CA_SUCCESS) {
        const std::scoped_lock lock(mutex_);
        unavailable_ = true;
        tasks_.clear();
        return;
    }
    // Destroyed here, on this thread: canberra calls the finish callbacks of the sounds still
    // playing from inside the destruction.
    const std::unique_ptr<ca_context, decltype(&ca_context_destroy)> context(made,
                                                                             &ca_context_destroy);
    // The names the sound server's mixer shows for our sounds.
    ca_context_change_props(context.get(), CA_PROP_APPLICATION_NAME, "Vigilo",
                            CA_PROP_APPLICATION_ID, BuildInfo::applicationId,
                            CA_PROP_APPLICATION_ICON_NAME, BuildInfo::applicationId, nullptr);
    std::unique_lock lock(mutex_);
    while (wake_.wait(lock, stop, [this] { return !tasks_.empty(); }) && !stop.stop_requested()) {
        const Task task = std::move(tasks_.front());
        tasks_.pop_front();
        lock.unlock();
        task(*context);
        lock.lock();
    }
}

} // namespace vigilo
