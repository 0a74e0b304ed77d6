#pragma once

#include <string>

namespace vigilo {

/// How the program's texts name the machine and the modifier key on this platform. The texts
/// were written for macOS; elsewhere "Mac" would be wrong, so the platform layer picks the words.
struct PlatformWords {
    /// The machine inside a sentence: "Твой Mac не может спать".
    std::string computer = "Mac";
    /// The machine at the start of a sentence: "Mac уснёт через 10 минут".
    std::string computerAtStart = "Mac";
    /// The machine as the one something is given to: "Не давать Mac засыпать".
    std::string computerDative = "Mac";
    /// The machine in the English reason shown by the system's lock listings.
    std::string computerInEnglish = "Mac";
    /// The key that switches keep-awake with a click on the tray icon.
    std::string toggleModifier = "⌥";
};

/// The words of a Linux desktop: "компьютер", "the computer", "Alt".
[[nodiscard]] inline PlatformWords linuxWords() {
    return {.computer = "компьютер",
            .computerAtStart = "Компьютер",
            .computerDative = "компьютеру",
            .computerInEnglish = "the computer",
            .toggleModifier = "Alt"};
}

} // namespace vigilo
