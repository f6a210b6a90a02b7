#pragma once
// A list of rows of text cells: each row holds one cell entity per column, built from a text
// template entity; a click selects a row and moves the child "Cursor" onto it.

#include <string>
#include <vector>

#include "frontend/entity_handle.h"
#include "frontend/frontend_element.h"
#include "platform/d3dx8/math.h"

class CEntity;

class CAIListBox : public CAIFrontendControl {
public:
    explicit CAIListBox(const enXml& element);

    bool Update() override;

    // Appends a row with one cell per column, the texts in column order (missing texts are
    // empty); false when the template cannot be created.
    bool AddRow(const std::vector<std::string>& texts);
    // Kills the row's cells; the selection moves to the last row when it was beyond the end.
    bool RemoveRow(std::size_t row);
    std::size_t RowCount() const { return m_rows.size(); }
    std::size_t SelectedRow() const { return m_selectedRow; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }

private:
    // The row under the pointer when a click falls inside the list area.
    bool RowUnderClick(std::size_t& row) const;
    void SelectRow(std::size_t row);
    static void KillRowCells(std::vector<tEntityHandle>& row);

    D3DXVECTOR3 m_leftUpCorner{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 m_rightDownCorner{0.0f, 0.0f, 0.0f};
    float m_textHeight = 1.0f;
    std::vector<D3DXVECTOR3> m_columnOffsets;
    std::string m_textTemplateXml;
    std::vector<std::vector<tEntityHandle>> m_rows;
    std::size_t m_selectedRow = 0;
    bool m_enabled = true;
};
