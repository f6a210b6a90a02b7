#pragma once
// A fresh engine with headless input devices and an empty frontend for each test, entities
// built in memory, and frames run in the application's order.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/ai.h"
#include "engine/entity.h"
#include "engine/messages_broker.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/headless_window.h"

namespace zumbo::test {

using Properties = std::vector<std::pair<const char*, std::string>>;

// Key codes the tests press.
constexpr int kEscape = 1;
constexpr int kTab = 15;
constexpr int kReturn = 0x1C;
constexpr int kLeftShift = 42;
constexpr int kSpace = 0x39;
constexpr int kUp = 200;
constexpr int kDown = 208;

// Keeps every message published to the components, tick by tick.
class CMessageRecorder : public C_AI {
public:
    explicit CMessageRecorder(std::vector<tMessage>& seen) : m_seen(seen) {}
    bool Update() override;

private:
    std::vector<tMessage>& m_seen;
};

// An entity the mouse can pick: a 2D model stand-in with a box around its centre.
class CPickableEntity : public CEntity {
public:
    bool HasModel2D() const override { return true; }
};

class FrontendTest : public EngineTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A root entity (or child of parent) with a text label, loaded from a document.
    CEntity& MakeEntity(const std::string& name, CEntity* parent = nullptr, const Properties& entity = {});
    // Builds the component by class name through the factory and gives it to the entity.
    template <class Component>
    Component& Attach(CEntity& entity, const char* className, const Properties& properties = {}) {
        return static_cast<Component&>(AttachComponent(entity, className, properties));
    }
    C_AI& AttachComponent(CEntity& entity, const char* className, const Properties& properties);
    // A pickable entity with a box of the given half size around (x, y) in world units.
    CEntity& MakePickable(const std::string& name, float x, float y, float halfWidth, float halfHeight,
                          CEntity* parent = nullptr);

    // One application frame: input poll, frontend manager, entity manager, end of tick.
    void Frame();
    void Frames(int count);
    // Publishes the mouse pointer as the cursor component would.
    static void PointAt(float x, float y);
    static void HidePointer();

    HWND Window() const { return m_window.Handle(); }
    // Messages of the given code the recorder has seen, in order (their arguments).
    std::vector<std::string> Seen(std::int32_t code) const;
    void ForgetSeen() { m_seen.clear(); }

private:
    HeadlessWindow m_window;
    std::vector<tMessage> m_seen;
};

}  // namespace zumbo::test
