#pragma once
// Run-time class information: a class's name, schema and base, and for a
// creatable class the function that makes an object of it. Classes that
// register (AFX_CLASSINIT at start-up) can be found and made by name.

#include "framework/Object.h"

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    unsigned m_wSchema;
    CObject* (*m_pfnCreateObject)();   // null: not creatable
    const CRuntimeClass* m_pBaseClass;
    CRuntimeClass* m_pNextClass;       // the registered class list

    // A new object of the class, or null when it is not creatable.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* base) const;
    // The registered class of that name, or null.
    static const CRuntimeClass* FromName(const char* name);
};

// Registers a class in the framework's list; made as a static object.
struct AFX_CLASSINIT {
    explicit AFX_CLASSINIT(CRuntimeClass* cls);
};
