#pragma once
// The one kind of object the engine moves and draws: a node in a tree of entities with its
// behaviour components, transforms, visibility, alpha and hit-group masks.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ai.h"
#include "platform/d3dx8/math.h"
#include "resource/tm_tree.h"

// 2^-23: a fresh bounding box has its maximum just below its minimum, and placements closer
// than this to the identity count as none.
inline constexpr float kEntityEpsilon = 1.1920929e-7f;

class enXml;
class CModel;
class CBitmapFont;
struct IDirect3DDevice8;

class CEntity : public tmTree<CEntity> {
public:
    // Registers the entity with the entity manager's new entities.
    CEntity();
    CEntity(const CEntity&) = delete;
    CEntity& operator=(const CEntity&) = delete;
    // Leaves the manager's lists, deletes the components and, as a tree node, the children.
    ~CEntity() override;

    // Fills the entity from the root element of an entity document.
    virtual bool LoadFromXml(const enXml& element);
    // One tick of this entity and its subtree.
    virtual void Update();
    // A model loaded from the path, or null when it cannot be created.
    virtual CModel* CreateModel(const std::string& path);
    // Draws this entity only; the manager walks the entities in sorted order.
    void Render();

    void Kill();
    bool IsKilled() const { return m_killed; }

    void AddPrefixComponent(std::unique_ptr<C_AI> component);
    void AddSuffixComponent(std::unique_ptr<C_AI> component);
    // The first direct child with exactly this name, or null.
    CEntity* FindChild(std::string_view name) const;

    // Recomputes the effective visibility from the own flags and the parent, then pushes it
    // down the subtree.
    void RefreshVisibility();
    void SetAlpha(std::uint8_t alpha, bool recursive);
    std::uint8_t GetAlpha() const;

    void UpdateWorldMatrices(bool recursive);
    // Over the subtree; an entity that needs no world box skips its whole subtree.
    void UpdateWorldBoundingBox();
    D3DXMATRIX GetParentWorldPlacement() const;
    D3DXMATRIX GetParentWorldTrajectory() const;

    void InitDeviceObjects(IDirect3DDevice8* device);
    void RestoreDeviceObjects();
    void InvalidateDeviceObjects();
    void DeleteDeviceObjects();

    // The render-sort key along the normalised view direction.
    void ComputeSortKey(const D3DXVECTOR3& viewDirection);

    std::uint32_t GetSerial() const { return m_serial; }
    const std::string& GetName() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }

    bool IsVisible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }
    bool IsEffectivelyVisible() const { return m_effectivelyVisible; }
    bool InheritsVisibility() const { return m_inheritVisibility; }
    void SetInheritVisibility(bool inherit) { m_inheritVisibility = inherit; }
    bool IsPausable() const { return m_pausable; }
    void SetPausable(bool pausable) { m_pausable = pausable; }
    bool NeedsWorldBoundingBox() const { return m_needsWorldBoundingBox; }
    void SetNeedsWorldBoundingBox(bool needs) { m_needsWorldBoundingBox = needs; }
    bool IsParentRelative() const { return m_parentRelativeTransform; }
    void SetParentRelative(bool relative) { m_parentRelativeTransform = relative; }
    bool IsViewOriented() const { return m_viewOriented; }

    std::uint32_t GetHitGroups() const { return m_hitGroups; }
    void SetHitGroups(std::uint32_t mask) { m_hitGroups = mask; }
    std::uint32_t GetHitsWithGroups() const { return m_hitsWithGroups; }
    void SetHitsWithGroups(std::uint32_t mask) { m_hitsWithGroups = mask; }
    float GetMass() const { return m_mass; }

    bool IsTextLabel() const { return m_textLabel; }
    const std::string& GetFontName() const { return m_fontName; }
    const std::string& GetText() const { return m_text; }
    void SetText(std::string text) { m_text = std::move(text); }
    std::uint32_t GetTextColor() const { return m_textColor; }
    void SetTextColor(std::uint32_t color) { m_textColor = color; }
    std::uint32_t GetTextFlags() const { return m_textFlags; }

    D3DXMATRIX& GetPlacementMatrix() { return m_placement; }
    const D3DXMATRIX& GetPlacementMatrix() const { return m_placement; }
    D3DXMATRIX& GetTrajectoryMatrix() { return m_trajectory; }
    const D3DXMATRIX& GetTrajectoryMatrix() const { return m_trajectory; }
    const D3DXMATRIX& GetWorldPlacementMatrix() const { return m_worldPlacement; }
    const D3DXMATRIX& GetWorldTrajectoryMatrix() const { return m_worldTrajectory; }

    const D3DXVECTOR3& GetLocalBoxMin() const { return m_localBoxMin; }
    const D3DXVECTOR3& GetLocalBoxMax() const { return m_localBoxMax; }
    void SetLocalBox(const D3DXVECTOR3& minimum, const D3DXVECTOR3& maximum);
    const D3DXVECTOR3& GetWorldBoxMin() const { return m_worldBoxMin; }
    const D3DXVECTOR3& GetWorldBoxMax() const { return m_worldBoxMax; }

    // Render-sort class and key; a model, when there is one, decides the class.
    bool Is2D() const { return m_is2D; }
    bool IsAlpha() const { return m_isAlpha; }
    void SetRenderClass(bool is2D, bool isAlpha);
    // True when the entity has a model drawn in 2D. Virtual so that mouse picking can be
    // exercised without models.
    virtual bool HasModel2D() const;
    CModel* GetModel() const { return m_model.get(); }
    float GetSortKey() const { return m_sortKey; }

    const std::vector<std::unique_ptr<C_AI>>& GetPrefixComponents() const { return m_prefixComponents; }
    const std::vector<std::unique_ptr<C_AI>>& GetSuffixComponents() const { return m_suffixComponents; }
    C_AI* GetPhysicsComponent() const { return m_physics.get(); }
    C_AI* GetLifeTimeComponent() const { return m_lifeTime.get(); }

private:
    // The physics or lifetime component: its element, the texts of its warnings and its default.
    struct tOwnComponentKind {
        const char* tag;
        const char* failedText;
        const char* missingText;
        std::unique_ptr<C_AI> (*makeDefault)(CEntity* owner);
    };
    static const tOwnComponentKind kPhysicsKind;
    static const tOwnComponentKind kLifeTimeKind;

    void RenderTextLabel();
    void RenderBoundingBox();
    void LoadFlags(const enXml& element);
    void LoadTextLabel(const enXml& element);
    // The model's file name, none without a "Model" element; false when that element is broken.
    bool ReadModelFileName(const enXml& element, std::optional<std::string>& fileName) const;
    void LoadHitGroups(const enXml& element);
    void LoadPlacement(const enXml& element);
    void LoadSubEntities(const enXml& list);
    void AttachSubEntity(const enXml& subEntityElement);
    bool LoadModel(const std::string& fileName);
    bool LoadComponents(const enXml& element);
    void LoadComponentList(const enXml& list, bool prefix);
    std::unique_ptr<C_AI> LoadOwnComponent(const enXml& aiList, const tOwnComponentKind& kind,
                                           const std::string& entityName);
    bool MayTickChild(const CEntity& child) const;

    std::uint32_t m_serial = 0;
    std::string m_name;
    std::string m_sourceName;  // the document this entity was loaded from, for messages

    D3DXVECTOR3 m_localBoxMin;
    D3DXVECTOR3 m_localBoxMax;
    D3DXVECTOR3 m_worldBoxMin;
    D3DXVECTOR3 m_worldBoxMax;

    bool m_needsWorldBoundingBox = true;
    bool m_killed = false;
    bool m_visible = true;
    bool m_effectivelyVisible = true;
    bool m_inheritVisibility = true;
    bool m_pausable = false;
    std::uint32_t m_hitGroups = 0;
    std::uint32_t m_hitsWithGroups = 0;
    float m_mass = 100.0f;

    bool m_textLabel = false;
    std::string m_fontName;
    CBitmapFont* m_font = nullptr;  // owned by the font cache
    std::string m_text;
    std::uint32_t m_textColor = 0xFFFFFFFF;
    std::uint32_t m_textFlags = 32;
    bool m_viewOriented = false;
    bool m_parentRelativeTransform = true;

    std::unique_ptr<CModel> m_model;
    std::unique_ptr<C_AI> m_identity;
    std::vector<std::unique_ptr<C_AI>> m_prefixComponents;
    std::vector<std::unique_ptr<C_AI>> m_suffixComponents;
    std::unique_ptr<C_AI> m_billboard;
    std::unique_ptr<C_AI> m_physics;
    std::unique_ptr<C_AI> m_lifeTime;

    D3DXMATRIX m_placement;
    D3DXMATRIX m_worldPlacement;
    D3DXMATRIX m_trajectory;
    D3DXMATRIX m_worldTrajectory;

    bool m_is2D = false;
    bool m_isAlpha = false;
    float m_sortKey = 0.0f;
};
