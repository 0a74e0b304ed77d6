#include "FakeApple.h"

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>
#include <IOKit/IOKitLib.h>
#include <IOKit/ps/IOPowerSources.h>
#include <IOKit/pwr_mgt/IOPMLib.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mach/mach.h>
#include <memory>
#include <sstream>
#include <sys/sysctl.h>

namespace {

enum TypeId : CFTypeID {
    StringType = 7,
    NumberType = 22,
    BooleanType = 21,
    ArrayType = 19,
    DictionaryType = 18,
    DataType = 20,
    DateType = 42,
    UrlType = 29,
    ErrorType = 30,
    RunLoopSourceType = 46,
    PowerSourcesBlobType = 1000,
};

/// Every CoreFoundation object of the fake. Released objects stay allocated until the next
/// scenario, so a use after release is noticed rather than undefined.
struct Object {
    CFTypeID type = 0;
    /// Constants (CFSTR literals, the booleans) ignore retain and release, as Apple's do.
    bool immortal = false;
    long retainCount = 1;
    std::string text;
    std::int64_t integer = 0;
    double real = 0;
    bool isFloat = false;
    bool truth = false;
    std::vector<std::uint8_t> bytes;
    /// Array items, or dictionary keys and values alternating; retained by this object.
    std::vector<const Object*> items;
    IOPowerSourceCallbackType callback = nullptr;
    void* context = nullptr;
};

struct Scenario {
    std::vector<std::unique_ptr<Object>> objects;
    std::vector<std::string> problems;

    std::vector<std::optional<fakeapple::Description>> powerSources;
    bool powerSourceInfoMissing = false;
    std::vector<Object*> mainRunLoopSources;

    std::vector<fakeapple::Assertion> assertions;
    bool refuseAssertions = false;

    std::optional<std::map<std::string, fakeapple::Scalar>> rootDomain;
    std::map<io_object_t, bool> registryObjects; // handed out → released
    io_object_t nextRegistryObject = 0x2000;

    std::optional<host_cpu_load_info_data_t> cpuTicks;
    std::optional<vm_statistics64_data_t> vmStatistics;
    vm_size_t pageSize = 16384;
    long hostPortReferences = 0;
    std::optional<std::uint64_t> physicalMemory;
    std::optional<std::int64_t> volumeAvailable;
    std::optional<std::int64_t> volumeTotal;
    bool failVolumeQuery = false;
    std::string lastFileSystemPath;

    std::optional<std::vector<std::pair<CGDirectDisplayID, bool>>> displays;

    std::map<std::string, std::map<std::string, const Object*>> preferences;
    int preferenceSaves = 0;
};

Scenario& scenario() {
    static Scenario instance;
    return instance;
}

std::map<std::string, std::unique_ptr<Object>>& constants() {
    static std::map<std::string, std::unique_ptr<Object>> instance;
    return instance;
}

void problem(const std::string& text) {
    scenario().problems.push_back(text);
}

Object* newObject(CFTypeID type) {
    auto& objects = scenario().objects;
    objects.push_back(std::make_unique<Object>());
    objects.back()->type = type;
    return objects.back().get();
}

const Object* object(CFTypeRef ref) {
    return static_cast<const Object*>(ref);
}
Object* mutableObject(CFTypeRef ref) {
    return const_cast<Object*>(object(ref));
}

template <typename Ref> Ref as(const Object* value) {
    return reinterpret_cast<Ref>(value);
}

std::string typeName(CFTypeID type) {
    switch (type) {
    case StringType:
        return "CFString";
    case NumberType:
        return "CFNumber";
    case BooleanType:
        return "CFBoolean";
    case ArrayType:
        return "CFArray";
    case DictionaryType:
        return "CFDictionary";
    case DataType:
        return "CFData";
    case DateType:
        return "CFDate";
    case UrlType:
        return "CFURL";
    case ErrorType:
        return "CFError";
    case RunLoopSourceType:
        return "CFRunLoopSource";
    case PowerSourcesBlobType:
        return "power-source snapshot";
    default:
        return "object";
    }
}

/// The object, checked to be alive and of `type` (0: any type).
const Object* use(CFTypeRef ref, CFTypeID type, const char* call) {
    if (ref == nullptr) {
        problem(std::string(call) + " given NULL");
        return nullptr;
    }
    const Object* value = object(ref);
    if (!value->immortal && value->retainCount <= 0) {
        problem(std::string(call) + " used a " + typeName(value->type) +
                " after its release: " + fakeapple::describe(ref));
    }
    if (type != 0 && value->type != type) {
        problem(std::string(call) + " given a " + typeName(value->type) + " for a " +
                typeName(type));
        return nullptr;
    }
    return value;
}

void retain(const Object* value) {
    if (!value->immortal) {
        ++mutableObject(value)->retainCount;
    }
}

void release(const Object* value);

void destroy(const Object* value) {
    for (const Object* item : value->items) {
        release(item);
    }
}

void release(const Object* value) {
    if (value->immortal) {
        return;
    }
    Object* target = mutableObject(value);
    if (target->retainCount <= 0) {
        problem(typeName(target->type) + " released too often: " + fakeapple::describe(value));
        return;
    }
    if (--target->retainCount == 0) {
        destroy(target);
    }
}

Object* makeString(const std::string& text) {
    Object* value = newObject(StringType);
    value->text = text;
    return value;
}

Object* makeInteger(std::int64_t integer) {
    Object* value = newObject(NumberType);
    value->integer = integer;
    value->real = static_cast<double>(integer);
    return value;
}

Object* makeReal(double real) {
    Object* value = newObject(NumberType);
    value->real = real;
    value->integer = static_cast<std::int64_t>(real);
    value->isFloat = true;
    return value;
}

const Object* makeScalar(const fakeapple::Scalar& scalar) {
    return std::visit(
        [](const auto& item) -> const Object* {
            using Item = std::decay_t<decltype(item)>;
            if constexpr (std::is_same_v<Item, std::int64_t>) {
                return makeInteger(item);
            } else if constexpr (std::is_same_v<Item, double>) {
                return makeReal(item);
            } else if constexpr (std::is_same_v<Item, bool>) {
                return object(item ? kCFBooleanTrue : kCFBooleanFalse);
            } else {
                return makeString(item);
            }
        },
        scalar);
}

Object* makeDictionary(const fakeapple::Description& description) {
    Object* dictionary = newObject(DictionaryType);
    for (const auto& [key, scalar] : description) {
        dictionary->items.push_back(makeString(key));
        dictionary->items.push_back(makeScalar(scalar));
    }
    return dictionary;
}

Object* constant(const std::string& text, CFTypeID type = StringType) {
    auto& entry = constants()[std::to_string(type) + ":" + text];
    if (!entry) {
        entry = std::make_unique<Object>();
        entry->type = type;
        entry->immortal = true;
        entry->text = text;
        entry->truth = text == "true";
    }
    return entry.get();
}

std::string text(CFTypeRef ref, const char* call) {
    const Object* value = use(ref, StringType, call);
    return value != nullptr ? value->text : std::string();
}

} // namespace

namespace fakeapple {

void reset() {
    auto& state = scenario();
    state = Scenario();
}

std::vector<std::string> problems() {
    auto& state = scenario();
    for (const auto& [application, values] : state.preferences) {
        for (const auto& [key, value] : values) {
            release(value);
        }
    }
    state.preferences.clear();
    for (const auto& value : state.objects) {
        if (value->retainCount > 0) {
            problem(typeName(value->type) + " never released: " + describe(value.get()));
        }
    }
    for (const auto& assertion : state.assertions) {
        if (!assertion.released) {
            problem("assertion " + assertion.name + " never released");
        }
    }
    for (const auto& [entry, released] : state.registryObjects) {
        if (!released) {
            problem("registry object never released");
        }
    }
    if (state.hostPortReferences != 0) {
        problem("host port references left: " + std::to_string(state.hostPortReferences));
    }
    if (!state.mainRunLoopSources.empty()) {
        problem("notice source left on the main run loop");
    }
    auto found = std::move(state.problems);
    state = Scenario();
    return found;
}

void setPowerSources(std::vector<std::optional<Description>> sources) {
    scenario().powerSources = std::move(sources);
}

void setPowerSourceInfoMissing(bool missing) {
    scenario().powerSourceInfoMissing = missing;
}

std::size_t noticeSourcesOnMainRunLoop() {
    return scenario().mainRunLoopSources.size();
}

void postPowerSourceNotice() {
    const auto sources = scenario().mainRunLoopSources;
    for (const Object* source : sources) {
        source->callback(source->context);
    }
}

std::vector<Assertion> assertions() {
    return scenario().assertions;
}

void refuseAssertions(bool refuse) {
    scenario().refuseAssertions = refuse;
}

void setRootDomain(std::optional<std::map<std::string, Scalar>> properties) {
    scenario().rootDomain = std::move(properties);
}

void setCpuTicks(std::optional<host_cpu_load_info_data_t> ticks) {
    scenario().cpuTicks = ticks;
}

void setVmStatistics(std::optional<vm_statistics64_data_t> statistics) {
    scenario().vmStatistics = statistics;
}

void setPageSize(vm_size_t pageSize) {
    scenario().pageSize = pageSize;
}

void setPhysicalMemory(std::optional<std::uint64_t> bytes) {
    scenario().physicalMemory = bytes;
}

void setVolumeCapacity(std::optional<std::int64_t> availableForImportantUsage,
                       std::optional<std::int64_t> total) {
    scenario().volumeAvailable = availableForImportantUsage;
    scenario().volumeTotal = total;
}

void failVolumeQuery(bool fail) {
    scenario().failVolumeQuery = fail;
}

std::string lastFileSystemPath() {
    return scenario().lastFileSystemPath;
}

void setDisplays(std::optional<std::vector<std::pair<CGDirectDisplayID, bool>>> displays) {
    scenario().displays = std::move(displays);
}

std::optional<std::string> preference(const std::string& applicationId, const std::string& key) {
    const auto& preferences = scenario().preferences;
    const auto application = preferences.find(applicationId);
    if (application == preferences.end()) {
        return std::nullopt;
    }
    const auto entry = application->second.find(key);
    if (entry == application->second.end()) {
        return std::nullopt;
    }
    return describe(entry->second);
}

int preferenceSaves() {
    return scenario().preferenceSaves;
}

std::string describe(CFTypeRef ref) {
    if (ref == nullptr) {
        return "NULL";
    }
    const Object* value = object(ref);
    std::ostringstream out;
    switch (value->type) {
    case StringType:
        out << '"' << value->text << '"';
        break;
    case NumberType:
        if (value->isFloat) {
            out << value->real;
        } else {
            out << value->integer;
        }
        break;
    case BooleanType:
        out << (value->truth ? "true" : "false");
        break;
    case ArrayType:
    case DictionaryType: {
        out << (value->type == ArrayType ? '[' : '{');
        for (std::size_t i = 0; i < value->items.size(); ++i) {
            const bool pairSeparator = value->type == DictionaryType && i % 2 == 1;
            out << (i == 0 ? "" : pairSeparator ? ": " : ", ") << describe(value->items[i]);
        }
        out << (value->type == ArrayType ? ']' : '}');
        break;
    }
    case DataType: {
        out << '<';
        for (std::size_t i = 0; i < value->bytes.size(); ++i) {
            static const char* digits = "0123456789abcdef";
            out << (i == 0 ? "" : " ") << digits[value->bytes[i] >> 4]
                << digits[value->bytes[i] & 15];
        }
        out << '>';
        break;
    }
    case DateType:
        out << "date(" << value->real << ')';
        break;
    default:
        out << typeName(value->type);
        break;
    }
    return out.str();
}

} // namespace fakeapple

// ---- CoreFoundation ----

const CFAllocatorRef kCFAllocatorDefault = nullptr;
const CFBooleanRef kCFBooleanTrue = as<CFBooleanRef>(constant("true", BooleanType));
const CFBooleanRef kCFBooleanFalse = as<CFBooleanRef>(constant("false", BooleanType));
const CFArrayCallBacks kCFTypeArrayCallBacks = {0, nullptr, nullptr, nullptr, nullptr};
const CFTimeInterval kCFAbsoluteTimeIntervalSince1970 = 978307200.0;
const CFStringRef kCFURLVolumeAvailableCapacityForImportantUsageKey =
    as<CFStringRef>(constant("NSURLVolumeAvailableCapacityForImportantUsageKey"));
const CFStringRef kCFURLVolumeTotalCapacityKey =
    as<CFStringRef>(constant("NSURLVolumeTotalCapacityKey"));
const CFStringRef kCFRunLoopDefaultMode = as<CFStringRef>(constant("kCFRunLoopDefaultMode"));
const CFStringRef kCFPreferencesCurrentApplication =
    as<CFStringRef>(constant("kCFPreferencesCurrentApplication"));

CFTypeRef CFRetain(CFTypeRef cf) {
    if (const Object* value = use(cf, 0, "CFRetain")) {
        retain(value);
    }
    return cf;
}

void CFRelease(CFTypeRef cf) {
    if (cf == nullptr) {
        problem("CFRelease given NULL");
        return;
    }
    release(object(cf));
}

CFTypeID CFGetTypeID(CFTypeRef cf) {
    const Object* value = use(cf, 0, "CFGetTypeID");
    return value != nullptr ? value->type : 0;
}

CFStringRef __CFStringMakeConstantString(const char* cStr) {
    return as<CFStringRef>(constant(cStr));
}
CFTypeID CFStringGetTypeID(void) {
    return StringType;
}

CFStringRef CFStringCreateWithCString(CFAllocatorRef /*alloc*/, const char* cStr,
                                      CFStringEncoding /*encoding*/) {
    return as<CFStringRef>(makeString(cStr));
}

CFIndex CFStringGetLength(CFStringRef theString) {
    // The fake holds UTF-8; its byte count is at least the UTF-16 length, which is all callers
    // use it for (sizing a buffer).
    return static_cast<CFIndex>(text(theString, "CFStringGetLength").size());
}

CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding /*encoding*/) {
    return length * 3;
}

Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize,
                           CFStringEncoding /*encoding*/) {
    const std::string value = text(theString, "CFStringGetCString");
    if (static_cast<CFIndex>(value.size()) + 1 > bufferSize) {
        return 0;
    }
    std::memcpy(buffer, value.c_str(), value.size() + 1);
    return 1;
}

CFTypeID CFNumberGetTypeID(void) {
    return NumberType;
}

CFNumberRef CFNumberCreate(CFAllocatorRef /*allocator*/, CFNumberType theType,
                           const void* valuePtr) {
    switch (theType) {
    case kCFNumberSInt32Type:
    case kCFNumberIntType:
        return as<CFNumberRef>(makeInteger(*static_cast<const std::int32_t*>(valuePtr)));
    case kCFNumberSInt64Type:
    case kCFNumberLongLongType:
        return as<CFNumberRef>(makeInteger(*static_cast<const std::int64_t*>(valuePtr)));
    case kCFNumberDoubleType:
        return as<CFNumberRef>(makeReal(*static_cast<const double*>(valuePtr)));
    default:
        problem("CFNumberCreate with an unsupported type");
        return nullptr;
    }
}

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr) {
    const Object* value = use(number, NumberType, "CFNumberGetValue");
    if (value == nullptr) {
        return 0;
    }
    const bool exact = !value->isFloat || value->real == static_cast<double>(value->integer);
    switch (theType) {
    case kCFNumberSInt32Type:
    case kCFNumberIntType:
        *static_cast<std::int32_t*>(valuePtr) = static_cast<std::int32_t>(value->integer);
        return exact && value->integer == static_cast<std::int32_t>(value->integer) ? 1 : 0;
    case kCFNumberSInt64Type:
    case kCFNumberLongLongType:
        *static_cast<std::int64_t*>(valuePtr) = value->integer;
        return exact ? 1 : 0;
    case kCFNumberDoubleType:
        *static_cast<double*>(valuePtr) = value->real;
        return 1;
    default:
        problem("CFNumberGetValue with an unsupported type");
        return 0;
    }
}

Boolean CFNumberIsFloatType(CFNumberRef number) {
    const Object* value = use(number, NumberType, "CFNumberIsFloatType");
    return value != nullptr && value->isFloat ? 1 : 0;
}

CFTypeID CFBooleanGetTypeID(void) {
    return BooleanType;
}

Boolean CFBooleanGetValue(CFBooleanRef boolean) {
    const Object* value = use(boolean, BooleanType, "CFBooleanGetValue");
    return value != nullptr && value->truth ? 1 : 0;
}

CFTypeID CFArrayGetTypeID(void) {
    return ArrayType;
}

CFArrayRef CFArrayCreate(CFAllocatorRef /*allocator*/, const void** values, CFIndex numValues,
                         const CFArrayCallBacks* callBacks) {
    if (callBacks != &kCFTypeArrayCallBacks) {
        problem("CFArrayCreate without kCFTypeArrayCallBacks");
    }
    Object* array = newObject(ArrayType);
    for (CFIndex i = 0; i < numValues; ++i) {
        const Object* item = use(values[i], 0, "CFArrayCreate");
        retain(item);
        array->items.push_back(item);
    }
    return as<CFArrayRef>(array);
}

CFIndex CFArrayGetCount(CFArrayRef theArray) {
    const Object* array = use(theArray, ArrayType, "CFArrayGetCount");
    return array != nullptr ? static_cast<CFIndex>(array->items.size()) : 0;
}

const void* CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx) {
    const Object* array = use(theArray, ArrayType, "CFArrayGetValueAtIndex");
    if (array == nullptr || idx < 0 || idx >= static_cast<CFIndex>(array->items.size())) {
        problem("CFArrayGetValueAtIndex out of range");
        return nullptr;
    }
    return array->items[static_cast<std::size_t>(idx)];
}

CFTypeID CFDictionaryGetTypeID(void) {
    return DictionaryType;
}

const void* CFDictionaryGetValue(CFDictionaryRef theDict, const void* key) {
    const Object* dictionary = use(theDict, DictionaryType, "CFDictionaryGetValue");
    const std::string wanted = text(key, "CFDictionaryGetValue");
    if (dictionary == nullptr) {
        return nullptr;
    }
    for (std::size_t i = 0; i + 1 < dictionary->items.size(); i += 2) {
        if (dictionary->items[i]->text == wanted) {
            return dictionary->items[i + 1];
        }
    }
    return nullptr;
}

CFTypeID CFDataGetTypeID(void) {
    return DataType;
}

CFDataRef CFDataCreate(CFAllocatorRef /*allocator*/, const std::uint8_t* bytes, CFIndex length) {
    Object* data = newObject(DataType);
    data->bytes.assign(bytes, bytes + length);
    return as<CFDataRef>(data);
}

CFIndex CFDataGetLength(CFDataRef theData) {
    const Object* data = use(theData, DataType, "CFDataGetLength");
    return data != nullptr ? static_cast<CFIndex>(data->bytes.size()) : 0;
}

const std::uint8_t* CFDataGetBytePtr(CFDataRef theData) {
    const Object* data = use(theData, DataType, "CFDataGetBytePtr");
    return data != nullptr ? data->bytes.data() : nullptr;
}

CFTypeID CFDateGetTypeID(void) {
    return DateType;
}

CFDateRef CFDateCreate(CFAllocatorRef /*allocator*/, CFAbsoluteTime at) {
    Object* date = newObject(DateType);
    date->real = at;
    return as<CFDateRef>(date);
}

CFAbsoluteTime CFDateGetAbsoluteTime(CFDateRef theDate) {
    const Object* date = use(theDate, DateType, "CFDateGetAbsoluteTime");
    return date != nullptr ? date->real : 0;
}

CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef /*allocator*/, CFStringRef filePath,
                                       CFURLPathStyle pathStyle, Boolean /*isDirectory*/) {
    if (pathStyle != kCFURLPOSIXPathStyle) {
        problem("CFURLCreateWithFileSystemPath with a path style other than POSIX");
    }
    Object* url = newObject(UrlType);
    url->text = text(filePath, "CFURLCreateWithFileSystemPath");
    scenario().lastFileSystemPath = url->text;
    return as<CFURLRef>(url);
}

Boolean CFURLCopyResourcePropertyForKey(CFURLRef url, CFStringRef key,
                                        void* propertyValueTypeRefPtr, CFErrorRef* error) {
    (void)use(url, UrlType, "CFURLCopyResourcePropertyForKey");
    auto* out = static_cast<CFTypeRef*>(propertyValueTypeRefPtr);
    *out = nullptr;
    const auto& state = scenario();
    if (state.failVolumeQuery) {
        if (error != nullptr) {
            *error = reinterpret_cast<CFErrorRef>(newObject(ErrorType));
        }
        return 0;
    }
    const std::string name = text(key, "CFURLCopyResourcePropertyForKey");
    std::optional<std::int64_t> value;
    if (key == kCFURLVolumeAvailableCapacityForImportantUsageKey) {
        value = state.volumeAvailable;
    } else if (key == kCFURLVolumeTotalCapacityKey) {
        value = state.volumeTotal;
    } else {
        problem("resource value not scripted: " + name);
    }
    if (value) {
        *out = makeInteger(*value);
    }
    return 1;
}

CFRunLoopRef CFRunLoopGetMain(void) {
    return reinterpret_cast<CFRunLoopRef>(constant("main run loop", 0));
}

void CFRunLoopAddSource(CFRunLoopRef rl, CFRunLoopSourceRef source, CFStringRef mode) {
    if (rl != CFRunLoopGetMain() || mode != kCFRunLoopDefaultMode) {
        problem("a source added to a run loop other than the main one in its default mode");
    }
    const Object* added = use(source, RunLoopSourceType, "CFRunLoopAddSource");
    auto& sources = scenario().mainRunLoopSources;
    if (added != nullptr && std::find(sources.begin(), sources.end(), added) == sources.end()) {
        retain(added); // the run loop holds what it runs
        sources.push_back(mutableObject(added));
    }
}

void CFRunLoopRemoveSource(CFRunLoopRef rl, CFRunLoopSourceRef source, CFStringRef mode) {
    if (rl != CFRunLoopGetMain() || mode != kCFRunLoopDefaultMode) {
        problem("a source removed from a run loop or mode it was not added to");
    }
    const Object* removed = use(source, RunLoopSourceType, "CFRunLoopRemoveSource");
    auto& sources = scenario().mainRunLoopSources;
    const auto found = std::find(sources.begin(), sources.end(), removed);
    if (found != sources.end()) {
        sources.erase(found);
        release(removed);
    }
}

void CFRunLoopSourceInvalidate(CFRunLoopSourceRef source) {
    CFRunLoopRemoveSource(CFRunLoopGetMain(), source, kCFRunLoopDefaultMode);
}

CFPropertyListRef CFPreferencesCopyAppValue(CFStringRef key, CFStringRef applicationID) {
    const auto& preferences = scenario().preferences;
    const auto application = preferences.find(text(applicationID, "CFPreferencesCopyAppValue"));
    if (application == preferences.end()) {
        return nullptr;
    }
    const auto entry = application->second.find(text(key, "CFPreferencesCopyAppValue"));
    if (entry == application->second.end()) {
        return nullptr;
    }
    retain(entry->second);
    return entry->second;
}

void CFPreferencesSetAppValue(CFStringRef key, CFPropertyListRef value, CFStringRef applicationID) {
    auto& values = scenario().preferences[text(applicationID, "CFPreferencesSetAppValue")];
    const std::string name = text(key, "CFPreferencesSetAppValue");
    if (const auto old = values.find(name); old != values.end()) {
        release(old->second);
        values.erase(old);
    }
    if (value != nullptr) {
        const Object* stored = use(value, 0, "CFPreferencesSetAppValue");
        retain(stored);
        values[name] = stored;
    }
}

Boolean CFPreferencesAppSynchronize(CFStringRef applicationID) {
    (void)text(applicationID, "CFPreferencesAppSynchronize");
    ++scenario().preferenceSaves;
    return 1;
}

// ---- IOKit ----

const mach_port_t kIOMainPortDefault = 0;

CFMutableDictionaryRef IOServiceMatching(const char* name) {
    return reinterpret_cast<CFMutableDictionaryRef>(
        makeDictionary({{"IOProviderClass", std::string(name)}}));
}

io_service_t IOServiceGetMatchingService(mach_port_t /*mainPort*/, CFDictionaryRef matching) {
    // Consumes one reference to `matching`, as documented.
    const Object* dictionary = use(matching, DictionaryType, "IOServiceGetMatchingService");
    const void* providerClass = CFDictionaryGetValue(matching, CFSTR("IOProviderClass"));
    const bool wantsRootDomain =
        providerClass != nullptr && object(providerClass)->text == "IOPMrootDomain";
    release(dictionary);
    auto& state = scenario();
    if (!wantsRootDomain || !state.rootDomain) {
        return IO_OBJECT_NULL;
    }
    const io_object_t entry = state.nextRegistryObject++;
    state.registryObjects[entry] = false;
    return entry;
}

CFTypeRef IORegistryEntryCreateCFProperty(io_registry_entry_t entry, CFStringRef key,
                                          CFAllocatorRef /*allocator*/, IOOptionBits /*options*/) {
    auto& state = scenario();
    const auto handed = state.registryObjects.find(entry);
    if (handed == state.registryObjects.end() || handed->second) {
        problem("IORegistryEntryCreateCFProperty on an entry not held");
        return nullptr;
    }
    const auto found = state.rootDomain->find(text(key, "IORegistryEntryCreateCFProperty"));
    return found != state.rootDomain->end() ? makeScalar(found->second) : nullptr;
}

kern_return_t IOObjectRelease(io_object_t object) {
    auto& objects = scenario().registryObjects;
    const auto found = objects.find(object);
    if (found == objects.end() || found->second) {
        problem("IOObjectRelease of an object not held");
        return KERN_FAILURE;
    }
    found->second = true;
    return KERN_SUCCESS;
}

IOReturn IOPMAssertionCreateWithName(CFStringRef AssertionType, IOPMAssertionLevel AssertionLevel,
                                     CFStringRef AssertionName, IOPMAssertionID* AssertionID) {
    auto& state = scenario();
    const std::string type = text(AssertionType, "IOPMAssertionCreateWithName");
    const std::string name = text(AssertionName, "IOPMAssertionCreateWithName");
    if (state.refuseAssertions) {
        return kIOReturnError;
    }
    const auto id = static_cast<IOPMAssertionID>(0x1000 + state.assertions.size());
    state.assertions.push_back({id, type, name, AssertionLevel, false});
    *AssertionID = id;
    return kIOReturnSuccess;
}

IOReturn IOPMAssertionRelease(IOPMAssertionID AssertionID) {
    for (auto& assertion : scenario().assertions) {
        if (assertion.id == AssertionID && !assertion.released) {
            assertion.released = true;
            return kIOReturnSuccess;
        }
    }
    problem("IOPMAssertionRelease of an assertion not held: " + std::to_string(AssertionID));
    return kIOReturnError;
}

CFTypeRef IOPSCopyPowerSourcesInfo(void) {
    const auto& state = scenario();
    if (state.powerSourceInfoMissing) {
        return nullptr;
    }
    // The snapshot holds each source's handle and description: handles first, then the
    // descriptions (or NULL) in the same order.
    Object* blob = newObject(PowerSourcesBlobType);
    std::vector<const Object*> descriptions;
    for (std::size_t i = 0; i < state.powerSources.size(); ++i) {
        blob->items.push_back(makeString("source " + std::to_string(i)));
        descriptions.push_back(state.powerSources[i] ? makeDictionary(*state.powerSources[i])
                                                     : nullptr);
    }
    blob->integer = static_cast<std::int64_t>(descriptions.size());
    for (const Object* description : descriptions) {
        if (description != nullptr) {
            blob->items.push_back(description);
        }
    }
    blob->bytes.clear();
    for (const Object* description : descriptions) {
        blob->bytes.push_back(description != nullptr ? 1 : 0);
    }
    return blob;
}

CFArrayRef IOPSCopyPowerSourcesList(CFTypeRef blob) {
    const Object* snapshot = use(blob, PowerSourcesBlobType, "IOPSCopyPowerSourcesList");
    if (snapshot == nullptr) {
        return nullptr;
    }
    std::vector<const void*> handles(snapshot->items.begin(),
                                     snapshot->items.begin() + snapshot->integer);
    return CFArrayCreate(nullptr, handles.data(), static_cast<CFIndex>(handles.size()),
                         &kCFTypeArrayCallBacks);
}

CFDictionaryRef IOPSGetPowerSourceDescription(CFTypeRef blob, CFTypeRef ps) {
    const Object* snapshot = use(blob, PowerSourcesBlobType, "IOPSGetPowerSourceDescription");
    (void)use(ps, StringType, "IOPSGetPowerSourceDescription");
    if (snapshot == nullptr) {
        return nullptr;
    }
    const auto count = static_cast<std::size_t>(snapshot->integer);
    std::size_t described = count;
    for (std::size_t i = 0; i < count; ++i) {
        if (snapshot->items[i] == object(ps)) {
            return snapshot->bytes[i] != 0 ? as<CFDictionaryRef>(snapshot->items[described])
                                           : nullptr;
        }
        described += snapshot->bytes[i];
    }
    problem("IOPSGetPowerSourceDescription for a source of another snapshot");
    return nullptr;
}

CFRunLoopSourceRef IOPSNotificationCreateRunLoopSource(IOPowerSourceCallbackType callback,
                                                       void* context) {
    Object* source = newObject(RunLoopSourceType);
    source->callback = callback;
    source->context = context;
    return reinterpret_cast<CFRunLoopSourceRef>(source);
}

// ---- Mach, sysctl, CoreGraphics ----

mach_port_t mach_host_self(void) {
    ++scenario().hostPortReferences;
    return 0x0707;
}

mach_port_t mach_task_self(void) {
    return 0x0103;
}

kern_return_t mach_port_deallocate(ipc_space_t task, mach_port_t name) {
    if (task != mach_task_self() || name != 0x0707 || scenario().hostPortReferences <= 0) {
        problem("mach_port_deallocate of a port not held");
        return KERN_FAILURE;
    }
    --scenario().hostPortReferences;
    return KERN_SUCCESS;
}

kern_return_t host_statistics(host_t host_priv, host_flavor_t flavor, host_info_t host_info_out,
                              mach_msg_type_number_t* host_info_outCnt) {
    const auto& state = scenario();
    if (host_priv != 0x0707 || state.hostPortReferences <= 0) {
        problem("host_statistics without the host port");
        return KERN_FAILURE;
    }
    if (flavor != HOST_CPU_LOAD_INFO || *host_info_outCnt < HOST_CPU_LOAD_INFO_COUNT) {
        problem("host_statistics with another flavour or too small a count");
        return KERN_FAILURE;
    }
    if (!state.cpuTicks) {
        return KERN_FAILURE;
    }
    std::memcpy(host_info_out, &*state.cpuTicks, sizeof(host_cpu_load_info_data_t));
    *host_info_outCnt = HOST_CPU_LOAD_INFO_COUNT;
    return KERN_SUCCESS;
}

kern_return_t host_statistics64(host_t host_priv, host_flavor_t flavor,
                                host_info64_t host_info64_out,
                                mach_msg_type_number_t* host_info64_outCnt) {
    const auto& state = scenario();
    if (host_priv != 0x0707 || state.hostPortReferences <= 0) {
        problem("host_statistics64 without the host port");
        return KERN_FAILURE;
    }
    if (flavor != HOST_VM_INFO64 || *host_info64_outCnt < HOST_VM_INFO64_COUNT) {
        problem("host_statistics64 with another flavour or too small a count");
        return KERN_FAILURE;
    }
    if (!state.vmStatistics) {
        return KERN_FAILURE;
    }
    std::memcpy(host_info64_out, &*state.vmStatistics, sizeof(vm_statistics64_data_t));
    *host_info64_outCnt = HOST_VM_INFO64_COUNT;
    return KERN_SUCCESS;
}

kern_return_t host_page_size(host_t /*host*/, vm_size_t* out_page_size) {
    *out_page_size = scenario().pageSize;
    return KERN_SUCCESS;
}

int sysctlbyname(const char* name, void* oldp, std::size_t* oldlenp, void* /*newp*/,
                 std::size_t /*newlen*/) {
    const auto& memory = scenario().physicalMemory;
    if (std::string(name) != "hw.memsize" || !memory) {
        errno = ENOENT;
        return -1;
    }
    if (oldp == nullptr || *oldlenp < sizeof(std::uint64_t)) {
        errno = ENOMEM;
        return -1;
    }
    std::memcpy(oldp, &*memory, sizeof(std::uint64_t));
    *oldlenp = sizeof(std::uint64_t);
    return 0;
}

CGError CGGetActiveDisplayList(std::uint32_t maxDisplays, CGDirectDisplayID* activeDisplays,
                               std::uint32_t* displayCount) {
    const auto& displays = scenario().displays;
    if (!displays) {
        return kCGErrorFailure;
    }
    const auto count = static_cast<std::uint32_t>(displays->size());
    if (activeDisplays == nullptr) {
        *displayCount = count;
        return kCGErrorSuccess;
    }
    *displayCount = std::min(count, maxDisplays);
    for (std::uint32_t i = 0; i < *displayCount; ++i) {
        activeDisplays[i] = (*displays)[i].first;
    }
    return kCGErrorSuccess;
}

boolean_t CGDisplayIsBuiltin(CGDirectDisplayID display) {
    const auto& displays = scenario().displays;
    if (displays) {
        for (const auto& [id, builtin] : *displays) {
            if (id == display) {
                return builtin ? 1 : 0;
            }
        }
    }
    return 0;
}
