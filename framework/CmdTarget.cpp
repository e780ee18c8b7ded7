#include "framework/CmdTarget.h"

#include <commctrl.h>

const MsgMapEntry* MsgMap::Find(MapKind kind, UINT messageOrId, UINT code) const {
    for (const MsgMap* map = this; map != nullptr; map = map->base) {
        for (const MsgMapEntry& entry : map->entries) {
            if (entry.kind != kind)
                continue;
            switch (kind) {
            case MapKind::Message:
                if (entry.message == messageOrId)
                    return &entry;
                break;
            case MapKind::Command:
            case MapKind::UpdateUI:
                if (entry.id == messageOrId)
                    return &entry;
                break;
            case MapKind::Notify:
                if (entry.id == messageOrId && entry.code == code)
                    return &entry;
                break;
            }
        }
    }
    return nullptr;
}

const MsgMap CCmdTarget::messageMap{nullptr, {}};
const MsgMap* CCmdTarget::GetMessageMap() const {
    return &messageMap;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO*) {
    const MapKind kind = code == CN_UPDATE_COMMAND_UI ? MapKind::UpdateUI : MapKind::Command;
    const MsgMapEntry* entry = GetMessageMap()->Find(kind, id);
    if (entry == nullptr)
        return FALSE;
    entry->thunk(this, 0, reinterpret_cast<LPARAM>(extra));
    return TRUE;
}

void CCmdUI::Enable(BOOL on) {
    if (m_pMenu != nullptr)
        EnableMenuItem(m_pMenu, m_nID, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    if (m_hToolBar != nullptr)
        SendMessageA(m_hToolBar, TB_ENABLEBUTTON, m_nID, MAKELPARAM(on ? TRUE : FALSE, 0));
}

void CCmdUI::SetCheck(int check) {
    if (m_pMenu != nullptr)
        CheckMenuItem(m_pMenu, m_nID, MF_BYCOMMAND | (check != 0 ? MF_CHECKED : MF_UNCHECKED));
    if (m_hToolBar != nullptr)
        SendMessageA(m_hToolBar, TB_CHECKBUTTON, m_nID, MAKELPARAM(check != 0 ? TRUE : FALSE, 0));
}

BOOL CCmdUI::DoUpdate(CCmdTarget* target) {
    return target != nullptr && target->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
}
