#include "HamlibLibrary.h"

#include "HamlibInternals.h"

#include <hamlib/rig.h>

#include <algorithm>
#include <cstdlib>

namespace OmniRig {

namespace {

int silent(enum rig_debug_level_e, rig_ptr_t, const char*, va_list) {
    return 0;
}

int collect(rig_model_t model, rig_ptr_t data) {
    static_cast<std::vector<HamlibLibrary::Model>*>(data)->push_back(
        HamlibInternals::modelOf(static_cast<int>(model)));
    return 1;  // go on
}

std::vector<HamlibLibrary::Model>& modelList() {
    static std::vector<HamlibLibrary::Model> list;
    return list;
}

}  // namespace

std::string HamlibLibrary::version() {
    return hamlib_version;
}

std::string HamlibLibrary::builtFor() {
    return HamlibInternals::builtFor();
}

bool HamlibLibrary::runsAsBuilt() {
    return HamlibInternals::usable();
}

void HamlibLibrary::initialise() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Must come before the first rig_init, which would otherwise already log.
        rig_set_debug(RIG_DEBUG_NONE);
        rig_set_debug_callback(silent, nullptr);
        // Until this runs, Hamlib knows no model at all.
        rig_load_all_backends();
        rig_list_foreach_model(collect, &modelList());
    });
}

std::optional<std::string> HamlibLibrary::modelName(int model) {
    const auto found = HamlibLibrary::model(model);
    return found ? std::optional(found->name) : std::nullopt;
}

std::optional<HamlibLibrary::Model> HamlibLibrary::model(int number) {
    const auto& list = models();
    const auto found = std::find_if(list.begin(), list.end(),
                                    [number](const Model& m) { return m.number == number; });
    if (number <= 0 || found == list.end()) {
        return std::nullopt;
    }
    return *found;
}

const std::vector<HamlibLibrary::Model>& HamlibLibrary::models() {
    initialise();
    return modelList();
}

std::string HamlibLibrary::errorText(int code) {
    const char* text = rigerror2(code < 0 ? code : -code);
    std::string message = text ? text : "";
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message;
}

std::mutex& HamlibLibrary::handleMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace OmniRig
