// Resource ids shared by the code and quillmere.rc. The .rc compiler reads
// this file too, so it holds nothing but #define lines.
#pragma once

// The manifest that asks for Common Controls 6.0; every window and dialog
// of the band is made inside an activation context built from it.
#define IDR_QM_MANIFEST 2

// The type library (resource type "TYPELIB").
#define IDR_QM_TYPELIB 1

// The toolbar button's icons: normal and hot.
#define IDI_QM_BUTTON 801
#define IDI_QM_BUTTON_HOT 802

// Bitmaps, 16-pixel images on magenta (0xFF00FF) as the transparent colour.
#define IDB_QM_TOOLBAR 203      // the menu bar's item images, 23 of them
#define IDB_QM_LIST_GLYPHS 210  // the list's sort marks and check boxes
#define IDB_QM_ROW_IMAGES 212   // the rows' images, nine of them
#define IDB_QM_MENU_IMAGES 227  // the context menus' images, seven of them

// The main menu (the menu bar's popups) and its commands.
#define IDR_QM_MAIN_MENU 201
#define ID_QM_REFRESH 32768
#define ID_QM_ABOUT 32769
#define ID_QM_CLEAN_HISTORY 32771
#define ID_QM_OPTIONS 32772
#define ID_QM_FIND_ON_TAB 32776
#define ID_QM_OPEN_INDEX_FILE 32777
#define ID_QM_OPEN_COOKIES_INDEX 32778
#define ID_QM_SAVE_HISTORY 32779
#define ID_QM_SAVE_COOKIE_LIST 32780
#define ID_QM_CLEAN_COOKIES 32781
#define ID_QM_CLEAN_CACHE 32783
#define ID_QM_CLEAR_TYPED_URLS 32784
#define ID_QM_CLEAR_RECENT_DOCUMENTS 32785
#define ID_QM_CLEAN_INDEX_FILES 32786
#define ID_QM_OPEN_HISTORY_INDEX 32802
#define ID_QM_OPEN_CACHE_INDEX 32803
#define ID_QM_SAVE_CACHE_LIST 32804
#define ID_QM_SELECT_ALL 32805
#define ID_QM_CLEAR_RUN_HISTORY 32806
#define ID_QM_SEARCH_INDEX_FILES 32807
#define ID_QM_WEB_PAGE 40013
// Two images of the toolbar strip whose commands no menu carries.
#define ID_QM_UNUSED_IMAGE_1 32789
#define ID_QM_UNUSED_IMAGE_2 32787

// The lists' context menus (one popup each) and their items. The view
// only ever receives these ids as the result of tracking its own menu.
#define IDR_QM_HISTORY_ITEM_MENU 204  // History tab, at most one row selected
#define IDR_QM_COOKIE_ITEM_MENU 206   // Cookies tab, at most one row selected
#define IDR_QM_CACHE_ITEM_MENU 208    // Cache tab, at most one row selected
#define IDR_QM_SELECTION_MENU 131     // any tab, two or more rows selected
#define ID_QM_OPEN_HISTORY_URL 32788
#define ID_QM_COPY_HISTORY_URL 32775
#define ID_QM_DELETE_HISTORY_URL 32773
#define ID_QM_ADD_TO_FAVORITES 32782
#define ID_QM_OPEN_COOKIE_URL 32792
#define ID_QM_COPY_COOKIE_URL 32793
#define ID_QM_DELETE_COOKIE 32794
#define ID_QM_VIEW_COOKIE_DETAILS 32795
#define ID_QM_COOKIE_PROPERTIES 32796
#define ID_QM_OPEN_CACHE_URL 32797
#define ID_QM_COPY_CACHE_URL 32798
#define ID_QM_DELETE_CACHE_ENTRY 32799
#define ID_QM_OPEN_CACHE_FILE 32800
#define ID_QM_CACHE_PROPERTIES 32801
#define ID_QM_DELETE_SELECTED_ITEMS 32791

// The "Retrieving the data" window and its block strip.
#define IDD_QM_PROGRESS 301
#define IDC_QM_PROGRESS_STRIP 319
