#include "Afx.h"

#include "DlgTemplate.h"

namespace {

AfxResourceTables g_resourceTables;

} // namespace

void AfxSetResourceTables(const AfxResourceTables& tables) {
    g_resourceTables = tables;
}

const AfxResourceTables& AfxGetResourceTables() {
    return g_resourceTables;
}

bool CString::LoadString(UINT nID) {
    for (const StringResource& entry : AfxGetResourceTables().strings) {
        if (static_cast<UINT>(entry.id) == nID) {
            m_text = entry.text;
            return true;
        }
    }
    m_text.clear();
    return false;
}

void CUIntArray::SetSize(int nNewSize, int /*nGrowBy*/) {
    m_data.resize(nNewSize > 0 ? static_cast<std::size_t>(nNewSize) : 0, 0u);
}

UINT CUIntArray::GetAt(int nIndex) const {
    return nIndex >= 0 && nIndex < GetSize() ? m_data[static_cast<std::size_t>(nIndex)] : 0u;
}

bool CUIntArray::SetAt(int nIndex, UINT value) {
    if (nIndex < 0 || nIndex >= GetSize())
        return false;
    m_data[static_cast<std::size_t>(nIndex)] = value;
    return true;
}
