#include "TOmniRigX.h"

#include <exception>

#include "RigServerError.h"

namespace OmniRig {

// The receiver handed to the server. It outlives nothing: Disconnect detaches it, so an event
// that the server had already queued finds no client and is dropped.
class TOmniRigX::EventSink : public IOmniRigXEvents {
public:
    explicit EventSink(TOmniRigX* client) : client_(client) {}
    void detach() { client_ = nullptr; }

    RigResult Invoke(int32_t dispId, const std::vector<Variant>& args) override {
        if (client_ == nullptr) {
            return RigResult::ok();
        }
        return client_->dispatch(dispId, args);
    }

private:
    TOmniRigX* client_;
};

namespace {

const Variant& argument(const std::vector<Variant>& args, size_t index) {
    static const Variant empty;
    return index < args.size() ? args[index] : empty;
}

}  // namespace

TOmniRigX::TOmniRigX(ServerFactory factory) : factory_(std::move(factory)) {}

TOmniRigX::~TOmniRigX() {
    Disconnect();
}

void TOmniRigX::Connect() {
    if (server_) {
        return;
    }
    std::shared_ptr<IOmniRigX> server;
    if (!factory_) {
        check(RigResult::fail(E_CLASS_NOT_REGISTERED, "No rig server is available"));
    }
    check(factory_(server));
    if (!server) {
        check(RigResult::fail(E_CLASS_NOT_REGISTERED, "No rig server is available"));
    }
    // Held before subscribing: an event may arrive inside Advise, and its handler's calls must
    // find the client connected rather than connect a second time.
    server_ = std::move(server);
    auto sink = std::make_shared<EventSink>(this);
    uint32_t cookie = 0;
    if (!server_->Advise(sink, cookie).failed()) {
        sink_ = std::move(sink);
        cookie_ = cookie;
    }
}

void TOmniRigX::Disconnect() {
    if (sink_) {
        sink_->detach();
        if (server_) {
            server_->Unadvise(cookie_);
        }
        sink_.reset();
        cookie_ = 0;
    }
    server_.reset();
}

IOmniRigX& TOmniRigX::server() {
    Connect();
    return *server_;
}

RigObject TOmniRigX::RigObject1() {
    std::shared_ptr<IRigX> rig;
    check(server().get_RigObject1(rig));
    return RigObject(std::move(rig), 1);
}

RigObject TOmniRigX::RigObject2() {
    std::shared_ptr<IRigX> rig;
    check(server().get_RigObject2(rig));
    return RigObject(std::move(rig), 2);
}

bool TOmniRigX::SettingsDialogVisible() {
    bool visible = false;
    check(server().get_SettingsDialogVisible(visible));
    return visible;
}

void TOmniRigX::SetSettingsDialogVisible(bool visible) {
    check(server().set_SettingsDialogVisible(visible));
}

RigResult TOmniRigX::dispatch(int32_t dispId, const std::vector<Variant>& args) {
    const auto rigNumber = argument(args, 0).toInt32();
    const bool numbered = dispId >= DISPID_RigTypeChange && dispId <= DISPID_CustomReply;
    if (numbered && !rigNumber) {
        return RigResult::fail(E_TYPE_MISMATCH, "RigNumber is not an integer");
    }
    // The handler is copied first: it may replace itself while it runs.
    try {
        switch (dispId) {
            case DISPID_VisibleChange:
                if (auto handler = OnVisibleChange) {
                    handler(this);
                }
                break;
            case DISPID_RigTypeChange:
                if (auto handler = OnRigTypeChange) {
                    handler(this, *rigNumber);
                }
                break;
            case DISPID_StatusChange:
                if (auto handler = OnStatusChange) {
                    handler(this, *rigNumber);
                }
                break;
            case DISPID_ParamsChange: {
                const auto params = argument(args, 1).toInt32();
                if (!params) {
                    return RigResult::fail(E_TYPE_MISMATCH, "Params is not an integer");
                }
                if (auto handler = OnParamsChange) {
                    handler(this, *rigNumber, *params);
                }
                break;
            }
            case DISPID_CustomReply:
                if (auto handler = OnCustomReply) {
                    handler(this, *rigNumber, argument(args, 1), argument(args, 2));
                }
                break;
            default:
                break;
        }
    } catch (const std::exception& e) {
        // The handlers report their own errors; whatever escapes must not unwind into the
        // server's delivery code.
        return RigResult::fail(E_FAILURE, e.what());
    }
    return RigResult::ok();
}

}  // namespace OmniRig
