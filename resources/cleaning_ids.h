// Resource ids of the cleanup dialogs and their controls, shared by the
// dialog code and cleaning_dialogs.rc. The .rc compiler reads this file too,
// so it holds nothing but #define lines. The three cleanup dialogs reuse
// the same control numbers for different buttons.
#pragma once

#define IDD_QM_CLEAN_HISTORY 221
#define IDD_QM_CLEAN_COOKIES 222
#define IDD_QM_CLEAN_CACHE 223
#define IDD_QM_CLEAN_INDEX_FILES 224

// "Clean up History"
#define IDC_QM_HISTORY_ALL 205
#define IDC_QM_HISTORY_LOCAL_LINKS 207
#define IDC_QM_HISTORY_PROTOCOL 211
#define IDC_QM_HISTORY_CONTAINING 213
#define IDC_QM_HISTORY_BETWEEN 218
#define IDC_QM_HISTORY_PROTOCOL_COMBO 209
#define IDC_QM_HISTORY_TEXT 220
#define IDC_QM_HISTORY_FROM 215
#define IDC_QM_HISTORY_TO 217

// "Clean up Cookies"
#define IDC_QM_COOKIES_ALL 205
#define IDC_QM_COOKIES_EXPIRED 207
#define IDC_QM_COOKIES_CONTAINING 211
#define IDC_QM_COOKIES_BETWEEN 213
#define IDC_QM_COOKIES_TEXT 229
#define IDC_QM_COOKIES_FROM 230
#define IDC_QM_COOKIES_TO 231

// "Clean up Cache"
#define IDC_QM_CACHE_ALL 205
#define IDC_QM_CACHE_PICTURES 207
#define IDC_QM_CACHE_ARCHIVES 211
#define IDC_QM_CACHE_STYLES_SCRIPTS 213
#define IDC_QM_CACHE_PAGES 218
#define IDC_QM_CACHE_CONTAINING 225
#define IDC_QM_CACHE_BETWEEN 228
#define IDC_QM_CACHE_TEXT 232
#define IDC_QM_CACHE_FROM 233
#define IDC_QM_CACHE_TO 234

// "Clean up Index files"
#define IDC_QM_INDEX_HISTORY 235
#define IDC_QM_INDEX_COOKIES 236
#define IDC_QM_INDEX_CACHE 237

// Clean Up / OK and Close / Cancel are the system's IDOK (1) and IDCANCEL (2).
