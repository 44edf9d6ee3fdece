#include "adapters/hamlib/HamlibRigServer.h"

#include <hamlib/rig.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

namespace quelp {

namespace {

using namespace rig_param;

constexpr std::uint32_t kAllModes =
    kCwUpper | kCwLower | kSsbUpper | kSsbLower | kDataUpper | kDataLower | kAm | kFm;

std::uint32_t ModeValue(rmode_t mode) {
    if (mode == RIG_MODE_CW) return kCwUpper;
    if (mode == RIG_MODE_CWR) return kCwLower;
    if (mode == RIG_MODE_USB) return kSsbUpper;
    if (mode == RIG_MODE_LSB) return kSsbLower;
    if (mode == RIG_MODE_PKTUSB || mode == RIG_MODE_RTTY || mode == RIG_MODE_RTTYR) {
        return kDataUpper;
    }
    if (mode == RIG_MODE_PKTLSB) return kDataLower;
    if (mode == RIG_MODE_AM || mode == RIG_MODE_AMS || mode == RIG_MODE_SAM) return kAm;
    if (mode == RIG_MODE_FM || mode == RIG_MODE_WFM || mode == RIG_MODE_PKTFM) return kFm;
    // A mode with no sideband of its own tunes as the upper sideband does; a
    // rig that gives none has not answered.
    return mode == RIG_MODE_NONE ? kUnknown : kSsbUpper;
}

std::int32_t Hertz(double hz) {
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    if (!std::isfinite(hz)) return 0;
    return static_cast<std::int32_t>(std::clamp(std::round(hz), -kMax, kMax));
}

vfo_t VfoOf(RigProperty property) {
    if (property == RigProperty::FreqA) return RIG_VFO_A;
    if (property == RigProperty::FreqB) return RIG_VFO_B;
    return RIG_VFO_CURR;
}

bool SetConf(RIG* rig, const char* name, const std::string& value) {
    const token_t token = rig_token_lookup(rig, name);
    return token != RIG_CONF_END && rig_set_conf(rig, token, value.c_str()) == RIG_OK;
}

int CollectModel(const rig_caps* caps, rig_ptr_t data) {
    auto& models = *static_cast<std::vector<HamlibModel>*>(data);
    models.push_back({static_cast<int>(caps->rig_model), caps->mfg_name ? caps->mfg_name : "",
                      caps->model_name ? caps->model_name : "",
                      caps->port_type == RIG_PORT_NETWORK});
    return 1;  // go on
}

}  // namespace

HamlibRigServer::HamlibRigServer(HamlibSettings settings) : settings_(std::move(settings)) {}

HamlibRigServer::~HamlibRigServer() {
    CloseRig();
}

std::vector<HamlibModel> HamlibRigServer::Models() {
    std::vector<HamlibModel> models;
    try {
        rig_set_debug(RIG_DEBUG_NONE);
        rig_load_all_backends();
        rig_list_foreach(&CollectModel, &models);
        std::sort(models.begin(), models.end(), [](const HamlibModel& a, const HamlibModel& b) {
            return std::tie(a.Maker, a.Name, a.Model) < std::tie(b.Maker, b.Name, b.Model);
        });
    } catch (...) {
        // No memory for the list: the setup window offers what it got.
    }
    return models;
}

bool HamlibRigServer::Create() {
    // Hamlib reports to stderr by default; the operator sees our messages.
    rig_set_debug(RIG_DEBUG_NONE);
    return true;
}

bool HamlibRigServer::SelectRig(int number) {
    CloseRig();
    if (number < 1 || number > 2) return false;
    try {
        const HamlibRigSettings& wanted = settings_.Rigs[static_cast<std::size_t>(number - 1)];
        RIG* rig = rig_init(static_cast<rig_model_t>(wanted.Model));
        if (rig == nullptr) return false;
        bool configured = true;
        if (!wanted.Port.empty()) configured = SetConf(rig, "rig_pathname", wanted.Port);
        if (configured && wanted.Speed > 0 && wanted.Model != kHamlibNetworkModel) {
            configured = SetConf(rig, "serial_speed", std::to_string(wanted.Speed));
        }
        if (!configured || rig_open(rig) != RIG_OK) {
            rig_cleanup(rig);
            return false;
        }
        // Other programs change a shared rig behind Hamlib's back: a cached
        // frequency would turn a retune into a jump to a stale one.
        rig_set_cache_timeout_ms(rig, HAMLIB_CACHE_ALL, 0);
        rig_ = rig;
        LearnParameters();
        return true;
    } catch (...) {
        CloseRig();
        return false;
    }
}

void HamlibRigServer::CloseRig() {
    if (rig_ == nullptr) return;
    rig_close(rig_);
    rig_cleanup(rig_);
    rig_ = nullptr;
}

void HamlibRigServer::LearnParameters() {
    const rig_caps* caps = rig_->caps;
    readable_ = writable_ = 0;
    if (caps->get_mode) readable_ |= kAllModes;
    if (caps->get_freq) readable_ |= kFreq;
    if (caps->set_freq) writable_ |= kFreq;
    // VFO A and B are offered only with a way to tell which one receives.
    const int ab = RIG_VFO_A | RIG_VFO_B;
    if ((rig_->state.vfo_list & ab) == ab && caps->get_vfo) {
        readable_ |= kVfoA | kVfoB;
        if (caps->get_freq) readable_ |= kFreqA | kFreqB;
        if (caps->set_freq) writable_ |= kFreqA | kFreqB;
    }
    if (caps->get_rit) readable_ |= kRitOffset;
    if (caps->set_rit) writable_ |= kRitOffset;
    ritSwitch_ =
        rig_has_get_func(rig_, RIG_FUNC_RIT) != 0 && rig_has_set_func(rig_, RIG_FUNC_RIT) != 0;
    if (ritSwitch_ || caps->get_rit) readable_ |= kRitOn | kRitOff;
    if (ritSwitch_ || caps->set_rit) writable_ |= kRitOn | kRitOff;
}

std::optional<std::int32_t> HamlibRigServer::Get(RigProperty property) {
    if (rig_ == nullptr) return std::nullopt;
    try {
        return GetChecked(property);
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<std::int32_t> HamlibRigServer::GetChecked(RigProperty property) {
    // Mode, RIT and VFO read "unknown" when the rig does not answer, so that
    // the caller asks again; a frequency that cannot be read is a failure.
    switch (property) {
        case RigProperty::Readable:
            return static_cast<std::int32_t>(readable_);
        case RigProperty::Writable:
            return static_cast<std::int32_t>(writable_);
        case RigProperty::Mode: {
            rmode_t mode = RIG_MODE_NONE;
            pbwidth_t width = 0;
            if (rig_get_mode(rig_, RIG_VFO_CURR, &mode, &width) != RIG_OK) return kUnknown;
            return static_cast<std::int32_t>(ModeValue(mode));
        }
        case RigProperty::Rit: {
            bool on = false;
            if (ritSwitch_) {
                int status = 0;
                if (rig_get_func(rig_, RIG_VFO_CURR, RIG_FUNC_RIT, &status) != RIG_OK) {
                    return kUnknown;
                }
                on = status != 0;
            } else {
                // Without a switch, a rig's RIT is on while it has an offset.
                shortfreq_t offset = 0;
                if (rig_get_rit(rig_, RIG_VFO_CURR, &offset) != RIG_OK) return kUnknown;
                on = offset != 0;
            }
            return static_cast<std::int32_t>(on ? kRitOn : kRitOff);
        }
        case RigProperty::RitOffset: {
            shortfreq_t offset = 0;
            if (rig_get_rit(rig_, RIG_VFO_CURR, &offset) != RIG_OK) return std::nullopt;
            return Hertz(static_cast<double>(offset));
        }
        case RigProperty::Vfo: {
            vfo_t vfo = RIG_VFO_NONE;
            if (rig_get_vfo(rig_, &vfo) != RIG_OK) return kUnknown;
            // Hamlib names the second VFO "Sub" on rigs that also call it B.
            const bool onB = vfo == RIG_VFO_B || vfo == RIG_VFO_SUB;
            return static_cast<std::int32_t>(onB ? kVfoB : kVfoA);
        }
        case RigProperty::Freq:
        case RigProperty::FreqA:
        case RigProperty::FreqB: {
            freq_t hz = 0;
            if (rig_get_freq(rig_, VfoOf(property), &hz) != RIG_OK) return std::nullopt;
            return Hertz(hz);
        }
    }
    return std::nullopt;
}

bool HamlibRigServer::Set(RigProperty property, std::int32_t value) {
    if (rig_ == nullptr) return false;
    try {
        return SetChecked(property, value);
    } catch (...) {
        return false;
    }
}

bool HamlibRigServer::SetChecked(RigProperty property, std::int32_t value) {
    switch (property) {
        case RigProperty::Rit: {
            const bool on = static_cast<std::uint32_t>(value) == kRitOn;
            if (ritSwitch_)
                return rig_set_func(rig_, RIG_VFO_CURR, RIG_FUNC_RIT, on ? 1 : 0) == RIG_OK;
            // Without a switch, off is a zero offset and on is the offset to come.
            return on || rig_set_rit(rig_, RIG_VFO_CURR, 0) == RIG_OK;
        }
        case RigProperty::RitOffset:
            return rig_set_rit(rig_, RIG_VFO_CURR, value) == RIG_OK;
        case RigProperty::Freq:
        case RigProperty::FreqA:
        case RigProperty::FreqB:
            return rig_set_freq(rig_, VfoOf(property), static_cast<freq_t>(value)) == RIG_OK;
        case RigProperty::Readable:
        case RigProperty::Writable:
        case RigProperty::Mode:
        case RigProperty::Vfo:
            return false;
    }
    return false;
}

bool HamlibRigServer::ClearRit() {
    if (rig_ == nullptr) return false;
    return rig_set_rit(rig_, RIG_VFO_CURR, 0) == RIG_OK;
}

bool HamlibRigServer::ShowSetup() {
    if (!showSetup_) return false;
    try {
        return showSetup_();
    } catch (...) {
        return false;
    }
}

}  // namespace quelp
