// The multi-channel decoder inside the application: menu item and window
// hooks, the hand-overs from the main filter, burst filter and speed lock,
// and a band of five signals decoded through the block processor.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "app/QuelpApp.h"
#include "support/CwSynth.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"

namespace quelp {
namespace {

struct Rig {
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    QuelpApp app{{view, clock, dialogs, rx}};
    std::vector<std::string> calls;
    bool onTop = false;

    Rig() {
        ScanFormHooks f;
        f.create = [this] { calls.push_back("create"); };
        f.show = [this] { calls.push_back("show"); };
        f.hide = [this] { calls.push_back("hide"); };
        f.setMainStayOnTop = [this](bool on) { calls.push_back(on ? "top" : "normal"); };
        f.alwaysOnTop = [this] { return onTop; };
        app.SetScanFormHooks(std::move(f));
    }

    void Feed(const std::vector<std::int16_t>& pcm) {
        std::vector<std::int16_t> block(kBlockSize);
        for (size_t at = 0; at < pcm.size(); at += block.size()) {
            std::fill(block.begin(), block.end(), 0);
            for (size_t i = 0; i < block.size() && at + i < pcm.size(); ++i) block[i] = pcm[at + i];
            app.ProcessBlock(block.data(), 1);
        }
    }
    const ScanWindow& Grid() const { return app.Rx().FreqScan().Window(); }
};

ProfileFile Settings(const std::string& keys) {
    ProfileFile file;
    file.Parse("[Quelp]\n" + keys);
    return file;
}

TEST(MultiChannelApp, MenuItemAndCloseBoxToggleTheDecoderAndWindow) {
    Rig rig;
    rig.onTop = true;
    rig.app.MultiChannelDecoder1Click();
    EXPECT_TRUE(rig.app.Rx().MultiChannelOn());
    EXPECT_TRUE(rig.view.checked[UiItem::MultiChannelDecoder1]);
    EXPECT_TRUE(rig.app.ScanFormCreated());
    EXPECT_EQ(rig.calls, (std::vector<std::string>{"normal", "create", "show", "top"}));
    // Transmit mark at bin 186, band from 40: row 18 comes to the middle of
    // the 19 rows the grid has room for at first.
    EXPECT_EQ(rig.Grid().TopRow, 18 - 19 / 2);

    // A station in row 3 (bins 64 to 71) fills the row.
    test::CwSynthOptions o;
    o.signal.text = "test test";
    o.signal.freqHz = 67 * 11025.0 / 2048;
    rig.Feed(test::ToPcm16(test::SynthesizeCw(o).samples));
    const std::string kept(rig.Grid().Row(3));
    ASSERT_FALSE(kept.empty());
    const std::string text = rig.app.MultiChannelText();
    EXPECT_NE(text.find("row  3  345-382 Hz: " + kept + "\n"), std::string::npos) << text;

    rig.calls.clear();
    rig.onTop = false;
    EXPECT_FALSE(rig.app.ScanFormCloseQuery());
    EXPECT_FALSE(rig.app.Rx().MultiChannelOn());
    EXPECT_FALSE(rig.view.checked[UiItem::MultiChannelDecoder1]);
    EXPECT_FALSE(rig.app.ScanFormCloseQuery());  // already off: nothing more
    rig.app.MultiChannelDecoder1Click();
    EXPECT_EQ(rig.calls, (std::vector<std::string>{"normal", "hide", "normal", "show"}));
    EXPECT_EQ(rig.Grid().Row(3), kept);
    EXPECT_EQ(rig.app.MultiChannelText(), text);
}

TEST(MultiChannelApp, FilterBurstAndSpeedChangesReachTheChannelsWhileOff) {
    Rig rig;
    const TFreqScan& scan = rig.app.Rx().FreqScan();
    rig.app.SelectMainFilter(2);
    EXPECT_EQ(scan.Channel(4).FilterKind, 3500);
    rig.app.SelectBurstFilter(300);
    EXPECT_EQ(scan.Channel(4).Burst.BurstLength, 117);
    // A stored burst length is taken as it is.
    rig.app.ApplySettings(Settings("CwFilterTreshold=90\n"));
    EXPECT_EQ(scan.Channel(0).Burst.BurstLength, 90);

    const DecoderSpeed& speed = rig.app.Rx().Params().Speed;
    rig.app.ApplySettings(Settings("ReUseSpeedLimits=1\n"));
    rig.app.SpeedLockButtonClick();  // lock on: window applied
    ASSERT_EQ(speed.SpeedLocked, 1);
    // A channel starts slower than the window allows.
    EXPECT_EQ(scan.Channel(1).DotLen, speed.UpperDotLimit);

    // A stored window slower than a channel's start pulls it the other way.
    Rig slow;
    slow.app.ApplySettings(
        Settings("SpeedLocked=1\nReUseSpeedLimits=1\nLowerSpeed=5\nHigherSpeed=10\n"));
    const DecoderSpeed& slowSpeed = slow.app.Rx().Params().Speed;
    const TCwDecoder& channel = slow.app.Rx().FreqScan().Channel(1);
    ASSERT_GT(slowSpeed.LowerDotLimit, TCwDecoder::kStartDotLen);
    EXPECT_EQ(channel.DotLen, slowSpeed.LowerDotLimit);
    EXPECT_EQ(channel.DashLen, 3 * slowSpeed.LowerDotLimit);
}

// Edit distance between the decoded text and the best-matching end of the
// sent text (a row keeps only its newest characters).
int DistanceToEnd(std::string decoded, std::string sent) {
    std::reverse(decoded.begin(), decoded.end());
    std::reverse(sent.begin(), sent.end());
    std::vector<int> prev(sent.size() + 1), cur(sent.size() + 1);
    for (size_t j = 0; j <= sent.size(); ++j) prev[j] = static_cast<int>(j);
    for (size_t i = 1; i <= decoded.size(); ++i) {
        cur[0] = static_cast<int>(i);
        for (size_t j = 1; j <= sent.size(); ++j) {
            cur[j] = std::min(
                {prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + (decoded[i - 1] != sent[j - 1])});
        }
        std::swap(prev, cur);
    }
    return *std::min_element(prev.begin(), prev.end());
}

TEST(MultiChannelApp, FiveSignalsDecodeIntoFiveRowsWithTracesOnTheirBins) {
    struct Signal {
        int bin;
        double wpm;
        double level;
        const char* text;
    };
    // About 8 s each, all ending together; the faster the stronger. One
    // white noise over the band, +6 dB below the weakest signal in 2500 Hz
    // (the weakest signal's synthesis carries it).
    const std::vector<Signal> band = {
        {90, 15, 0.06, "cq de dl1abc"},
        {123, 20, 0.07, "test de ok2xyz k"},
        {160, 25, 0.08, "de g4abc rst 599 bk"},
        {201, 30, 0.09, "qrl? qrl? de f5xyz pse k"},
        {250, 35, 0.10, "tu 73 de sm5abc gl es hpe ee"},
    };
    const auto options = [&band](size_t n, double start) {
        test::CwSynthOptions o;
        o.signal.text = band[n].text;
        o.signal.wpm = band[n].wpm;
        o.signal.level = band[n].level;
        o.signal.freqHz = band[n].bin * 11025.0 / 2048;
        o.signal.startSec = start;
        if (n == 0) o.snrDb = 6.0;
        o.seed = 11 + n;
        o.tailSec = 0.8;
        return o;
    };
    std::vector<double> lengths;
    for (size_t n = 0; n < band.size(); ++n) {
        test::CwSynthOptions o = options(n, 0.0);
        o.snrDb.reset();
        lengths.push_back(test::SynthesizeCw(o).keying.back().end);
    }
    const double end = *std::max_element(lengths.begin(), lengths.end()) + 0.3;
    std::vector<double> sum(static_cast<size_t>((end + 0.8) * 11025), 0.0);
    for (size_t n = 0; n < band.size(); ++n) {
        const test::CwSynthResult r = test::SynthesizeCw(options(n, end - lengths[n]));
        for (size_t i = 0; i < r.samples.size() && i < sum.size(); ++i) sum[i] += r.samples[i];
    }

    Rig rig;
    rig.app.SetSquelch(false, 0.05);  // the peaks' floor, above the noise peaks
    rig.app.SelectBurstFilter(300);   // room for 35 WPM dots
    // The transmit mark at the band's start brings its first row to the top.
    rig.app.SetTransmitBin(40);
    rig.app.MultiChannelDecoder1Click();
    const ScanWindow& window = rig.Grid();
    ASSERT_EQ(window.TopRow, 0);
    rig.Feed(test::ToPcm16(sum));

    for (const Signal& s : band) {
        std::string row(window.Row((s.bin - 40) / 8));
        while (!row.empty() && row.back() == ' ') row.pop_back();
        // The whole row, and its end as long as the sent text after its first
        // word: a channel starts slow (a 2600-sample dot) and the first
        // character or two suffer.
        const double cer =
            static_cast<double>(DistanceToEnd(row, s.text)) / std::max<size_t>(1, row.size());
        const std::string sent = s.text;
        const size_t tail = sent.size() - sent.find(' ') - 1;
        const std::string later = row.substr(row.size() - std::min(row.size(), tail));
        const double laterCer =
            static_cast<double>(DistanceToEnd(later, s.text)) / std::max<size_t>(1, later.size());
        std::printf("  %4.0f Hz %2.0f WPM level %.2f: \"%s\" CER %.3f, after the first word %.3f\n",
                    s.bin * 11025.0 / 2048, s.wpm, s.level, row.c_str(), cer, laterCer);
        EXPECT_LE(cer, 0.08) << row;  // 0.071 at worst (one character of 14)
        EXPECT_LE(laterCer, 0.05) << row;
    }

    // Traces: only on the pixel rows of the five bins (a neighbour bin at
    // most, as a peak wanders), and on each of them.
    const Rgb bg = ScanWindow::Background();
    std::set<int> painted;
    for (int y = 0; y < window.BitmapHeight(); ++y)
        for (int x = 0; x < window.BitmapWidth(); ++x)
            if (!(window.Pixel(x, y) == bg)) painted.insert(40 + y / 3);
    for (const Signal& s : band) EXPECT_TRUE(painted.count(s.bin)) << s.bin;
    for (int bin : painted) {
        EXPECT_TRUE(std::any_of(band.begin(), band.end(), [bin](const Signal& s) {
            return std::abs(s.bin - bin) <= 1;
        })) << bin;
    }
}

}  // namespace
}  // namespace quelp
