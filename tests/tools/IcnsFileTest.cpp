#include "IcnsFile.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <stdexcept>
#include <string>

namespace vigilo {
namespace {

std::uint32_t bigEndian(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return (std::uint32_t{bytes.at(at)} << 24U) | (std::uint32_t{bytes.at(at + 1)} << 16U) |
           (std::uint32_t{bytes.at(at + 2)} << 8U) | std::uint32_t{bytes.at(at + 3)};
}

struct Read {
    std::string type;
    std::vector<std::uint8_t> data;
};

/// Reads a container the way a Mac does: the header's length must be the file's, and each
/// element's length must fit in what is left.
std::vector<Read> readIcns(const std::vector<std::uint8_t>& file) {
    if (file.size() < 8 || std::string(file.begin(), file.begin() + 4) != "icns" ||
        bigEndian(file, 4) != file.size()) {
        throw std::runtime_error("not an icns file of its own length");
    }
    std::vector<Read> elements;
    for (std::size_t at = 8; at < file.size();) {
        const std::uint32_t length = bigEndian(file, at + 4);
        if (length < 8 || at + length > file.size()) {
            throw std::runtime_error("an element runs past the end");
        }
        const auto begin = file.begin() + static_cast<std::ptrdiff_t>(at);
        elements.push_back({std::string(begin, begin + 4), {begin + 8, begin + length}});
        at += length;
    }
    return elements;
}

TEST(IcnsFile, HoldsEachElementWithItsTypeAndLengthInOrder) {
    const std::vector<std::vector<IcnsFile::Element>> cases = {
        {},
        {{"icp4", {1, 2, 3}}},
        {{"ic07", {}}, {"ic08", std::vector<std::uint8_t>(300, 7)}, {"ic10", {9}}},
    };
    for (const auto& elements : cases) {
        const auto read = readIcns(IcnsFile::write(elements));
        ASSERT_EQ(read.size(), elements.size());
        for (std::size_t i = 0; i < elements.size(); ++i) {
            EXPECT_EQ(read[i].type, elements[i].type);
            EXPECT_EQ(read[i].data, elements[i].data);
        }
    }
    EXPECT_THROW((void)IcnsFile::write({{"ic7", {}}}), std::invalid_argument);
}

TEST(IcnsFile, TheIconToolWritesEverySizeAMacAsksForAsPng) {
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Vigilo.icns"));
    QProcess tool;
    tool.start(QStringLiteral(VIGILO_RENDER_APP_ICON), {QStringLiteral("--icns"), path});
    ASSERT_TRUE(tool.waitForFinished(120'000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();

    std::ifstream in(path.toStdString(), std::ios::binary);
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    const auto read = readIcns(file);
    ASSERT_EQ(read.size(), IcnsFile::pngTypes.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        const auto& [type, pixels] = IcnsFile::pngTypes.at(i);
        EXPECT_EQ(read[i].type, type);
        QImage image;
        ASSERT_TRUE(
            image.loadFromData(read[i].data.data(), static_cast<int>(read[i].data.size()), "PNG"))
            << type;
        EXPECT_EQ(image.size(), QSize(pixels, pixels)) << type;
    }
}

} // namespace
} // namespace vigilo
