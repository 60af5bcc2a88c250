#pragma once

#include "framework/CObject.h"
#include "framework/CRuntimeClass.h"
#include "model/CPointArray.h"

class CArchive;

// A serialisable wrapper around one point list. It exists so that a stream naming the class
// can be read; nothing builds one otherwise.
class CLine : public CObject {
    WEVRA_DECLARE_SERIAL(CLine)

public:
    CLine() = default;

    const CPointArray& GetPoints() const { return m_points; }
    CPointArray& GetPoints() { return m_points; }

    // The point list's own record: a count, then x, y per point.
    void Serialize(CArchive& ar) override;

private:
    CPointArray m_points;
};
