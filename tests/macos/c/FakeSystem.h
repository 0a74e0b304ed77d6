#pragma once

#include "FakeApple.h"

#include <gtest/gtest.h>

namespace vigilo::testing {

/// Starts each test on a fresh scripted system and fails it on anything the fake noticed: an
/// object not released or released too often, an assertion, a registry object or the host port
/// kept, a notice source left on the run loop.
class FakeSystemTest : public ::testing::Test {
protected:
    void SetUp() override { fakeapple::reset(); }
    void TearDown() override { EXPECT_EQ(fakeapple::problems(), std::vector<std::string>{}); }
};

} // namespace vigilo::testing
