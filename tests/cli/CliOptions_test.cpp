#include "CliOptions.h"

#include <gtest/gtest.h>

namespace quelp {
namespace {

CliParseResult Parse(std::vector<std::string> args) {
    return ParseCliArgs(args);
}

TEST(CliOptions, DecodeWithEveryReceiverOption) {
    const auto r = Parse({"decode",       "a.wav",
                          "--freq",       "700.5",
                          "--filter=251", "--burst",
                          "200",          "--threshold",
                          "0.25",         "--min-threshold",
                          "0.002",        "--afc",
                          "off",          "--afc-local",
                          "50",           "--afc-global=300",
                          "--squelch",    "0.01",
                          "--squelch-db", "8.5",
                          "--speed-lock", "60-150",
                          "--charset",    "ru",
                          "--capture",    "cap.txt",
                          "--encoding",   "raw",
                          "--stats",      "--realtime",
                          "--multi",      "--settings",
                          "q.ini",        "--save-settings",
                          "out.ini",      "--history-save",
                          "hist",         "b.wav",
                          "--",           "--odd name.wav"});
    ASSERT_EQ(r.status, 0) << r.error;
    const CliOptions& o = r.options;
    EXPECT_EQ(o.command, CliCommand::Decode);
    EXPECT_EQ(o.files, (std::vector<std::string>{"a.wav", "b.wav", "--odd name.wav"}));
    EXPECT_EQ(o.freqHz, 700.5);
    EXPECT_EQ(o.filterCode, 251);
    EXPECT_EQ(o.burstLpm, 200);
    EXPECT_FALSE(o.thresholdAuto);
    EXPECT_EQ(o.threshold, 0.25);
    EXPECT_EQ(o.minThreshold, 0.002);
    EXPECT_EQ(o.afc, false);
    EXPECT_EQ(o.afcLocalHz, 50.0);
    EXPECT_EQ(o.afcGlobalHz, 300.0);
    EXPECT_EQ(o.squelch, 0.01);
    EXPECT_EQ(o.squelchDb, 8.5);
    EXPECT_EQ(o.speedLow, 60);
    EXPECT_EQ(o.speedHigh, 150);
    EXPECT_EQ(o.charset, 1);
    EXPECT_EQ(o.captureFile, "cap.txt");
    EXPECT_EQ(o.encoding, CodePage::Raw);
    EXPECT_TRUE(o.stats && o.realtime && o.multi);
    EXPECT_EQ(o.settingsFile, "q.ini");
    EXPECT_EQ(o.saveSettingsFile, "out.ini");
    EXPECT_EQ(o.historySaveDir, "hist");
}

TEST(CliOptions, TheDecoderIsLeftAloneUnlessAsked) {
    EXPECT_EQ(Parse({"decode", "a.wav"}).options.adaptive, std::nullopt);
    EXPECT_EQ(Parse({"decode", "a.wav", "--decoder", "adaptive"}).options.adaptive, true);
    EXPECT_EQ(Parse({"live", "--decoder=adaptive", "--decoder", "classic"}).options.adaptive,
              false);
}

TEST(CliOptions, LiveOptionsAndDevices) {
    auto r =
        Parse({"live", "--device", "2", "--channel", "right", "--sound-out", "raw", "--out-device",
               "USB Audio", "--record", "rec.wav", "--threshold", "auto", "--charset", "my.chr"});
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(r.options.command, CliCommand::Live);
    EXPECT_EQ(r.options.device, (CliDevice{2, ""}));
    EXPECT_EQ(r.options.outDevice, (CliDevice{-1, "USB Audio"}));
    EXPECT_EQ(r.options.channel, 2);
    EXPECT_EQ(r.options.soundOut, 9998);
    EXPECT_EQ(r.options.recordFile, "rec.wav");
    EXPECT_TRUE(r.options.thresholdAuto);
    EXPECT_EQ(r.options.charset, 2);
    EXPECT_EQ(r.options.charsetFile, "my.chr");

    r = Parse({"live", "--list-devices", "--sound-out=140"});
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_TRUE(r.options.listDevices);
    EXPECT_EQ(r.options.soundOut, 140);
}

TEST(CliOptions, HelpAndVersionWinOverACommand) {
    EXPECT_EQ(Parse({"--help"}).options.command, CliCommand::Help);
    EXPECT_EQ(Parse({"decode", "-h"}).options.command, CliCommand::Help);
    EXPECT_EQ(Parse({"--version"}).options.command, CliCommand::Version);
    EXPECT_EQ(Parse({"live", "--version"}).status, 0);
    EXPECT_NE(CliUsage().find("quelp-cli decode FILE... [options]"), std::string::npos);
}

TEST(CliOptions, UsageErrors) {
    const struct {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{}, "no command given (decode or live)"},
        {{"play"}, "unknown command 'play' (decode or live)"},
        {{"decode"}, "decode needs at least one recording (- reads standard input)"},
        {{"decode", "a.wav", "--bogus"}, "unknown option '--bogus'"},
        {{"decode", "a.wav", "--freq"}, "--freq needs a value"},
        {{"decode", "a.wav", "--decoder", "fast"},
         "--decoder wants classic or adaptive, not 'fast'"},
        {{"decode", "a.wav", "--freq", "abc"}, "--freq wants a number from 1 to 100000, not 'abc'"},
        {{"decode", "a.wav", "--freq", "nan"}, "--freq wants a number from 1 to 100000, not 'nan'"},
        {{"decode", "a.wav", "--squelch-db", "41"},
         "--squelch-db wants a number from 0 to 40, not '41'"},
        {{"decode", "a.wav", "--burst", "0"},
         "--burst wants a whole number from 1 to 35000, not '0'"},
        {{"decode", "a.wav", "--filter", "14x"},
         "--filter wants one of 10 20 30 70 140 280 600 1000 2000 3500 101 251 1001, not '14x'"},
        // values the receiver would silently change or ignore
        {{"decode", "a.wav", "--filter", "250"},
         "--filter wants one of 10 20 30 70 140 280 600 1000 2000 3500 101 251 1001, not '250'"},
        {{"decode", "a.wav", "--afc-local", "3001"},
         "--afc-local wants a number from 5 to 3000, not '3001'"},
        {{"decode", "a.wav", "--afc-global", "2"},
         "--afc-global wants a number from 5 to 3000, not '2'"},
        {{"decode", "a.wav", "--speed-lock", "60-3005"},
         "--speed-lock wants LOW-HIGH in LPM from 5 to 3000 with LOW not above HIGH, e.g. "
         "60-150, not '60-3005'"},
        {{"live", "--sound-out", "77"},
         "--sound-out wants off, raw or one of 10 20 30 70 140 280 600 1000 2000 3500 101 251 "
         "1001, not '77'"},
        {{"live", "--realtime"}, "--realtime is only for decode"},
        {{"decode", "a.wav", "--overwrite"}, "--overwrite is only for live"},
        {{"decode", "a.wav", "--afc", "yes"}, "--afc wants on or off, not 'yes'"},
        {{"decode", "a.wav", "--threshold", "-1"},
         "--threshold wants auto or a level above 0 (1.0 is about full scale), not '-1'"},
        {{"decode", "a.wav", "--speed-lock", "150-60"},
         "--speed-lock wants LOW-HIGH in LPM from 5 to 3000 with LOW not above HIGH, e.g. "
         "60-150, not '150-60'"},
        {{"decode", "a.wav", "--speed-lock", "60"},
         "--speed-lock wants LOW-HIGH in LPM from 5 to 3000 with LOW not above HIGH, e.g. "
         "60-150, not '60'"},
        {{"decode", "a.wav", "--encoding", "utf8"},
         "--encoding wants cp1251, cp1252 or raw, not 'utf8'"},
        {{"decode", "a.wav", "--stats=yes"}, "--stats takes no value"},
        {{"decode", "a.wav", "--capture="}, "--capture needs a non-empty value"},
        {{"decode", "a.wav", "--device", "1"}, "--device is only for live"},
        {{"decode", "a.wav", "--record", "x.wav"}, "--record is only for live"},
        {{"live", "a.wav"}, "live takes no file arguments: 'a.wav'"},
        {{"live", "--channel", "both"},
         "--channel wants left, right or mix (live: mono, left or right), not 'both'"},
        {{"live", "--channel", "mix"}, "--channel wants mono, left or right for live, not 'mix'"},
        {{"decode", "a.wav", "--channel", "mono"},
         "--channel wants left, right or mix for decode, not 'mono'"},
        {{"decode", "-", "-"}, "standard input (-) can be read only once"},
        {{"live", "--json"}, "--json is only for decode"},
        {{"decode", "a.wav", "-j", "-1"}, "-j wants a whole number from 0 to 256, not '-1'"},
        {{"decode", "a.wav", "--raw", "100"},
         "--raw wants a whole number from 4000 to 768000, not '100'"},
        {{"decode", "a.wav", "--start-time", "25:00:00"},
         "--start-time wants a time of day as HH:MM:SS, e.g. 18:30:00, not '25:00:00'"},
        {{"live", "--sound-out", "-3"},
         "--sound-out wants off, raw or one of 10 20 30 70 140 280 600 1000 2000 3500 101 251 "
         "1001, not '-3'"},
        {{"--help", "--nope"}, "unknown option '--nope'"},
    };
    for (const auto& c : cases) {
        const auto r = Parse(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(r.hint, "Try 'quelp-cli --help' for more information.");
    }
}

TEST(CliOptions, HelpAndTheManualPageDescribeTheSameOptions) {
    const std::string help = CliUsage();
    const std::string manual = CliManPage("1.2.3");
    for (const CliOptionDoc& d : CliOptionTable()) {
        // Every option name of the row, in each of the two texts.
        std::string_view synopsis = d.synopsis;
        while (!synopsis.empty()) {
            const std::size_t space = synopsis.find(' ');
            std::string word(synopsis.substr(0, space));
            synopsis = space == std::string_view::npos ? "" : synopsis.substr(space + 1);
            if (word.empty() || word[0] != '-') continue;
            EXPECT_NE(help.find(" " + word + " "), std::string::npos) << word;
            if (word.back() == ',') word.pop_back();
            std::string roff;
            for (const char c : word) roff += c == '-' ? "\\-" : std::string(1, c);
            EXPECT_NE(manual.find("\\fB" + roff + "\\fR"), std::string::npos) << word;
        }
    }
    EXPECT_NE(manual.find(".TH QUELP\\-CLI 1 \"\" \"quelp\\-cli 1.2.3\""), std::string::npos);
    // No line of text starts as a request would.
    std::size_t at = 0;
    while ((at = manual.find('\n', at)) != std::string::npos) {
        ++at;
        if (at < manual.size() && manual[at] == '\'') ADD_FAILURE() << manual.substr(at, 40);
    }
}

}  // namespace
}  // namespace quelp
