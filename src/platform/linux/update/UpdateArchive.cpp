#include "platform/linux/update/UpdateArchive.h"

#include "platform/linux/update/FileDigest.h"
#include "platform/posix/DiskSync.h"
#include "platform/posix/UniqueFd.h"

#include <archive.h>
#include <archive_entry.h>
#include <cstdint>
#include <fcntl.h>
#include <map>
#include <memory>
#include <string>
#include <sys/stat.h>

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
/// reason to give up; its failures are. Written data is checked more strictly (`copyData`).
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

/// A regular file's bytes as the archive holds them.
struct ArchivedFile {
    std::uint64_t size = 0;
    FileDigest::Value digest{};
};
/// The regular files unpacked, by their path in the archive.
using ArchivedFiles = std::map<std::string, ArchivedFile>;

/// Copies one entry's bytes, taking their digest as they are read. A write counts only when it
/// wrote everything: libarchive reports a failed write (a full disk) as a mere warning.
std::optional<ArchivedFile> copyData(archive* reader, archive* writer,
                                     const std::stop_token& stop) {
    FileDigest digest;
    std::uint64_t size = 0;
    for (;;) {
        if (stop.stop_requested()) {
            return std::nullopt;
        }
        const void* block = nullptr;
        std::size_t blockSize = 0;
        la_int64_t offset = 0;
        const int status = archive_read_data_block(reader, &block, &blockSize, &offset);
        if (status == ARCHIVE_EOF) {
            return ArchivedFile{.size = size, .digest = digest.finish()};
        }
        // A hole (a sparse file) would read back as zeros the digest never saw; updates have
        // none.
        if (!succeeded(status) || offset != static_cast<la_int64_t>(size) ||
            archive_write_data_block(writer, block, blockSize, offset) != ARCHIVE_OK) {
            return std::nullopt;
        }
        digest.add(block, blockSize);
        size += blockSize;
    }
}

/// Whether `file` holds `archived`'s bytes, and they have reached the disk.
bool isOnDiskAs(const std::string& file, const ArchivedFile& archived) {
    const UniqueFd fd(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    return fd.isValid() && ::fstat(fd.get(), &status) == 0 && S_ISREG(status.st_mode) &&
           static_cast<std::uint64_t>(status.st_size) == archived.size &&
           FileDigest::ofRest(fd.get()) == archived.digest && ::fsync(fd.get()) == 0;
}

/// Whether every file unpacked into `folder` reads back as the archive holds it, and the files
/// and every folder below `folder`, and `folder` itself, have reached the disk.
bool isOnDiskAsArchived(const fs::path& folder, const ArchivedFiles& files) {
    for (const auto& [path, archived] : files) {
        if (!isOnDiskAs(inside(folder, path.c_str()), archived)) {
            return false;
        }
    }
    std::error_code error;
    for (fs::recursive_directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (fs::is_directory(entry->symlink_status(error)) && !syncToDisk(entry->path())) {
            return false;
        }
    }
    return !error && syncToDisk(folder);
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
    ArchivedFiles files;
    for (;;) {
        if (stop.stop_requested()) {
            return false;
        }
        archive_entry* header = nullptr;
        const int status = archive_read_next_header(reader.get(), &header);
        if (status == ARCHIVE_EOF) {
            progress(1);
            // Folders get their final modes and times only now.
            return archive_write_close(writer.get()) == ARCHIVE_OK &&
                   isOnDiskAsArchived(folder, files);
        }
        const char* path = succeeded(status) ? archive_entry_pathname(header) : nullptr;
        if (path == nullptr) {
            return false;
        }
        const std::string pathInArchive = path;
        const bool isFile =
            archive_entry_filetype(header) == AE_IFREG && archive_entry_hardlink(header) == nullptr;
        archive_entry_set_pathname(header, inside(folder, path).c_str());
        // A hard link's target is a path in the archive, so it moves into the folder too.
        if (const char* target = archive_entry_hardlink(header)) {
            archive_entry_set_hardlink(header, inside(folder, target).c_str());
        }
        if (!succeeded(archive_write_header(writer.get(), header))) {
            return false;
        }
        const auto copied = copyData(reader.get(), writer.get(), stop);
        if (!copied || !succeeded(archive_write_finish_entry(writer.get()))) {
            return false;
        }
        // A later entry of the same path replaces what an earlier one unpacked.
        if (isFile) {
            files[pathInArchive] = *copied;
        } else {
            files.erase(pathInArchive);
        }
        progress(static_cast<double>(archive_filter_bytes(reader.get(), -1)) / archiveSize);
    }
}

} // namespace vigilo::UpdateArchive
