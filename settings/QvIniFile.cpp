#include "QvIniFile.h"

#include "QvIniText.h"

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The file's bytes; empty for a missing file; nullopt for one that is there but cannot be read
// whole (not a regular file, no permission, too big).
std::optional<std::string> LoadBytes(const std::string& FileName) {
    std::error_code ec;
    const fs::file_status st = fs::status(FileName, ec);
    if (st.type() == fs::file_type::not_found) {
        return std::string();
    }
    if (st.type() != fs::file_type::regular) {
        return std::nullopt;
    }
    std::ifstream in(FileName, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes;
    if (const auto size = fs::file_size(FileName, ec); !ec) {
        if (size > TQvIniFile::MAX_FILE_SIZE) {
            return std::nullopt;
        }
        bytes.reserve(static_cast<std::size_t>(size));
    }
    char buf[1 << 16];
    while (in.read(buf, sizeof buf), in.gcount() > 0) {
        bytes.append(buf, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > TQvIniFile::MAX_FILE_SIZE) {
            return std::nullopt;
        }
    }
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

TQvIniText LoadText(const std::string& FileName) {
    const auto bytes = LoadBytes(FileName);
    return bytes ? TQvIniText(*bytes) : TQvIniText();
}

bool WriteAll(int Fd, const std::string& Bytes) {
    std::size_t done = 0;
    while (done < Bytes.size()) {
        const ssize_t n = ::write(Fd, Bytes.data() + done, Bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Creates a temporary file in the target's directory that no one else uses.
int CreateTemp(const fs::path& Target, fs::path& TempPath) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        TempPath = Target;
        TempPath.replace_filename("." + Target.filename().string() + "." +
                                  std::to_string(::getpid()) + "-" + std::to_string(counter++) +
                                  ".tmp");
        const int fd = ::open(TempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

void SyncDirectory(const fs::path& Target) {
    const fs::path dir = Target.has_parent_path() ? Target.parent_path() : fs::path(".");
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // the rename is durable only once the directory is; a failure here is moot
        ::close(fd);
    }
}

} // namespace

std::string TQvIniFile::ReadString(std::string_view Section, std::string_view Ident,
                                   std::string_view Default) const {
    if (auto value = LoadText(FFileName).Read(Section, Ident)) {
        return std::move(*value);
    }
    return std::string(Default);
}

bool TQvIniFile::SectionExists(std::string_view Section) const {
    return LoadText(FFileName).SectionExists(Section);
}

void TQvIniFile::WriteString(std::string_view Section, std::string_view Ident,
                             std::string_view Value) {
    const auto bytes = LoadBytes(FFileName);
    if (!bytes) {
        throw EQvIniFileError(FFileName);
    }
    TQvIniText text(*bytes);
    if (text.Write(Section, Ident, Value)) {
        Replace(text.Bytes());
    }
}

void TQvIniFile::EraseSection(std::string_view Section) {
    const auto bytes = LoadBytes(FFileName);
    if (!bytes) {
        return; // unreadable: as far as reading goes, the section is not there
    }
    TQvIniText text(*bytes);
    if (text.EraseSection(Section)) {
        Replace(text.Bytes());
    }
}

void TQvIniFile::Replace(const std::string& Bytes) const {
    // Write through a symbolic link to its target rather than replacing the link with a file.
    fs::path target(FFileName);
    std::error_code ec;
    if (fs::is_symlink(target, ec)) {
        if (fs::path resolved = fs::canonical(target, ec); !ec) {
            target = std::move(resolved);
        }
    }

    // A file made read-only is meant to stay as it is, though the rename could replace it.
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) {
        throw EQvIniFileError(FFileName);
    }

    fs::path temp;
    const int fd = CreateTemp(target, temp);
    if (fd < 0) {
        throw EQvIniFileError(FFileName);
    }
    struct stat old {};
    bool ok = true;
    if (::stat(target.c_str(), &old) == 0) {
        ok = ::fchmod(fd, old.st_mode & 07777) == 0; // keep a private file private
    }
    ok = ok && WriteAll(fd, Bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        throw EQvIniFileError(FFileName);
    }
    SyncDirectory(target);
}
