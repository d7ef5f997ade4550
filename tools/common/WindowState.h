// The main window's visible state as JSON, for the tools that drive it.
#pragma once

#include <QJsonArray>
#include <QJsonObject>

class CViewerDlg;

// Texts of the controls from the first table cell to the used counts that are not empty, by id, in
// UTF-8.
QJsonObject ItemTexts(CViewerDlg& dlg);
// Texts of the buttons Start, Pause, Record, Sentences and Replay, by id.
QJsonObject ButtonCaptions(CViewerDlg& dlg);
// The state a person checks: captions and control texts.
QJsonObject WindowState(CViewerDlg& dlg);

// Ids of the SNR cells now drawn in the check font.
QJsonArray CheckFontCells(CViewerDlg& dlg);
// The decoded receiver state: "cells", "checkFont", "sats", "fix", "ggaSeen", "counts",
// "ttff", "used" and "monitorLength".
QJsonObject ReceiverState(CViewerDlg& dlg);
