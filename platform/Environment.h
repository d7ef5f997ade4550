// What the process needs before the application object exists.
#pragma once

// Points FONTCONFIG_FILE at the program's font mapping (unless the user set one), so that the
// faces the windows ask for resolve to the same installed fonts in every locale.
void PrepareFontEnvironment();

// Gives the process a private runtime folder when the session has none (as under cron, ssh or
// CI), so that Qt neither warns nor shares one with other users.
void PrepareRuntimeDirectory();

// All a program that draws its windows offscreen needs before the application object exists:
// Qt's offscreen platform (unless bKeepChosen and QT_QPA_PLATFORM names one already), the font
// mapping and the runtime folder.
void PrepareOffscreenEnvironment(bool bKeepChosen);

// The widget style every window of the program is drawn in, whatever the desktop's.
void ApplyApplicationStyle();
