#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace vigilo {

/// Tells observers that an object is about to change. Observers are called before the change,
/// so they re-read the object later (the Qt bridge re-reads once per event-loop turn).
class ChangeNotifier {
public:
    void subscribe(std::function<void()> observer) { observers_.push_back(std::move(observer)); }
    void notify() const {
        for (const auto& observer : observers_) {
            observer();
        }
    }

private:
    std::vector<std::function<void()>> observers_;
};

} // namespace vigilo
