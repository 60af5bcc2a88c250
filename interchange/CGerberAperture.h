#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/CRect.h"

// One aperture of a photoplot: a pad shape, or the round tip that draws strokes, with its box
// about the centre, mirror flag and rotation. Standard shapes are defined directly (circle,
// rectangle, obround); every other pad (off-centre, obliquely turned, octagons, connectors and
// devices) gets an aperture macro that outlines its copper exactly as the board model shapes it.
class CGerberAperture {
public:
    static constexpr int32_t typeRound = 1;
    static constexpr int32_t typeOval = 2;
    static constexpr int32_t typeSquare = 3;
    static constexpr int32_t typeRectangle = 4;
    static constexpr int32_t typeOblong = 5;
    static constexpr int32_t typeOctagon = 6;
    static constexpr int32_t typeConnector = 7;
    static constexpr int32_t typeDevice = 8;
    static constexpr int32_t typeDraw = 9;
    // D-code of aperture index 0.
    static constexpr int32_t firstDCode = 10;

    // `box` is left, top, right, bottom about the centre in board units; `rotation` in 1/1000
    // degree. The definition and macro texts are made here, for D-code `dCode`.
    CGerberAperture(int32_t type, const CRect& box, bool mirrored, int32_t rotation, int32_t dCode);

    int32_t GetType() const { return m_type; }
    const CRect& GetBox() const { return m_box; }
    bool IsMirrored() const { return m_mirrored; }
    int32_t GetRotation() const { return m_rotation; }
    int32_t GetDCode() const { return m_dCode; }
    int32_t GetUseCount() const { return m_useCount; }
    void AddUse() { ++m_useCount; }

    // The width and height the file gives the aperture: its box's, exchanged by a quarter turn.
    int64_t GetDefinedWidth() const;
    int64_t GetDefinedHeight() const;

    // The lines of the aperture macro (empty for a standard aperture), without line ends.
    const std::vector<std::string>& GetMacroLines() const { return m_macro; }
    bool IsCustom() const { return !m_macro.empty(); }
    // "%ADD10C,0.0079*%", "%ADD12CUSTOM12*%" ...
    const std::string& GetDefinition() const { return m_definition; }

    // "Round" .. "Draw" for types 1..9, "Error!" for any other.
    static std::string TypeName(int32_t type);
    // A length in board units as the aperture texts write it: "%5.4f" inch.
    static std::string Inch(int64_t units);

private:
    bool IsStandard() const;
    bool IsQuarterTurned() const;
    void MakeMacro();

    int32_t m_type;
    CRect m_box;
    bool m_mirrored;
    int32_t m_rotation;
    int32_t m_dCode;
    int32_t m_useCount = 0;
    std::vector<std::string> m_macro;
    std::string m_definition;
};
