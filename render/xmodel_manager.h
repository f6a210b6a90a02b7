#pragma once
// Shares loaded X-models between the models that name the same file, and keeps the metrics
// cache of every X-file below "Models" (plain and packed) up to date: its time and its box.

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>

#include "engine/singleton.h"
#include "render/d3d_file.h"
#include "resource/xml.h"

class CXModelManager : public tmSingleton<CXModelManager> {
public:
    CXModelManager();
    virtual ~CXModelManager();
    CXModelManager(const CXModelManager&) = delete;
    CXModelManager& operator=(const CXModelManager&) = delete;

    // The X-model of the file, shared when cachable, or null. A non-cachable X-model belongs
    // to the caller.
    CD3DFile* GetModelByFileName(std::string_view name, bool cachable);

    void RestoreDeviceObjects();
    void InvalidateDeviceObjects();

    std::size_t SharedCount() const { return m_models.size(); }

private:
    // ctime's text of a file time without the trailing line feed.
    static std::string TimeText(std::int64_t fileTime);

    struct tEntry {
        std::string path;
        std::unique_ptr<CD3DFile> model;
        std::uint32_t hash;
    };

    void UpdatePlainMetrics();
    void UpdatePackedMetrics();
    void UpdateEntry(const std::string& path, enXml& metrics, const std::string& timeText, bool packed);
    // Loads with the application's device, when there is one yet; null on failure.
    static std::unique_ptr<CD3DFile> CreateFromFile(const std::string& path);
    static std::unique_ptr<CD3DFile> CreateFromGroupFile(const std::string& path);

    std::list<tEntry> m_models;
    std::string m_plainMetricsPath;
    enXml m_plainMetrics;
    std::string m_packedMetricsPath;
    enXml m_packedMetrics;
};
