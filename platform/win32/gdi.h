// RAII for GDI: each object has one owner and goes back through the right
// function (DeleteObject for pens, brushes, fonts and bitmaps, DeleteDC for
// memory device contexts), and a selection is undone when its scope ends.
#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace qm {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using GdiObject = UniqueHandle<HGDIOBJ, GdiObjectDeleter>;
using UniqueFont = UniqueHandle<HFONT, GdiObjectDeleter>;

struct MemoryDcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDc = UniqueHandle<HDC, MemoryDcDeleter>;

// Selects an object into a device context for the life of the scope.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, previous_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace qm
