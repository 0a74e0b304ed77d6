#pragma once

#include "util/ArchiveEntries.h"

#include <archive.h>
#include <archive_entry.h>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace vigilo::testing {

/// One entry of a test archive: any path, even one no tar program would write.
struct TarEntry {
    std::string path{};
    ArchiveEntry::Kind kind = ArchiveEntry::Kind::file;
    /// A file's bytes, or a link's target.
    std::string contents{};
    int mode = 0644;
};

/// Writes `entries` as a gzip-compressed tar (pax) to `file`.
inline void writeTarGz(const std::filesystem::path& file, const std::vector<TarEntry>& entries) {
    const std::unique_ptr<archive, decltype(&archive_write_free)> writer(archive_write_new(),
                                                                         &archive_write_free);
    archive_write_add_filter_gzip(writer.get());
    archive_write_set_format_pax_restricted(writer.get());
    if (archive_write_open_filename(writer.get(), file.c_str()) != ARCHIVE_OK) {
        throw std::runtime_error("cannot write " + file.string());
    }
    for (const auto& entry : entries) {
        const std::unique_ptr<archive_entry, decltype(&archive_entry_free)> header(
            archive_entry_new(), &archive_entry_free);
        archive_entry_set_pathname(header.get(), entry.path.c_str());
        archive_entry_set_perm(header.get(), static_cast<mode_t>(entry.mode));
        switch (entry.kind) {
        case ArchiveEntry::Kind::directory:
            archive_entry_set_filetype(header.get(), AE_IFDIR);
            break;
        case ArchiveEntry::Kind::symlink:
            archive_entry_set_filetype(header.get(), AE_IFLNK);
            archive_entry_set_symlink(header.get(), entry.contents.c_str());
            break;
        case ArchiveEntry::Kind::hardlink:
            archive_entry_set_filetype(header.get(), AE_IFREG);
            archive_entry_set_hardlink(header.get(), entry.contents.c_str());
            break;
        case ArchiveEntry::Kind::file:
        case ArchiveEntry::Kind::other:
            archive_entry_set_filetype(header.get(), AE_IFREG);
            archive_entry_set_size(header.get(), static_cast<la_int64_t>(entry.contents.size()));
            break;
        }
        archive_write_header(writer.get(), header.get());
        if (entry.kind == ArchiveEntry::Kind::file) {
            archive_write_data(writer.get(), entry.contents.data(), entry.contents.size());
        }
    }
    archive_write_close(writer.get());
}

} // namespace vigilo::testing
