#include "gridctrl/CGridCell.h"

#include <charconv>
#include <cstdlib>
#include <new>

#include "gridctrl/GridPaint.h"

namespace {

// The number at the start of a text as strtod would read it, but always with a decimal point.
double LeadingNumber(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    while (first != last && (*first == ' ' || *first == '\t' || *first == '\n' || *first == '\r'))
        ++first;
    if (first != last && *first == '+')
        ++first;
    double value = 0.0;
    const auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() ? value : 0.0;
}

} // namespace

CGridCell::CGridCell()
{
    Clear();
}

void CGridCell::Clear()
{
    m_mask = 0;
    m_text.clear();
    m_label.clear();
    m_dataBlock.clear();
    m_reserved = -1;
    m_typeIndex = -1;
    m_typeParam = -1;
    m_joinCol = -1;
    m_joinRow = -1;
}

int CGridCell::SetText(const QString& text)
{
    m_text = text;
    m_dataType = GCD_TEXT;
    m_mask |= GCP_TEXT | GCP_DATATYPE;
    return 0;
}

QString CGridCell::GetText() const
{
    return IsPropertySet(GCP_TEXT) ? m_text : QString();
}

int CGridCell::GetTextLength() const
{
    return IsPropertySet(GCP_TEXT) ? int(m_text.size()) : 0;
}

int CGridCell::SetNumber(double number)
{
    const int decimals = IsPropertySet(GCP_DECIMALS) ? m_decimals : 6;
    m_text = QString::number(number, 'f', decimals < 0 ? 6 : decimals);
    m_dataType = GCD_NUMBER;
    m_mask |= GCP_TEXT | GCP_DATATYPE;
    return 0;
}

double CGridCell::GetNumber() const
{
    return IsPropertySet(GCP_TEXT) ? LeadingNumber(m_text) : 0.0;
}

bool CGridCell::GetBool() const
{
    const QString text = GetText();
    if (text.isEmpty())
        return false;
    if (text[0] == 'T' || text[0] == 't')
        return true;
    return std::atoi(text.toLatin1().constData()) != 0;
}

int CGridCell::SetMask(const QString& mask)
{
    m_editMask = mask;
    m_mask |= GCP_MASK;
    return 0;
}

QString CGridCell::GetMask() const
{
    return IsPropertySet(GCP_MASK) ? m_editMask : QString();
}

int CGridCell::SetLabel(const QString& label)
{
    m_label = label;
    m_mask |= GCP_LABEL;
    return 0;
}

int CGridCell::GetLabel(QString& label) const
{
    if (!IsPropertySet(GCP_LABEL))
        return 1;
    label = m_label;
    return 0;
}

QString CGridCell::GetLabelText() const
{
    return IsPropertySet(GCP_LABEL) ? m_label : QString();
}

int CGridCell::SetDataType(int32_t type)
{
    m_dataType = type;
    m_mask |= GCP_DATATYPE;
    return 0;
}

int32_t CGridCell::GetDataType() const
{
    return IsPropertySet(GCP_DATATYPE) ? m_dataType : GCD_TEXT;
}

int CGridCell::SetReadOnly(int32_t readOnly)
{
    m_readOnly = readOnly;
    m_mask |= GCP_READONLY;
    return 0;
}

int32_t CGridCell::GetReadOnly() const
{
    return IsPropertySet(GCP_READONLY) ? m_readOnly : 0;
}

int CGridCell::SetReserved(int32_t value)
{
    m_reserved = value;
    m_mask |= GCP_RESERVED;
    return 0;
}

int CGridCell::SetDecimals(int32_t decimals)
{
    m_decimals = decimals;
    m_mask |= GCP_DECIMALS;
    return 0;
}

int32_t CGridCell::GetDecimals() const
{
    return IsPropertySet(GCP_DECIMALS) ? m_decimals : 0;
}

int CGridCell::SetCellTypeIndex(int32_t index)
{
    m_typeIndex = index;
    m_mask |= GCP_TYPEINDEX;
    return 0;
}

int32_t CGridCell::GetCellTypeIndex() const
{
    return IsPropertySet(GCP_TYPEINDEX) ? m_typeIndex : 0;
}

int CGridCell::SetCellTypeParam(int32_t param)
{
    m_typeParam = param;
    m_mask |= GCP_TYPEPARAM;
    return 0;
}

int32_t CGridCell::GetCellTypeParam() const
{
    return IsPropertySet(GCP_TYPEPARAM) ? m_typeParam : 0;
}

int CGridCell::SetTextColor(COLORREF color)
{
    m_textColor = color;
    m_mask |= GCP_TEXTCOLOR;
    return 0;
}

COLORREF CGridCell::GetTextColor() const
{
    return IsPropertySet(GCP_TEXTCOLOR) ? m_textColor : GetSysColor(COLOR_WINDOWTEXT);
}

int CGridCell::SetBackColor(COLORREF color)
{
    m_backColor = color;
    m_mask |= GCP_BACKCOLOR;
    return 0;
}

COLORREF CGridCell::GetBackColor() const
{
    return IsPropertySet(GCP_BACKCOLOR) ? m_backColor : GetSysColor(COLOR_WINDOW);
}

int CGridCell::SetHTextColor(COLORREF color)
{
    m_hTextColor = color;
    m_mask |= GCP_HTEXTCOLOR;
    return 0;
}

COLORREF CGridCell::GetHTextColor() const
{
    return IsPropertySet(GCP_HTEXTCOLOR) ? m_hTextColor : GetSysColor(COLOR_HIGHLIGHTTEXT);
}

int CGridCell::SetHBackColor(COLORREF color)
{
    m_hBackColor = color;
    m_mask |= GCP_HBACKCOLOR;
    return 0;
}

COLORREF CGridCell::GetHBackColor() const
{
    return IsPropertySet(GCP_HBACKCOLOR) ? m_hBackColor : GetSysColor(COLOR_HIGHLIGHT);
}

int CGridCell::SetBorder(uint16_t border)
{
    m_border = border;
    m_mask |= GCP_BORDER;
    return 0;
}

uint16_t CGridCell::GetBorder() const
{
    return IsPropertySet(GCP_BORDER) ? m_border : 0;
}

int CGridCell::SetBorderPen(const QPen* pen)
{
    m_borderPen = pen;
    m_mask |= GCP_BORDERPEN;
    return 0;
}

const QPen* CGridCell::GetBorderPen() const
{
    return IsPropertySet(GCP_BORDERPEN) ? m_borderPen : nullptr;
}

int CGridCell::SetFont(const QFont* font)
{
    m_font = font;
    m_mask |= GCP_FONT;
    return 0;
}

const QFont* CGridCell::GetFont() const
{
    return IsPropertySet(GCP_FONT) ? m_font : nullptr;
}

int CGridCell::SetBitmap(const QPixmap* bitmap)
{
    m_bitmap = bitmap;
    m_mask |= GCP_BITMAP;
    return 0;
}

const QPixmap* CGridCell::GetBitmap() const
{
    return IsPropertySet(GCP_BITMAP) ? m_bitmap : nullptr;
}

int CGridCell::SetAlignment(uint16_t alignment)
{
    m_alignment = alignment;
    m_mask |= GCP_ALIGNMENT;
    return 0;
}

uint16_t CGridCell::GetAlignment() const
{
    return IsPropertySet(GCP_ALIGNMENT) ? m_alignment : 0;
}

int CGridCell::SetDataBlock(const std::vector<uint8_t>& block)
{
    m_dataBlock = block;
    m_mask |= GCP_DATABLOCK;
    return 0;
}

int CGridCell::SetSpan(int32_t anchor, int32_t col, int32_t row)
{
    m_joinAnchor = anchor;
    m_joinCol = col;
    m_joinRow = row;
    m_mask |= GCP_JOIN;
    return 0;
}

int CGridCell::GetSpan(int32_t& anchor, int32_t& col, int32_t& row) const
{
    if (!IsPropertySet(GCP_JOIN))
        return 1;
    anchor = m_joinAnchor;
    col = m_joinCol;
    row = m_joinRow;
    return 0;
}

int CGridCell::SetStyleCell(const CGridCell* style)
{
    m_style = style;
    m_mask |= GCP_STYLE;
    return 0;
}

const CGridCell* CGridCell::GetStyleCell() const
{
    return IsPropertySet(GCP_STYLE) ? m_style : nullptr;
}

int CGridCell::SetProvider(CGridCellProvider* provider)
{
    m_provider = provider;
    m_mask |= GCP_PROVIDER;
    return 0;
}

CGridCellProvider* CGridCell::GetProvider() const
{
    return IsPropertySet(GCP_PROVIDER) ? m_provider : nullptr;
}

void CGridCell::Merge(const CGridCell& source, CGridCell& target)
{
    if (&source == &target)
        return;
    const uint32_t mask = source.m_mask;
    target.m_mask |= mask;
    if (mask & GCP_PROVIDER)
        target.m_provider = source.m_provider;
    if (mask & GCP_STYLE)
        target.m_style = source.m_style;
    if (mask & GCP_TEXT)
        target.m_text = source.m_text;
    if (mask & GCP_MASK)
        target.m_editMask = source.m_editMask;
    if (mask & GCP_LABEL)
        target.m_label = source.m_label;
    if (mask & GCP_DATATYPE)
        target.m_dataType = source.m_dataType;
    if (mask & GCP_READONLY)
        target.m_readOnly = source.m_readOnly;
    if (mask & GCP_RESERVED)
        target.m_reserved = source.m_reserved;
    if (mask & GCP_DECIMALS)
        target.m_decimals = source.m_decimals;
    if (mask & GCP_TYPEINDEX)
        target.m_typeIndex = source.m_typeIndex;
    if (mask & GCP_TYPEPARAM)
        target.m_typeParam = source.m_typeParam;
    if (mask & GCP_TEXTCOLOR)
        target.m_textColor = source.m_textColor;
    if (mask & GCP_BACKCOLOR)
        target.m_backColor = source.m_backColor;
    if (mask & GCP_HTEXTCOLOR)
        target.m_hTextColor = source.m_hTextColor;
    if (mask & GCP_HBACKCOLOR)
        target.m_hBackColor = source.m_hBackColor;
    if (mask & GCP_BORDER)
        target.m_border = source.m_border;
    if (mask & GCP_BORDERPEN)
        target.m_borderPen = source.m_borderPen;
    if (mask & GCP_FONT)
        target.m_font = source.m_font;
    if (mask & GCP_BITMAP)
        target.m_bitmap = source.m_bitmap;
    if (mask & GCP_ALIGNMENT)
        target.m_alignment = source.m_alignment;
    if (mask & GCP_DATABLOCK) {
        target.m_dataBlock.clear();
        try {
            target.m_dataBlock = source.m_dataBlock;
        } catch (const std::bad_alloc&) {
            target.m_dataBlock.clear();
        }
    }
    if (mask & GCP_JOIN) {
        target.m_joinAnchor = source.m_joinAnchor;
        target.m_joinCol = source.m_joinCol;
        target.m_joinRow = source.m_joinRow;
    }
}

void CGridCell::CopyFrom(const CGridCell& source)
{
    if (&source == this)
        return;
    m_mask = source.m_mask;
    Merge(source, *this);
}
