#include "HamlibLibrary.h"

#include <hamlib/rig.h>

#include <algorithm>
#include <cstdlib>

namespace OmniRig {

namespace {

int silent(enum rig_debug_level_e, rig_ptr_t, const char*, va_list) {
    return 0;
}

HamlibLibrary::PortKind portKind(rig_port_t type) {
    switch (type) {
        case RIG_PORT_NONE:
            return HamlibLibrary::PortKind::None;
        case RIG_PORT_SERIAL:
            return HamlibLibrary::PortKind::Serial;
        case RIG_PORT_NETWORK:
        case RIG_PORT_UDP_NETWORK:
            return HamlibLibrary::PortKind::Network;
        default:
            return HamlibLibrary::PortKind::Other;
    }
}

HamlibLibrary::Model modelOf(const struct rig_caps& caps) {
    return {static_cast<int>(caps.rig_model),
            caps.mfg_name ? caps.mfg_name : "",
            caps.model_name ? caps.model_name : "",
            portKind(caps.port_type),
            caps.serial_rate_min,
            caps.serial_rate_max};
}

int collect(const struct rig_caps* caps, rig_ptr_t data) {
    static_cast<std::vector<HamlibLibrary::Model>*>(data)->push_back(modelOf(*caps));
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

void HamlibLibrary::initialise() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Must come before the first rig_init, which would otherwise already log.
        rig_set_debug(RIG_DEBUG_NONE);
        rig_set_debug_callback(silent, nullptr);
        // Until this runs, Hamlib knows no model at all.
        rig_load_all_backends();
        rig_list_foreach(collect, &modelList());
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
