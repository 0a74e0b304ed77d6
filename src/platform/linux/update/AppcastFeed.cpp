#include "platform/linux/update/AppcastFeed.h"

#include "util/VersionNumber.h"

#include <QByteArray>
#include <QDateTime>
#include <QXmlStreamReader>

namespace vigilo::AppcastFeed {

namespace {

/// An appcast nests four deep (rss, channel, item, enclosure); extensions may add a few levels.
/// Deeper documents are refused rather than followed: each level costs the reader memory.
constexpr int deepestNesting = 32;

constexpr QLatin1StringView sparkleNamespace("http://www.andymatuschak.org/xml-namespaces/sparkle");

std::optional<std::string> text(QStringView value) {
    const auto trimmed = value.trimmed();
    return trimmed.isEmpty() ? std::nullopt : std::optional(trimmed.toString().toStdString());
}

std::optional<std::chrono::sys_seconds> rfc2822Date(const QString& value) {
    const auto date = QDateTime::fromString(value.trimmed(), Qt::RFC2822Date);
    if (!date.isValid()) {
        return std::nullopt;
    }
    return std::chrono::sys_seconds(std::chrono::seconds(date.toSecsSinceEpoch()));
}

std::optional<std::uint64_t> byteCount(QStringView value) {
    bool ok = false;
    const auto count = value.trimmed().toULongLong(&ok);
    return ok ? std::optional<std::uint64_t>(count) : std::nullopt;
}

/// An item as read so far: its elements and its enclosure's attributes, kept apart so that an
/// element can win over an attribute whatever their order.
struct ItemFields {
    std::optional<std::string> version, displayVersion, signature;
    std::optional<std::string> enclosureVersion, enclosureDisplayVersion, enclosureSignature;
    std::optional<std::chrono::sys_seconds> published;
    std::optional<std::string> url;
    std::optional<std::uint64_t> length;

    void readEnclosure(const QXmlStreamAttributes& attributes) {
        url = text(attributes.value(QLatin1StringView("url")));
        length = byteCount(attributes.value(QLatin1StringView("length")));
        enclosureVersion = text(attributes.value(sparkleNamespace, QLatin1StringView("version")));
        enclosureDisplayVersion =
            text(attributes.value(sparkleNamespace, QLatin1StringView("shortVersionString")));
        enclosureSignature =
            text(attributes.value(sparkleNamespace, QLatin1StringView("edSignature")));
    }

    [[nodiscard]] std::optional<AppcastItem> item() const {
        const auto number = version ? version : enclosureVersion;
        if (!number || !url) {
            return std::nullopt;
        }
        return AppcastItem{
            .version = *number,
            .displayVersion = displayVersion.value_or(enclosureDisplayVersion.value_or(*number)),
            .published = published,
            .url = *url,
            .length = length,
            .edSignature = signature ? signature : enclosureSignature,
        };
    }
};

} // namespace

std::optional<std::vector<AppcastItem>> parse(std::string_view xml) {
    QXmlStreamReader reader(
        QByteArray::fromRawData(xml.data(), static_cast<qsizetype>(xml.size())));
    if (!reader.readNextStartElement() || reader.name() != u"rss" ||
        !reader.namespaceUri().isEmpty()) {
        return std::nullopt;
    }
    std::vector<AppcastItem> items;
    std::optional<ItemFields> current;
    int depth = 1;
    // Reads the text of the element just started, up to and including its end.
    const auto elementText = [&reader, &depth] {
        --depth;
        return reader.readElementText();
    };
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && ++depth > deepestNesting) {
            return std::nullopt;
        }
        if (reader.isEndElement()) {
            --depth;
        }
        if (reader.isEndElement() && current && reader.name() == u"item" &&
            reader.namespaceUri().isEmpty()) {
            if (auto item = current->item()) {
                items.push_back(std::move(*item));
            }
            current.reset();
            continue;
        }
        if (!reader.isStartElement()) {
            continue;
        }
        const auto name = reader.name();
        const bool isRss = reader.namespaceUri().isEmpty();
        const bool isSparkle = reader.namespaceUri() == sparkleNamespace;
        if (isRss && name == u"item") {
            current.emplace();
        } else if (!current) {
            continue;
        } else if (isRss && name == u"enclosure") {
            current->readEnclosure(reader.attributes());
        } else if (isRss && name == u"pubDate") {
            current->published = rfc2822Date(elementText());
        } else if (isSparkle && name == u"version") {
            current->version = text(elementText());
        } else if (isSparkle && name == u"shortVersionString") {
            current->displayVersion = text(elementText());
        } else if (isSparkle && name == u"edSignature") {
            current->signature = text(elementText());
        }
    }
    if (reader.hasError()) {
        return std::nullopt;
    }
    return items;
}

std::optional<AppcastItem> newestNewerThan(const std::vector<AppcastItem>& items,
                                           std::string_view running) {
    auto newest = VersionNumber::parse(running);
    if (!newest) {
        return std::nullopt;
    }
    std::optional<AppcastItem> chosen;
    for (const auto& item : items) {
        const auto version = VersionNumber::parse(item.version);
        if (version && *version > *newest) {
            newest = version;
            chosen = item;
        }
    }
    return chosen;
}

} // namespace vigilo::AppcastFeed
