// Writes the stroke font file "Wevrapf1.dat" from a Hershey font in the James Hurt format
// (.jhf) of the Debian package hershey-fonts-data.
// Usage: MakeStrokeFont <font.jhf> <output file>
//
// The Hershey Fonts were originally created by Dr. A. V. Hershey while working at the U. S.
// National Bureau of Standards. The format of the Font data in this distribution was originally
// created by James Hurt, Cognition, Inc., 900 Technology Park Drive, Billerica, MA 01821.
//
// Output: 4000 records of 3 bytes (x, y, flag), zero-padded, no header. Each character code
// from 0 up is one group of records whose flag bit 7 is the code's lowest bit; inside a group a
// record with flag bit 0 draws a line from the previous point, else the pen moves; the group's
// last record is its advance (x = advance width). Coordinates are font units with y growing
// downward: a capital letter is 16 units tall, which the program scales by text height / 48
// after multiplying by 3, so capitals come out exactly as tall as the text height.
//
// Codes covered: 32..126 from the Hershey font; the code-page-437 letters the program draws
// for the Windows letters A, O, U with diaeresis and e, i, o, u, y with diaeresis (129, 137,
// 139, 142, 148, 152, 153, 154); the other Windows-1252 letters with grave, acute, circumflex,
// tilde, diaeresis, ring or cedilla at their own codes (0xC0..0xFD), and the sharp s (0xDF).
// The Hershey simplex fonts have no accented letters, so each is composed from its base letter
// and the accent's strokes: above a small letter in the space up to the top of the font, above
// a capital in the space gained by lowering the capital's top (the cell holds nothing above
// y = 0, and the capital height must stay where it is for every other text), below the letter
// for the cedilla. Control codes, 127 and the other codes up to 255 are empty groups of zero
// width.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr size_t recordCount = 4000;
constexpr size_t recordSize = 3;
constexpr int firstAsciiCode = 32;
constexpr int lastAsciiCode = 126;
constexpr int lastCode = 255;
// Font units of a capital letter's height.
constexpr double capHeightUnits = 16.0;
// Half the distance between the two dots of a diaeresis, in font units.
constexpr int dotSpacing = 2;
// Font units an accent takes up, and its distance from the letter below or above it.
constexpr int accentHeight = 4;
constexpr int accentGap = 2;

constexpr uint8_t penDown = 0x01;
constexpr uint8_t groupBit = 0x80;

struct HersheyPoint {
    int x;
    int y;
};

// One glyph of the source font: its left and right bounds and its strokes.
struct HersheyGlyph {
    int left = 0;
    int right = 0;
    std::vector<std::vector<HersheyPoint>> strokes;
};

struct FontPoint {
    int x;
    int y;
    bool operator==(const FontPoint&) const = default;
};

using Stroke = std::vector<FontPoint>;

struct Glyph {
    std::vector<Stroke> strokes;
    int advance = 0;
};

enum class Mark { grave, acute, circumflex, tilde, diaeresis, ring, cedilla };

struct Accent {
    int code;
    char base;
    Mark mark;
};

// The accented letters and their places: the code-page-437 places of the letters with
// diaeresis that the program maps its Windows letters to, and the others at their own
// Windows-1252 codes.
constexpr std::array<Accent, 53> accentedLetters = {{
    {129, 'u', Mark::diaeresis},   {137, 'e', Mark::diaeresis},   {139, 'i', Mark::diaeresis},
    {142, 'A', Mark::diaeresis},   {148, 'o', Mark::diaeresis},   {152, 'y', Mark::diaeresis},
    {153, 'O', Mark::diaeresis},   {154, 'U', Mark::diaeresis},   {0xC0, 'A', Mark::grave},
    {0xC1, 'A', Mark::acute},      {0xC2, 'A', Mark::circumflex}, {0xC3, 'A', Mark::tilde},
    {0xC5, 'A', Mark::ring},       {0xC7, 'C', Mark::cedilla},    {0xC8, 'E', Mark::grave},
    {0xC9, 'E', Mark::acute},      {0xCA, 'E', Mark::circumflex}, {0xCB, 'E', Mark::diaeresis},
    {0xCC, 'I', Mark::grave},      {0xCD, 'I', Mark::acute},      {0xCE, 'I', Mark::circumflex},
    {0xCF, 'I', Mark::diaeresis},  {0xD1, 'N', Mark::tilde},      {0xD2, 'O', Mark::grave},
    {0xD3, 'O', Mark::acute},      {0xD4, 'O', Mark::circumflex}, {0xD5, 'O', Mark::tilde},
    {0xD9, 'U', Mark::grave},      {0xDA, 'U', Mark::acute},      {0xDB, 'U', Mark::circumflex},
    {0xDD, 'Y', Mark::acute},      {0xE0, 'a', Mark::grave},      {0xE1, 'a', Mark::acute},
    {0xE2, 'a', Mark::circumflex}, {0xE3, 'a', Mark::tilde},      {0xE4, 'a', Mark::diaeresis},
    {0xE5, 'a', Mark::ring},       {0xE7, 'c', Mark::cedilla},    {0xE8, 'e', Mark::grave},
    {0xE9, 'e', Mark::acute},      {0xEA, 'e', Mark::circumflex}, {0xEC, 'i', Mark::grave},
    {0xED, 'i', Mark::acute},      {0xEE, 'i', Mark::circumflex}, {0xF1, 'n', Mark::tilde},
    {0xF2, 'o', Mark::grave},      {0xF3, 'o', Mark::acute},      {0xF4, 'o', Mark::circumflex},
    {0xF5, 'o', Mark::tilde},      {0xF9, 'u', Mark::grave},      {0xFA, 'u', Mark::acute},
    {0xFB, 'u', Mark::circumflex}, {0xFD, 'y', Mark::acute},
}};

constexpr int sharpSCode = 0xDF;

[[noreturn]] void Fail(const std::string& message)
{
    throw std::runtime_error(message);
}

// Coordinates are characters offset from 'R'; " R" lifts the pen. Long glyphs may continue on
// the following lines, so the reader joins lines until the glyph's vertex count is reached.
std::vector<HersheyGlyph> ReadJhf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        Fail("cannot open the Hershey font " + path +
             "; install the Debian package hershey-fonts-data (scripts/setup does)");
    std::vector<HersheyGlyph> glyphs;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(' ') == std::string::npos)
            continue;
        if (line.size() < 10)
            Fail(path + ": glyph line too short");
        int count = 0;
        for (char c : line.substr(5, 3)) {
            if (c == ' ')
                continue;
            if (c < '0' || c > '9')
                Fail(path + ": bad vertex count");
            count = count * 10 + (c - '0');
        }
        std::string data = line.substr(8);
        std::string more;
        while (data.size() < size_t(count) * 2 && std::getline(in, more)) {
            if (!more.empty() && more.back() == '\r')
                more.pop_back();
            data += more;
        }
        if (count < 1 || data.size() < size_t(count) * 2)
            Fail(path + ": glyph data shorter than its vertex count");
        HersheyGlyph glyph;
        glyph.left = data[0] - 'R';
        glyph.right = data[1] - 'R';
        std::vector<HersheyPoint> stroke;
        for (int i = 1; i < count; ++i) {
            const char cx = data[size_t(i) * 2];
            const char cy = data[size_t(i) * 2 + 1];
            if (cx == ' ' && cy == 'R') {
                if (!stroke.empty())
                    glyph.strokes.push_back(std::move(stroke));
                stroke.clear();
                continue;
            }
            stroke.push_back(HersheyPoint{cx - 'R', cy - 'R'});
        }
        if (!stroke.empty())
            glyph.strokes.push_back(std::move(stroke));
        glyphs.push_back(std::move(glyph));
    }
    return glyphs;
}

int RoundHalfAway(double v)
{
    return static_cast<int>(v >= 0.0 ? std::floor(v + 0.5) : std::ceil(v - 0.5));
}

// Maps Hershey units into font units: the glyph's left bound becomes x = 0, the highest point
// of the font y = 0, and a capital letter 16 units tall. A squashed scaler lowers every point's
// height above the baseline by a factor, so that an accent fits above a capital.
class Scaler {
public:
    Scaler(double scale, int top) : m_scale(scale), m_top(top) {}

    Scaler Squashed(double baseline, double factor) const
    {
        Scaler squashed = *this;
        squashed.m_baseline = baseline;
        squashed.m_squash = factor;
        return squashed;
    }

    FontPoint Map(const HersheyGlyph& glyph, HersheyPoint p) const
    {
        const double y = (p.y - m_top) * m_scale;
        return FontPoint{RoundHalfAway((p.x - glyph.left) * m_scale),
                         RoundHalfAway(m_baseline - (m_baseline - y) * m_squash)};
    }
    int Advance(const HersheyGlyph& glyph) const
    {
        return RoundHalfAway((glyph.right - glyph.left) * m_scale);
    }
    int MapY(int y) const { return RoundHalfAway((y - m_top) * m_scale); }

private:
    double m_scale;
    int m_top;
    double m_baseline = 0.0;
    double m_squash = 1.0;
};

// Rounding may fold neighbouring points onto each other; repeated points are dropped, and a
// stroke that folds into one point keeps a zero-length line so that a full stop still shows.
Stroke CleanStroke(const Stroke& raw)
{
    Stroke clean;
    for (const FontPoint& p : raw) {
        if (clean.empty() || !(clean.back() == p))
            clean.push_back(p);
    }
    if (clean.size() == 1)
        clean.push_back(clean.front());
    return clean;
}

Glyph Convert(const HersheyGlyph& source, const Scaler& scaler)
{
    Glyph glyph;
    glyph.advance = scaler.Advance(source);
    for (const auto& stroke : source.strokes) {
        Stroke raw;
        for (const HersheyPoint& p : stroke)
            raw.push_back(scaler.Map(source, p));
        Stroke clean = CleanStroke(raw);
        // A stroke that starts where the last one ended goes on without lifting the pen.
        if (!glyph.strokes.empty() && glyph.strokes.back().back() == clean.front())
            glyph.strokes.back().insert(glyph.strokes.back().end(), clean.begin() + 1, clean.end());
        else
            glyph.strokes.push_back(std::move(clean));
    }
    return glyph;
}

const HersheyGlyph& AsciiGlyph(const std::vector<HersheyGlyph>& glyphs, char c)
{
    return glyphs[size_t(c - firstAsciiCode)];
}

int TopOf(const HersheyGlyph& glyph)
{
    int top = 1000;
    for (const auto& stroke : glyph.strokes)
        for (const HersheyPoint& p : stroke)
            top = std::min(top, p.y);
    return top;
}

int BottomOf(const HersheyGlyph& glyph)
{
    int bottom = -1000;
    for (const auto& stroke : glyph.strokes)
        for (const HersheyPoint& p : stroke)
            bottom = std::max(bottom, p.y);
    return bottom;
}

// A dot as small as the font can draw: a diamond of one unit around the centre.
Stroke Dot(int cx, int cy)
{
    return Stroke{{cx - 1, cy}, {cx, cy + 1}, {cx + 1, cy}, {cx, cy - 1}, {cx - 1, cy}};
}

bool LiesAbove(const std::vector<HersheyPoint>& stroke, int y)
{
    return std::all_of(stroke.begin(), stroke.end(), [&](HersheyPoint p) { return p.y < y; });
}

// The accent's strokes over the centre cx with their top at y = top (the cedilla hangs from the
// baseline at y = top instead).
std::vector<Stroke> AccentStrokes(Mark mark, int cx, int top)
{
    const int t = top;
    switch (mark) {
    case Mark::grave:
        return {{{cx + 1, t + 4}, {cx - 2, t}}};
    case Mark::acute:
        return {{{cx - 1, t + 4}, {cx + 2, t}}};
    case Mark::circumflex:
        return {{{cx - 3, t + 4}, {cx, t + 1}, {cx + 3, t + 4}}};
    case Mark::tilde:
        return {{{cx - 3, t + 3},
                 {cx - 2, t + 1},
                 {cx - 1, t + 1},
                 {cx + 1, t + 3},
                 {cx + 2, t + 3},
                 {cx + 3, t + 1}}};
    case Mark::diaeresis:
        return {Dot(cx - dotSpacing, t + 2), Dot(cx + dotSpacing, t + 2)};
    case Mark::ring:
        return {{{cx - 1, t},
                 {cx + 1, t},
                 {cx + 2, t + 1},
                 {cx + 2, t + 3},
                 {cx + 1, t + 4},
                 {cx - 1, t + 4},
                 {cx - 2, t + 3},
                 {cx - 2, t + 1},
                 {cx - 1, t}}};
    case Mark::cedilla:
        return {{{cx, t}, {cx, t + 2}, {cx + 2, t + 3}, {cx + 1, t + 5}, {cx - 2, t + 5}}};
    }
    return {};
}

// The base letter with its accent. A small letter keeps its shape and takes the accent above
// its x-height (an i loses its dot first); a capital is lowered to make room for the accent
// below the top of the font; a cedilla hangs below the baseline of either.
Glyph Accented(const std::vector<HersheyGlyph>& glyphs, const Scaler& scaler, const Accent& accent)
{
    const HersheyGlyph& source = AsciiGlyph(glyphs, accent.base);
    const HersheyGlyph& capital = AsciiGlyph(glyphs, 'H');
    const int baseline = scaler.MapY(BottomOf(capital));
    const int xHeightTop = TopOf(AsciiGlyph(glyphs, 'x'));
    const bool isCapital = accent.base >= 'A' && accent.base <= 'Z';

    HersheyGlyph letter = source;
    if (accent.base == 'i')
        std::erase_if(letter.strokes,
                      [&](const auto& stroke) { return LiesAbove(stroke, xHeightTop); });

    int accentTop = 0;
    Glyph glyph;
    if (accent.mark == Mark::cedilla) {
        glyph = Convert(letter, scaler);
        accentTop = baseline;
    } else if (isCapital) {
        const int capTop = scaler.MapY(TopOf(capital));
        const double factor = double(baseline - accentHeight - accentGap) / (baseline - capTop);
        glyph = Convert(letter, scaler.Squashed(baseline, factor));
    } else {
        glyph = Convert(letter, scaler);
        accentTop = scaler.MapY(xHeightTop) - accentGap - accentHeight;
    }
    if (accentTop < 0)
        Fail("no room for an accent above the small letters");
    const int centreX = scaler.Map(source, HersheyPoint{0, 0}).x;
    for (Stroke& stroke : AccentStrokes(accent.mark, centreX, accentTop))
        glyph.strokes.push_back(std::move(stroke));
    return glyph;
}

// The sharp s, which the Hershey font lacks: a stem as high as the b's, closed by a small bowl
// over a larger one, as wide as the b.
Glyph SharpS(const std::vector<HersheyGlyph>& glyphs, const Scaler& scaler)
{
    const Glyph b = Convert(AsciiGlyph(glyphs, 'b'), scaler);
    int left = 1000;
    int top = 1000;
    for (const Stroke& stroke : b.strokes) {
        for (const FontPoint& p : stroke) {
            left = std::min(left, p.x);
            top = std::min(top, p.y);
        }
    }
    const int base = scaler.MapY(BottomOf(AsciiGlyph(glyphs, 'H')));
    const auto at = [&](int dx, int dy) { return FontPoint{left + dx, top + dy}; };
    Glyph glyph;
    glyph.advance = b.advance;
    glyph.strokes.push_back({FontPoint{left, base}, at(0, 3), at(1, 1), at(3, 0), at(5, 0),
                             at(7, 1), at(8, 3), at(8, 4), at(7, 6), at(5, 7), at(3, 7), at(6, 8),
                             at(8, 9), at(9, 11), at(9, 12), at(8, 14), at(7, 15),
                             FontPoint{left + 5, base}, FontPoint{left + 3, base}});
    return glyph;
}

void AppendRecord(std::vector<uint8_t>& out, int x, int y, uint8_t flag)
{
    if (x < 0 || x > 255 || y < 0 || y > 255)
        Fail("a glyph point lies outside the font's byte range");
    out.push_back(static_cast<uint8_t>(x));
    out.push_back(static_cast<uint8_t>(y));
    out.push_back(flag);
}

void AppendGroup(std::vector<uint8_t>& out, int code, const Glyph& glyph)
{
    const uint8_t group = (code & 1) ? groupBit : 0;
    for (const Stroke& stroke : glyph.strokes) {
        for (size_t i = 0; i < stroke.size(); ++i)
            AppendRecord(out, stroke[i].x, stroke[i].y, group | (i > 0 ? penDown : 0));
    }
    AppendRecord(out, glyph.advance, 0, group);
}

std::vector<uint8_t> BuildFont(const std::vector<HersheyGlyph>& glyphs)
{
    if (glyphs.size() < size_t(lastAsciiCode - firstAsciiCode + 1))
        Fail("the Hershey font has fewer glyphs than the printable ASCII characters");

    const HersheyGlyph& capital = AsciiGlyph(glyphs, 'H');
    const int capHeight = BottomOf(capital) - TopOf(capital);
    if (capHeight <= 0)
        Fail("the Hershey font's H has no height");
    int top = TopOf(capital);
    for (int c = firstAsciiCode; c <= lastAsciiCode; ++c)
        top = std::min(top, TopOf(AsciiGlyph(glyphs, char(c))));
    const Scaler scaler(capHeightUnits / capHeight, top);

    std::vector<std::optional<Glyph>> table(size_t(lastCode) + 1);
    for (int c = firstAsciiCode; c <= lastAsciiCode; ++c)
        table[size_t(c)] = Convert(AsciiGlyph(glyphs, char(c)), scaler);
    for (const Accent& accent : accentedLetters)
        table[size_t(accent.code)] = Accented(glyphs, scaler, accent);
    table[size_t(sharpSCode)] = SharpS(glyphs, scaler);

    std::vector<uint8_t> out;
    for (int code = 0; code <= lastCode; ++code)
        AppendGroup(out, code, table[size_t(code)].value_or(Glyph{}));
    // The zero padding after the last group must start a new group, or it would run on as
    // part of the last character and leave that one without an end.
    if (lastCode % 2 == 0)
        AppendGroup(out, lastCode + 1, Glyph{});

    if (out.size() > recordCount * recordSize)
        Fail("the glyphs need more than 4000 records");
    out.resize(recordCount * recordSize, 0);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: MakeStrokeFont <font.jhf> <output file>\n";
        return 2;
    }
    try {
        const std::vector<uint8_t> font = BuildFont(ReadJhf(argv[1]));
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(font.data()), std::streamsize(font.size()));
        out.close();
        if (!out)
            Fail(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "MakeStrokeFont: " << e.what() << '\n';
        std::remove(argv[2]);
        return 1;
    }
    return 0;
}
