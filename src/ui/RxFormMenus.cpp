#include "ui/RxFormMenus.h"

#include <QActionGroup>

namespace quelp::ui {

namespace {

struct Entry {
    UiItem item;
    const char* name;
    const char* caption;
};

// The main filter's and the sound output's filter items share their captions.
constexpr Entry kFirFilters[] = {
    {UiItem::FIR10Menu, "FIR10Menu", "    10 Hz"},
    {UiItem::FIR20Menu, "FIR20Menu", "    20 Hz"},
    {UiItem::FIR30Menu, "FIR30Menu", "    30 Hz"},
    {UiItem::FIR70Menu, "FIR70Menu", "    70 Hz"},
    {UiItem::FIR140Menu, "FIR140Menu", "  140 Hz"},
    {UiItem::FIR280Menu, "FIR280Menu", "  280 Hz"},
    {UiItem::FIR600Menu, "FIR600Menu", "  600 Hz"},
    {UiItem::FIR1000Menu, "FIR1000Menu", "1000 Hz"},
    {UiItem::FIR2000Menu, "FIR2000Menu", "2000 Hz"},
    {UiItem::FIR3000Menu, "FIR3000Menu", "3000 Hz"},
};
constexpr Entry kIirFilters[] = {
    {UiItem::IIR100Menu, "IIR100Menu", "  100 Hz"},
    {UiItem::IIR250Menu, "IIR250Menu", "  250 Hz"},
    {UiItem::IIR1000Menu, "IIR1000Menu", "1000 Hz"},
};
constexpr Entry kSoundFir[] = {
    {UiItem::N10Hz1, "N10Hz1", "    10 Hz"},   {UiItem::N20Hz1, "N20Hz1", "    20 Hz"},
    {UiItem::N30Hz1, "N30Hz1", "    30 Hz"},   {UiItem::N70Hz1, "N70Hz1", "    70 Hz"},
    {UiItem::N140Hz1, "N140Hz1", "  140 Hz"},  {UiItem::N280Hz1, "N280Hz1", "  280 Hz"},
    {UiItem::N600Hz1, "N600Hz1", "  600 Hz"},  {UiItem::N1000Hz1, "N1000Hz1", "1000 Hz"},
    {UiItem::N2000Hz1, "N2000Hz1", "2000 Hz"}, {UiItem::N3000Hz1, "N3000Hz1", "3000 Hz"},
};
constexpr Entry kSoundIir[] = {
    {UiItem::N100Hz1, "N100Hz1", "  100 Hz"},
    {UiItem::N250Hz1, "N250Hz1", "  250 Hz"},
    {UiItem::N1000Hz2, "N1000Hz2", "1000 Hz"},
};
constexpr Entry kBurst[] = {
    {UiItem::N5CPM1, "N5CPM1", "5      LPM"},     {UiItem::N10CPM1, "N10CPM1", "10    LPM"},
    {UiItem::N25CPM1, "N25CPM1", "25    LPM"},    {UiItem::N50CPM1, "N50CPM1", "50    LPM"},
    {UiItem::N100CPM1, "N100CPM1", "100  LPM"},   {UiItem::N200CPM1, "N200CPM1", "200  LPM"},
    {UiItem::N300CPM1, "N300CPM1", "300  LPM"},   {UiItem::N500CPM1, "N500CPM1", "500  LPM"},
    {UiItem::N1000CPM1, "N1000CPM1", "1000 LPM"}, {UiItem::N1500CPM1, "N1500CPM1", "1500 LPM"},
    {UiItem::N2500CPM1, "N2500CPM1", "2500 LPM"}, {UiItem::N3000CPM1, "N3000CPM1", "3000 LPM"},
    {UiItem::N5000CPM1, "N5000CPM1", "5000 LPM"},
};
constexpr Entry kZoom[] = {
    {UiItem::Zoom1, "Zoom1", "  1:1 (Alt-1)"},  {UiItem::Zoom2, "Zoom2", "  2:1 (Alt-2)"},
    {UiItem::Zoom3, "Zoom3", "  3:1 (Alt-3)"},  {UiItem::Zoom4, "Zoom4", "  4:1 (Alt-4)"},
    {UiItem::Zoom5, "Zoom5", "  5:1 (Alt-5)"},  {UiItem::Zoom10, "Zoom10", "10:1 (Alt-6)"},
    {UiItem::Zoom20, "Zoom20", "20:1 (Alt-7)"},
};

class Builder {
  public:
    explicit Builder(RxFormMenus& menus) : menus_(menus) {}

    QMenu* Menu(QMenuBar* bar, const char* name, const char* title) {
        QMenu* menu = bar->addMenu(QString::fromLatin1(title));
        menu->setObjectName(QString::fromLatin1(name));
        menus_.menus.push_back(menu);
        return menu;
    }
    QMenu* Submenu(QMenu* parent, UiItem item, const char* name, const char* title) {
        QMenu* menu = parent->addMenu(QString::fromLatin1(title));
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        menus_.items[item] = menu->menuAction();
        menus_.menus.push_back(menu);
        return menu;
    }
    QAction* Item(QMenu* menu, UiItem item, const char* name, const char* caption) {
        QAction* action = menu->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        menus_.items[item] = action;
        return action;
    }
    // A caption inside a menu that is no command.
    void Label(QMenu* menu, const char* caption) {
        menu->addAction(QString::fromLatin1(caption))->setEnabled(false);
    }
    // A radio group: one mark among its items (the program sets which).
    void Radio(QMenu* menu, QActionGroup* group, const Entry* first, const Entry* last) {
        for (const Entry* e = first; e != last; ++e) {
            QAction* action = Item(menu, e->item, e->name, e->caption);
            action->setCheckable(true);
            group->addAction(action);
        }
    }

  private:
    RxFormMenus& menus_;
};

template <std::size_t N>
const Entry* End(const Entry (&entries)[N]) {
    return entries + N;
}

void BuildFileMenu(Builder& b, QMenuBar* bar) {
    QMenu* file = b.Menu(bar, "File1", "File");
    b.Item(file, UiItem::ClearBuffer1, "ClearBuffer1", "Clear Buffer (Alt-D)");
    b.Item(file, UiItem::SaveBuffer1, "SaveBuffer1", "Save Buffer (Ctrl-S)");
    b.Item(file, UiItem::OpenButterinNotepadAltN1, "OpenButterinNotepadAltN1",
           "Open Buffer in Notepad (Ctrl-N)");
    file->addSeparator();
    b.Item(file, UiItem::OpenCaptureFile1, "OpenCaptureFile1", "Open Text Capture File (Alt-L)");
    b.Item(file, UiItem::CloseCaptureFile1, "CloseCaptureFile1", "Close Text Capture File (Alt-L)")
        ->setEnabled(false);
    file->addSeparator();
    b.Item(file, UiItem::OpenWaveCaptureFile1, "OpenWaveCaptureFile1",
           "Open Wave Capture File (Alt-V)");
    b.Item(file, UiItem::CloseWaveCaptureFile1, "CloseWaveCaptureFile1",
           "Close Wave Capture File (Alt-V)")
        ->setEnabled(false);
    file->addSeparator();
    b.Item(file, UiItem::DecodeFromFile1, "DecodeFromFile1", "Decode From File");
    b.Item(file, UiItem::MultiChannelDecoder1, "MultiChannelDecoder1", "Multi-Channel Decoder");
    b.Item(file, UiItem::AdaptiveDecoder1, "AdaptiveDecoder1", "Adaptive Decoder")
        ->setCheckable(true);
    file->addSeparator();
    b.Item(file, UiItem::Exit, "Exit", "Exit");
}

void BuildFiltersMenu(Builder& b, QMenuBar* bar, QWidget* owner) {
    QMenu* filters = b.Menu(bar, "Setup1", "Filters");

    QMenu* main =
        b.Submenu(filters, UiItem::MainFilterMenu, "MainFilterMenu", "Main Filter  (Narrow)");
    auto* mainGroup = new QActionGroup(owner);
    b.Label(main, "FIR filters:");
    b.Radio(main, mainGroup, std::begin(kFirFilters), End(kFirFilters));
    b.Label(main, "IIR filters:");
    b.Radio(main, mainGroup, std::begin(kIirFilters), End(kIirFilters));

    QMenu* burst =
        b.Submenu(filters, UiItem::CwFilterMenu, "CwFilterMenu", "Burst Filter  (200 LPM)");
    b.Radio(burst, new QActionGroup(owner), std::begin(kBurst), End(kBurst));

    QMenu* sound =
        b.Submenu(filters, UiItem::SoundOutputFilter1, "SoundOutputFilter1", "Sound Output");
    auto* soundGroup = new QActionGroup(owner);
    const Entry soundModes[] = {
        {UiItem::SoundOff1, "SoundOff1", "Sound Off"},
        {UiItem::SoundWithoutFiltering1, "SoundWithoutFiltering1", "Sound Without Filtering"}};
    b.Radio(sound, soundGroup, std::begin(soundModes), End(soundModes));
    b.Label(sound, "Sound From FIR Filters:");
    b.Radio(sound, soundGroup, std::begin(kSoundFir), End(kSoundFir));
    b.Label(sound, "Sound From IIR filters:");
    b.Radio(sound, soundGroup, std::begin(kSoundIir), End(kSoundIir));
}

void BuildPopup(RxFormMenus& menus, QWidget* owner) {
    menus.popup = new QMenu(owner);
    menus.popup->setObjectName(QStringLiteral("PopupMenu1"));
    const std::pair<const char*, const char*> items[] = {
        {"Title1", "Title"},    {"Call1", "Call"},       {"Number1", "Number"},
        {"RST1", "RST"},        {"Name1", "Name"},       {"QTH1", "QTH"},
        {"QSLvia1", "QSL via"}, {"Remarks1", "Remarks"}, {"Copy1", "Copy"},
    };
    for (const auto& [name, caption] : items) {
        QAction* action = menus.popup->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        menus.popupItems[action->objectName()] = action;
        const QString n = QString::fromLatin1(name);
        if (n == QLatin1String("Title1") || n == QLatin1String("Remarks1")) {
            menus.popup->addSeparator();
        }
    }
    menus.menus.push_back(menus.popup);
}

}  // namespace

RxFormMenus BuildRxFormMenus(QMenuBar* bar, QWidget* owner) {
    RxFormMenus menus;
    Builder b(menus);
    BuildFileMenu(b, bar);
    BuildFiltersMenu(b, bar, owner);

    QMenu* zoom = b.Menu(bar, "ZoomMenu1", "Zoo&m");
    b.Radio(zoom, new QActionGroup(owner), std::begin(kZoom), End(kZoom));

    menus.setup = bar->addAction(QStringLiteral("Setup"));
    menus.setup->setObjectName(QStringLiteral("Setup11"));

    QMenu* help = b.Menu(bar, "Help1", "Help");
    menus.contents = help->addAction(QStringLiteral("Contents"));
    menus.contents->setObjectName(QStringLiteral("Contens1"));
    menus.about = help->addAction(QStringLiteral("About"));
    menus.about->setObjectName(QStringLiteral("About1"));

    // The designed marks.
    for (UiItem marked : {UiItem::FIR140Menu, UiItem::N200CPM1, UiItem::SoundOff1, UiItem::Zoom1}) {
        menus.items.at(marked)->setChecked(true);
    }
    BuildPopup(menus, owner);
    return menus;
}

}  // namespace quelp::ui
