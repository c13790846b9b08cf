#pragma once
// The settings file: an INI editor with the platform's look-up rules (sections and keys without
// regard to ASCII case, values trimmed and rid of one pair of matching quotes, the first match
// wins, a UTF-8 byte-order mark read through and kept). Every read goes to the file and every
// write reaches it at once. A write changes only the lines of its keys (or adds the keys or their
// section), keeps every other byte, and replaces the file atomically, so a crash in the middle of
// a save never leaves a damaged or empty file; the next save clears away what such a crash left.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

class IniWriteError : public std::runtime_error {
public:
    explicit IniWriteError(const std::filesystem::path& path);
};

class IniReadError : public std::runtime_error {
public:
    IniReadError(const std::filesystem::path& path, const std::string& reason);
};

class IniFile {
public:
    using Entries = std::vector<std::pair<std::string, std::string>>;

    explicit IniFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }

    // The readers treat a missing file as an empty one and raise IniReadError ("Unable to read
    // <path>: <reason>") when the file is there but cannot be read.

    // The value of the key, or the default when the file, the section or the key is missing.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    bool SectionExists(const std::string& section) const;
    // The keys of a section in file order, each once.
    std::vector<std::string> ReadSectionKeys(const std::string& section) const;

    // Sets every key of the section in one replacement of the file: a key there is changed in
    // place, a missing one is added at the section's end in the given order, and a missing
    // section is added at the file's end. Raises IniWriteError ("Unable to write to <path>") when
    // the file cannot be read or replaced; the file is then left as it was. Writes from several
    // threads of the process to one file never lose one another's changes.
    void WriteStrings(const std::string& section, const Entries& entries);
    // The same for several sections at once, still in one replacement, so that settings that
    // belong together never reach the file in part.
    void WriteSections(const std::vector<std::pair<std::string, Entries>>& sections);
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

private:
    std::filesystem::path path_;
};
