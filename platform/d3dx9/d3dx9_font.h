#pragma once
// The D3DX font object: a face found through fontconfig, rasterised with
// FreeType into a glyph texture on the device, and drawn as textured quads
// of pre-transformed vertices. Drawing leaves every device state it touches
// as it found it, because the renderer's state cache takes itself for the
// only writer; it must happen inside the device's scene.
//
// Height below 0 asks for that character height in pixels, above 0 for
// that cell height; Weight 700 or more is bold. A face fontconfig cannot
// match by family falls back to its sans face, logged once per face name on
// stderr. Text is one byte a character (Latin-1); lines break at '\n'; no
// prefix or clipping processing is done (DT_NOPREFIX and DT_NOCLIP are what
// the renderer asks for). DrawTextA with DT_CALCRECT draws nothing and sets
// the rectangle's right and bottom to its left and top plus the text's size.
// DT_EXTERNALLEADING adds the face's external leading between lines.
#include "platform/d3d9/d3d9.h"

constexpr u8 DEFAULT_CHARSET = 1;
constexpr u8 NONANTIALIASED_QUALITY = 3;
constexpr u8 ANTIALIASED_QUALITY = 4;
constexpr u32 FW_NORMAL = 400;
constexpr u32 FW_BOLD = 700;

constexpr DWORD DT_LEFT = 0x0000;
constexpr DWORD DT_NOCLIP = 0x0100;
constexpr DWORD DT_EXTERNALLEADING = 0x0200;
constexpr DWORD DT_CALCRECT = 0x0400;
constexpr DWORD DT_NOPREFIX = 0x0800;

struct D3DXFONT_DESCA {
    INT Height = 0;
    UINT Width = 0;
    UINT Weight = FW_NORMAL;
    UINT MipLevels = 1;
    BOOL Italic = 0;
    BOOL Underline = 0;
    BOOL StrikeOut = 0;
    u8 CharSet = DEFAULT_CHARSET;
    u8 Quality = ANTIALIASED_QUALITY;
    char FaceName[32] = {};
};

class ID3DXFont : public IUnknown {
public:
    // The height of the text in pixels; 0 when nothing could be laid out.
    virtual INT DrawTextA(void* _sprite, const char* _text, INT _count, RECT* _rect, DWORD _format,
                          D3DCOLOR _color) = 0;
    virtual HRESULT GetDescA(D3DXFONT_DESCA* _desc) = 0;
};

// Fails (E_FAIL) when no face can be found or the glyph texture cannot be
// made, and when the D3DX fault hook says so.
HRESULT D3DXCreateFontIndirect(IDirect3DDevice9* _device, const D3DXFONT_DESCA* _desc, ID3DXFont** _font);
