// An INI file bound to a path, read and written key by key. Nothing is cached and no handle stays
// open between calls: every read looks at the file as it is now, and every write that changes
// something replaces the whole file at once (a temporary file beside it is written, flushed to
// the disk and renamed over the old one), so that a crash or a full disk leaves either the old
// file or the new one, never a torn one. The text rules are those of TQvIniText.
//
// Reading never fails: a missing, unreadable or oversized file reads as empty. A write that
// cannot be completed throws EQvIniFileError and leaves the old file as it was; this includes an
// existing file that cannot be read, which would otherwise be replaced by one holding only the
// new key.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

// "Unable to write to <path>": the INI file could not be written.
class EQvIniFileError : public std::runtime_error {
public:
    explicit EQvIniFileError(const std::string& FileName)
        : std::runtime_error("Unable to write to " + FileName), FFileName(FileName) {}
    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
};

class TQvIniFile {
public:
    // A settings file is small; anything bigger is not one of ours and is not loaded.
    static constexpr std::size_t MAX_FILE_SIZE = 64u << 20; // bytes

    explicit TQvIniFile(std::string FileName) : FFileName(std::move(FileName)) {}

    const std::string& FileName() const { return FFileName; }

    std::string ReadString(std::string_view Section, std::string_view Ident,
                           std::string_view Default) const;
    bool SectionExists(std::string_view Section) const;

    // Throws EQvIniFileError when the file cannot be written, std::invalid_argument for a name
    // or value that an INI line cannot carry (see TQvIniText::Write). A value equal to the one
    // stored already leaves the file untouched.
    void WriteString(std::string_view Section, std::string_view Ident, std::string_view Value);
    // Does nothing when the file has no such section.
    void EraseSection(std::string_view Section);

private:
    std::string FFileName;

    void Replace(const std::string& Bytes) const;
};
