#include "platform/macos/update/SparkleErrors.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

struct ErrorCase {
    std::int64_t code;
    const char* description;
    UpdateErrorKind kind;
};

TEST(SparkleErrors, TheDescriptionDecidesBeforeTheCode) {
    const ErrorCase cases[] = {
        // The words the user's text goes by, in any case, whatever the code.
        {2001, "An error occurred while downloading the update.", UpdateErrorKind::download},
        {1002, "DOWNLOAD failed", UpdateErrorKind::download},
        {4005, "The download and the network both failed", UpdateErrorKind::download},
        {1002, "The Internet connection appears to be offline.", UpdateErrorKind::network},
        {3000, "A network error occurred", UpdateErrorKind::network},
        // Without them, the step by Sparkle's code.
        {4, "The feed URL is not valid.", UpdateErrorKind::unconfigured},
        {1, "No public key was found.", UpdateErrorKind::unconfigured},
        {999, "", UpdateErrorKind::unconfigured},
        {3001, "The update is improperly signed.", UpdateErrorKind::signature},
        {3002, "The update could not be validated.", UpdateErrorKind::signature},
        {3000, "An error occurred while extracting the archive.", UpdateErrorKind::archive},
        {3999, "", UpdateErrorKind::archive},
        {4000, "An error occurred while installing the update.", UpdateErrorKind::install},
        {4999, "", UpdateErrorKind::install},
        {1000, "An error occurred while parsing the update feed.", UpdateErrorKind::feed},
        {2000, "Can't make a temporary folder.", UpdateErrorKind::feed},
        {5000, "", UpdateErrorKind::feed},
        {0, "", UpdateErrorKind::feed},
        {-1009, "", UpdateErrorKind::feed},
    };
    for (const auto& one : cases) {
        EXPECT_EQ(sparkleErrorKind(one.code, one.description), one.kind)
            << one.code << " \"" << one.description << "\"";
    }
}

} // namespace
} // namespace vigilo
