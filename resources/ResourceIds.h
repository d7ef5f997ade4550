// Resource ids of the program.
#pragma once

constexpr int IDD_ABOUTBOX = 100;
constexpr int IDS_ABOUTBOX = 101;
constexpr int IDD_VIEWER_DIALOG = 102;
constexpr int IDR_MAINFRAME = 128;
constexpr int IDB_LOGO = 130;
constexpr int IDD_SKYPLOT = 131;
constexpr int IDD_TRACKPLOT = 146;
constexpr int IDM_ABOUTBOX = 0x0010;
