// Control ids of the main window (template 102), by role. The numbers are those of the
// template; cells of the satellite tables are reached through CellId.
#pragma once

constexpr int IDC_STARTSTOP = 1;
constexpr int IDC_BAUDRATE = 1000;
constexpr int IDC_FIRST_CELL = 1001;
constexpr int IDC_FIRST_GLONASS_CELL = 1049;
constexpr int IDC_LAST_CELL = 1096;
constexpr int IDC_DATE = 1097;
constexpr int IDC_TIME = 1098;
constexpr int IDC_TTFF = 1099;
constexpr int IDC_GPS_TABLE = 1100;
constexpr int IDC_GLONASS_TABLE = 1101;
constexpr int IDC_FIRST_HEADER = 1102;
constexpr int IDC_FIRST_GLONASS_HEADER = 1106;
constexpr int IDC_LAST_HEADER = 1109;
constexpr int IDC_LATITUDE = 1110;
constexpr int IDC_LONGITUDE = 1111;
constexpr int IDC_USED_TOTAL = 1112;
constexpr int IDC_FIX_DIMENSION = 1113;
constexpr int IDC_ALTITUDE = 1114;
constexpr int IDC_SPEED_KMH = 1115;
constexpr int IDC_SPEED_MS = 1116;
constexpr int IDC_COURSE = 1117;
constexpr int IDC_HDOP = 1118;
constexpr int IDC_PORT = 1119;
constexpr int IDC_SEPARATOR = 1120;
constexpr int IDC_FILTER_GGA = 1121;
constexpr int IDC_FILTER_RMC = 1122;
constexpr int IDC_FILTER_VTG = 1123;
constexpr int IDC_FILTER_GSA = 1124;
constexpr int IDC_FILTER_GSV = 1125;
constexpr int IDC_PAUSE = 1126;
constexpr int IDC_RECORD = 1127;
constexpr int IDC_CLEAR = 1128;
constexpr int IDC_SKYPLOT = 1129;
constexpr int IDC_MONITOR = 1130;
constexpr int IDC_PANEL = 1131;
constexpr int IDC_GPS_IN_VIEW = 1132;
constexpr int IDC_GLONASS_IN_VIEW = 1133;
constexpr int IDC_TOTAL_IN_VIEW = 1134;
constexpr int IDC_GPS_USED = 1135;
constexpr int IDC_GLONASS_USED = 1136;
constexpr int IDC_TRACKPLOT = 1138;
constexpr int IDC_REPLAY = 1139;
constexpr int IDC_REPLAY_SPEED = 1140;

// Column c (0 PRN, 1 elevation, 2 azimuth, 3 SNR) of satellite slot s (0-11 GPS, 12-23 GLONASS).
constexpr int CellId(int nSlot, int nColumn) {
    return IDC_FIRST_CELL + 4 * nSlot + nColumn;
}
