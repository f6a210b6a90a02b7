#pragma once
// The DirectX file interface (d3dxof): opens X-files in text, binary or MSZIP-compressed form
// with 32- or 64-bit floats, interprets data objects through the templates registered by the
// caller and those declared in the file, and enumerates the top-level data objects as typed
// objects (x_data.h). Bytes are untrusted: every count is checked against the data present
// and nesting is bounded.

#include <memory>

#include "platform/d3d8/d3d8.h"
#include "platform/dxfile/x_data.h"

constexpr HRESULT MAKE_DXFILEHRESULT(DWORD code) {
    return static_cast<HRESULT>(0x88760000u | code);
}
constexpr HRESULT DXFILE_OK = 0;
constexpr HRESULT DXFILEERR_BADOBJECT = MAKE_DXFILEHRESULT(850);
constexpr HRESULT DXFILEERR_BADVALUE = MAKE_DXFILEHRESULT(851);
constexpr HRESULT DXFILEERR_BADALLOC = MAKE_DXFILEHRESULT(854);
constexpr HRESULT DXFILEERR_FILENOTFOUND = MAKE_DXFILEHRESULT(857);
constexpr HRESULT DXFILEERR_BADFILETYPE = MAKE_DXFILEHRESULT(861);
constexpr HRESULT DXFILEERR_BADFILEVERSION = MAKE_DXFILEHRESULT(862);
constexpr HRESULT DXFILEERR_BADFILEFLOATSIZE = MAKE_DXFILEHRESULT(863);
constexpr HRESULT DXFILEERR_BADFILECOMPRESSIONTYPE = MAKE_DXFILEHRESULT(864);
constexpr HRESULT DXFILEERR_BADFILE = MAKE_DXFILEHRESULT(865);
constexpr HRESULT DXFILEERR_PARSEERROR = MAKE_DXFILEHRESULT(866);
constexpr HRESULT DXFILEERR_NOTEMPLATE = MAKE_DXFILEHRESULT(867);
constexpr HRESULT DXFILEERR_BADARRAYSIZE = MAKE_DXFILEHRESULT(868);
constexpr HRESULT DXFILEERR_NOMOREOBJECTS = MAKE_DXFILEHRESULT(871);

using DXFILELOADOPTIONS = DWORD;
constexpr DXFILELOADOPTIONS DXFILELOAD_FROMFILE = 0x0;
constexpr DXFILELOADOPTIONS DXFILELOAD_FROMMEMORY = 0x2;

struct DXFILELOADMEMORY {
    const void* lpMemory;
    DWORD dSize;
};

// One data object of a file. GetNextObject walks its known children in file order.
struct IDirectXFileData : IUnknown {
    virtual HRESULT GetName(char* name, DWORD* size) = 0;
    virtual dxfile::XDataType GetType() = 0;
    virtual HRESULT GetNextObject(IDirectXFileData** child) = 0;
    virtual const dxfile::XDataObject& Object() = 0;
};

struct IDirectXFileEnumObject : IUnknown {
    // The next top-level data object; DXFILEERR_NOMOREOBJECTS after the last one.
    virtual HRESULT GetNextDataObject(IDirectXFileData** data) = 0;
};

struct IDirectXFile : IUnknown {
    // source: a Windows-style file name (DXFILELOAD_FROMFILE) or a DXFILELOADMEMORY
    // (DXFILELOAD_FROMMEMORY). The whole file is read and checked here.
    virtual HRESULT CreateEnumObject(const void* source, DXFILELOADOPTIONS options,
                                     IDirectXFileEnumObject** enumObject) = 0;
    // Templates in any X-file encoding; data objects in the block are ignored.
    virtual HRESULT RegisterTemplates(const void* data, DWORD size) = 0;
};

HRESULT DirectXFileCreate(IDirectXFile** file);

// The standard retained-mode templates (Mesh, Frame, Material and the rest), as an X-file.
extern const char D3DRM_XTEMPLATES[];
extern const DWORD D3DRM_XTEMPLATE_BYTES;
