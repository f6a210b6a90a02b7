#pragma once
// Bases of the frontend components: an element has an ID in the frontend manager's registry;
// a control also belongs to a dialog, names its keyboard neighbours and can take the focus.

#include <string>

#include "engine/ai.h"

class enXml;

class CAIFrontendElement : public C_AI {
public:
    explicit CAIFrontendElement(const enXml& element);

    // Gain or lose the focus (controls) or the active state (dialogs); answers whether the
    // element accepted.
    virtual bool SetActive(bool /*active*/) { return false; }

    const std::string& GetID() const { return m_id; }

protected:
    std::string m_id;
};

class CAIFrontendControl : public CAIFrontendElement {
public:
    explicit CAIFrontendControl(const enXml& element);
    // Leaves the registry when the control was registered (a refused duplicate was not).
    ~CAIFrontendControl() override;

    // Moves the focus along the neighbour IDs by Tab, Shift+Tab and the arrow keys.
    virtual void ProcessInput();
    // The pointer let go of the control.
    virtual bool Release() { return false; }
    // The pointer went down on the control.
    virtual bool Press() { return false; }
    virtual bool CanFocus() const { return false; }

    const std::string& GetOwnerID() const { return m_ownerID; }

protected:
    // Concrete classes register from their own constructor, so that the registry's first
    // focus reaches their SetActive.
    void Register();
    // The control names a dialog that is not the current one, and so ignores input.
    bool BelongsToOtherDialog() const;
    bool OwnerVisible() const;
    // True while the entity is visible; a hidden control that has the focus drops it.
    bool VisibleOrDropFocus();
    // The focus rule of buttons and check boxes: their entity is effectively visible.
    bool MayTakeFocus() const;
    // "sTextTemplateXml" resolved against the folder of the element's document; when it is
    // missing or empty the warning is logged with the document's name, and the result is empty.
    static std::string ReadTextTemplate(const enXml& element, const char* warning);
    // Makes the one direct child whose name is the state's name visible, the others not.
    void ShowStateChild(const char* stateName) const;

private:
    std::string m_ownerID;
    std::string m_nextID;
    std::string m_previousID;
    std::string m_upID;
    std::string m_downID;
    std::string m_leftID;
    std::string m_rightID;
    bool m_registered = false;
};
