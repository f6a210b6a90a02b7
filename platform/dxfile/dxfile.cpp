#include "platform/dxfile/dxfile.h"

#include <cstring>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "platform/d3d8/com_object.h"
#include "platform/dxfile/x_reader.h"
#include "platform/win32/files.h"

namespace dxfile {
namespace {

class FileData : public d3d8::ComObject<IDirectXFileData> {
public:
    explicit FileData(std::shared_ptr<const XDataObject> object) : m_object(std::move(object)) {}

    HRESULT GetName(char* name, DWORD* size) override {
        if (size == nullptr) {
            return DXFILEERR_BADVALUE;
        }
        const DWORD needed = static_cast<DWORD>(m_object->name.size() + 1);
        if (name == nullptr) {
            *size = needed;
            return DXFILE_OK;
        }
        if (*size < needed) {
            *size = needed;
            return DXFILEERR_BADVALUE;
        }
        std::memcpy(name, m_object->name.c_str(), needed);
        *size = needed;
        return DXFILE_OK;
    }

    XDataType GetType() override { return m_object->type; }

    HRESULT GetNextObject(IDirectXFileData** child) override {
        if (child == nullptr) {
            return DXFILEERR_BADVALUE;
        }
        if (m_nextChild >= m_object->children.size()) {
            *child = nullptr;
            return DXFILEERR_NOMOREOBJECTS;
        }
        *child = new FileData(m_object->children[m_nextChild++]);
        return DXFILE_OK;
    }

    const XDataObject& Object() override { return *m_object; }

private:
    std::shared_ptr<const XDataObject> m_object;
    std::size_t m_nextChild = 0;
};

class EnumObject : public d3d8::ComObject<IDirectXFileEnumObject> {
public:
    explicit EnumObject(XObjectList objects) : m_objects(std::move(objects)) {}

    HRESULT GetNextDataObject(IDirectXFileData** data) override {
        if (data == nullptr) {
            return DXFILEERR_BADVALUE;
        }
        if (m_next >= m_objects.size()) {
            *data = nullptr;
            return DXFILEERR_NOMOREOBJECTS;
        }
        *data = new FileData(m_objects[m_next++]);
        return DXFILE_OK;
    }

private:
    XObjectList m_objects;
    std::size_t m_next = 0;
};

class DirectXFile : public d3d8::ComObject<IDirectXFile> {
public:
    HRESULT CreateEnumObject(const void* source, DXFILELOADOPTIONS options,
                             IDirectXFileEnumObject** enumObject) override {
        if (source == nullptr || enumObject == nullptr) {
            return DXFILEERR_BADVALUE;
        }
        *enumObject = nullptr;
        std::vector<std::uint8_t> fileBytes;
        std::span<const std::uint8_t> bytes;
        if ((options & DXFILELOAD_FROMMEMORY) != 0) {
            const auto* memory = static_cast<const DXFILELOADMEMORY*>(source);
            if (memory->lpMemory == nullptr) {
                return DXFILEERR_BADVALUE;
            }
            bytes = {static_cast<const std::uint8_t*>(memory->lpMemory), memory->dSize};
        } else {
            if (!win32::ReadFile(static_cast<const char*>(source), fileBytes, kMaxBodyBytes)) {
                return DXFILEERR_FILENOTFOUND;
            }
            bytes = fileBytes;
        }
        // Templates a file declares belong to that file only.
        TemplateNames templates = m_templates;
        XObjectList objects;
        const HRESULT result = ReadXFile(bytes, templates, objects);
        if (result != DXFILE_OK) {
            return result;
        }
        *enumObject = new EnumObject(std::move(objects));
        return DXFILE_OK;
    }

    HRESULT RegisterTemplates(const void* data, DWORD size) override {
        if (data == nullptr) {
            return DXFILEERR_BADVALUE;
        }
        TemplateNames templates = m_templates;
        XObjectList ignored;
        const HRESULT result = ReadXFile({static_cast<const std::uint8_t*>(data), size}, templates, ignored);
        if (result == DXFILE_OK) {
            m_templates = std::move(templates);
        }
        return result;
    }

private:
    TemplateNames m_templates;
};

}  // namespace
}  // namespace dxfile

HRESULT DirectXFileCreate(IDirectXFile** file) {
    if (file == nullptr) {
        return DXFILEERR_BADVALUE;
    }
    *file = new dxfile::DirectXFile();
    return DXFILE_OK;
}
