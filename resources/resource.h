// Resource identifiers, shared by the resource script and the program.
#pragma once

#define IDI_GRIDBLOOM 1
#define IDC_INVISIBLE 2
#define IDS_SAVER_NAME 1
