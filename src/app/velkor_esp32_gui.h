// The main window: the database browser (grid, record editor, find, sort and paging) and
// the device row (device choice, connect, firmware, boot-loader, network and download).
// It owns its widgets and the state the subsystems work on; every callback is a few lines
// that hand that state to the subsystem's own code.
#pragma once

#include <FL/Fl_Window.H>

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/script_watch.h"
#include "app/ssdp_fltk.h"
#include "config/fltf_db_util.h"
#include "config/gui_text.h"
#include "device/passthru_dll.h"

class Fl_Box;
class Fl_Button;
class Fl_Choice;
class Fl_Image;
class Fl_Input;
class Fl_Input_Choice;
class CMySQLUtil;
class CVelkor_ESP32TabView;
class CWidgetScroll;

class CVelkor_ESP32_GUI : public Fl_Window, public CFltfDBUtil {
public:
    // Builds every control, shows the window and keeps it from being maximised.
    CVelkor_ESP32_GUI(int w, int h, const char* title, bool ownerNumeric, const char* ownerColumn,
                      std::uint64_t userId, const std::string& serverFolder,
                      const std::string& serverCfgFile, const std::string& extraText);
    ~CVelkor_ESP32_GUI() override;

    // Shows the JPEG file scaled to the picture area; false when it does not load, and then
    // the picture shown so far stays.
    bool LoadPicture(const std::string& path);

    // Button callbacks (the window is their user data).
    void OnExit();
    void OnDbOpen();
    void OnErase();
    void OnUpdateBoot();
    void OnUpImage();
    void OnConnect();
    void OnHWInfo();
    void OnFirmwareUpdate();
    void OnBootFirmwareUpdate();
    void OnWebDL();
    void OnWifi();
    void OnAddNew();
    void OnDone();
    void OnCancel();
    void OnFind();
    void OnSort();
    void OnFirst();
    void OnPrev();
    void OnNext();
    void OnLast();
    void OnPageSize();

    // Device provisioning (velkor_esp32_gui_provision.cpp): opens the device finder in `mode`
    // (CSSDPFltk::kSerialMode or kWifiMode) and waits until it is closed; what it handed back
    // is in m_FinderSelection.
    void OpenDeviceFinder(std::uint32_t mode);
    std::unique_ptr<CSSDPFltk> m_pFinder;  // the finder opened last
    std::string m_FinderSelection;

    // Looks up the J2534 registration named exactly `name` (refreshing m_PassThruList); true
    // with `path` set to its library file.
    bool FindFunctionLibrary(const std::string& name, std::string& path);

    // The logged-in user and what the login handed over.
    std::uint64_t m_UserId;
    std::string m_ServerFolder;
    std::string m_ServerCfgFile;
    std::string m_ExtraText;
    std::string m_OwnerColumn;
    bool m_OwnerNumeric;
    std::string m_LangFile;  // the GUI text file

    // Device connection.
    std::string m_DeviceMac;
    std::uint32_t m_DeviceId = 0;
    std::uint32_t m_ChannelId = 0;
    bool m_bConnected = false;
    std::set<PassThruInfo> m_PassThruList;  // registrations found by the last lookup

    // The maintenance scripts started without a terminal window, until their end is told.
    app::ScriptWatch m_Scripts;

    // Database browser: the table object (opened by the browser) and its state.
    CMySQLUtil* m_pDb = nullptr;
    void (*m_pDbDelete)(CMySQLUtil*) = nullptr;  // set by whoever opens m_pDb
    std::uint16_t m_PageSize = 5;
    int m_Offset = 0;
    std::uint32_t m_RowTotal = 0;
    int m_EditorMode = 0;
    std::string m_RecordId;
    std::string m_FilterField, m_FilterOperator, m_FilterValue, m_FilterType;
    std::string m_SortField = "None";
    std::string m_SortOrder;
    std::map<int, std::string> m_HeaderCaptions, m_ColumnNames, m_PageRows;
    Fl_Color m_TableColor = 55;

    // Widgets.
    Fl_Button *m_ExitButton, *m_AddNewButton, *m_DoneButton, *m_CancelButton, *m_DbOpenButton;
    CVelkor_ESP32TabView* m_TabView;
    CWidgetScroll* m_Editor;
    Fl_Choice *m_FilterFieldChoice, *m_ComparisonChoice, *m_SortFieldChoice, *m_SortOrderChoice;
    Fl_Choice* m_PageSizeChoice;
    Fl_Input* m_CompareValue;
    Fl_Button *m_SortButton, *m_FindButton, *m_FirstButton, *m_LastButton, *m_NextButton,
        *m_PrevButton, *m_UpImageButton;
    Fl_Box* m_PictureBox;
    Fl_Image* m_Picture = nullptr;
    Fl_Input_Choice *m_DeviceChoice, *m_VersionChoice;
    Fl_Button *m_ConnectButton, *m_WebDlButton, *m_FirmwareButton, *m_HwInfoButton,
        *m_UpdateBootButton, *m_EraseButton, *m_BootFwButton, *m_WifiButton;
    Fl_Input* m_StatusField;
    unsigned long m_Hwnd = 0;  // native window id, once shown

private:
    void BuildBrowserControls();
    void BuildDeviceRow();
    Fl_Button* PictureButton(int x, int y, const char* file, const gui_text::Text& tip,
                             Fl_Callback* callback);
    Fl_Choice* LabelledChoice(int x, int y, int w, int h, const gui_text::Text& label);
    std::string Text(const gui_text::Text& text) const;
    std::string ImagePath(const char* file) const;
    void ReleaseTable();

    std::vector<std::unique_ptr<Fl_Image>> m_ButtonImages;  // the buttons show, not own, them
};
