// The COM field's tooltip: which device or network source each COM number names right now.
#pragma once

#include <string>

class CWnd;

// The tooltip text: the ports present and how to pin a device or a source to a number.
std::string PortTooltipText();
// Keeps pEdit's tooltip current: it is read again each time the pointer enters the field and
// each time the tooltip is about to show, so a receiver plugged in meanwhile is listed.
void InstallPortTooltip(CWnd* pEdit);
