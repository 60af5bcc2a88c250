#include "interchange/CGerberAperture.h"

#include <array>

#include "framework/CNumberText.h"
#include "interchange/COutputFrame.h"
#include "model/CCopperShape.h"
#include "model/Geometry.h"
#include "model/PadShapes.h"

namespace {

constexpr int32_t quarterTurn = FULL_TURN / 4;

// "x,y," of a point of the outline about the centre, in the file's frame.
std::string Pair(CPoint p)
{
    p = COutputFrame::ToOutputVector(p);
    return CGerberAperture::Inch(p.x) + "," + CGerberAperture::Inch(p.y) + ",";
}

// The board model's shape code whose copper the aperture type has.
int32_t CopperShapeCode(int32_t type)
{
    switch (type) {
    case CGerberAperture::typeRound:
    case CGerberAperture::typeDraw:
        return PAD_ROUND;
    case CGerberAperture::typeOval:
        return PAD_OVAL;
    case CGerberAperture::typeOblong:
    case CGerberAperture::typeOctagon:
        return PAD_OCTAGON;
    default:
        return PAD_RECTANGLE;
    }
}

} // namespace

CGerberAperture::CGerberAperture(int32_t type, const CRect& box, bool mirrored, int32_t rotation,
                                 int32_t dCode)
    : m_type(type), m_box(box), m_mirrored(mirrored), m_rotation(rotation), m_dCode(dCode)
{
    const std::string d = CNumberText::FormatInt(dCode);
    if (!IsStandard()) {
        MakeMacro();
        m_definition = "%ADD" + d + "CUSTOM" + d + "*%";
        return;
    }
    const int64_t w = GetDefinedWidth();
    const int64_t h = GetDefinedHeight();
    if (m_type == typeRound || m_type == typeDraw)
        m_definition = "%ADD" + d + "C," + Inch(w) + "*%";
    else if (m_type == typeOval)
        m_definition = "%ADD" + d + "O," + Inch(w) + "X" + Inch(h) + "*%";
    else
        m_definition = "%ADD" + d + "R," + Inch(w) + "X" + Inch(h) + "*%";
}

bool CGerberAperture::IsQuarterTurned() const
{
    return m_rotation == quarterTurn || m_rotation == 3 * quarterTurn;
}

int64_t CGerberAperture::GetDefinedWidth() const
{
    return IsQuarterTurned() ? m_box.Height() : m_box.Width();
}

int64_t CGerberAperture::GetDefinedHeight() const
{
    return IsQuarterTurned() ? m_box.Width() : m_box.Height();
}

bool CGerberAperture::IsStandard() const
{
    const bool centred =
        int64_t(m_box.left) + m_box.right == 0 && int64_t(m_box.top) + m_box.bottom == 0;
    if (!centred)
        return false;
    // A centred circle looks the same at any angle.
    if (m_type == typeRound || m_type == typeDraw)
        return true;
    const bool square = m_rotation % quarterTurn == 0;
    return square && (m_type == typeSquare || m_type == typeRectangle || m_type == typeOval);
}

void CGerberAperture::MakeMacro()
{
    const std::string d = CNumberText::FormatInt(m_dCode);
    m_macro.push_back("%AMCUSTOM" + d + "*");
    // Each primitive is one line ending in its own "*": readers behind many board previews drop
    // a primitive that runs over several lines or whose "*" stands on the closing line.
    CCopperShape copper;
    copper.SetPad(CopperShapeCode(m_type), m_box, 0, 0, m_mirrored, m_rotation, 0);
    switch (copper.GetKind()) {
    case CCopperShape::Kind::Circle: {
        const CPoint c = COutputFrame::ToOutputVector(copper.GetCentre());
        m_macro.push_back("1,1," + Inch(int64_t(copper.GetRadius()) * 2) + "," + Inch(c.x) + "," +
                          Inch(c.y) + "*");
        break;
    }
    case CCopperShape::Kind::Track: {
        // A stadium: the straight part as a line as wide as the pad, and the two round ends.
        const std::string width = Inch(int64_t(copper.GetRadius()) * 2);
        const CPoint a = COutputFrame::ToOutputVector(copper.GetStart());
        const CPoint b = COutputFrame::ToOutputVector(copper.GetEnd());
        m_macro.push_back("20,1," + width + "," + Inch(a.x) + "," + Inch(a.y) + "," + Inch(b.x) +
                          "," + Inch(b.y) + ",0*");
        m_macro.push_back("1,1," + width + "," + Inch(a.x) + "," + Inch(a.y) + "*");
        m_macro.push_back("1,1," + width + "," + Inch(b.x) + "," + Inch(b.y) + "*");
        break;
    }
    case CCopperShape::Kind::Polygon: {
        const std::span<const CPoint> ring = copper.GetPolygon();
        std::string outline = "4,1," + CNumberText::FormatInt(int64_t(ring.size()) - 1) + ",";
        for (CPoint p : ring)
            outline += Pair(p);
        m_macro.push_back(outline + "0.0*");
        break;
    }
    default:
        break;
    }
    m_macro.push_back("%");
}

std::string CGerberAperture::TypeName(int32_t type)
{
    static constexpr std::array<const char*, 9> names = {
        "Round", "Oval", "Square", "Rectangle", "Oblong", "Octagon", "Connector", "Device", "Draw"};
    if (type < 1 || type > 9)
        return "Error!";
    return names[size_t(type - 1)];
}

std::string CGerberAperture::Inch(int64_t units)
{
    return CNumberText::FormatFixed(double(units) / 256000.0, 4, 5);
}
