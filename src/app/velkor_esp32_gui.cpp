#include "app/velkor_esp32_gui.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_JPEG_Image.H>
#include <FL/x.H>

#include "app/app_texts.h"
#include "app/browser_widgets.h"
#include "app/main_window_callbacks.h"
#include "app/menu_text.h"
#include "platform/window.h"

namespace {

constexpr const char* kTableName = "Velkor_ESP32";

}  // namespace

CVelkor_ESP32_GUI::CVelkor_ESP32_GUI(int w, int h, const char* title, bool ownerNumeric,
                                     const char* ownerColumn, std::uint64_t userId,
                                     const std::string& serverFolder,
                                     const std::string& serverCfgFile, const std::string& extraText)
    : Fl_Window(w, h),
      m_UserId(userId),
      m_ServerFolder(serverFolder),
      m_ServerCfgFile(serverCfgFile),
      m_ExtraText(extraText),
      m_OwnerColumn(ownerColumn ? ownerColumn : ""),
      m_OwnerNumeric(ownerNumeric) {
    copy_label(title);  // the caller's title buffer need not outlive the window
    align(FL_ALIGN_TOP);
    when(FL_WHEN_RELEASE);
    m_LangFile = LanguageFile(kTableName);
    m_PageSize = app::FirstTextPass(*this, m_LangFile);

    BuildBrowserControls();
    BuildDeviceRow();
    m_AddNewButton->hide();
    m_DoneButton->hide();
    m_CancelButton->hide();

    end();
    resizable(this);
    set_modal();
    show();
    LoadPicture(ImagePath("engdeu.jpg"));
    // The browser opens on its table at once, so its open button is not needed.
    if (!m_OwnerColumn.empty()) m_DbOpenButton->hide();

    m_Hwnd = fl_xid(this);
    platform::KeepFromMaximising(fl_display, m_Hwnd, this->w(), this->h());
}

CVelkor_ESP32_GUI::~CVelkor_ESP32_GUI() {
    ReleaseTable();
    if (m_PictureBox) m_PictureBox->image(nullptr);
    delete m_Picture;
}

// From the exit button to the picture area, in the order they are made.
void CVelkor_ESP32_GUI::BuildBrowserControls() {
    namespace t = gui_text;
    using namespace main_window;
    m_ExitButton =
        PictureButton(810, 540, "off.jpg", t::kExit, Forward<&CVelkor_ESP32_GUI::OnExit>);
    m_AddNewButton =
        PictureButton(670, 480, "addnew.jpg", t::kNew, Forward<&CVelkor_ESP32_GUI::OnAddNew>);
    m_DoneButton =
        PictureButton(790, 480, "done.jpg", t::kDone, Forward<&CVelkor_ESP32_GUI::OnDone>);
    m_CancelButton =
        PictureButton(730, 480, "cancel.jpg", t::kCancel, Forward<&CVelkor_ESP32_GUI::OnCancel>);
    m_DbOpenButton =
        PictureButton(750, 540, "dbopen.jpg", t::kDbOpen, Forward<&CVelkor_ESP32_GUI::OnDbOpen>);

    m_TabView = new CVelkor_ESP32TabView(9, 20, 500, 250, Text(t::kTabName).c_str(), kTableName);
    m_Editor = new CWidgetScroll(9, 331, 840, 140);

    m_FilterFieldChoice = LabelledChoice(250, 490, 131, 30, t::kField);
    m_ComparisonChoice = LabelledChoice(100, 490, 100, 30, t::kComparison);
    app::AddMenuTexts(*m_ComparisonChoice, {"Select", "=", "<>", ">", "<", "<=", "=>", "LIKE"});
    m_ComparisonChoice->value(0);
    m_CompareValue = new Fl_Input(450, 490, 150, 29);
    m_CompareValue->copy_label(Text(t::kCompareTo).c_str());
    m_SortFieldChoice = LabelledChoice(500, 277, 105, 30, t::kField);
    m_SortOrderChoice = LabelledChoice(660, 277, 87, 30, t::kSortType);
    app::AddMenuTexts(*m_SortOrderChoice,
                      {Text(t::kSortNone), Text(t::kSortAscending), Text(t::kSortDescending)});
    m_SortOrderChoice->value(0);

    m_SortButton =
        PictureButton(750, 277, "sort.jpg", t::kSortRecords, Forward<&CVelkor_ESP32_GUI::OnSort>);
    m_FindButton =
        PictureButton(610, 480, "find.jpg", t::kFindRows, Forward<&CVelkor_ESP32_GUI::OnFind>);
    m_PageSizeChoice = LabelledChoice(74, 277, 90, 27, t::kFindRecords);
    m_PageSizeChoice->callback(Forward<&CVelkor_ESP32_GUI::OnPageSize>, this);
    m_FirstButton =
        PictureButton(183, 277, "first.jpg", t::kFindFirst, Forward<&CVelkor_ESP32_GUI::OnFirst>);
    m_LastButton =
        PictureButton(400, 277, "last.jpg", t::kFindLast, Forward<&CVelkor_ESP32_GUI::OnLast>);
    m_NextButton =
        PictureButton(327, 277, "next.jpg", t::kFindNext, Forward<&CVelkor_ESP32_GUI::OnNext>);
    m_PrevButton =
        PictureButton(254, 277, "previous.jpg", t::kFindPrev, Forward<&CVelkor_ESP32_GUI::OnPrev>);
    m_UpImageButton =
        PictureButton(810, 265, "upimage.jpg", t::kUpImage, Forward<&CVelkor_ESP32_GUI::OnUpImage>);

    m_PictureBox = new Fl_Box(FL_BORDER_BOX, 535, 12, 320, 240, nullptr);
}

// From the device choice to the network button, in the order they are made.
void CVelkor_ESP32_GUI::BuildDeviceRow() {
    using namespace main_window;
    m_DeviceChoice = new Fl_Input_Choice(510, 540, 140, 30, "Pro:");
    m_DeviceChoice->down_box(FL_BORDER_BOX);
    app::AddMenuTexts(*m_DeviceChoice,
                      {"QVX_USB_J2534", "QVX_USB_J2534_UDS_SIM", "QVX_WIFIAP_J2534",
                       "QVX_WIFI_MQTT_J2534", "QVX_WIFIAP_J2534_XXX", "QVX_USB_J2534_XXX"});
    m_DeviceChoice->value(0);

    m_ConnectButton = TextButton(this, 660, 540, 145, 30, "&Connect with Dev",
                                 Forward<&CVelkor_ESP32_GUI::OnConnect>);
    m_WebDlButton =
        TextButton(this, 660, 575, 80, 30, "&Web DL", Forward<&CVelkor_ESP32_GUI::OnWebDL>);
    m_FirmwareButton = TextButton(this, 530, 575, 120, 30, "&J2534 fw Update",
                                  Forward<&CVelkor_ESP32_GUI::OnFirmwareUpdate>);
    m_StatusField = new Fl_Input(10, 530, 140, 30);
    m_StatusField->value("None");
    m_HwInfoButton =
        TextButton(this, 150, 530, 60, 30, "&HW Info", Forward<&CVelkor_ESP32_GUI::OnHWInfo>);
    m_UpdateBootButton = TextButton(this, 220, 530, 90, 30, "&Update Boot",
                                    Forward<&CVelkor_ESP32_GUI::OnUpdateBoot>);
    m_EraseButton =
        TextButton(this, 320, 530, 50, 30, "&Erase", Forward<&CVelkor_ESP32_GUI::OnErase>);
    m_BootFwButton = TextButton(this, 380, 530, 100, 30, "&Boot fw Update",
                                Forward<&CVelkor_ESP32_GUI::OnBootFirmwareUpdate>);
    m_VersionChoice = new Fl_Input_Choice(300, 570, 200, 30, "Ver:");
    m_VersionChoice->down_box(FL_BORDER_BOX);
    m_WifiButton = TextButton(this, 120, 570, 30, 30, "&Wifi", Forward<&CVelkor_ESP32_GUI::OnWifi>);
}

// A button the size of its picture; a picture that does not load leaves it 0 x 0.
Fl_Button* CVelkor_ESP32_GUI::PictureButton(int x, int y, const char* file,
                                            const gui_text::Text& tip, Fl_Callback* callback) {
    Fl_JPEG_Image picture(ImagePath(file).c_str());
    const bool loaded = picture.w() > 0 && picture.h() > 0;
    auto* button = new Fl_Button(x, y, loaded ? picture.w() : 0, loaded ? picture.h() : 0);
    if (loaded) {
        m_ButtonImages.emplace_back(picture.copy(picture.w(), picture.h()));
        button->image(m_ButtonImages.back().get());
    }
    button->copy_tooltip(Text(tip).c_str());
    button->callback(callback, this);
    return button;
}

Fl_Choice* CVelkor_ESP32_GUI::LabelledChoice(int x, int y, int w, int h,
                                             const gui_text::Text& label) {
    auto* choice = new Fl_Choice(x, y, w, h);
    choice->copy_label(Text(label).c_str());
    choice->down_box(FL_BORDER_BOX);
    return choice;
}

std::string CVelkor_ESP32_GUI::Text(const gui_text::Text& text) const {
    return app::GuiText(*this, m_LangFile, text.key, text.def);
}

std::string CVelkor_ESP32_GUI::ImagePath(const char* file) const {
    return GetModuleDir() + "//images//" + file;
}

// The picture shown so far goes only once the new one has loaded.
bool CVelkor_ESP32_GUI::LoadPicture(const std::string& path) {
    Fl_JPEG_Image picture(path.c_str());
    if (picture.w() <= 0 || picture.h() <= 0) return false;
    Fl_Image* scaled = picture.copy(m_PictureBox->w(), m_PictureBox->h());
    m_PictureBox->image(scaled);
    delete m_Picture;
    m_Picture = scaled;
    m_PictureBox->redraw();
    return true;
}

void CVelkor_ESP32_GUI::ReleaseTable() {
    if (m_pDb && m_pDbDelete) m_pDbDelete(m_pDb);
    m_pDb = nullptr;
}
