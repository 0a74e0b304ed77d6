#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace vigilo {

/// Owns one reference to a CoreFoundation object: the result of a Create or Copy call, which
/// the caller must release. A Get result is not owned and must never be put in one.
template <typename Ref> class CFRef {
public:
    CFRef() = default;
    /// Takes over the reference `owned` (NULL allowed).
    explicit CFRef(Ref owned)
        : ref_(owned) {}
    ~CFRef() {
        if (ref_ != nullptr) {
            CFRelease(ref_);
        }
    }
    CFRef(CFRef&& other) noexcept
        : ref_(std::exchange(other.ref_, nullptr)) {}
    CFRef& operator=(CFRef&& other) noexcept {
        CFRef(std::move(other)).swap(*this);
        return *this;
    }
    CFRef(const CFRef&) = delete;
    CFRef& operator=(const CFRef&) = delete;

    [[nodiscard]] Ref get() const { return ref_; }
    explicit operator bool() const { return ref_ != nullptr; }
    void swap(CFRef& other) noexcept { std::swap(ref_, other.ref_); }

private:
    Ref ref_ = nullptr;
};

/// A new string holding `text` (UTF-8).
[[nodiscard]] inline CFRef<CFStringRef> cfString(const std::string& text) {
    return CFRef<CFStringRef>(
        CFStringCreateWithCString(kCFAllocatorDefault, text.c_str(), kCFStringEncodingUTF8));
}

/// `value` as UTF-8 text, when it is a string.
[[nodiscard]] inline std::optional<std::string> textOf(CFTypeRef value) {
    if (value == nullptr || CFGetTypeID(value) != CFStringGetTypeID()) {
        return std::nullopt;
    }
    const auto string = static_cast<CFStringRef>(value);
    const CFIndex size =
        CFStringGetMaximumSizeForEncoding(CFStringGetLength(string), kCFStringEncodingUTF8) + 1;
    std::string buffer(static_cast<std::size_t>(size), '\0');
    if (CFStringGetCString(string, buffer.data(), size, kCFStringEncodingUTF8) == 0) {
        return std::nullopt;
    }
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

/// `value` when it is a number that holds an integer exactly (not a floating-point number).
[[nodiscard]] inline std::optional<std::int64_t> integerOf(CFTypeRef value) {
    if (value == nullptr || CFGetTypeID(value) != CFNumberGetTypeID() ||
        CFNumberIsFloatType(static_cast<CFNumberRef>(value)) != 0) {
        return std::nullopt;
    }
    std::int64_t integer = 0;
    if (CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt64Type, &integer) == 0) {
        return std::nullopt;
    }
    return integer;
}

/// `value` when it is a boolean.
[[nodiscard]] inline std::optional<bool> booleanOf(CFTypeRef value) {
    if (value == nullptr || CFGetTypeID(value) != CFBooleanGetTypeID()) {
        return std::nullopt;
    }
    return CFBooleanGetValue(static_cast<CFBooleanRef>(value)) != 0;
}

} // namespace vigilo
