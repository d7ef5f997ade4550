// Captions the main window's buttons change to and are read back by, in UTF-8: the controls
// hold them as GBK, so code sets and compares GBK(kCaption...).
#pragma once

// Start/Stop button.
constexpr const char* kCaptionStart = "开 始";
constexpr const char* kCaptionStop = "停 止";
constexpr const char* kCaptionWait = "请稍候...";
constexpr const char* kCaptionBaudError = "波特率错!";

// Replay button.
constexpr const char* kCaptionReplay = "回放语句";
constexpr const char* kCaptionStopReplay = "停止回放";

// Record button.
constexpr const char* kCaptionRecord = "记录语句";
constexpr const char* kCaptionStopRecord = "停止记录";

// Pause button.
constexpr const char* kCaptionPause = "暂停";
constexpr const char* kCaptionResume = "继续";

// Monitor panel button: opens the panel, or closes it while it is open.
constexpr const char* kCaptionOpenPanel = "语句>>";
constexpr const char* kCaptionClosePanel = "关闭<<";
