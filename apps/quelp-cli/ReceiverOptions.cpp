#include "ReceiverOptions.h"

#include <cmath>
#include <cstdio>

#include "dsp/Bins.h"

namespace quelp::cli {

namespace {

std::string Hertz(double hz) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", hz);
    return text;
}

}  // namespace

bool ApplyReceiverOptions(QuelpApp& app, const CliOptions& o, std::string& error) {
    const double rate = app.Rx().Params().SamplingFreq;
    if (o.freqHz) {
        const int bin = HzToBin(*o.freqHz, rate);
        if (bin < kFirstBin || bin > kLastBin) {
            error = "--freq wants a frequency in the tunable band, " +
                    std::to_string(BinToHz(kFirstBin, rate)) + " to " +
                    std::to_string(BinToHz(kLastBin, rate)) + " Hz, not " + Hertz(*o.freqHz);
            return false;
        }
    }
    if (o.charset && !app.UseCharset(*o.charset, o.charsetFile)) {
        error = "cannot use the character table file '" + o.charsetFile + "'";
        return false;
    }

    if (o.filterCode) app.SelectMainFilter(*o.filterCode);
    if (o.burstLpm) app.SelectBurstFilter(*o.burstLpm);

    if (o.thresholdAuto) {
        app.SetAutoThreshold(true);
    } else if (o.threshold) {
        app.SetAutoThreshold(false);
        app.SetDetectorThreshold(*o.threshold);
    }
    // A limit given by the operator stays; the estimator would replace it
    // every second otherwise.
    if (o.minThreshold) app.SetMinAutoThreshold(*o.minThreshold, true);
    if (o.squelch) app.SetSquelch(true, *o.squelch);

    if (o.afc) app.SetAfc(*o.afc);
    if (o.afcLocalHz) app.SetAfcDeviationHz(static_cast<int>(std::lround(*o.afcLocalHz)));
    if (o.afcGlobalHz) app.SetAfcLimitHz(static_cast<int>(std::lround(*o.afcGlobalHz)));
    if (o.freqHz) {
        app.SetReceiveBin(HzToBin(*o.freqHz, rate));
    } else if (!o.settingsFile) {
        // Neither a frequency nor a settings file: the receiver finds the
        // signal itself and keeps finding it after every long pause. A
        // settings file's frequency and go-to-max choice stay as they are.
        app.SetAutoGoToMax(true);
    }

    // A settings file may have chosen the adaptive decoder and its squelch;
    // what the command line gives goes over it.
    if (o.adaptive || o.freqHz || o.squelchDb) {
        AdaptiveSettings adaptive = app.Rx().Adaptive().Settings();
        adaptive.frequencyHz = o.freqHz;
        if (o.squelchDb) adaptive.squelchDb = *o.squelchDb;
        app.SetAdaptiveSettings(adaptive);
    }
    if (o.adaptive) {
        app.SelectDecoder(*o.adaptive ? DecoderChoice::Adaptive : DecoderChoice::Classic);
    }

    if (o.speedLow && o.speedHigh) app.LockSpeed(*o.speedLow, *o.speedHigh);
    return true;
}

CodePage TextCodePage(const CliOptions& options, int charsetInForce) {
    if (options.encoding) return *options.encoding;
    return charsetInForce == charset::Swedish ? CodePage::Cp1252 : CodePage::Cp1251;
}

}  // namespace quelp::cli
