#include "frontend/list_box.h"

#include <cmath>

#include "app/debug_log.h"
#include "engine/broker.h"
#include "engine/entity.h"
#include "engine/entity_manager.h"
#include "frontend/frontend_input.h"
#include "resource/xml.h"

namespace {

constexpr float kEpsilon = 1.1920929e-7f;

}  // namespace

CAIListBox::CAIListBox(const enXml& element) : CAIFrontendControl(element) {
    element.GetValueVector("p3LeftUpCorner", m_leftUpCorner);
    element.GetValueVector("p3RightDownCorner", m_rightDownCorner);
    element.GetValueFloat("fTextHeight", m_textHeight);
    if (!(m_textHeight >= kEpsilon)) {
        m_textHeight = 1.0f;
    }
    if (const enXml* columns = element.GetChild("Columns")) {
        for (const enXml* column = columns->FirstChild(); column; column = column->NextSibling()) {
            D3DXVECTOR3 offset(0.0f, 0.0f, 0.0f);
            column->GetValueVector("p3Offset", offset);
            m_columnOffsets.push_back(offset);
        }
    }
    m_textTemplateXml = ReadTextTemplate(
        element,
        "Warning. List box does not contain valid text template xml. Text will not be displayed. Xml: %s.");
    if (m_columnOffsets.empty()) {
        CDebugLog::Instance().LogLevel(2, "Warning. List box does not contain columns. Xml: %s.",
                                       element.GetSourceName().c_str());
    }
    Register();
}

bool CAIListBox::Update() {
    if (!OwnerVisible() || !m_enabled || m_rows.empty()) {
        return true;
    }
    std::size_t row = 0;
    if (frontend_input::PrimaryButtonPressed() && RowUnderClick(row)) {
        SelectRow(row);
    }
    return true;
}

bool CAIListBox::RowUnderClick(std::size_t& row) const {
    CBroker& broker = CBroker::Instance();
    bool visible = false;
    float x = 0.0f;
    float y = 0.0f;
    if (!broker.GetBool("Mouse\\bVisible", visible) || !visible || !broker.GetFloat("Mouse\\fXPosition", x) ||
        !broker.GetFloat("Mouse\\fYPosition", y)) {
        return false;
    }
    const D3DXMATRIX& world = m_owner->GetWorldPlacementMatrix();
    const float left = world._41 + m_leftUpCorner.x;
    const float top = world._42 + m_leftUpCorner.y;
    const float right = world._41 + m_rightDownCorner.x;
    const float bottom = world._42 + m_rightDownCorner.y;
    if (x < left || x > right || y < top || y > bottom) {
        return false;
    }
    const auto index = static_cast<std::size_t>(std::trunc((y - top) / m_textHeight));
    row = std::min(index, m_rows.size() - 1);
    return true;
}

void CAIListBox::SelectRow(std::size_t row) {
    m_selectedRow = row;
    CEntity* cursor = m_owner->FindChild("Cursor");
    if (!cursor || !cursor->IsVisible()) {
        return;
    }
    D3DXMATRIX& placement = cursor->GetPlacementMatrix();
    placement._41 = m_leftUpCorner.x;
    placement._42 = m_leftUpCorner.y + static_cast<float>(row) * m_textHeight;
    placement._43 = m_leftUpCorner.z;
}

bool CAIListBox::AddRow(const std::vector<std::string>& texts) {
    if (!m_owner || m_textTemplateXml.empty()) {
        return false;
    }
    std::vector<tEntityHandle> row;
    const float rowY = m_leftUpCorner.y + static_cast<float>(m_rows.size()) * m_textHeight;
    for (std::size_t column = 0; column < m_columnOffsets.size(); ++column) {
        CEntity* cell = enEntityManager::Instance().CreateEntityFromFile(m_textTemplateXml);
        if (!cell) {
            KillRowCells(row);
            return false;
        }
        const D3DXVECTOR3& offset = m_columnOffsets[column];
        D3DXMatrixTranslation(&cell->GetPlacementMatrix(), m_leftUpCorner.x + offset.x, rowY + offset.y,
                              m_leftUpCorner.z + offset.z);
        cell->SetText(column < texts.size() ? texts[column] : std::string());
        m_owner->AddChild(cell);
        row.push_back(tEntityHandle::Of(cell));
    }
    m_rows.push_back(std::move(row));
    return true;
}

bool CAIListBox::RemoveRow(std::size_t row) {
    if (row >= m_rows.size()) {
        return false;
    }
    KillRowCells(m_rows[row]);
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(row));
    if (m_selectedRow >= m_rows.size()) {
        m_selectedRow = m_rows.empty() ? 0 : m_rows.size() - 1;
    }
    return true;
}

void CAIListBox::KillRowCells(std::vector<tEntityHandle>& row) {
    for (const tEntityHandle& cell : row) {
        if (CEntity* entity = cell.Get()) {
            entity->Kill();
        }
    }
    row.clear();
}
