#include "ScratchDirectory.h"

#include <unistd.h>

#include <atomic>

namespace OmniRig::Testing {

namespace fs = std::filesystem;

ScratchDirectory::ScratchDirectory(const std::string& purpose) {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            ("zr-" + purpose + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
    fs::permissions(path_, fs::perms::owner_all);
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, ec);
    fs::remove_all(path_, ec);
}

}  // namespace OmniRig::Testing
