#include "IniFile.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct Line {
    size_t begin;  // offset of the first character
    size_t end;    // offset just past the last character before the line break
    size_t next;   // offset of the next line
};

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {};
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<Line> splitLines(const std::string& text) {
    std::vector<Line> lines;
    size_t pos = 0;
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

fs::path targetOf(const fs::path& path) {
    std::error_code ec;
    // Writing through a link keeps the link and replaces what it points to.
    fs::path resolved = fs::weakly_canonical(path, ec);
    return ec ? path : resolved;
}

#ifdef _WIN32

bool writeAll(HANDLE file, const std::string& content) {
    size_t written = 0;
    while (written < content.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<size_t>(content.size() - written, 1u << 30));
        DWORD n = 0;
        if (!::WriteFile(file, content.data() + written, chunk, &n, nullptr) || n == 0) {
            return false;
        }
        written += n;
    }
    return true;
}

bool replaceAtomically(const fs::path& path, const std::string& content) {
    const fs::path target = targetOf(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // The read-only attribute refuses the write, as the system's own profile functions do.
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;
    }
    fs::path dir = target.parent_path();
    if (dir.empty()) {
        dir = ".";
    }
    // The temporary file sits in the same folder, so that the move is a rename on one volume.
    wchar_t temp[MAX_PATH + 1] = {};
    if (::GetTempFileNameW(dir.c_str(), L"zr", 0, temp) == 0) {
        return false;
    }
    HANDLE file = ::CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = file != INVALID_HANDLE_VALUE;
    ok = ok && writeAll(file, content) && ::FlushFileBuffers(file);
    if (file != INVALID_HANDLE_VALUE) {
        ok = ::CloseHandle(file) && ok;
    }
    // The new file keeps the old one's hidden, system and archive marks.
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    if (ok && exists && (attributes & kept) != 0) {
        ok = ::SetFileAttributesW(temp, attributes & kept);
    }
    ok = ok &&
         ::MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        ::DeleteFileW(temp);
    }
    return ok;
}

#else

bool replaceAtomically(const fs::path& path, const std::string& content) {
    const fs::path target = targetOf(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    // A file marked read-only stays untouched, even for a user the system would let through.
    if (exists && ((existing.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
        return false;
    }
    fs::path dir = target.parent_path();
    if (dir.empty()) {
        dir = ".";
    }
    std::string temp = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return false;
    }
    bool ok = ::fchmod(fd, exists ? (existing.st_mode & 07777) : 0644) == 0;
    size_t written = 0;
    while (ok && written < content.size()) {
        ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n > 0;
        if (ok) {
            written += static_cast<size_t>(n);
        }
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
    }
    return ok;
}

#endif

}  // namespace

IniWriteError::IniWriteError(const fs::path& path)
    : std::runtime_error("Unable to write to " + path.string()) {}

IniFile::IniFile(fs::path path) : path_(std::move(path)) {}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
    const std::string text = readAll(path_);
    const auto lines = splitLines(text);
    const auto span = findSection(text, lines, section);
    if (!span) {
        return defaultValue;
    }
    for (size_t i = span->firstLine; i < span->endLine; ++i) {
        auto kv = keyLine(lineText(text, lines[i]));
        if (kv && equalNoCase(kv->key, key)) {
            return kv->value;
        }
    }
    return defaultValue;
}

bool IniFile::SectionExists(const std::string& section) const {
    const std::string text = readAll(path_);
    return findSection(text, splitLines(text), section).has_value();
}

std::vector<std::string> IniFile::ReadSectionKeys(const std::string& section) const {
    const std::string text = readAll(path_);
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

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
    std::string text = readAll(path_);
    const auto lines = splitLines(text);
    const std::string br = lineBreakOf(text);
    const std::string entry = key + "=" + value;
    const auto span = findSection(text, lines, section);

    if (!span) {
        std::string tail;
        if (!text.empty() && text.back() != '\n') {
            tail += br;
        }
        tail += "[" + section + "]" + br + entry + br;
        text += tail;
    } else {
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
    if (!replaceAtomically(path_, text)) {
        throw IniWriteError(path_);
    }
}
