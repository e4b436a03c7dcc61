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
