#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "framework/CObject.h"
#include "framework/CRuntimeClass.h"

// One layer set: the layers to draw or output, in order, with how component texts, mirroring
// and holes are shown. As a display set its reference layer is the work layer; as an item of an
// output job it is one sheet or file.
class COutputRec : public CObject {
    WEVRA_DECLARE_SERIAL(COutputRec)

public:
    static constexpr int32_t maxLayers = 31;

    // Text modes (flag bits 0-2).
    static constexpr int32_t textNone = 0;
    static constexpr int32_t textModeReference = 1;
    static constexpr int32_t textModeType = 2;
    static constexpr int32_t textModeShape = 3;

    // Bits of the flags word.
    static constexpr uint32_t flagTextModeMask = 0x00000007u;
    static constexpr uint32_t flagTextReference = 0x00000010u;
    static constexpr uint32_t flagTextShape = 0x00000020u;
    static constexpr uint32_t flagTextType = 0x00000040u;
    static constexpr uint32_t flagMirrored = 0x00000100u;
    static constexpr uint32_t flagPercentMask = 0x0000F000u;
    static constexpr uint32_t flagMinDiameterMask = 0x000F0000u;
    // The three text bits are valid; records without it keep only the text mode.
    static constexpr uint32_t flagTextBitsValid = 0x10000000u;

    // No layers, output on, colour off, flags 0, reference layer 1, the display name "UnNamed"
    // of the current language.
    COutputRec();
    COutputRec(const COutputRec&) = default;
    COutputRec& operator=(const COutputRec&) = delete;

    // Every field of the other record except the reference layer.
    void Assign(const COutputRec& other);

    const std::string& GetFileExtension() const { return m_fileExtension; }
    void SetFileExtension(const std::string& extension) { m_fileExtension = extension; }
    const std::string& GetDisplayName() const { return m_displayName; }
    void SetDisplayName(const std::string& name) { m_displayName = name; }
    bool IsOutput() const { return m_output != 0; }
    void SetOutput(bool on) { m_output = on ? 1 : 0; }
    bool IsColor() const { return m_color != 0; }
    void SetColor(bool on) { m_color = on ? 1 : 0; }
    uint32_t GetFlags() const { return m_flags; }
    void SetFlags(uint32_t flags) { m_flags = flags; }
    int32_t GetRefLayer() const { return m_refLayer; }
    void SetRefLayer(int32_t layer) { m_refLayer = layer; }

    // The layers in order: the leading bytes that name a layer from 1 to 30, at most 31 of
    // them. The list ends at the first 0 and also at a byte that names no layer.
    int32_t GetLayerCount() const;
    // Layer i of the list, 0 outside it.
    int32_t GetLayer(int32_t i) const;
    // The first maxLayers layers given, the rest of the bytes cleared.
    void SetLayers(std::initializer_list<int32_t> layers);
    const std::array<uint8_t, maxLayers>& GetLayerBytes() const { return m_layers; }
    void SetLayerBytes(const std::array<uint8_t, maxLayers>& layers) { m_layers = layers; }

    int32_t GetTextMode() const { return int32_t(m_flags & flagTextModeMask); }
    // Bits 0-2 only.
    void SetTextMode(int32_t mode);
    bool IsTextReference() const { return (m_flags & flagTextReference) != 0; }
    bool IsTextShape() const { return (m_flags & flagTextShape) != 0; }
    bool IsTextType() const { return (m_flags & flagTextType) != 0; }
    // Each sets or clears its bit, makes the text mode its own when set and none when
    // cleared, and marks the text bits valid.
    void SetTextReference(bool on);
    void SetTextShape(bool on);
    void SetTextType(bool on);
    // Whether the text of the mode (1 Reference, 2 Type, 3 Shape) is shown.
    bool IsTextShown(int32_t mode) const;
    // The text of the mode alone is shown, none for textNone, and the mode becomes it.
    void ShowTextOnly(int32_t mode);
    // The mode becomes the first text shown in the order Reference, Type, Shape; none when
    // no text is shown.
    void SetTextModeFromShown();

    bool IsMirrored() const { return (m_flags & flagMirrored) != 0; }
    void SetMirrored(bool on);

    int32_t GetPercentIndex() const { return int32_t((m_flags & flagPercentMask) >> 12); }
    void SetPercentIndex(int32_t n);
    int32_t GetMinDiameterIndex() const { return int32_t((m_flags & flagMinDiameterMask) >> 16); }
    void SetMinDiameterIndex(int32_t n);
    // Holes drawn at 30 % (index 1), 20 % (2) or 100 % (any other index) of their size.
    int32_t GetHolePercent() const;
    // The smallest hole drawn, in board units: 3023, 4031, 5039, or 6047 above index 2.
    int32_t GetHoleMinDiameter() const;

    // Output and colour switch, display name, file extension, the 31 layer bytes, reference
    // layer, flags. A loaded record of the old form gets its text bit from its text mode.
    void Serialize(CArchive& ar) override;

private:
    void SetTextBit(uint32_t bit, int32_t mode, bool on);

    std::string m_fileExtension;
    std::string m_displayName;
    // Stored as int32 switches; any nonzero value counts as on.
    int32_t m_output = 1;
    int32_t m_color = 0;
    uint32_t m_flags = 0;
    // Kept as stored, so that a record is written back byte for byte.
    std::array<uint8_t, maxLayers> m_layers = {};
    int32_t m_refLayer = 1;
};
