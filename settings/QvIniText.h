// The text of an INI file held in memory: section headers "[Name]", key lines "Key=Value", and
// everything else (comments, blank lines, lines without '=', garbage), which is kept byte for
// byte when keys are written. Section and key names compare without regard to ASCII case; names
// and values are trimmed of white space. Values are bytes (UTF-8 as written).
//
// Parsing never fails. A header without its closing ']' opens a section that no name matches, so
// its keys are not mistaken for those of the section before it. When a section or key occurs more
// than once, the first occurrence counts.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TQvIniText {
public:
    TQvIniText() = default;
    explicit TQvIniText(std::string_view Bytes);

    std::optional<std::string> Read(std::string_view Section, std::string_view Ident) const;
    bool SectionExists(std::string_view Section) const;

    // Sets the key's value, adding the key (at the end of its section) or the section (at the
    // end of the text) when absent. Returns false when the key already held that value and
    // nothing changed. Throws std::invalid_argument for a name or value that a line cannot carry
    // (a line break anywhere, '=' in a key, ']' in a section name), which would otherwise
    // corrupt the file or read back as something else.
    bool Write(std::string_view Section, std::string_view Ident, std::string_view Value);

    // Removes every occurrence of the section with all its lines; false when there was none.
    bool EraseSection(std::string_view Section);

    std::string Bytes() const;

private:
    // Raw lines without their '\n'; a line that ended in "\r\n" keeps its '\r'.
    std::vector<std::string> FLines;
    bool FBom = false;
    bool FLastLineEnded = true;
    bool FCrLf = false;

    std::optional<std::size_t> FindKey(std::string_view Section, std::string_view Ident) const;
    std::string NewLine(std::string Text) const;
};
