#include "ReceiverOptions.h"

#include <cmath>

namespace quelp::cli {

int FrequencyBin(double hz, double samplingFreq) {
    return static_cast<int>(std::floor(hz * 2048.0 / samplingFreq + 0.5));
}

bool ApplyReceiverOptions(QuelpApp& app, const CliOptions& o, std::string& error) {
    Quelp_Params& p = app.Params();
    if (o.charset) {
        if (*o.charset == charset::User) {
            if (app.Tables().ReadUserCharset(o.charsetFile) != charset_result::Ok) {
                error = "cannot use the character table file '" + o.charsetFile + "'";
                return false;
            }
            p.UserCharsetFile = o.charsetFile;
        }
        p.Charset = *o.charset;
    }

    if (o.filterCode) app.Filters().SelectMainFilter(*o.filterCode);
    if (o.burstLpm) app.Filters().SelectBurstFilter(*o.burstLpm);

    if (o.thresholdAuto) {
        app.Detector().SetAutoDown(true);
    } else if (o.threshold) {
        app.Detector().SetAutoDown(false);
        p.DetectorThreshold = *o.threshold;
    }
    if (o.minThreshold) {
        // A limit given by the operator stays; the estimator would replace
        // it every second otherwise.
        p.MinAutoThreshold = *o.minThreshold;
        p.EnableManualLimit = 1;
    }
    if (o.squelch) {
        p.SquelchEnabled = 1;
        p.SquelchThreshold = *o.squelch;
    }

    if (o.afc) app.Tune().SetAfcDown(*o.afc);
    if (o.afcLocalHz) app.Tune().Afc().SetPosition(static_cast<int>(std::lround(*o.afcLocalHz)));
    if (o.afcGlobalHz) {
        app.Tune().AfcLimit().SetPosition(static_cast<int>(std::lround(*o.afcGlobalHz)));
    }
    if (o.freqHz) {
        app.Tune().SetReceiveBin(FrequencyBin(*o.freqHz, p.SamplingFreq));
    } else {
        // No frequency given: the receiver finds the signal itself and keeps
        // finding it after every long pause.
        app.Tune().SetAutoGoToMaxDown(true);
    }

    if (o.speedLow && o.speedHigh) {
        p.SpeedLocked = 1;
        app.Decoder().ShowSpeedLock();
        app.Decoder().SetSpeedLimits(*o.speedLow, *o.speedHigh);
    }
    return true;
}

DecoderSpeed CurrentSpeed(QuelpApp& app) {
    // PARIS with its word space: 10 dots, 4 dashes, 9 element gaps, 4
    // character gaps and 1 word gap, as the status bar counts it.
    const Quelp_Params& p = app.Params();
    const IntervalState& s = app.Decoder().State();
    const double t = 10.0 * p.DotLen + 4.0 * p.DashLen + 9.0 * p.ShortPauseLen +
                     4.0 * s.CharPauseLen + static_cast<double>(s.WordPauseLen);
    DecoderSpeed speed;
    if (!(t > 0.0)) return speed;
    speed.wpm = 60.0 * p.SamplingFreq / t;
    speed.lpm = static_cast<long long>(speed.wpm * 5.0 + 0.5);
    return speed;
}

CodePage TextCodePage(const CliOptions& options, int charsetInForce) {
    if (options.encoding) return *options.encoding;
    return charsetInForce == charset::Swedish ? CodePage::Cp1252 : CodePage::Cp1251;
}

}  // namespace quelp::cli
