// Resource ids of the index file dialogs (the chooser and the search),
// shared by the dialog code and index_file_dialogs.rc. The .rc compiler
// reads this file too, so it holds nothing but #define lines.
#pragma once

#define IDD_QM_INDEX_FILE_CHOOSER 218
#define IDD_QM_INDEX_FILE_SEARCH 343

// Both dialogs: the placeholder the list is placed over, and Browse.
#define IDC_QM_INDEX_FILE_LIST 232
#define IDC_QM_INDEX_FILE_BROWSE 1009

// The search dialog's status line: "Searching..." while a search runs.
#define IDC_QM_INDEX_FILE_STATUS 236

// OK and Cancel are the system's IDOK (1) and IDCANCEL (2).
