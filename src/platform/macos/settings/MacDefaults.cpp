#include "platform/macos/settings/MacDefaults.h"

#include "platform/macos/cf/CFRef.h"

#include <chrono>

namespace vigilo {

namespace {

using Seconds = std::chrono::duration<double>;

std::optional<DefaultsValue> fromPropertyList(CFPropertyListRef value) {
    if (value == nullptr) {
        return std::nullopt;
    }
    const CFTypeID type = CFGetTypeID(value);
    if (type == CFBooleanGetTypeID()) {
        return *booleanOf(value);
    }
    if (type == CFNumberGetTypeID()) {
        const auto number = static_cast<CFNumberRef>(value);
        if (CFNumberIsFloatType(number) != 0) {
            double real = 0;
            (void)CFNumberGetValue(number, kCFNumberDoubleType, &real);
            return real;
        }
        return integerOf(value);
    }
    if (type == CFStringGetTypeID()) {
        return textOf(value);
    }
    if (type == CFDataGetTypeID()) {
        const auto data = static_cast<CFDataRef>(value);
        const std::uint8_t* bytes = CFDataGetBytePtr(data);
        return Bytes(bytes, bytes + CFDataGetLength(data));
    }
    if (type == CFDateGetTypeID()) {
        const double sinceEpoch =
            CFDateGetAbsoluteTime(static_cast<CFDateRef>(value)) + kCFAbsoluteTimeIntervalSince1970;
        return TimePoint(std::chrono::duration_cast<TimePoint::duration>(Seconds(sinceEpoch)));
    }
    if (type == CFArrayGetTypeID()) {
        const auto array = static_cast<CFArrayRef>(value);
        StringList list;
        for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
            auto item = textOf(CFArrayGetValueAtIndex(array, i));
            if (!item) {
                return std::nullopt;
            }
            list.push_back(std::move(*item));
        }
        return list;
    }
    return std::nullopt;
}

CFRef<CFPropertyListRef> toPropertyList(const DefaultsValue& value) {
    return std::visit(
        [](const auto& item) -> CFRef<CFPropertyListRef> {
            using Item = std::decay_t<decltype(item)>;
            if constexpr (std::is_same_v<Item, bool>) {
                return CFRef<CFPropertyListRef>(CFRetain(item ? kCFBooleanTrue : kCFBooleanFalse));
            } else if constexpr (std::is_same_v<Item, std::int64_t>) {
                return CFRef<CFPropertyListRef>(
                    CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt64Type, &item));
            } else if constexpr (std::is_same_v<Item, double>) {
                return CFRef<CFPropertyListRef>(
                    CFNumberCreate(kCFAllocatorDefault, kCFNumberDoubleType, &item));
            } else if constexpr (std::is_same_v<Item, std::string>) {
                auto text = cfString(item);
                return CFRef<CFPropertyListRef>(text ? CFRetain(text.get()) : nullptr);
            } else if constexpr (std::is_same_v<Item, StringList>) {
                std::vector<CFRef<CFStringRef>> texts;
                std::vector<const void*> items;
                for (const std::string& text : item) {
                    texts.push_back(cfString(text));
                    if (!texts.back()) {
                        return {};
                    }
                    items.push_back(texts.back().get());
                }
                return CFRef<CFPropertyListRef>(CFArrayCreate(kCFAllocatorDefault, items.data(),
                                                              static_cast<CFIndex>(items.size()),
                                                              &kCFTypeArrayCallBacks));
            } else if constexpr (std::is_same_v<Item, Bytes>) {
                return CFRef<CFPropertyListRef>(CFDataCreate(kCFAllocatorDefault, item.data(),
                                                             static_cast<CFIndex>(item.size())));
            } else {
                const double sinceEpoch =
                    std::chrono::duration_cast<Seconds>(item.time_since_epoch()).count();
                return CFRef<CFPropertyListRef>(CFDateCreate(
                    kCFAllocatorDefault, sinceEpoch - kCFAbsoluteTimeIntervalSince1970));
            }
        },
        value);
}

} // namespace

MacDefaults::MacDefaults(std::string applicationId)
    : applicationId_(std::move(applicationId)) {}

std::optional<DefaultsValue> MacDefaults::value(const std::string& key) const {
    const auto name = cfString(key);
    const auto application = cfString(applicationId_);
    if (!name || !application) {
        return std::nullopt;
    }
    const CFRef<CFPropertyListRef> stored(CFPreferencesCopyAppValue(name.get(), application.get()));
    return fromPropertyList(stored.get());
}

void MacDefaults::set(const std::string& key, const DefaultsValue& value) {
    const auto name = cfString(key);
    const auto application = cfString(applicationId_);
    const auto stored = toPropertyList(value);
    if (!name || !application || !stored) {
        return;
    }
    CFPreferencesSetAppValue(name.get(), stored.get(), application.get());
    (void)CFPreferencesAppSynchronize(application.get());
}

void MacDefaults::remove(const std::string& key) {
    const auto name = cfString(key);
    const auto application = cfString(applicationId_);
    if (!name || !application) {
        return;
    }
    CFPreferencesSetAppValue(name.get(), nullptr, application.get());
    (void)CFPreferencesAppSynchronize(application.get());
}

} // namespace vigilo
