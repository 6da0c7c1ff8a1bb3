#include "Afx.h"

#include "ResourceTypes.h"
#include "SpriteRaster.h"

bool CString::LoadString(UINT nID) {
    for (const StringResource& entry : StringTable()) {
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
    return LoadPixel(m_data, nIndex);
}

bool CUIntArray::SetAt(int nIndex, UINT value) {
    return StorePixel(m_data, nIndex, value);
}
