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
#define IDB_QM_TOOLBAR 203       // the menu bar's item images, 23 of them
#define IDB_QM_LIST_GLYPHS 210   // the list's sort marks and check boxes
#define IDB_QM_ROW_IMAGES 212    // the rows' images, nine of them
#define IDB_QM_MENU_IMAGES 227   // the context menus' images, seven of them
