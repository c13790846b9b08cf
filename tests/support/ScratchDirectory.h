#pragma once
// A directory of one test's or one benchmark's own under the system's temporary directory:
// empty when made, removed with all it holds when the object goes (with the permissions a test
// took away given back first). Names carry the process and a count, so runs side by side and
// one test's several directories never meet.

#include <filesystem>
#include <string>

namespace OmniRig::Testing {

class ScratchDirectory {
public:
    // `purpose` starts the directory's name ("form", "settings", ...).
    explicit ScratchDirectory(const std::string& purpose);
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const {
        return path_ / name;
    }

private:
    std::filesystem::path path_;
};

}  // namespace OmniRig::Testing
