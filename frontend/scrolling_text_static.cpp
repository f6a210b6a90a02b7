#include "frontend/scrolling_text_static.h"

#include <algorithm>
#include <cmath>

#include "app/debug_log.h"
#include "engine/entity.h"
#include "engine/entity_manager.h"
#include "resource/name_atom.h"
#include "resource/translator.h"
#include "resource/xml.h"

namespace {

constexpr float kEpsilon = 1.1920929e-7f;
constexpr float kSlowestZoneSpeed = 0.3f;

}  // namespace

CAIScrollingTextStatic::CAIScrollingTextStatic(const enXml& element) : CAIFrontendControl(element) {
    element.GetValueVector("p3LeftUpCorner", m_leftUpCorner);
    element.GetValueVector("p3RightDownCorner", m_rightDownCorner);
    element.GetValueFloat("fScaleHeaderHeight", m_scaleHeaderHeight);
    element.GetValueFloat("fScaleFooterHeight", m_scaleFooterHeight);
    element.GetValueFloat("fFadeHeaderHeight", m_fadeHeaderHeight);
    element.GetValueFloat("fFadeFooterHeight", m_fadeFooterHeight);
    element.GetValueFloat("fRowsIndent", m_rowsIndent);
    element.GetValueVector("p3TextSize", m_textSize);
    element.GetValueFloat("fScrollSpeed", m_scrollSpeed);
    ReadJustification(element);
    const float left = m_leftUpCorner.x;
    const float right = m_rightDownCorner.x;
    const float bottom = m_rightDownCorner.y;
    switch (m_justification) {
        case kLeft:
            m_spawnPosition = D3DXVECTOR3(left, bottom, 0.0f);
            break;
        case kCenter:
            m_spawnPosition = D3DXVECTOR3((left + right) / 2.0f, bottom, m_rightDownCorner.z / 2.0f);
            break;
        case kRight:
            m_spawnPosition = D3DXVECTOR3(right, bottom, m_rightDownCorner.z);
            break;
    }
    m_spawnPosition.y += m_scaleFooterHeight;
    const float interval = m_rowsIndent / m_scrollSpeed;
    // A speed near zero, or an interval beyond any tick count, keeps the default interval.
    if (std::fabs(m_scrollSpeed) > kEpsilon && std::fabs(interval) < 1.0e9f) {
        m_spawnInterval = static_cast<std::int32_t>(interval);
    }
    m_textTemplateXml =
        ReadTextTemplate(element,
                         "Warning. Scroll text static does not contain valid text template xml. Text "
                         "will not be displayed. Xml: %s.");
    ReadLines(element);
    Register();
}

void CAIScrollingTextStatic::ReadJustification(const enXml& element) {
    std::string text;
    element.GetValueString("sJustification", text);
    const char* const names[] = {"Left", "Center", "Right"};
    for (std::int32_t index = 0; index < 3; ++index) {
        if (EqualsIgnoringCase(text, names[index])) {
            m_justification = static_cast<eJustification>(index);
            return;
        }
    }
    CDebugLog::Instance().LogLevel(
        2, "Warning. Wrong justification constant met: %s. In file %s. Using default.", text.c_str(),
        element.GetSourceName().c_str());
}

void CAIScrollingTextStatic::ReadLines(const enXml& element) {
    const enXml* text = element.GetChild("Text");
    if (!text) {
        return;
    }
    for (const enXml* line = text->FirstChild(); line; line = line->NextSibling()) {
        std::string value;
        line->GetAttributeString("Value", value);
        m_lines.push_back(std::move(value));
    }
}

bool CAIScrollingTextStatic::Update() {
    if (!m_owner) {
        return true;
    }
    if (m_nextLine < m_lines.size() && ++m_spawnCounter >= m_spawnInterval) {
        SpawnNextLine();
    }
    std::erase_if(m_onScreen, [this](const tEntityHandle& handle) {
        CEntity* line = handle.Get();
        return !line || !ScrollLine(*line);
    });
    if (m_nextLine >= m_lines.size() && m_onScreen.empty()) {
        m_owner->Kill();
    }
    return true;
}

void CAIScrollingTextStatic::SpawnNextLine() {
    const std::string& text = m_lines[m_nextLine++];
    m_spawnCounter = 0;
    // A line whose template cannot be created is skipped, so that the text still ends.
    CEntity* line = m_textTemplateXml.empty()
                        ? nullptr
                        : enEntityManager::Instance().CreateEntityFromFile(m_textTemplateXml);
    if (!line) {
        return;
    }
    D3DXMatrixTranslation(&line->GetPlacementMatrix(), m_spawnPosition.x, m_spawnPosition.y,
                          m_spawnPosition.z);
    line->SetText(CTranslator::Instance().Translate(text));
    m_owner->AddChild(line);
    m_onScreen.push_back(tEntityHandle::Of(line));
}

float CAIScrollingTextStatic::ZoneScale(float y) const {
    const float top = m_leftUpCorner.y;
    const float bottom = m_rightDownCorner.y;
    if (y < top) {
        return 1.0f - (top - y) / m_scaleHeaderHeight;
    }
    // An empty footer zone has no room to grow in: the line is at its smallest there.
    return m_scaleFooterHeight > kEpsilon ? 1.0f - (y - bottom) / m_scaleFooterHeight : 0.0f;
}

bool CAIScrollingTextStatic::ScrollLine(CEntity& line) const {
    D3DXMATRIX& placement = line.GetPlacementMatrix();
    const float x = placement._41;
    const float y = placement._42;
    const float z = placement._43;
    const float top = m_leftUpCorner.y;
    const float bottom = m_rightDownCorner.y;
    if (y < top - m_scaleHeaderHeight) {
        line.Kill();
        return false;
    }
    float scale = 1.0f;
    float step = m_scrollSpeed;
    if (y < top || y >= bottom) {
        scale = ZoneScale(y);
        step = std::max(scale, kSlowestZoneSpeed) * m_scrollSpeed;
    }
    D3DXMatrixScaling(&placement, scale * m_textSize.x, scale * m_textSize.y, scale * m_textSize.z);
    placement._41 = x;
    placement._42 = y - step;
    placement._43 = z;
    if (m_fadeHeaderHeight > kEpsilon && m_fadeFooterHeight > kEpsilon) {
        line.SetAlpha(FadeAlpha(placement._42), false);
    }
    return true;
}

std::uint8_t CAIScrollingTextStatic::FadeAlpha(float y) const {
    const float top = m_leftUpCorner.y;
    const float bottom = m_rightDownCorner.y;
    float alpha = 255.0f;
    if (y < top || y >= bottom) {
        alpha = 0.0f;
    } else if (y < top + m_fadeHeaderHeight) {
        alpha = (y - top) / m_fadeHeaderHeight * 255.0f;
    } else if (y >= bottom - m_fadeFooterHeight) {
        alpha = (bottom - y) / m_fadeFooterHeight * 255.0f;
    }
    return static_cast<std::uint8_t>(std::max(0.0f, std::min(alpha, 255.0f)));
}
