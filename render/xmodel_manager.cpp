#include "render/xmodel_manager.h"

#include "platform/win32/files.h"

#include <cstdio>
#include <ctime>
#include <optional>
#include <vector>

#include "app/d3d_application.h"
#include "app/debug_log.h"
#include "platform/win32/file_time.h"
#include "render/file_enumerator.h"
#include "resource/group_file.h"
#include "resource/name_atom.h"
#include "resource/paths.h"

namespace {

constexpr char kMetricsRoot[] = "XFilesMetrics";
constexpr char kMetricsElement[] = "Metrics";

IDirect3DDevice8* ApplicationDevice() {
    CD3DApplication* application = CD3DApplication::GetInstance();
    return application != nullptr ? application->GetDevice() : nullptr;
}

bool IsValidEntry(const enXml& entry, const std::string& path, const std::string& timeText) {
    std::string fileName;
    std::string time;
    return entry.GetName() == InternName(kMetricsElement) && entry.GetAttributeString("FileName", fileName) &&
           fileName == path && entry.GetValueString("Time", time) && time == timeText &&
           entry.GetChild("b3BBox") != nullptr;
}

std::string FormatBox(const D3DXVECTOR3& min, const D3DXVECTOR3& max) {
    char text[256];
    std::snprintf(text, sizeof text, "%g,%g,%g,%g,%g,%g", min.x, min.y, min.z, max.x, max.y, max.z);
    return text;
}

}  // namespace

CXModelManager::CXModelManager()
    : m_plainMetricsPath(GetProgramFolder() + "Models\\XFilesMetrics.xml"),
      m_plainMetrics(kMetricsRoot),
      m_packedMetricsPath(GetProgramFolder() + "Models\\GrpXFilesMetrics.xml"),
      m_packedMetrics(kMetricsRoot) {
    m_plainMetrics.Load(m_plainMetricsPath);
    UpdatePlainMetrics();
    m_packedMetrics.Load(m_packedMetricsPath);
    UpdatePackedMetrics();
}

CXModelManager::~CXModelManager() {
    // With every model packed there is no plain "Models" folder; the cache still needs one, or
    // every start would be a cold one.
    win32::CreateDirectories(GetProgramFolder() + "Models");
    m_plainMetrics.Save(m_plainMetricsPath);
    m_packedMetrics.Save(m_packedMetricsPath);
    for (tEntry& entry : m_models) {
        entry.model->DeleteDeviceObjects();
    }
}

std::string CXModelManager::TimeText(std::int64_t fileTime) {
    const std::time_t time = static_cast<std::time_t>(fileTime);
    char text[64] = {};
    if (ctime_r(&time, text) == nullptr) {
        return {};
    }
    std::string result(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r')) {
        result.pop_back();
    }
    return result;
}

void CXModelManager::UpdatePlainMetrics() {
    CFileEnumerator enumerator;
    for (const std::string& path : enumerator.Enumerate(GetProgramFolder() + "Models", "*.x", true)) {
        const std::optional<std::int64_t> time = win32::GetFileLastWriteTime(path);
        if (time) {
            UpdateEntry(path, m_plainMetrics, TimeText(*time), false);
        }
    }
}

void CXModelManager::UpdatePackedMetrics() {
    CGroupFile& groupFile = CGroupFile::Instance();
    const std::optional<std::int64_t> time = win32::GetFileLastWriteTime(groupFile.Path());
    if (!groupFile.IsOpen() || !time) {
        return;
    }
    std::vector<std::string> paths;
    groupFile.EnumerateFiles(paths, GetProgramFolder() + "Models", "*.x", true);
    const std::string timeText = TimeText(*time);
    for (const std::string& path : paths) {
        UpdateEntry(path, m_packedMetrics, timeText, true);
    }
}

void CXModelManager::UpdateEntry(const std::string& path, enXml& metrics, const std::string& timeText,
                                 bool packed) {
    if (!packed && !FileExists(path)) {
        return;
    }
    for (const enXml* entry = metrics.FirstChild(); entry != nullptr; entry = entry->NextSibling()) {
        if (IsValidEntry(*entry, path, timeText)) {
            return;
        }
    }
    CDebugLog::Instance().LogLevel(3,
                                   packed ? "Missing X-Files Mertics Cache with grouped file \"%s\"."
                                          : "Missing X-Files Mertics Cache with generic file \"%s\".",
                                   path.c_str());
    std::unique_ptr<CD3DFile> model = packed ? CreateFromGroupFile(path) : CreateFromFile(path);
    if (!model) {
        return;
    }
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    D3DXVECTOR3 min;
    D3DXVECTOR3 max;
    model->GetBoundingBox(identity, min, max);
    model->DeleteDeviceObjects();
    enXml* entry = metrics.AddNewChild(kMetricsElement);
    entry->SetAttributeString("FileName", path);
    entry->SetValueString("Time", timeText);
    entry->SetValueString("b3BBox", FormatBox(min, max));
}

std::unique_ptr<CD3DFile> CXModelManager::CreateFromFile(const std::string& path) {
    auto model = std::make_unique<CD3DFile>();
    if (FAILED(model->Create(ApplicationDevice(), path))) {
        return nullptr;
    }
    return model;
}

std::unique_ptr<CD3DFile> CXModelManager::CreateFromGroupFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (!CGroupFile::Instance().ReadFile(path, bytes) || bytes.empty()) {
        return nullptr;
    }
    auto model = std::make_unique<CD3DFile>();
    if (FAILED(model->CreateFromMemory(ApplicationDevice(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                       path))) {
        return nullptr;
    }
    return model;
}

CD3DFile* CXModelManager::GetModelByFileName(std::string_view name, bool cachable) {
    const std::string path = NormalizedPath(MakeFullPath(name));
    const std::string shownName(name);
    const std::uint32_t hash = NameAtom::HashOf(path);
    if (cachable) {
        for (auto it = m_models.begin(); it != m_models.end(); ++it) {
            if (it->hash == hash && it->path == path) {
                CDebugLog::Instance().LogLevel(4, "GetModuleByFileName( \"%s\" ) -- cached.",
                                               shownName.c_str());
                m_models.splice(m_models.begin(), m_models, it);
                return m_models.front().model.get();
            }
        }
    }
    std::unique_ptr<CD3DFile> model;
    if (FileExists(path) && (model = CreateFromFile(path))) {
        CDebugLog::Instance().LogLevel(3, "Created X-Model from generic file: %s", path.c_str());
    } else if ((model = CreateFromGroupFile(path))) {
        CDebugLog::Instance().LogLevel(3, "Created X-Model from grouped file: %s", path.c_str());
    } else {
        CDebugLog::Instance().Log("Failed to create X-Model: %s", path.c_str());
        return nullptr;
    }
    if (!cachable) {
        return model.release();
    }
    m_models.push_back({path, std::move(model), hash});
    CDebugLog::Instance().LogLevel(3, "GetModelByFileName( \"%s\" ) -- first time.", shownName.c_str());
    return m_models.back().model.get();
}

void CXModelManager::RestoreDeviceObjects() {
    IDirect3DDevice8* device = ApplicationDevice();
    for (tEntry& entry : m_models) {
        entry.model->RestoreDeviceObjects(device);
    }
}

void CXModelManager::InvalidateDeviceObjects() {
    for (tEntry& entry : m_models) {
        entry.model->InvalidateDeviceObjects();
    }
}
