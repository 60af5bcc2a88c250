#pragma once

#include <cstdint>
#include <string>

#include "framework/CPoint.h"

// Board units are 1/256000 inch; every coordinate and size of a design is an int32 of them.
inline constexpr int32_t UNITS_PER_MIL = 256;
inline constexpr int32_t UNITS_PER_INCH = 256000;
inline constexpr double UNITS_PER_MM = 10078.740157480315;
// Exactly 0.0254 / 256.
inline constexpr double MM_PER_UNIT = 9.921875e-05;

// The lengths used as defaults all over the program.
inline constexpr int32_t LENGTH_25_MIL = 6400;
inline constexpr int32_t LENGTH_50_MIL = 12800;
inline constexpr int32_t LENGTH_100_MIL = 25600;

// Angles are int32 in 1/1000 degree.
inline constexpr int32_t FULL_TURN = 360000;

// The stored designs were computed with this value of pi, so rotations keep it to give the same
// rounded coordinates.
inline constexpr double GEOM_PI = 3.14159265359;
inline constexpr double DEG_TO_RAD = GEOM_PI * 0.005555555555555556;

// Millimetres to board units, truncated toward zero (saturating).
int32_t MmToUnits(double mm);
double UnitsToMm(int32_t units);

// Rotates (x, y) about the origin by `angle` in 1/1000 degree. A positive angle turns (1, 0)
// towards (0, -1). Quarter turns are exact; other results are rounded half away from zero and
// saturate at the int32 range.
CPoint RotatePoint(int32_t x, int32_t y, int32_t angle);
// The same with an angle in degrees. A non-finite angle leaves the point unchanged.
CPoint RotatePointDeg(int32_t x, int32_t y, double degrees);
// The same on double coordinates, without rounding.
CPointD RotatePointDouble(double x, double y, double degrees);

// Euclidean distance truncated toward zero (saturating).
int32_t Distance(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
double DistanceDouble(double x1, double y1, double x2, double y2);

// Direction in degrees [0, 360) of the vector from (x1, y1) to (x2, y2) with y growing downward;
// 0 for coincident points.
double LineAngle(double x1, double y1, double x2, double y2);
// LineAngle in 1/1000 degree, truncated.
int32_t GeomLineAngleMilli(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// Whether the segment (x1, y1)-(x2, y2) meets the rectangle (right and bottom exclusive). Past
// the quick rejections it tests the line through the segment in single precision, and lines
// lying on an edge do not count.
bool SegmentTouchesRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x1,
                        int32_t y1, int32_t x2, int32_t y2);

// Processor time in milliseconds, the clock TraceElapsed measures against.
int64_t TraceClock();
// "Elapsed = %6.3f sec. %s" with the seconds since `startClock` (a TraceClock reading).
std::string TraceElapsed(int64_t startClock, const std::string& text);
