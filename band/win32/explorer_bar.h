// The identifiers of the band's type library and the IExplorerBar
// interface it describes. IExplorerBar is a dual interface with no methods
// of its own; its type information comes from the registered library.
#pragma once

#include <oaidl.h>
#include <windows.h>

namespace qm {

inline constexpr CLSID kBandClassGuid = {
    0x5A1C0E42, 0x7B3D, 0x4F19, {0x9C, 0x2E, 0x61, 0xD4, 0xA8, 0xB7, 0xE3, 0x05}};
inline constexpr GUID kTypeLibraryGuid = {
    0x9E27B4C1, 0x3A58, 0x4D06, {0xB1, 0xF7, 0x2C, 0x8D, 0x5E, 0x9A, 0x0B, 0x16}};
inline constexpr WORD kTypeLibraryMajor = 1;
inline constexpr WORD kTypeLibraryMinor = 0;
inline constexpr IID kExplorerBarIid = {
    0x4D880D43, 0xC2E5, 0x4777, {0x80, 0x1F, 0xC3, 0xBC, 0xFB, 0xCB, 0x62, 0x11}};
// The component category of horizontal Explorer Bars.
inline constexpr GUID kCommBandCategory = {
    0x00021494, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

}  // namespace qm

struct IExplorerBar : public IDispatch {};
__CRT_UUID_DECL(IExplorerBar, 0x4D880D43, 0xC2E5, 0x4777, 0x80, 0x1F, 0xC3, 0xBC, 0xFB, 0xCB, 0x62, 0x11)
