#pragma once
// The pause state of the game: pausable entities stand still while the game is paused.

#include "engine/singleton.h"

class enGameManager : public tmSingletonGI<enGameManager> {
public:
    // The one instance, created as the game-level class on first use.
    static enGameManager& Instance();

    virtual void Reset() { m_paused = false; }
    // Acts on the "PauseGame" messages published for this tick; the last one decides.
    virtual void Tick();

    bool IsPaused() const { return m_paused; }

protected:
    enGameManager() = default;

private:
    bool m_paused = false;
};

class gaGameManager : public tmSingletonGD<gaGameManager, enGameManager> {};
