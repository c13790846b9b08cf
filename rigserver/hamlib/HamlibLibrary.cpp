#include "HamlibLibrary.h"

#include <hamlib/rig.h>

#include <cstdlib>

namespace OmniRig {

namespace {

int silent(enum rig_debug_level_e, rig_ptr_t, const char*, va_list) {
    return 0;
}

int collect(const struct rig_caps* caps, rig_ptr_t data) {
    auto* list = static_cast<std::vector<HamlibLibrary::Model>*>(data);
    list->push_back({static_cast<int>(caps->rig_model), caps->mfg_name ? caps->mfg_name : "",
                     caps->model_name ? caps->model_name : ""});
    return 1;  // go on
}

}  // namespace

void HamlibLibrary::initialise() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Must come before the first rig_init, which would otherwise already log.
        rig_set_debug(RIG_DEBUG_NONE);
        rig_set_debug_callback(silent, nullptr);
        // Until this runs, Hamlib knows no model at all.
        rig_load_all_backends();
    });
}

std::optional<std::string> HamlibLibrary::modelName(int model) {
    initialise();
    if (model <= 0) {
        return std::nullopt;
    }
    const struct rig_caps* caps = rig_get_caps(static_cast<rig_model_t>(model));
    if (caps == nullptr) {
        return std::nullopt;
    }
    return std::string(caps->model_name ? caps->model_name : "");
}

std::vector<HamlibLibrary::Model> HamlibLibrary::models() {
    initialise();
    std::vector<Model> list;
    std::lock_guard lock(handleMutex());
    rig_list_foreach(collect, &list);
    return list;
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
