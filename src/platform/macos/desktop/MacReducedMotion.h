#pragma once

#include "platform/ReducedMotion.h"

namespace vigilo {

/// The accessibility setting "Reduce motion", followed through the workspace's notice of
/// changed display options.
class MacReducedMotion final : public ReducedMotion {
public:
    explicit MacReducedMotion(QObject* parent = nullptr);
    ~MacReducedMotion() override;
    MacReducedMotion(const MacReducedMotion&) = delete;
    MacReducedMotion& operator=(const MacReducedMotion&) = delete;

    [[nodiscard]] bool isReduced() const override { return reduced_; }

private:
    void refresh();

    bool reduced_ = false;
    /// The notice centre's token, kept as an untyped pointer so this header stays plain C++.
    void* observer_ = nullptr;
};

} // namespace vigilo
