#include "core/BaudRates.h"
#include "platform/DialogTemplate.h"
#include "platform/Types.h"
#include "resources/Captions.h"
#include "resources/ControlIds.h"
#include "resources/ResourceIds.h"

namespace {

constexpr unsigned kHeader = CS_CENTER | CS_RAISED;
constexpr unsigned kCell = CS_READONLY | CS_CENTER | CS_NUMBER | CS_TABSTOP | CS_STATICEDGE;
constexpr unsigned kValue = CS_READONLY | CS_TABSTOP;
constexpr unsigned kCentredValue = CS_READONLY | CS_CENTER | CS_TABSTOP;
constexpr unsigned kBoxedValue = CS_READONLY | CS_CENTER | CS_BORDER | CS_TABSTOP;
constexpr unsigned kFilter = CS_RIGHT | CS_RAISED | CS_TABSTOP;
constexpr unsigned kButton = CS_TABSTOP;

// The 96 cells of the two satellite tables, row by row.
void AddTableCells(std::vector<ControlTemplate>& controls) {
    for (int table = 0; table < 2; ++table) {
        for (int r = 0; r < 12; ++r) {
            for (int c = 0; c < 4; ++c) {
                int id = CellId(12 * table + r, c);
                int x = (table == 0 ? 5 : 198) + 24 * c;
                controls.push_back({id, ControlKind::Edit, "", x, 37 + 9 * r, 24, 9, kCell});
            }
        }
    }
}

DialogTemplate MakeMainTemplate() {
    DialogTemplate t{IDD_VIEWER_DIALOG,
                     "Velmora",
                     299,
                     270,
                     "Verdana",
                     12,
                     DS_VISIBLE | DS_CAPTION | DS_SYSMENU | DS_MINIMIZEBOX | DS_MODALFRAME |
                         DS_APPWINDOW | DS_CLIENTEDGE,
                     {}};
    auto& c = t.controls;
    c.push_back(
        {IDC_STARTSTOP, ControlKind::DefPushButton, kCaptionStart, 228, 150, 37, 10, kButton});
    c.push_back({IDC_PANEL, ControlKind::PushButton, kCaptionOpenPanel, 273, 150, 24, 10, kButton});
    c.push_back({IDC_BAUDRATE, ControlKind::ComboDropList, "", 149, 150, 29, 59, CS_TABSTOP, 0,
                 OfferedBaudTexts()});
    AddTableCells(c);
    c.push_back(
        {IDC_GPS_TABLE, ControlKind::GroupBox, "GPS", 2, 17, 102, 130, CS_CENTER | CS_RAISED});
    c.push_back({IDC_GLONASS_TABLE, ControlKind::GroupBox, "GLONASS", 195, 17, 102, 130,
                 CS_CENTER | CS_RAISED});
    const char* headers[] = {"星  号", "俯仰角", "方位角", "信噪比"};
    for (int i = 0; i < 4; ++i)
        c.push_back(
            {IDC_FIRST_HEADER + i, ControlKind::Label, headers[i], 5 + 24 * i, 29, 24, 8, kHeader});
    for (int i = 0; i < 4; ++i)
        c.push_back({IDC_FIRST_GLONASS_HEADER + i, ControlKind::Label, headers[i], 198 + 24 * i, 29,
                     24, 8, kHeader});
    c.push_back({-1, ControlKind::GroupBox, "", 105, 3, 89, 144, CS_RAISED});
    c.push_back({IDC_DATE, ControlKind::Edit, "", 32, 4, 42, 10, kBoxedValue});
    c.push_back({IDC_TIME, ControlKind::Edit, "", 226, 4, 42, 10, kBoxedValue});
    c.push_back({IDC_TTFF, ControlKind::Edit, "", 32, 150, 42, 10, kBoxedValue});
    c.push_back({IDC_LATITUDE, ControlKind::Edit, "", 124, 15, 68, 8, kValue});
    c.push_back({IDC_LONGITUDE, ControlKind::Edit, "", 124, 28, 68, 8, kValue});
    c.push_back({IDC_USED_TOTAL, ControlKind::Edit, "", 174, 133, 16, 8, kCentredValue});
    c.push_back({IDC_FIX_DIMENSION, ControlKind::Edit, "", 109, 129, 13, 8, kCentredValue});
    c.push_back({IDC_ALTITUDE, ControlKind::Edit, "", 135, 46, 54, 8, kValue});
    c.push_back({IDC_SPEED_KMH, ControlKind::Edit, "", 135, 61, 55, 8, kValue});
    c.push_back({IDC_SPEED_MS, ControlKind::Edit, "", 135, 70, 55, 8, kValue});
    c.push_back({IDC_COURSE, ControlKind::Edit, "", 135, 87, 29, 8, kValue});
    c.push_back({IDC_HDOP, ControlKind::Edit, "", 135, 100, 21, 8, kValue});
    c.push_back({-1, ControlKind::Label, "纬度:", 108, 17, 16, 9, 0});
    c.push_back({-1, ControlKind::Label, "经度:", 108, 30, 16, 8, 0});
    c.push_back({-1, ControlKind::Label, "高度:", 118, 48, 16, 8, 0});
    c.push_back({-1, ControlKind::Label, "速度:", 118, 63, 16, 8, 0});
    c.push_back({-1, ControlKind::Label, "方位角:", 112, 89, 22, 9, 0});
    c.push_back({-1, ControlKind::Label, "HDOP:", 112, 102, 22, 9, CS_RIGHT});
    c.push_back({-1, ControlKind::Label, "COM", 120, 152, 17, 7, CS_RIGHT});
    c.push_back({IDC_SEPARATOR, ControlKind::Frame, "", 0, 164, 300, 1, 0});
    c.push_back({IDC_FILTER_GGA, ControlKind::CheckBox, "GGA", 2, 167, 23, 10, kFilter});
    c.push_back({IDC_FILTER_RMC, ControlKind::CheckBox, "RMC", 25, 167, 23, 10, kFilter});
    c.push_back({IDC_FILTER_VTG, ControlKind::CheckBox, "VTG", 48, 167, 23, 10, kFilter});
    c.push_back({IDC_FILTER_GSA, ControlKind::CheckBox, "GSA", 71, 167, 23, 10, kFilter});
    c.push_back({IDC_FILTER_GSV, ControlKind::CheckBox, "GSV", 94, 167, 23, 10, kFilter});
    c.push_back({IDC_PAUSE, ControlKind::PushButton, kCaptionPause, 281, 167, 16, 10, kButton});
    c.push_back({IDC_RECORD, ControlKind::PushButton, kCaptionRecord, 251, 167, 28, 10, kButton});
    c.push_back({IDC_CLEAR, ControlKind::PushButton, "清空", 233, 167, 16, 10, kButton});
    c.push_back(
        {IDC_SKYPLOT, ControlKind::PushButton, "星位图", 195, 150, 24, 10, kButton | CS_CENTER});
    c.push_back({IDC_MONITOR, ControlKind::RichEdit, "", 2, 178, 295, 90,
                 CS_READONLY | CS_TABSTOP | CS_CLIENTEDGE});
    c.push_back({-1, ControlKind::Picture, "", 130, 0, 40, 12, CS_RAISED, IDB_LOGO});
    c.push_back({IDC_PORT, ControlKind::Edit, "", 138, 150, 11, 11,
                 CS_CENTER | CS_NUMBER | CS_BORDER | CS_TABSTOP});
    c.push_back({-1, ControlKind::Label, "GPS", 142, 117, 14, 7, 0});
    c.push_back({-1, ControlKind::Label, "GLNS", 157, 117, 18, 7, 0});
    c.push_back({-1, ControlKind::Label, "可见:", 126, 126, 16, 7, 0});
    c.push_back({-1, ControlKind::Label, "定位:", 126, 135, 16, 7, 0});
    c.push_back({IDC_GPS_IN_VIEW, ControlKind::Edit, "", 143, 126, 10, 8, kCentredValue});
    c.push_back({IDC_GLONASS_IN_VIEW, ControlKind::Edit, "", 157, 126, 16, 8, kCentredValue});
    c.push_back({IDC_TOTAL_IN_VIEW, ControlKind::Edit, "", 174, 126, 16, 8, kCentredValue});
    c.push_back({IDC_GPS_USED, ControlKind::Edit, "", 144, 133, 10, 8, kCentredValue});
    c.push_back({IDC_GLONASS_USED, ControlKind::Edit, "", 157, 133, 16, 8, kCentredValue});
    c.push_back({-1, ControlKind::Label, "总数", 176, 117, 14, 7, 0});
    c.push_back({-1, ControlKind::Label, "维数", 109, 120, 14, 8, 0});
    c.push_back({-1, ControlKind::GroupBox, "", 107, 110, 85, 35, 0});
    c.push_back({IDC_TRACKPLOT, ControlKind::PushButton, "轨迹图", 179, 167, 21, 10, kButton});
    c.push_back({IDC_REPLAY, ControlKind::PushButton, kCaptionReplay, 149, 167, 28, 10, kButton});
    c.push_back({IDC_REPLAY_SPEED, ControlKind::Trackbar, "", 129, 166, 20, 10, CS_TABSTOP});
    c.push_back({-1, ControlKind::GroupBox, "", 107, 110, 17, 35, 0});
    return t;
}

DialogTemplate MakeAboutTemplate() {
    DialogTemplate t{IDD_ABOUTBOX,
                     "关于 Velmora",
                     235,
                     55,
                     "宋体",
                     9,
                     DS_CAPTION | DS_SYSMENU | DS_MODALFRAME,
                     {}};
    auto& c = t.controls;
    c.push_back({-1, ControlKind::Icon, "", 11, 17, 20, 20, 0, IDR_MAINFRAME});
    c.push_back({-1, ControlKind::Label, "Velmora V12.0 版", 40, 10, 119, 8, 0});
    c.push_back({-1, ControlKind::Label, "GPS/GLONASS 接收机监视程序", 40, 25, 119, 8, 0});
    c.push_back({IDOK, ControlKind::DefPushButton, "确定", 178, 7, 50, 14, CS_TABSTOP});
    return t;
}

DialogTemplate MakePlotTemplate(int id, const char* caption, int cx) {
    DialogTemplate t{id,
                     caption,
                     cx,
                     210,
                     "System",
                     10,
                     DS_CAPTION | DS_SYSMENU | DS_MINIMIZEBOX | DS_MODALFRAME,
                     {}};
    t.twoPixelsPerUnit = true;
    return t;
}

} // namespace

const DialogTemplate* FindDialogTemplate(int nId) {
    static const DialogTemplate main = MakeMainTemplate();
    static const DialogTemplate about = MakeAboutTemplate();
    static const DialogTemplate sky = MakePlotTemplate(IDD_SKYPLOT, "星位图", 210);
    static const DialogTemplate track = MakePlotTemplate(IDD_TRACKPLOT, "轨迹图", 365);
    switch (nId) {
    case IDD_VIEWER_DIALOG:
        return &main;
    case IDD_ABOUTBOX:
        return &about;
    case IDD_SKYPLOT:
        return &sky;
    case IDD_TRACKPLOT:
        return &track;
    default:
        return nullptr;
    }
}
