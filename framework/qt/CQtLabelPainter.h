#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTextLayout>

#include "framework/qt/CQtLabelPicture.h"
#include "framework/qt/CQtLabelPieces.h"

// Draws texts in one font into label pictures, through one image and painter kept from text to
// text: a board's first paint makes a hundred thousand pictures, and a painter and an image
// apiece took most of it. Qt keeps a font's engines per thread, so each thread that draws
// labels has a painter of its own, made with a font of its own.
//
// A text is shaped once for both its advance and its pixels. Measuring it and drawing it apart
// shaped it twice, and each shaping locks Qt's font database, which the threads drawing labels
// side by side queued for.
//
// Numbers are not shaped or drawn at all: their glyphs, each drawn once alone, are put together
// where Qt would draw them, for the fonts and characters where that gives Qt's own pixels.
class CQtLabelPainter {
public:
    // `font` is used by this painter's thread only; `like` is the device the labels are laid on,
    // whose resolution the text is laid out for.
    CQtLabelPainter(const QFont& font, const QImage& like);
    CQtLabelPainter(const CQtLabelPainter&) = delete;
    CQtLabelPainter& operator=(const CQtLabelPainter&) = delete;
    ~CQtLabelPainter();

    // Shapes the text for the next Picture(), unless it was the last one shaped; its advance, as
    // QFontMetrics::horizontalAdvance gives it.
    int LayOut(const QString& text);
    // The text last laid out (none before the first), as Qt's own drawText draws it in `ink` with
    // its cell's top left at the picture's origin, cut to its cell and the cell's height around it:
    // glyphs may overhang their cell by a little on either side.
    CQtLabelPicture Picture(QRgb ink);

    // The font's kept glyphs, none where its texts are always shaped.
    const CQtLabelPieces* Pieces() const { return m_pieces; }
    // How far from its cell a label's pixels may lie: the cell's height.
    int Reach() const { return m_reach; }
    // The kept glyph of a kept character at a phase, drawn if it is not kept yet; only where
    // Pieces() are.
    const CQtLabelPieces::Piece& Glyph(int index, int phase) { return PieceOf(index, phase); }

private:
    // Begins the painter on a room at least `width` pixels wide.
    void Grow(int width);
    // Shapes the text; DrawShaped draws the text last shaped into the room at the cell's
    // origin, `shift` 64ths of a pixel to the right, in `ink`, cut to `width` pixels.
    void Shape(const QString& text);
    void DrawShaped(int shift, QRgb ink, int width);
    // The picture of what the room holds within `covered`, which is then cleared.
    CQtLabelPicture TakePicture(const QRect& covered, QRgb ink);

    // Whether the text is written in kept glyphs the font lets be put together; if so, notes
    // them and its advance for Picture().
    bool Compose(const QString& text);
    // Notes the text's glyphs and where each starts, and gives its advance, all in 64ths of a
    // pixel; -1 where a character is not kept, or (with `usablePairs`) two are not to be put
    // together.
    int NoteGlyphs(const QString& text, bool usablePairs);
    // Finds the noted glyphs' pieces.
    void FindPieces();
    // The noted glyph `k` put down in a cell `width` pixels wide: its piece, the column of the
    // room its piece's first column goes to, and its columns that lie in the cell.
    struct PlacedGlyph {
        const CQtLabelPieces::Piece& piece;
        int at = 0;
        int from = 0;
        int to = 0;
    };
    PlacedGlyph Place(int k, int width) const;
    // The picture of the noted glyphs put side by side, cut to `width` pixels; none where one
    // would lie over another.
    std::optional<CQtLabelPicture> PutSideBySide(QRgb ink, int width);
    // Puts the noted glyphs together in the room, cut to `width` pixels, and gives the pixels
    // they cover; none, with the room clear, where Qt's blending of one glyph over another is
    // not known.
    std::optional<QRect> PutTogether(QRgb ink, int width);
    // The kept glyph of a character at a phase; KeptPiece draws it when not yet kept, with the
    // pieces' lock held.
    const CQtLabelPieces::Piece& PieceOf(int index, int phase);
    const CQtLabelPieces::Piece& KeptPiece(int index, int phase);
    // The first painter of a font draws every character alone, then long runs of them and every
    // pair both shaped and put together: the font is put together only where that gave Qt's
    // pixels, and only for the pairs that did.
    void CheckPieces();

    QFont m_font;
    int m_reach = 1;
    // Asked once: every question to the metrics locks Qt's font database.
    int m_ascent = 0;
    int m_dotsPerMeterX = 0;
    int m_dotsPerMeterY = 0;
    // Kept clear between texts; grown for a wider text.
    QImage m_room;
    QPainter m_painter;
    // Kept from text to text, with the font the painter resolved for the room, as drawText
    // shapes with.
    QTextLayout m_layout;
    QTextLine m_line;
    int m_advance = 0;
    // The advance of the text last shaped.
    int m_shapedAdvance = 0;
    // The kept glyphs of the font, none where it is not put together; and those this painter
    // found, so that it takes the lock once for each.
    CQtLabelPieces* m_pieces = nullptr;
    std::array<const CQtLabelPieces::Piece*,
               CQtLabelPieces::characterCount * CQtLabelPieces::phases>
        m_found{};
    // The text last laid out when it is put together: its characters' indexes and where each
    // starts, in 64ths of a pixel; and the text, to shape it after all.
    static constexpr int longestComposed = 24;
    bool m_composed = false;
    int m_glyphCount = 0;
    std::array<int8_t, longestComposed> m_glyphIndexes{};
    std::array<int, longestComposed> m_glyphStarts{};
    QString m_composedText;
    std::array<const CQtLabelPieces::Piece*, longestComposed> m_glyphPieces{};
    // Coverage of glyphs put side by side, a byte a pixel of the room; kept clear between texts.
    std::vector<uint8_t> m_coverage;
    // Each coverage in the ink last put together.
    std::array<QRgb, 256> m_inked{};
    std::optional<QRgb> m_inkedFor;
    // The cell the painter clips to, 0 for none yet: texts of a board are mostly as wide as the
    // one before.
    int m_clipWidth = 0;
};
