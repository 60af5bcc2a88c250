#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include "framework/ColorRef.h"

class QFont;
class QPen;
class QPixmap;
class CGridCell;

// Adjusts a cell after every fetch (a table's computed colours, say). Borrowed by the cell.
class CGridCellProvider {
public:
    virtual ~CGridCellProvider() = default;
    virtual void OnProvideCell(CGridCell& cell) = 0;
};

// Which properties a cell carries.
enum GridCellProperty : uint32_t {
    GCP_TEXT = 0x1,
    GCP_MASK = 0x2,
    GCP_LABEL = 0x4,
    GCP_DATATYPE = 0x8,
    GCP_RESERVED = 0x10,
    GCP_TYPEINDEX = 0x20,
    GCP_TYPEPARAM = 0x40,
    GCP_TEXTCOLOR = 0x80,
    GCP_BACKCOLOR = 0x100,
    GCP_HTEXTCOLOR = 0x200,
    GCP_HBACKCOLOR = 0x400,
    GCP_BORDER = 0x800,
    GCP_BORDERPEN = 0x1000,
    GCP_FONT = 0x2000,
    GCP_BITMAP = 0x4000,
    GCP_ALIGNMENT = 0x8000,
    GCP_DATABLOCK = 0x10000,
    GCP_JOIN = 0x20000,
    GCP_PROVIDER = 0x200000,
    GCP_STYLE = 0x800000,
    GCP_READONLY = 0x1000000,
    GCP_DECIMALS = 0x2000000
};

// Text placement bits of the alignment property (0 = left and top).
enum GridAlignment : uint16_t {
    GA_LEFT = 0x1,
    GA_RIGHT = 0x2,
    GA_CENTER = 0x4,
    GA_BOTTOM = 0x10,
    GA_VCENTER = 0x20
};

// Data types: numbers (2, 3 and 5) sort as numbers, everything else as text.
inline constexpr int32_t GCD_TEXT = 1;
inline constexpr int32_t GCD_NUMBER = 2;

// The value through which every grid cell is read and written: a text and any number of
// optional properties, the mask telling which are present. Getters of absent properties give
// the defaults the grid draws with. Strings and the data block belong to the cell; fonts, pens,
// bitmaps, the provider and the style cell are borrowed.
class CGridCell {
public:
    CGridCell();
    CGridCell(const CGridCell&) = default;
    CGridCell& operator=(const CGridCell&) = default;
    virtual ~CGridCell() = default;

    void Clear();

    uint32_t GetPropertyMask() const { return m_mask; }
    void SetPropertyMask(uint32_t mask) { m_mask = mask; }
    bool IsPropertySet(uint32_t mask) const { return (m_mask & mask) != 0; }

    // Sets the text and makes the data type text.
    int SetText(const QString& text);
    // A null string when unset.
    QString GetText() const;
    int GetTextLength() const;
    // Writes the number with six decimals, or with the decimals property when present, and
    // makes the data type a number. Locale-free: a decimal point whatever the user's locale.
    int SetNumber(double number);
    // The leading number of the text (0.0 when there is none or no text).
    double GetNumber() const;
    // False for an empty text; true when it begins with 'T'/'t' or its leading integer is
    // non-zero.
    bool GetBool() const;

    int SetMask(const QString& mask);
    QString GetMask() const;
    int SetLabel(const QString& label);
    // 1 when unset (label untouched), else 0 with the label copied.
    int GetLabel(QString& label) const;
    QString GetLabelText() const;
    int SetDataType(int32_t type);
    int32_t GetDataType() const;
    int SetReadOnly(int32_t readOnly);
    int32_t GetReadOnly() const;
    int SetReserved(int32_t value);
    int SetDecimals(int32_t decimals);
    int32_t GetDecimals() const;
    int SetCellTypeIndex(int32_t index);
    int32_t GetCellTypeIndex() const;
    int SetCellTypeParam(int32_t param);
    int32_t GetCellTypeParam() const;

    int SetTextColor(COLORREF color);
    COLORREF GetTextColor() const;
    int SetBackColor(COLORREF color);
    COLORREF GetBackColor() const;
    int SetHTextColor(COLORREF color);
    COLORREF GetHTextColor() const;
    int SetHBackColor(COLORREF color);
    COLORREF GetHBackColor() const;

    int SetBorder(uint16_t border);
    uint16_t GetBorder() const;
    int SetBorderPen(const QPen* pen);
    const QPen* GetBorderPen() const;
    int SetFont(const QFont* font);
    const QFont* GetFont() const;
    int SetBitmap(const QPixmap* bitmap);
    const QPixmap* GetBitmap() const;
    int SetAlignment(uint16_t alignment);
    uint16_t GetAlignment() const;
    int SetDataBlock(const std::vector<uint8_t>& block);
    const std::vector<uint8_t>& GetDataBlock() const { return m_dataBlock; }

    // Joined block: anchor flag (non-zero: this cell is the anchor and the values are the
    // block's extent beyond it; 0: the values lead back to the anchor). 1 when unset.
    int SetSpan(int32_t anchor, int32_t col, int32_t row);
    int GetSpan(int32_t& anchor, int32_t& col, int32_t& row) const;

    int SetStyleCell(const CGridCell* style);
    const CGridCell* GetStyleCell() const;
    int SetProvider(CGridCellProvider* provider);
    CGridCellProvider* GetProvider() const;

    // ORs the source's mask into the target's and copies every property the source has.
    static void Merge(const CGridCell& source, CGridCell& target);
    // The target ends with exactly the source's properties.
    void CopyFrom(const CGridCell& source);
    void CopyTo(CGridCell& target) const { target.CopyFrom(*this); }
    void MergeFrom(const CGridCell& source) { Merge(source, *this); }
    void MergeInto(CGridCell& target) const { Merge(*this, target); }

private:
    uint32_t m_mask = 0;
    CGridCellProvider* m_provider = nullptr;
    const CGridCell* m_style = nullptr;
    QString m_text;
    QString m_editMask;
    QString m_label;
    int32_t m_dataType = GCD_TEXT;
    int32_t m_readOnly = 0;
    int32_t m_reserved = -1;
    int32_t m_decimals = 0;
    int32_t m_typeIndex = -1;
    int32_t m_typeParam = -1;
    COLORREF m_textColor = 0;
    COLORREF m_backColor = 0;
    COLORREF m_hTextColor = 0;
    COLORREF m_hBackColor = 0;
    uint16_t m_border = 0;
    const QPen* m_borderPen = nullptr;
    const QFont* m_font = nullptr;
    const QPixmap* m_bitmap = nullptr;
    uint16_t m_alignment = 0;
    std::vector<uint8_t> m_dataBlock;
    int32_t m_joinAnchor = 0;
    int32_t m_joinCol = -1;
    int32_t m_joinRow = -1;
};
