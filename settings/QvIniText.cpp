#include "QvIniText.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr std::string_view BOM = "\xEF\xBB\xBF";

bool IsSpace(char C) {
    return C == ' ' || C == '\t' || C == '\r' || C == '\n' || C == '\v' || C == '\f';
}

std::string_view Trim(std::string_view S) {
    while (!S.empty() && IsSpace(S.front())) {
        S.remove_prefix(1);
    }
    while (!S.empty() && IsSpace(S.back())) {
        S.remove_suffix(1);
    }
    return S;
}

char Lower(char C) {
    return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C;
}

bool SameName(std::string_view A, std::string_view B) {
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(),
                                              [](char X, char Y) { return Lower(X) == Lower(Y); });
}

enum class TLineKind { Other, Section, BrokenSection, Key };

struct TLineInfo {
    TLineKind Kind = TLineKind::Other;
    std::string_view Name; // section name or key
    std::string_view Value;
};

TLineInfo Classify(std::string_view Line) {
    const std::string_view t = Trim(Line);
    if (t.empty() || t.front() == ';') {
        return {};
    }
    if (t.front() == '[') {
        const auto close = t.find(']');
        if (close == std::string_view::npos) {
            return {TLineKind::BrokenSection, {}, {}};
        }
        return {TLineKind::Section, Trim(t.substr(1, close - 1)), {}};
    }
    const auto eq = t.find('=');
    if (eq == std::string_view::npos) {
        return {};
    }
    const std::string_view key = Trim(t.substr(0, eq));
    if (key.empty()) {
        return {};
    }
    return {TLineKind::Key, key, Trim(t.substr(eq + 1))};
}

bool HasLineBreak(std::string_view S) {
    return S.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

TQvIniText::TQvIniText(std::string_view Bytes) {
    if (Bytes.substr(0, BOM.size()) == BOM) {
        FBom = true;
        Bytes.remove_prefix(BOM.size());
    }
    if (Bytes.empty()) {
        return;
    }
    std::size_t start = 0;
    while (start < Bytes.size()) {
        const auto end = Bytes.find('\n', start);
        if (end == std::string_view::npos) {
            FLines.emplace_back(Bytes.substr(start));
            FLastLineEnded = false;
            break;
        }
        FLines.emplace_back(Bytes.substr(start, end - start));
        start = end + 1;
    }
    // New lines follow the file's own convention, judged by its first line.
    FCrLf = !FLines.empty() && !FLines.front().empty() && FLines.front().back() == '\r';
}

std::optional<std::size_t> TQvIniText::FindKey(std::string_view Section,
                                               std::string_view Ident) const {
    Section = Trim(Section);
    Ident = Trim(Ident);
    bool inSection = false;
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        const TLineInfo info = Classify(FLines[i]);
        if (info.Kind == TLineKind::Section || info.Kind == TLineKind::BrokenSection) {
            if (inSection) {
                return std::nullopt; // only the first occurrence of a section counts
            }
            inSection = info.Kind == TLineKind::Section && SameName(info.Name, Section);
        } else if (inSection && info.Kind == TLineKind::Key && SameName(info.Name, Ident)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> TQvIniText::Read(std::string_view Section,
                                            std::string_view Ident) const {
    if (const auto line = FindKey(Section, Ident)) {
        return std::string(Classify(FLines[*line]).Value);
    }
    return std::nullopt;
}

bool TQvIniText::SectionExists(std::string_view Section) const {
    Section = Trim(Section);
    return std::any_of(FLines.begin(), FLines.end(), [&](const std::string& Line) {
        const TLineInfo info = Classify(Line);
        return info.Kind == TLineKind::Section && SameName(info.Name, Section);
    });
}

std::string TQvIniText::NewLine(std::string Text) const {
    if (FCrLf) {
        Text += '\r';
    }
    return Text;
}

bool TQvIniText::Write(std::string_view Section, std::string_view Ident, std::string_view Value) {
    Section = Trim(Section);
    Ident = Trim(Ident);
    if (HasLineBreak(Section) || Section.find(']') != std::string_view::npos) {
        throw std::invalid_argument("INI section name cannot hold ']' or a line break");
    }
    if (Ident.empty() || HasLineBreak(Ident) || Ident.find('=') != std::string_view::npos ||
        Ident.front() == '[' || Ident.front() == ';') {
        throw std::invalid_argument("INI key must be non-empty, without '=' or a line break, "
                                    "and not begin with '[' or ';'");
    }
    if (HasLineBreak(Value)) {
        throw std::invalid_argument("INI value cannot hold a line break");
    }
    std::string line(Ident);
    line += '=';
    line += Value;

    if (const auto at = FindKey(Section, Ident)) {
        const TLineInfo old = Classify(FLines[*at]);
        if (old.Value == Trim(Value)) {
            return false;
        }
        // A key found in place keeps the spelling it has in the file.
        FLines[*at] = NewLine(std::string(old.Name) + "=" + std::string(Value));
        return true;
    }

    // The key goes after the last key line of the first occurrence of its section, so that
    // comments and blank lines leading into the next section stay with that section.
    std::optional<std::size_t> insertAfter;
    bool inSection = false;
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        const TLineInfo info = Classify(FLines[i]);
        if (info.Kind == TLineKind::Section || info.Kind == TLineKind::BrokenSection) {
            if (inSection) {
                break;
            }
            inSection = info.Kind == TLineKind::Section && SameName(info.Name, Section);
            if (inSection) {
                insertAfter = i;
            }
        } else if (inSection && info.Kind == TLineKind::Key) {
            insertAfter = i;
        }
    }
    if (insertAfter) {
        const std::size_t at = *insertAfter + 1;
        if (at == FLines.size()) {
            FLastLineEnded = true;
        }
        FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(at), NewLine(std::move(line)));
        return true;
    }

    if (!FLines.empty() && !Trim(FLines.back()).empty()) {
        FLines.push_back(NewLine({}));
    }
    FLines.push_back(NewLine("[" + std::string(Section) + "]"));
    FLines.push_back(NewLine(std::move(line)));
    FLastLineEnded = true;
    return true;
}

bool TQvIniText::EraseSection(std::string_view Section) {
    Section = Trim(Section);
    std::vector<std::string> kept;
    kept.reserve(FLines.size());
    bool erasing = false;
    bool erased = false;
    for (auto& line : FLines) {
        const TLineInfo info = Classify(line);
        if (info.Kind == TLineKind::Section || info.Kind == TLineKind::BrokenSection) {
            erasing = info.Kind == TLineKind::Section && SameName(info.Name, Section);
            erased = erased || erasing;
        }
        if (!erasing) {
            kept.push_back(std::move(line));
        }
    }
    if (erasing) {
        FLastLineEnded = true; // the unterminated last line, if any, went with the section
    }
    FLines = std::move(kept);
    return erased;
}

std::string TQvIniText::Bytes() const {
    std::size_t size = BOM.size();
    for (const auto& line : FLines) {
        size += line.size() + 1;
    }
    std::string out;
    out.reserve(size);
    if (FBom) {
        out += BOM;
    }
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        out += FLines[i];
        if (i + 1 < FLines.size() || FLastLineEnded) {
            out += '\n';
        }
    }
    return out;
}
