#pragma once
// The settings file: an INI editor with the platform's look-up rules (sections and keys without
// regard to ASCII case, values trimmed, the first match wins). Every read goes to the file and
// every write reaches it at once. A write changes only the line of its key (or adds the key or
// its section), keeps every other byte, and replaces the file atomically, so a crash in the
// middle of a save never leaves a damaged or empty file.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

class IniWriteError : public std::runtime_error {
public:
    explicit IniWriteError(const std::filesystem::path& path);
};

class IniFile {
public:
    explicit IniFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }

    // The trimmed value of the key, or the default when the file, the section or the key is
    // missing.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    bool SectionExists(const std::string& section) const;
    // The keys of a section in file order, each once.
    std::vector<std::string> ReadSectionKeys(const std::string& section) const;

    // Raises IniWriteError ("Unable to write to <path>") when the file cannot be replaced; the
    // file is then left as it was.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

private:
    std::filesystem::path path_;
};
