#pragma once
// Resource ids of the player; quiz executables add PATCH 104/105 and the pictures.

#define IDD_QUESTION_PANEL 1001
#define IDD_HEADER_PANEL 1002
#define IDC_LINK_HAND 1003
#define IDI_ZORBEL 1
