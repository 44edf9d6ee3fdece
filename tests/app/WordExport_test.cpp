// Word catching in the application: the mouse release over the receive text
// in contest and normal mode, the pop-up menu's items, and what the export
// writes into the log INI file, puts on the clipboard, broadcasts and fires.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/QuelpApp.h"
#include "support/FakeClipboard.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"
#include "support/TempDir.h"

namespace quelp {
namespace {

struct Rig {
    test::TempDir dir;
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    test::FakeClipboard clipboard;
    QuelpApp app{Ports()};
    std::vector<std::pair<std::uint32_t, std::int32_t>> broadcasts;
    std::vector<std::tuple<int, std::int32_t, std::int32_t, std::string>> events;
    int objects = 0;

    explicit Rig(const std::string& keys = "") {
        IntegrationHooks h;
        h.broadcastMessage = [this](std::uint32_t w, std::int32_t l) {
            broadcasts.emplace_back(w, l);
        };
        h.automationObjects = [this] { return objects; };
        h.fireCommandEx = [this](int o, std::int32_t w, std::int32_t l, std::string_view t) {
            events.emplace_back(o, w, l, std::string(t));
        };
        app.SetIntegrationHooks(std::move(h));
        ProfileFile file;
        file.Parse("[Quelp]\nExportIniFile=" + Ini() + "\n" + keys);
        app.ApplySettings(file);
    }
    QuelpPorts Ports() {
        QuelpPorts p{view, clock, dialogs, rx};
        p.clipboard = &clipboard;
        return p;
    }
    std::string Ini() const { return dir.File("loginput.ini"); }
    std::string IniBytes() const {
        std::ifstream in(Ini(), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // Selects `word` in the text (or puts the caret in it when `select` is false).
    WordCatchPopup Release(const std::string& word, bool select = true) {
        const auto at = static_cast<int>(rx.text.find(word));
        rx.SetSelection(select ? at : at + 1, select ? static_cast<int>(word.size()) : 0);
        return app.RxMemoMouseUp();
    }
};

TEST(WordExport, ContestModeExportsCallsAndNumbersAtOnce) {
    Rig rig("ContestMode=1\n");
    rig.rx.text = " dl1abc 599 15 599001 ok1ab/p ea8/dl1abc dl1ab/5 k1a 5nn abc tu \n";
    const struct {
        const char* word;
        const char* key;
    } table[] = {
        {"dl1abc", "Call"},  {"599", "NumberRcvd"},  {"15", "NumberRcvd"}, {"599001", "NumberRcvd"},
        {"ok1ab/p", "Call"}, {"ea8/dl1abc", "Call"}, {"dl1ab/5", "Call"},  {"k1a", "Call"},
        {"5nn", "Call"},     {"abc", "NumberRcvd"},  {"tu", "NumberRcvd"},
    };
    for (const auto& row : table) {
        const std::string word = row.word;
        rig.app.MenuOpened();
        const WordCatchPopup popup = rig.Release(" " + word + " ");
        EXPECT_FALSE(popup.popup);
        EXPECT_EQ(rig.rx.selLength, 0);  // the selection is cleared
        EXPECT_EQ(rig.app.DisplayHoldOff(), 1);
        std::string upper = word;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(rig.broadcasts.back().second, std::string(row.key) == "Call" ? 4 : 0x100000);
        EXPECT_NE(rig.IniBytes().find(std::string(row.key) + "=\"" + upper + "\""),
                  std::string::npos)
            << word << "\n"
            << rig.IniBytes();
    }
    EXPECT_EQ(rig.IniBytes(), "[QSO]\nCall=\"5NN\"\nNumberRcvd=\"TU\"\n");
    // One click without a selection catches nothing unless asked to.
    rig.Release("k1a", false);
    EXPECT_EQ(rig.broadcasts.size(), std::size(table));
}

TEST(WordExport, NormalModeAsksForTheFieldAndWritesTheWordQuoted) {
    Rig rig;
    // Other programs' keys and sections stay.
    {
        std::ofstream(rig.Ini(), std::ios::binary)
            << "[QSO]\r\nName=\"Hans\"\r\n[Other]\r\nx=1\r\n";
    }
    rig.rx.text = "cq de dl1abc k\nrst 599 599\n";
    const WordCatchPopup popup = rig.Release(" dl1abc ");
    EXPECT_TRUE(popup.popup);
    EXPECT_EQ(popup.word, "dl1abc");
    EXPECT_EQ(rig.app.DisplayHoldOff(), 22);
    EXPECT_EQ(rig.rx.selLength, 0);
    rig.app.LogFieldClick(0);  // Call
    EXPECT_EQ(rig.app.DisplayHoldOff(), 1);
    EXPECT_EQ(rig.IniBytes(), "[QSO]\r\nName=\"Hans\"\r\nCall=\"dl1abc\"\r\n[Other]\r\nx=1\r\n");
    EXPECT_TRUE(rig.clipboard.texts.empty());  // not asked to copy

    // Blanks inside a selection go: "rst 599" is exported as rst599.
    EXPECT_EQ(rig.Release("rst 599").word, "rst599");
    rig.app.LogFieldClick(2);  // RST
    EXPECT_NE(rig.IniBytes().find("RprtRcvd=\"rst599\""), std::string::npos);
    // An empty selection of blanks still pops the menu up.
    EXPECT_TRUE(rig.Release(" ").popup);
    // Without a selection and without one-click catching nothing happens.
    rig.app.MenuClosed();
    EXPECT_FALSE(rig.Release("cq", false).popup);
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);
}

TEST(WordExport, OneClickCatchAndTheMenusOtherItems) {
    Rig rig("CatchWordByOneClick=1\nCopyTransferredData=1\nExportIniSection=Contest\n");
    rig.rx.text = "qth paris, name jean-luc\n";
    const WordCatchPopup popup = rig.Release("paris", false);
    EXPECT_TRUE(popup.popup);
    EXPECT_EQ(popup.word, "paris");  // the comma ends it
    rig.app.LogFieldClick(4);        // QTH
    EXPECT_EQ(rig.IniBytes(), "[Contest]\nQTH=\"paris\"\n");
    EXPECT_EQ(rig.clipboard.texts, (std::vector<std::string>{"paris"}));
    EXPECT_EQ(rig.Release("jean", false).word, "jean");  // "-" separates
    rig.app.Copy1Click();
    EXPECT_EQ(rig.clipboard.texts.back(), "jean");
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);
    rig.app.MenuOpened();
    rig.app.Title1Click();
    EXPECT_EQ(rig.app.DisplayHoldOff(), 0);
    // A click between two separators catches nothing.
    rig.rx.text = "a , b";
    rig.rx.SetSelection(2, 0);
    EXPECT_FALSE(rig.app.RxMemoMouseUp().popup);
}

TEST(WordExport, SequenceNumbersOfTheBroadcastAndTheEvents) {
    Rig rig;
    rig.app.ExportWord("Call", "dl1abc", 4);
    rig.objects = 2;
    rig.app.ExportWord("Name", "\xC8\xE2\xE0\xED", 0x80);  // Cyrillic in 1251
    ASSERT_EQ(rig.broadcasts.size(), 2u);
    EXPECT_EQ(rig.broadcasts[0], std::make_pair(0x83u, 4));
    EXPECT_EQ(rig.broadcasts[1], std::make_pair(0x283u, 0x80));
    ASSERT_EQ(rig.events.size(), 2u);  // once per automation object
    EXPECT_EQ(rig.events[0], std::make_tuple(0, 0x183, 0x80, std::string("Иван")));
    EXPECT_EQ(std::get<1>(rig.events[1]), 0x383);
    EXPECT_EQ(std::get<0>(rig.events[1]), 1);
}

TEST(WordExport, ABareFileNameIsInTheWorkingDirectory) {
    Rig rig("ExportIniFile=loginput.ini\n");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(rig.dir.path());
    rig.app.ExportWord("Call", "dl1abc", 4);
    std::filesystem::current_path(before);
    EXPECT_EQ(rig.IniBytes(), "[QSO]\nCall=\"dl1abc\"\n");
}

}  // namespace
}  // namespace quelp
