#include "model/Geometry.h"

#include <charconv>
#include <cmath>
#include <ctime>
#include <limits>
#include <utility>

#include "framework/CRect.h"
#include "framework/Numeric.h"

namespace {

// Brings any int32 angle into [0, FULL_TURN); the remainder never overflows, unlike adding
// whole turns to the most negative angles.
int32_t NormalizeAngle(int32_t angle)
{
    const int32_t rest = angle % FULL_TURN;
    return rest < 0 ? rest + FULL_TURN : rest;
}

// Brings a finite angle in degrees into [0, 360). fmod is exact, so one turn either way gives
// the same value as adding or subtracting 360 once, and huge angles take no time.
double NormalizeDegrees(double degrees)
{
    double d = std::fmod(degrees, 360.0);
    if (d < 0.0)
        d += 360.0;
    // A tiny negative remainder can round up to a whole turn.
    if (d >= 360.0)
        d -= 360.0;
    return d;
}

// Negation that saturates instead of overflowing for the most negative value.
int32_t Negate(int32_t v)
{
    return v == std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::max() : -v;
}

// Quarter turns are exact so that rotated pads and components stay on their grid.
bool QuarterTurn(int32_t x, int32_t y, int32_t angle, CPoint& result)
{
    switch (angle) {
    case 0:
        result = CPoint(x, y);
        return true;
    case 90000:
        result = CPoint(y, Negate(x));
        return true;
    case 180000:
        result = CPoint(Negate(x), Negate(y));
        return true;
    case 270000:
        result = CPoint(Negate(y), x);
        return true;
    default:
        return false;
    }
}

CPoint RotateRounded(int32_t x, int32_t y, double radians)
{
    // The corners of one pad or outline turn by the same angle one after the other: the sine
    // and cosine of the last angle are kept for the next point.
    thread_local double lastRadians = 0.0;
    thread_local double c = 1.0;
    thread_local double s = 0.0;
    if (radians != lastRadians) {
        c = std::cos(radians);
        s = std::sin(radians);
        lastRadians = radians;
    }
    return CPoint(RoundToInt(x * c - y * s), RoundToInt(y * c + x * s));
}

bool StrictlyBetween(float value, float low, float high)
{
    return low < value && value < high;
}

} // namespace

int32_t MmToUnits(double mm)
{
    return TruncToInt(mm * UNITS_PER_MM);
}

double UnitsToMm(int32_t units)
{
    return units * MM_PER_UNIT;
}

CPoint RotatePoint(int32_t x, int32_t y, int32_t angle)
{
    if (angle == 0)
        return CPoint(x, y);
    const int32_t normalized = NormalizeAngle(angle);
    CPoint result;
    if (QuarterTurn(x, y, normalized, result))
        return result;
    return RotateRounded(x, y, normalized * -0.001 * DEG_TO_RAD);
}

CPoint RotatePointDeg(int32_t x, int32_t y, double degrees)
{
    if (!std::isfinite(degrees))
        return CPoint(x, y);
    const double d = NormalizeDegrees(degrees);
    CPoint result;
    if (d == 0.0 || d == 90.0 || d == 180.0 || d == 270.0) {
        QuarterTurn(x, y, int32_t(d) * 1000, result);
        return result;
    }
    return RotateRounded(x, y, -(d * DEG_TO_RAD));
}

CPointD RotatePointDouble(double x, double y, double degrees)
{
    if (!std::isfinite(degrees))
        return CPointD{x, y};
    const double d = NormalizeDegrees(degrees);
    if (d == 0.0)
        return CPointD{x, y};
    if (d == 90.0)
        return CPointD{y, -x};
    if (d == 180.0)
        return CPointD{-x, -y};
    if (d == 270.0)
        return CPointD{-y, x};
    const double t = -(d * DEG_TO_RAD);
    const double c = std::cos(t);
    const double s = std::sin(t);
    return CPointD{x * c - y * s, y * c + x * s};
}

int32_t Distance(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    // Differences in double: extreme coordinates would overflow int32.
    return TruncToInt(std::hypot(double(x1) - double(x2), double(y1) - double(y2)));
}

double DistanceDouble(double x1, double y1, double x2, double y2)
{
    const double dx = x1 - x2;
    const double dy = y1 - y2;
    return std::sqrt(dx * dx + dy * dy);
}

double LineAngle(double x1, double y1, double x2, double y2)
{
    if (x1 == x2) {
        if (y1 > y2)
            return 90.0;
        if (y1 < y2)
            return 270.0;
        return 0.0;
    }
    if (y1 == y2)
        return x1 < x2 ? 0.0 : 180.0;
    const double a = std::atan(std::fabs(y1 - y2) / std::fabs(x2 - x1)) * 180.0 / GEOM_PI;
    if (x1 < x2)
        return y1 > y2 ? a : 360.0 - a;
    return y1 > y2 ? 180.0 - a : 180.0 + a;
}

int32_t GeomLineAngleMilli(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    return TruncToInt(LineAngle(x1, y1, x2, y2) * 1000.0);
}

bool SegmentTouchesRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x1,
                        int32_t y1, int32_t x2, int32_t y2)
{
    // 1. An end point inside.
    const CRect rect(left, top, right, bottom);
    if (rect.PtInRect(CPoint(x1, y1)) || rect.PtInRect(CPoint(x2, y2)))
        return true;

    // 2. Both end points beyond the same side.
    if ((x1 < left && x2 < left) || (x1 > right && x2 > right) || (y1 < top && y2 < top) ||
        (y1 > bottom && y2 > bottom))
        return false;

    // 3. Vertical: it must pass right through.
    if (x1 > x2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    if (x1 == x2) {
        if (y1 > y2)
            std::swap(y1, y2);
        return left < x1 && x1 < right && y1 < top && y2 > bottom;
    }

    // 4. The line through the segment crosses one of the sides, in single precision.
    const float m = float(int64_t(y1) - y2) / float(int64_t(x1) - x2);
    const float b = float(y1) - float(x1) * m;
    const float fLeft = float(left);
    const float fTop = float(top);
    const float fRight = float(right);
    const float fBottom = float(bottom);
    if (StrictlyBetween(m * fLeft + b, fTop, fBottom))
        return true;
    if (StrictlyBetween(m * fRight + b, fTop, fBottom))
        return true;
    // A horizontal line never crosses the top or bottom side.
    if (m == 0.0f)
        return false;
    return StrictlyBetween((fTop - b) / m, fLeft, fRight) ||
           StrictlyBetween((fBottom - b) / m, fLeft, fRight);
}

int64_t TraceClock()
{
    return int64_t(std::clock()) * 1000 / CLOCKS_PER_SEC;
}

std::string TraceElapsed(int64_t startClock, const std::string& text)
{
    // In double: a corrupt start reading must not overflow the difference.
    const double seconds = (double(TraceClock()) - double(startClock)) * 0.001;
    char digits[64];
    const auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, seconds, std::chars_format::fixed, 3);
    std::string number = error == std::errc() ? std::string(digits, end) : std::string("0.000");
    if (number.size() < 6)
        number.insert(0, 6 - number.size(), ' ');
    return "Elapsed = " + number + " sec. " + text;
}
