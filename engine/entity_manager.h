#pragma once
// Owner of every live entity: the catalogue of named entity templates, creation, the tick of
// the root entities, deletion of killed entities, the render order, device events and the
// debug dump. The game level (gaEntityManager) supplies the factories.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/singleton.h"
#include "platform/d3dx8/math.h"
#include "platform/win32/types.h"

class CEntity;
class enXml;
struct IDirect3DDevice8;

class enEntityManager : public tmSingletonGI<enEntityManager> {
public:
    struct tCatalogueEntry {
        std::string name;
        std::string filePath;
        std::uint32_t nameHash = 0;
    };

    // The one instance, created as the game-level class on first use.
    static enEntityManager& Instance();
    // Deletes every remaining entity.
    ~enEntityManager() override;

    virtual CEntity* CreateEntityFromFile(const std::string& path) = 0;
    virtual CEntity* CreateEntityByName(const std::string& name);
    virtual CEntity* CreateEntityByNameAt(const std::string& name, const D3DXMATRIX& matrix, bool flatten);
    virtual CEntity* CreateEntityByClassID(const std::string& classID) = 0;

    void Tick();
    // Sorts the active entities for drawing along the scene camera's view direction: 3D
    // before 2D; opaque near to far, then alpha far to near; 2D far to near.
    void RenderAll();
    CEntity* FindEntityByName(std::string_view name) const;
    bool IsAlive(std::uint32_t serial) const;
    void DeleteAllEntities();

    HRESULT InitDeviceObjects(IDirect3DDevice8* device);
    HRESULT RestoreDeviceObjects();
    HRESULT InvalidateDeviceObjects();
    HRESULT DeleteDeviceObjects();
    // Replaces the catalogue by "AllEntities.xml" of the given program folder (with its trailing
    // backslash); construction loads the one of the running program.
    void LoadCatalogue(const std::string& programFolder);
    // Logs the entities whose parent is the given one (null: the roots), indented by depth tabs.
    void DumpEntities(const CEntity* parent, int depth) const;

    // Bookkeeping for CEntity: a new entity joins the new list and receives the next serial number
    // of the process, so that a serial held across a change of managers never comes alive again.
    std::uint32_t RegisterNewEntity(CEntity* entity);
    void UnregisterEntity(CEntity* entity);
    void SetKilledFlag() { m_killedFlag = true; }

    const std::vector<CEntity*>& GetActiveEntities() const { return m_active; }
    const std::vector<CEntity*>& GetNewEntities() const { return m_new; }
    const std::vector<CEntity*>& GetHitEntities() const { return m_hit; }
    const std::vector<tCatalogueEntry>& GetCatalogue() const { return m_catalogue; }

protected:
    // Loads the catalogue "AllEntities.xml" from the program folder.
    enEntityManager();

private:
    void AddCatalogueEntry(const enXml& element, const std::string& programFolder);
    const tCatalogueEntry* FindCatalogueEntry(std::string_view name);
    void ActivateNewEntities();
    void TickRootEntities();
    void DeleteKilledEntities();
    static void DeleteKilledIn(std::vector<CEntity*>& list);
    void DumpWorldPlacement(const CEntity& entity, const std::string& indent) const;
    template <class Operation>
    HRESULT ForEachEntity(const char* hookName, Operation operation);

    std::vector<tCatalogueEntry> m_catalogue;
    std::vector<CEntity*> m_active;
    std::vector<CEntity*> m_new;
    std::vector<CEntity*> m_hit;
    bool m_killedFlag = false;
};
