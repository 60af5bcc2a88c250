#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/CDrawList.h"

// A recording of a part of a drawing cut into bands of rows of the device: each drawing call is
// kept in the list of every band its pixels may reach, with the state it is drawn in, so that the
// bands can be played side by side, each only through the calls that concern it.
//
// Lists of the parts of one drawing, each recorded from the same start, are played band by band in
// turn. A band's list then leaves its context as the whole part would have left the device: the
// changes of state the band did not need are written at its end (Finish).
class CBandedDrawList : public CDeviceContext {
public:
    // `bands` are rows of one width, from the top down, and stay while this lives; `start` is
    // the state of `target` when the drawing starts.
    CBandedDrawList(const CDeviceContext& target, const CDrawList::State& start,
                    const std::vector<CRect>& bands);

    // The calls for band `band`, once Finish has run.
    const CDrawList& GetList(std::size_t band) const { return m_lists[band]; }
    // Writes to every band the state it has not got yet. Then the lists hold the whole part.
    void Finish();
    // Whether the parts of one drawing, in order, were cut into the bands they reach when played
    // in turn: no text was written and the clip stayed, and no part drew with a pen the part
    // before it left wider than the one it was cut for.
    static bool CutAsPlayed(const std::vector<CBandedDrawList>& parts);
    // Gives `dc` the state the part changed, as the part's calls would have.
    void ApplyStateChanges(CDeviceContext& dc) const;

    CPen SelectPen(const CPen& pen) override;
    CBrush SelectBrush(const CBrush& brush) override;
    CFontDesc SelectFont(const CFontDesc& font) override;

    int32_t SetROP2(int32_t mode) override;
    int32_t GetROP2() const override { return m_state.rop2; }

    CPoint MoveTo(CPoint point) override;
    void LineTo(CPoint point) override;
    void Polyline(std::span<const CPoint> points) override;
    void Polygon(std::span<const CPoint> points) override;
    void Rectangle(const CRect& rect) override;
    void Ellipse(const CRect& rect) override;
    void SetPixel(CPoint point, COLORREF color) override;
    void FillSolidRect(const CRect& rect, COLORREF color) override;

    void TextOut(CPoint point, std::string_view text) override;
    CSize GetTextExtent(std::string_view text) const override;
    COLORREF SetTextColor(COLORREF color) override;
    COLORREF SetBkColor(COLORREF color) override;
    BkMode SetBkMode(BkMode mode) override;

    void IntersectClipRect(const CRect& rect) override;
    void ResetClip() override;
    CRect GetClipBox() const override { return m_state.clip; }

private:
    enum Field : std::size_t {
        pen,
        brush,
        font,
        rop2,
        position,
        textColor,
        bkColor,
        bkMode,
        fieldCount
    };
    // A field changed: every band lacks its new value until it is written there.
    void Changed(Field field)
    {
        ++m_version[field];
        ++m_changes;
    }
    // Selects or sets on `dc` the fields for which lacks(field).
    template <class Lacks> void GiveState(CDeviceContext& dc, Lacks lacks) const;
    // Writes to the band's list the fields it lacks.
    void Bring(std::size_t band);
    // The bands the box from (left, top) to (right, bottom), either way round, may reach with
    // the pen: each gets its state and then call(band).
    template <class Call>
    void ForBandsMeeting(int64_t left, int64_t top, int64_t right, int64_t bottom, Call call);
    template <class Call> void ForBandsMeeting(std::span<const CPoint> points, Call call);

    const CDeviceContext& m_target;
    const std::vector<CRect>& m_bands;
    std::vector<CDrawList> m_lists;
    CDrawList::State m_state;
    const CRect m_startClip;
    const int32_t m_startPenWidth;
    // How often each field changed here; what of it each band's list has.
    std::array<uint32_t, fieldCount> m_version{};
    std::vector<std::array<uint32_t, fieldCount>> m_brought;
    // The changes of all fields, and how many of them each band's list has: a band has every
    // field's value exactly when the counts are equal, as no field is ever brought past its
    // version. Every drawing call asks.
    uint64_t m_changes = 0;
    std::vector<uint64_t> m_broughtChanges;
    bool m_bandable = true;
    bool m_drewWithPenBefore = false;
};
