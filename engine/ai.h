#pragma once
// Base of every behaviour component: an entity owns its components and runs each once per
// tick.

class CEntity;

class C_AI {
public:
    C_AI() = default;
    C_AI(const C_AI&) = delete;
    C_AI& operator=(const C_AI&) = delete;

    // One tick of behaviour. The result flag is informative only; the entity ignores it.
    virtual bool Update() = 0;
    // Back to the starting state (accumulated distance, angle or phase).
    virtual void Reset() {}
    virtual ~C_AI() = default;

    CEntity* GetOwner() const { return m_owner; }
    void SetOwner(CEntity* owner) { m_owner = owner; }

protected:
    // Null while the constructor runs: owner-dependent set-up belongs in the first Update.
    CEntity* m_owner = nullptr;
};
