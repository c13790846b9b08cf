#include "IniFile.h"

#include "FileReplace.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <string_view>

namespace fs = std::filesystem;

namespace {

// Every read-modify-replace of any settings file in the process takes its turn, so two writers
// of one file (the window's saves and the rig server's settings window) never drop each other's
// change.
std::mutex replaceMutex;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

size_t byteOrderMarkLength(const std::string& text) {
    return text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
}

struct Line {
    size_t begin;  // offset of the first character
    size_t end;    // offset just past the last character before the line break
    size_t next;   // offset of the next line
};

std::vector<Line> splitLines(const std::string& text) {
    std::vector<Line> lines;
    size_t pos = byteOrderMarkLength(text);
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        size_t next = nl == std::string::npos ? text.size() : nl + 1;
        size_t end = nl == std::string::npos ? text.size() : nl;
        if (end > pos && text[end - 1] == '\r') {
            --end;
        }
        lines.push_back({pos, end, next});
        pos = next;
    }
    return lines;
}

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// One pair of matching quotes around a value is no part of it, as with the system's profile
// functions.
std::string unquoted(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool equalNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// The section name of a header line, or nothing when the line is no header.
std::optional<std::string> sectionName(const std::string& line) {
    const std::string t = trim(line);
    if (t.size() < 2 || t.front() != '[') {
        return std::nullopt;
    }
    const auto close = t.find(']');
    if (close == std::string::npos) {
        return std::nullopt;
    }
    return trim(t.substr(1, close - 1));
}

struct KeyLine {
    std::string key;
    std::string value;
};

std::optional<KeyLine> keyLine(const std::string& line) {
    const std::string t = trim(line);
    if (t.empty() || t.front() == ';') {
        return std::nullopt;
    }
    const auto eq = t.find('=');
    if (eq == std::string::npos) {
        return std::nullopt;
    }
    return KeyLine{trim(t.substr(0, eq)), trim(t.substr(eq + 1))};
}

// Where a section sits in the text: its header line and the lines that belong to it.
struct SectionSpan {
    size_t header;     // index of the header line
    size_t firstLine;  // index of the first line after the header
    size_t endLine;    // index one past its last line
};

std::optional<SectionSpan> findSection(const std::string& text, const std::vector<Line>& lines,
                                       const std::string& section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        auto name = sectionName(text.substr(lines[i].begin, lines[i].end - lines[i].begin));
        if (!name || !equalNoCase(*name, section)) {
            continue;
        }
        size_t j = i + 1;
        while (j < lines.size() &&
               !sectionName(text.substr(lines[j].begin, lines[j].end - lines[j].begin))) {
            ++j;
        }
        return SectionSpan{i, i + 1, j};
    }
    return std::nullopt;
}

std::string lineText(const std::string& text, const Line& line) {
    return text.substr(line.begin, line.end - line.begin);
}

std::string lineBreakOf(const std::string& text) {
    return text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
}

// Sets one key in the text: its first line in the section is changed, or the key is added
// after the section's last line that is not blank, or the section is added at the end.
void setEntry(std::string& text, const std::string& section, const std::string& key,
              const std::string& value) {
    const auto lines = splitLines(text);
    const std::string br = lineBreakOf(text);
    const std::string entry = key + "=" + value;
    const auto span = findSection(text, lines, section);

    if (!span) {
        if (text.size() > byteOrderMarkLength(text) && text.back() != '\n') {
            text += br;
        }
        text += "[" + section + "]" + br + entry + br;
        return;
    }
    std::optional<size_t> found;
    size_t lastContent = span->header;
    for (size_t i = span->firstLine; i < span->endLine; ++i) {
        const std::string lt = lineText(text, lines[i]);
        if (!trim(lt).empty()) {
            lastContent = i;
        }
        auto kv = keyLine(lt);
        if (!found && kv && equalNoCase(kv->key, key)) {
            found = i;
        }
    }
    if (found) {
        const Line& l = lines[*found];
        text.replace(l.begin, l.end - l.begin, entry);
    } else {
        const Line& after = lines[lastContent];
        if (after.next == after.end) {
            // The section's last line is the file's last and has no line break.
            text.insert(after.end, br + entry);
        } else {
            text.insert(after.next, entry + br);
        }
    }
}

}  // namespace

IniWriteError::IniWriteError(const fs::path& path)
    : std::runtime_error("Unable to write to " + path.string()) {}

IniReadError::IniReadError(const fs::path& path, const std::string& reason)
    : std::runtime_error("Unable to read " + path.string() + ": " + reason) {}

IniFile::IniFile(fs::path path) : path_(std::move(path)) {}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
    const std::string text = FileReplace::read(path_);
    const auto lines = splitLines(text);
    const auto span = findSection(text, lines, section);
    if (!span) {
        return defaultValue;
    }
    for (size_t i = span->firstLine; i < span->endLine; ++i) {
        auto kv = keyLine(lineText(text, lines[i]));
        if (kv && equalNoCase(kv->key, key)) {
            return unquoted(kv->value);
        }
    }
    return defaultValue;
}

bool IniFile::SectionExists(const std::string& section) const {
    const std::string text = FileReplace::read(path_);
    return findSection(text, splitLines(text), section).has_value();
}

std::vector<std::string> IniFile::ReadSectionKeys(const std::string& section) const {
    const std::string text = FileReplace::read(path_);
    const auto lines = splitLines(text);
    std::vector<std::string> keys;
    const auto span = findSection(text, lines, section);
    if (!span) {
        return keys;
    }
    for (size_t i = span->firstLine; i < span->endLine; ++i) {
        auto kv = keyLine(lineText(text, lines[i]));
        if (!kv) {
            continue;
        }
        bool seen = false;
        for (const auto& k : keys) {
            seen = seen || equalNoCase(k, kv->key);
        }
        if (!seen) {
            keys.push_back(kv->key);
        }
    }
    return keys;
}

void IniFile::WriteStrings(const std::string& section, const Entries& entries) {
    WriteSections({{section, entries}});
}

void IniFile::WriteSections(const std::vector<std::pair<std::string, Entries>>& sections) {
    if (std::all_of(sections.begin(), sections.end(),
                    [](const auto& section) { return section.second.empty(); })) {
        return;
    }
    std::lock_guard lock(replaceMutex);
    std::string text;
    try {
        text = FileReplace::read(path_);
    } catch (const IniReadError&) {
        // What cannot be read cannot be rewritten without losing it.
        throw IniWriteError(path_);
    }
    for (const auto& [section, entries] : sections) {
        for (const auto& [key, value] : entries) {
            setEntry(text, section, key, value);
        }
    }
    if (!FileReplace::replace(path_, text)) {
        throw IniWriteError(path_);
    }
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
    WriteStrings(section, {{key, value}});
}
