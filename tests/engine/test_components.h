#pragma once
// Components that record what the engine does with them.

#include <functional>
#include <string>
#include <vector>

#include "engine/ai.h"
#include "engine/entity.h"

// A new entity (in the manager's new list) with a name, appended to the parent's children.
inline CEntity* MakeNamedEntity(const std::string& name, CEntity* parent = nullptr) {
    auto* entity = new CEntity();
    entity->SetName(name);
    if (parent) {
        parent->AddChild(entity);
    }
    return entity;
}

// Runs an action on each update, after appending its label to a shared journal.
class CRecordingComponent : public C_AI {
public:
    CRecordingComponent(std::vector<std::string>& journal, std::string label,
                        std::function<void(CEntity&)> action = {})
        : m_journal(journal), m_label(std::move(label)), m_action(std::move(action)) {}

    bool Update() override {
        m_journal.push_back(m_label);
        if (m_action) {
            m_action(*GetOwner());
        }
        return true;
    }

private:
    std::vector<std::string>& m_journal;
    std::string m_label;
    std::function<void(CEntity&)> m_action;
};

// Moves its owner's trajectory along x by one unit per tick and turns it into the placement.
class CStepComponent : public C_AI {
public:
    bool Update() override {
        ++m_steps;
        GetOwner()->GetTrajectoryMatrix()._41 = static_cast<float>(m_steps);
        GetOwner()->GetPlacementMatrix() = GetOwner()->GetTrajectoryMatrix();
        return true;
    }
    int Steps() const { return m_steps; }

private:
    int m_steps = 0;
};
