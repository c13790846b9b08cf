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
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <string_view>
#include <system_error>

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

#ifdef _WIN32

std::string systemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        return "system error " + std::to_string(error);
    }
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                          nullptr, nullptr);
    return utf8;
}

// The file's bytes; nothing when it does not exist.
std::string readAll(const fs::path& path) {
    // Sharing deletion lets another thread's save replace the file while it is read.
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return {};
        }
        throw IniReadError(path, systemMessage(error));
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(file, buffer, sizeof buffer, &n, nullptr)) {
            const DWORD error = ::GetLastError();
            ::CloseHandle(file);
            throw IniReadError(path, systemMessage(error));
        }
        if (n == 0) {
            break;
        }
        text.append(buffer, n);
    }
    ::CloseHandle(file);
    return text;
}

#else

// The file's bytes; nothing when it does not exist.
std::string readAll(const fs::path& path) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        // A path through a plain file names no file either.
        if (error == ENOENT || error == ENOTDIR) {
            return {};
        }
        throw IniReadError(path, std::generic_category().message(error));
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            const int error = errno;
            ::close(fd);
            throw IniReadError(path, std::generic_category().message(error));
        }
    }
    ::close(fd);
    return text;
}

#endif

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

fs::path targetOf(const fs::path& path) {
    std::error_code ec;
    // Writing through a link keeps the link and replaces what it points to.
    fs::path resolved = fs::weakly_canonical(path, ec);
    return ec ? path : resolved;
}

fs::path folderOf(const fs::path& target) {
    fs::path dir = target.parent_path();
    return dir.empty() ? fs::path(".") : dir;
}

// A save's temporary file is named "." + the file's name + "." + six letters or digits (the
// shape mkstemp gives), so that what a save killed before its rename left is known again.
constexpr size_t kSuffixLength = 6;

fs::path::string_type temporaryPrefix(const fs::path& target) {
    fs::path prefix(".");
    prefix += target.filename();
    prefix += ".";
    return prefix.native();
}

bool isSuffixCharacter(fs::path::value_type c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Removes the temporary files of saves of the target that never finished: plain files with the
// target's temporary name only, whatever else shares the folder stays. Only a process killed in
// a save leaves them (a failed save removes its own), so each file's folder, which may be a home
// directory of thousands of entries, is looked through once per process. Runs under
// replaceMutex.
void clearLeftovers(const fs::path& dir, const fs::path& target) {
    static std::set<fs::path> cleared;
    if (!cleared.insert(target).second) {
        return;
    }
    const auto prefix = temporaryPrefix(target);
    std::vector<fs::path> leftovers;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const auto name = it->path().filename().native();
        std::error_code statusError;
        if (name.size() == prefix.size() + kSuffixLength && name.starts_with(prefix) &&
            std::all_of(name.begin() + prefix.size(), name.end(), isSuffixCharacter) &&
            it->symlink_status(statusError).type() == fs::file_type::regular) {
            leftovers.push_back(it->path());
        }
    }
    for (const auto& leftover : leftovers) {
        fs::remove(leftover, ec);
    }
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

std::wstring randomSuffix() {
    static constexpr wchar_t kCharacters[] =
        L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 generator(std::random_device{}() ^ ::GetCurrentProcessId() ^
                                        ::GetTickCount());
    std::uniform_int_distribution<size_t> pick(0, std::size(kCharacters) - 2);
    std::wstring suffix;
    for (size_t i = 0; i < kSuffixLength; ++i) {
        suffix += kCharacters[pick(generator)];
    }
    return suffix;
}

bool replaceAtomically(const fs::path& path, const std::string& content) {
    const fs::path target = targetOf(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // The read-only attribute refuses the write, as the system's own profile functions do.
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;
    }
    // The temporary file sits in the same folder, so that the move is a rename on one volume.
    const fs::path dir = folderOf(target);
    clearLeftovers(dir, target);
    const auto prefix = temporaryPrefix(target);
    fs::path temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temp = dir / (prefix + randomSuffix());
        file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = writeAll(file, content) && ::FlushFileBuffers(file);
    ok = ::CloseHandle(file) && ok;
    // The new file keeps the old one's hidden, system and archive marks.
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    if (ok && exists && (attributes & kept) != 0) {
        ok = ::SetFileAttributesW(temp.c_str(), attributes & kept);
    }
    ok = ok && ::MoveFileExW(temp.c_str(), target.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        ::DeleteFileW(temp.c_str());
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
    // The temporary file sits in the same folder, so that the move is a rename on one device.
    const fs::path dir = folderOf(target);
    clearLeftovers(dir, target);
    std::string temp = (dir / (temporaryPrefix(target) + "XXXXXX")).string();
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

IniReadError::IniReadError(const fs::path& path, const std::string& reason)
    : std::runtime_error("Unable to read " + path.string() + ": " + reason) {}

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
            return unquoted(kv->value);
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

void IniFile::WriteStrings(const std::string& section,
                           const std::vector<std::pair<std::string, std::string>>& entries) {
    if (entries.empty()) {
        return;
    }
    std::lock_guard lock(replaceMutex);
    std::string text;
    try {
        text = readAll(path_);
    } catch (const IniReadError&) {
        // What cannot be read cannot be rewritten without losing it.
        throw IniWriteError(path_);
    }
    for (const auto& [key, value] : entries) {
        setEntry(text, section, key, value);
    }
    if (!replaceAtomically(path_, text)) {
        throw IniWriteError(path_);
    }
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
    WriteStrings(section, {{key, value}});
}
