#pragma once
// A credits-style text: its lines appear one by one below the bottom edge, scroll up, grow
// and fade in at the bottom, shrink and fade out at the top, and the entity kills itself
// when every line has gone.

#include <cstdint>
#include <string>
#include <vector>

#include "frontend/entity_handle.h"
#include "frontend/frontend_element.h"
#include "platform/d3dx8/math.h"

class CAIScrollingTextStatic : public CAIFrontendControl {
public:
    enum eJustification : std::int32_t { kLeft = 0, kCenter = 1, kRight = 2 };

    explicit CAIScrollingTextStatic(const enXml& element);
    bool Update() override;

    std::int32_t SpawnInterval() const { return m_spawnInterval; }
    const D3DXVECTOR3& SpawnPosition() const { return m_spawnPosition; }
    std::size_t LinesOnScreen() const { return m_onScreen.size(); }

private:
    void ReadJustification(const enXml& element);
    void ReadLines(const enXml& element);
    void SpawnNextLine();
    // Moves, scales and fades one line; false when it left at the top and was killed.
    bool ScrollLine(CEntity& line) const;
    float ZoneScale(float y) const;
    std::uint8_t FadeAlpha(float y) const;

    D3DXVECTOR3 m_leftUpCorner{-300.0f, -200.0f, 0.0f};
    D3DXVECTOR3 m_rightDownCorner{300.0f, 200.0f, 0.0f};
    float m_scaleHeaderHeight = 40.0f;
    float m_scaleFooterHeight = 40.0f;
    float m_fadeHeaderHeight = 100.0f;
    float m_fadeFooterHeight = 100.0f;
    float m_rowsIndent = 20.0f;
    D3DXVECTOR3 m_textSize{1.0f, 1.0f, 1.0f};
    float m_scrollSpeed = 1.0f;
    std::string m_textTemplateXml;
    std::vector<std::string> m_lines;
    std::size_t m_nextLine = 0;
    std::int32_t m_spawnInterval = 10;
    std::int32_t m_spawnCounter = 10;
    eJustification m_justification = kLeft;
    D3DXVECTOR3 m_spawnPosition{0.0f, 0.0f, 0.0f};
    std::vector<tEntityHandle> m_onScreen;
};
