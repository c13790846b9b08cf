#pragma once
// The number of threads this process runs now.

#include <filesystem>

namespace OmniRig::Testing {

inline int threadCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/task")) {
        ++count;
    }
    return count;
}

}  // namespace OmniRig::Testing
