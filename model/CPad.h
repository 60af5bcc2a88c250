#pragma once

#include <cstdint>

#include "framework/CObject.h"
#include "framework/CRect.h"
#include "framework/CRuntimeClass.h"

class CArchive;

// The pad of one layer of a padstack: a shape and its rectangle relative to the padstack
// origin. The offset of the pad is kept in the rectangle itself, as twice the negated centre:
// offset X = -(left + right), offset Y = -(top + bottom). Round, Square, Octagon and Line pads
// are square-locked: their width and height stay equal.
class CPad : public CObject {
    WEVRA_DECLARE_SERIAL(CPad)

public:
    // The 28-byte record of a pad inside a padstack record.
    static constexpr size_t recordSize = 28;

    // A stand-alone pad: no shape, 1000 units square about the origin.
    CPad() = default;
    CPad(int32_t rotation, uint32_t shapeWord, const CRect& rect)
        : m_rotation(rotation), m_shapeWord(shapeWord), m_rect(rect)
    {
    }

    // No shape, no rotation, all-zero rectangle: the pad of a layer that has none.
    void Clear() { *this = CPad(0, 0, CRect()); }

    // The shape code (low byte of the shape word); PAD_UNDEFINED means no pad.
    int32_t GetShape() const { return static_cast<int32_t>(m_shapeWord & 0xFFu); }
    uint32_t GetShapeWord() const { return m_shapeWord; }
    bool HasShape() const { return GetShape() != 0; }
    int32_t GetRotation() const { return m_rotation; }
    void SetRotation(int32_t rotation) { m_rotation = rotation; }
    const CRect& GetRect() const { return m_rect; }

    // Width, height and offsets saturate at the int32 range for rectangles read from files.
    int32_t GetWidth() const;
    int32_t GetHeight() const;
    int32_t GetOffsetX() const;
    int32_t GetOffsetY() const;

    // Stores the code into the low byte of the shape word and the rectangle as given.
    void Set(int32_t shapeCode, int32_t left, int32_t top, int32_t right, int32_t bottom);
    void Set(int32_t shapeCode, const CRect& rect)
    {
        Set(shapeCode, rect.left, rect.top, rect.right, rect.bottom);
    }
    // Stores the whole shape word; a square-locked shape becomes a centred square of the
    // current width, at least 5039 (0.5 mm).
    void SetShape(uint32_t shapeWord);
    // Set the size keeping the offset; a square-locked pad follows in the other direction.
    void SetWidth(int32_t width);
    void SetHeight(int32_t height);
    // Place left/right (top/bottom) about the given offset, keeping the size.
    void CentreX(int32_t offset);
    void CentreY(int32_t offset);

    // Shape words whose pads keep width equal to height.
    static bool IsSquareLocked(uint32_t shapeWord);

    // Pads are stored inside their padstack record, never on their own.
    void Serialize(CArchive&) override {}
    // The pad record: a meaningless word (written 0, ignored when read), the rotation, the
    // shape word and the rectangle.
    void WriteRecord(CArchive& ar) const;
    void ReadRecord(CArchive& ar);

private:
    void ApplyWidth(int32_t width);
    void ApplyHeight(int32_t height);

    int32_t m_rotation = 0;
    uint32_t m_shapeWord = 0;
    CRect m_rect{-500, -500, 500, 500};
};
