// Ids of the resources that trawlbox.rc builds into the exe; shared by the .rc and the window,
// which loads the icon with LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), ...). Only
// preprocessor lines, since windres reads this file too.
#pragma once

// Id 1, the lowest, is the group Explorer and the installer's shortcut show for the exe.
#define IDI_APP 1
