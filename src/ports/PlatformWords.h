#pragma once

#include <string>

namespace vigilo {

/// How the program's texts name the machine and the modifier key on this platform, and the
/// sentences that tell what the closed-lid permission costs and allows here. The texts were
/// written for macOS; elsewhere "Mac" and an administrator password would be wrong, so the
/// platform layer picks the words.
struct PlatformWords {
    /// The machine inside a sentence: "Mac снова может засыпать."
    std::string computer = "Mac";
    /// The machine at the start of a sentence: "Mac не уснёт".
    std::string computerAtStart = "Mac";
    /// The hero's idle title up to the delay: "Mac уснёт через" 10 минут. The title is one line
    /// that may shrink to 0.8 of its size, so a long name of the machine is left out here.
    std::string willSleepTitle = "Mac уснёт через";
    /// The hero's idle title when nothing lets the machine sleep by itself.
    std::string cannotSleepTitle = "Твой Mac не может спать";
    /// The machine as the one something is given to: "Не давать Mac засыпать".
    std::string computerDative = "Mac";
    /// The machine in the English reason shown by the system's lock listings.
    std::string computerInEnglish = "Mac";
    /// The about tab's footnote where the program does not update itself: who brings the new
    /// versions. A Mac program always updates itself.
    std::string updatedByOthers;
    /// The key that switches keep-awake with a click on the tray icon.
    std::string toggleModifier = "⌥";
    /// The lid consent card's explanation: what granting asks of the user and what it allows.
    std::string lidConsentExplanation = "macOS один раз попросит пароль. Разрешим только две "
                                        "команды: включить и выключить запрет сна.";
    /// The revoke confirmation's explanation: what revoking changes and what undoing it costs.
    std::string lidRevokeExplanation = "Mac снова сможет засыпать с закрытой крышкой. Чтобы "
                                       "вернуть доступ, понадобится пароль администратора.";
};

/// The words of a Linux desktop: "компьютер", "the computer", "Alt". The closed-lid permission
/// is the user's consent, kept by the program: nothing asks for a password, and all it allows is
/// holding back the sleep that closing the lid would start.
[[nodiscard]] inline PlatformWords linuxWords() {
    return {.computer = "компьютер",
            .computerAtStart = "Компьютер",
            .willSleepTitle = "Уснёт через",
            .cannotSleepTitle = "Компьютер не может спать",
            .computerDative = "компьютеру",
            .computerInEnglish = "the computer",
            .updatedByOthers = "Обновления приходят через менеджер пакетов",
            .toggleModifier = "Alt",
            .lidConsentExplanation = "Пароль не понадобится. Разрешим только одно: не давать "
                                     "компьютеру засыпать, когда крышка закрыта.",
            .lidRevokeExplanation = "Компьютер снова сможет засыпать с закрытой крышкой. "
                                    "Вернуть доступ можно в любой момент, без пароля."};
}

} // namespace vigilo
