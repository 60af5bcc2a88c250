#include "framework/qt/CQtLabelPieces.h"

#include <map>
#include <tuple>

CQtLabelPieces& CQtLabelPieces::Of(const QFont& font, int dotsPerMeterX, int dotsPerMeterY)
{
    // A few fonts in a session: the pin-info font, and whatever the user picks in its place.
    static std::mutex lock;
    static std::map<std::tuple<QString, int, bool, int, int>, std::unique_ptr<CQtLabelPieces>>
        fonts;
    const std::lock_guard<std::mutex> held(lock);
    // The font's key leaves out how its glyphs are fitted to pixels and whether pairs are kerned.
    std::unique_ptr<CQtLabelPieces>& pieces = fonts[{font.key(), int(font.hintingPreference()),
                                                     font.kerning(), dotsPerMeterX, dotsPerMeterY}];
    if (!pieces)
        pieces = std::make_unique<CQtLabelPieces>();
    return *pieces;
}

int CQtLabelPieces::IndexOf(QChar character)
{
    for (int k = 0; k < characterCount; ++k) {
        if (characters[k] == character.unicode())
            return k;
    }
    return -1;
}

const CQtLabelPieces::Piece* CQtLabelPieces::Keep(int index, int phase, Piece piece)
{
    auto& kept = m_pieces[size_t(index * phases + phase)];
    kept = std::make_unique<const Piece>(std::move(piece));
    return kept.get();
}
