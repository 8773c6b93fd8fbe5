#include "framework/RuntimeClass.h"

#include <cstring>

namespace {

// A function-local head, so registration works whatever the order in which
// the static objects are made.
CRuntimeClass*& ClassList()
{
    static CRuntimeClass* head = nullptr;
    return head;
}

} // namespace

CObject* CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == base)
            return true;
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* name)
{
    for (const CRuntimeClass* c = ClassList(); c; c = c->m_pNextClass)
        if (std::strcmp(c->m_lpszClassName, name) == 0)
            return c;
    return nullptr;
}

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* cls)
{
    cls->m_pNextClass = ClassList();
    ClassList() = cls;
}
