#pragma once

#include <cstdint>
#include <string>

#include "framework/CObject.h"
#include "framework/CPoint.h"
#include "framework/CRuntimeClass.h"
#include "model/LayerIds.h"

class CArchive;
class CDeviceContext;
class CWevraFont;

// A text placed on a board layer and drawn with the stroke font: a free text of the design, or
// the drawing object of a component's texts. Its fields are stored by the list that holds it.
class CWevraText : public CObject {
    WEVRA_DECLARE_SERIAL(CWevraText)

public:
    static constexpr uint32_t mirroredFlag = 0x1;
    static constexpr uint32_t selectedFlag = 0x2;

    static constexpr int32_t defaultLineWidth = 2015;
    static constexpr int32_t defaultLayer = LAYER_SILK_TOP;
    static constexpr int32_t defaultHeight = 10078;

    CWevraText() = default;

    const std::string& GetText() const { return m_text; }
    void SetText(const std::string& text) { m_text = text; }
    CPoint GetPosition() const { return m_position; }
    void SetPosition(CPoint position) { m_position = position; }
    int32_t GetLineWidth() const { return m_lineWidth; }
    void SetLineWidth(int32_t width) { m_lineWidth = width; }
    int32_t GetAngle() const { return m_angle; }
    // Any angle is brought into 0..359999.
    void SetAngle(int32_t angle);
    int32_t GetLayer() const { return m_layer; }
    void SetLayer(int32_t layer) { m_layer = layer; }
    int32_t GetHeight() const { return m_height; }
    void SetHeight(int32_t height) { m_height = height; }
    uint32_t GetFlags() const { return m_flags; }
    void SetFlags(uint32_t flags) { m_flags = flags; }

    bool IsMirrored() const { return (m_flags & mirroredFlag) != 0; }
    void SetMirrored(bool on);
    // The list holding the text keeps a count of its selected texts: select through the list.
    bool IsSelected() const { return (m_flags & selectedFlag) != 0; }
    void SetSelected(bool on);

    // Moves the position, saturating at the board unit's range.
    void Offset(int32_t dx, int32_t dy);

    // Draws the strokes with the selected pen; device pixel = (board + view offset) / scale.
    void Draw(CDeviceContext& dc, const CWevraFont& font, int32_t offsetX, int32_t offsetY,
              int32_t scale) const;

    // Stores nothing: the list writes the fields.
    void Serialize(CArchive& ar) override;

private:
    std::string m_text;
    CPoint m_position;
    int32_t m_lineWidth = defaultLineWidth;
    int32_t m_angle = 0;
    int32_t m_layer = defaultLayer;
    int32_t m_height = defaultHeight;
    uint32_t m_flags = 0;
};
