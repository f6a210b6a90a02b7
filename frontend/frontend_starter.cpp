#include "frontend/frontend_starter.h"

#include "engine/entity.h"
#include "resource/xml.h"

CAIFrontendStarter::CAIFrontendStarter(const enXml& element) {
    element.GetValueString("sStartDialogID", m_startDialogID);
    CMessagesBroker::Instance().ParseList(element, "sMessage", m_messages);
    element.GetValueBool("bDieOnFinish", m_dieOnFinish);
}

bool CAIFrontendStarter::Update() {
    if (m_done) {
        return true;
    }
    CMessagesBroker& messages = CMessagesBroker::Instance();
    messages.Post({kMessageFrontendStart, m_startDialogID});
    messages.PostAll(m_messages);
    m_done = true;
    if (m_dieOnFinish && m_owner) {
        m_owner->Kill();
    }
    return true;
}
