#pragma once

class CArchive;
class CRuntimeClass;

// Base of every serialisable object. Classes stored as object records also declare a run-time
// class (WEVRA_DECLARE_SERIAL); plain ones (embedded by value) keep the null default.
class CObject {
public:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
    virtual ~CObject() = default;

    virtual const CRuntimeClass* GetRuntimeClass() const { return nullptr; }
    virtual void Serialize(CArchive& ar);
};
