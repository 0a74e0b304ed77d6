#pragma once

#include "platform/DesktopAppearance.h"

namespace vigilo::fakes {

/// A desktop that says nothing about its panel.
class FakeDesktopAppearance final : public DesktopAppearance {
public:
    [[nodiscard]] const DesktopFacts& facts() const override { return facts_; }

private:
    DesktopFacts facts_;
};

} // namespace vigilo::fakes
