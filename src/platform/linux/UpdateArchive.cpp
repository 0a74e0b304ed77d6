#include "platform/linux/UpdateArchive.h"

#include <archive.h>
#include <archive_entry.h>
#include <memory>
#include <string>

namespace vigilo::UpdateArchive {

namespace fs = std::filesystem;

namespace {

struct ReaderFree {
    void operator()(archive* reader) const { archive_read_free(reader); }
};
struct WriterFree {
    void operator()(archive* writer) const { archive_write_free(writer); }
};
using Reader = std::unique_ptr<archive, ReaderFree>;
using Writer = std::unique_ptr<archive, WriterFree>;

/// libarchive's warnings (a time stamp it could not set, an unknown extended header) are no
/// reason to give up; its failures are.
bool succeeded(int status) {
    return status >= ARCHIVE_WARN;
}

/// Only the one format updates come in: anything else is refused before it is looked at.
Reader openTarGz(const fs::path& path) {
    Reader reader(archive_read_new());
    if (!reader) {
        return nullptr;
    }
    archive_read_support_filter_gzip(reader.get());
    archive_read_support_format_tar(reader.get());
    if (archive_read_open_filename(reader.get(), path.c_str(), std::size_t{64} << 10U) !=
        ARCHIVE_OK) {
        return nullptr;
    }
    return reader;
}

ArchiveEntry::Kind kindOf(archive_entry* entry) {
    // A hard link is listed with the type of what it links to.
    if (archive_entry_hardlink(entry) != nullptr) {
        return ArchiveEntry::Kind::hardlink;
    }
    switch (archive_entry_filetype(entry)) {
    case AE_IFREG:
        return ArchiveEntry::Kind::file;
    case AE_IFDIR:
        return ArchiveEntry::Kind::directory;
    case AE_IFLNK:
        return ArchiveEntry::Kind::symlink;
    default:
        return ArchiveEntry::Kind::other;
    }
}

/// `path` below `folder`. Joined as text: fs::path's `/` would let an absolute path replace
/// the folder.
std::string inside(const fs::path& folder, const char* path) {
    return folder.string() + "/" + path;
}

bool copyData(archive* reader, archive* writer, const std::stop_token& stop) {
    for (;;) {
        if (stop.stop_requested()) {
            return false;
        }
        const void* block = nullptr;
        std::size_t size = 0;
        la_int64_t offset = 0;
        const int status = archive_read_data_block(reader, &block, &size, &offset);
        if (status == ARCHIVE_EOF) {
            return true;
        }
        if (!succeeded(status) ||
            !succeeded(static_cast<int>(archive_write_data_block(writer, block, size, offset)))) {
            return false;
        }
    }
}

} // namespace

std::optional<std::vector<ArchiveEntry>> list(const fs::path& archive) {
    const Reader reader = openTarGz(archive);
    if (!reader) {
        return std::nullopt;
    }
    std::vector<ArchiveEntry> entries;
    for (;;) {
        archive_entry* header = nullptr;
        const int status = archive_read_next_header(reader.get(), &header);
        if (status == ARCHIVE_EOF) {
            return entries;
        }
        const char* path = succeeded(status) ? archive_entry_pathname(header) : nullptr;
        if (path == nullptr) {
            return std::nullopt;
        }
        const auto kind = kindOf(header);
        const char* link = kind == ArchiveEntry::Kind::hardlink  ? archive_entry_hardlink(header)
                           : kind == ArchiveEntry::Kind::symlink ? archive_entry_symlink(header)
                                                                 : nullptr;
        entries.push_back({.path = path, .kind = kind, .linkTarget = link ? link : ""});
    }
}

bool extract(const fs::path& archive, const fs::path& folder,
             const std::function<void(double)>& progress, const std::stop_token& stop) {
    std::error_code error;
    const auto archiveSize = static_cast<double>(fs::file_size(archive, error));
    const Reader reader = openTarGz(archive);
    const Writer writer(archive_write_disk_new());
    if (error || archiveSize <= 0 || !reader || !writer) {
        return false;
    }
    archive_write_disk_set_options(writer.get(), ARCHIVE_EXTRACT_TIME |
                                                     ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                                                     ARCHIVE_EXTRACT_SECURE_NODOTDOT);
    for (;;) {
        if (stop.stop_requested()) {
            return false;
        }
        archive_entry* header = nullptr;
        const int status = archive_read_next_header(reader.get(), &header);
        if (status == ARCHIVE_EOF) {
            progress(1);
            // Folders get their final modes and times only now.
            return archive_write_close(writer.get()) == ARCHIVE_OK;
        }
        const char* path = succeeded(status) ? archive_entry_pathname(header) : nullptr;
        if (path == nullptr) {
            return false;
        }
        archive_entry_set_pathname(header, inside(folder, path).c_str());
        // A hard link's target is a path in the archive, so it moves into the folder too.
        if (const char* target = archive_entry_hardlink(header)) {
            archive_entry_set_hardlink(header, inside(folder, target).c_str());
        }
        if (!succeeded(archive_write_header(writer.get(), header)) ||
            !copyData(reader.get(), writer.get(), stop) ||
            !succeeded(archive_write_finish_entry(writer.get()))) {
            return false;
        }
        progress(static_cast<double>(archive_filter_bytes(reader.get(), -1)) / archiveSize);
    }
}

} // namespace vigilo::UpdateArchive
