#include "analysis/CRoutePatterns.h"

#include <algorithm>
#include <cstdlib>

#include "framework/Numeric.h"

using Pattern = CRoutePatterns::Pattern;

namespace {

// Bends of the detours and loops, in board units (25, 50, 75 and 100 mil).
constexpr int64_t step1 = 6400;
constexpr int64_t step2 = 12800;
constexpr int64_t step3 = 19200;
constexpr int64_t step4 = 25600;

} // namespace

CRoutePatterns::CRoutePatterns(CPoint p1, CPoint p2, int32_t routeWidth)
{
    const bool inOrder = p1.x < p2.x || (p1.x == p2.x && p1.y <= p2.y);
    m_a = inOrder ? p1 : p2;
    m_b = inOrder ? p2 : p1;
    m_dx = int64_t(m_b.x) - m_a.x;
    m_dy = std::abs(int64_t(m_b.y) - m_a.y);
    m_s = m_b.y > m_a.y ? 1 : -1;
    m_h = std::min(m_dx, m_dy) / 2;
    m_q = m_h / 2;
    m_w = routeWidth;
}

std::vector<Pattern> CRoutePatterns::Sequence() const
{
    if (m_dy == 0)
        return {Pattern::Straight, Pattern::BumpH, Pattern::DetourH, Pattern::JogH};
    if (m_dx == 0)
        return {Pattern::Straight, Pattern::BumpV, Pattern::DetourV, Pattern::JogV};
    std::vector<Pattern> order;
    if (m_dx == m_dy) {
        order = {Pattern::Straight};
    } else if (m_dy < m_dx) {
        order = {Pattern::DiagonalHorizontal, Pattern::HorizontalDiagonal,
                 Pattern::CentredDiagonalH, Pattern::StepH, Pattern::DoubleBendH};
    } else {
        order = {Pattern::DiagonalVertical, Pattern::VerticalDiagonal, Pattern::CentredDiagonalV,
                 Pattern::DoubleBendV, Pattern::SweepV};
    }
    order.insert(order.end(),
                 {Pattern::CornerH, Pattern::CornerV, Pattern::Dogleg, Pattern::LoopBack});
    return order;
}

CPoint CRoutePatterns::At(int64_t x, int64_t y)
{
    return CPoint(SaturateToInt(x), SaturateToInt(y));
}

CRoutePatterns::Path CRoutePatterns::Through(std::initializer_list<CPoint> middle) const
{
    Path path{m_a};
    path.insert(path.end(), middle);
    path.push_back(m_b);
    return path;
}

std::vector<CRoutePatterns::Path> CRoutePatterns::Tries(Pattern pattern,
                                                        std::optional<CPoint> bumpCentre) const
{
    std::vector<Path> tries;
    switch (pattern) {
    case Pattern::Straight:
        tries.push_back(Through({}));
        break;
    case Pattern::BumpH:
    case Pattern::DetourH:
    case Pattern::JogH:
        Horizontal(pattern, bumpCentre, tries);
        break;
    case Pattern::BumpV:
    case Pattern::DetourV:
    case Pattern::JogV:
        Vertical(pattern, bumpCentre, tries);
        break;
    case Pattern::CornerH:
    case Pattern::CornerV:
    case Pattern::Dogleg:
    case Pattern::LoopBack:
        Tail(pattern, tries);
        break;
    default:
        Sloped(pattern, tries);
        break;
    }
    return tries;
}

void CRoutePatterns::Horizontal(Pattern pattern, std::optional<CPoint> c,
                                std::vector<Path>& tries) const
{
    const int64_t xA = m_a.x, xB = m_b.x, y = m_a.y;
    switch (pattern) {
    case Pattern::BumpH:
        if (!c)
            return;
        tries.push_back(Through({At(c->x - step3, y), At(c->x - step1, y - step2),
                                 At(c->x + step1, y - step2), At(c->x + step3, y)}));
        tries.push_back(Through({At(xA + step1, y), At(xA + step3, y + step2),
                                 At(xB - step3, y + step2), At(xB - step1, y)}));
        break;
    case Pattern::DetourH: {
        // Below 100 mil d is negative and the first two tries bend backwards.
        const int64_t d = (m_dx - step4) / 3;
        for (int64_t side : {-step2, step2})
            tries.push_back(Through({At(xA + d, y), At(xA + d + step2, y + side),
                                     At(xB - d - step2, y + side), At(xB - d, y)}));
        for (int64_t side : {-step2, step2})
            tries.push_back(Through({At(xA + step1, y), At(xA + step3, y + side),
                                     At(xB - step3, y + side), At(xB - step1, y)}));
        break;
    }
    case Pattern::JogH:
        for (int64_t sign : {-1, 1})
            tries.push_back(Through({At(xA, y + sign * step1), At(xA + step1, y + sign * step2),
                                     At(xB - step1, y + sign * step2), At(xB, y + sign * step1)}));
        break;
    default:
        break;
    }
}

void CRoutePatterns::Vertical(Pattern pattern, std::optional<CPoint> c,
                              std::vector<Path>& tries) const
{
    const int64_t yA = m_a.y, yB = m_b.y, x = m_a.x;
    switch (pattern) {
    case Pattern::BumpV:
        if (!c)
            return;
        tries.push_back(Through({At(x, c->y - step3), At(x - step2, c->y - step1),
                                 At(x - step2, c->y + step1), At(x, c->y + step3)}));
        tries.push_back(Through({At(x, yA + step1), At(x + step2, yA + step3),
                                 At(x + step2, yB - step3), At(x, yB - step1)}));
        break;
    case Pattern::DetourV: {
        const int64_t d = (m_dy - step4) / 3;
        for (int64_t side : {-step2, step2})
            tries.push_back(Through({At(x, yA + d), At(x + side, yA + d + step2),
                                     At(x + side, yB - d - step2), At(x, yB - d)}));
        for (int64_t side : {-step2, step2})
            tries.push_back(Through({At(x, yA + step1), At(x + side, yA + step3),
                                     At(x + side, yB - step3), At(x, yB - step1)}));
        break;
    }
    case Pattern::JogV:
        for (int64_t sign : {-1, 1})
            tries.push_back(Through({At(x + sign * step1, yA), At(x + sign * step2, yA + step1),
                                     At(x + sign * step2, yB - step1), At(x + sign * step1, yB)}));
        break;
    default:
        break;
    }
}

void CRoutePatterns::Sloped(Pattern pattern, std::vector<Path>& tries) const
{
    const int64_t xA = m_a.x, yA = m_a.y, xB = m_b.x, yB = m_b.y;
    const int64_t dx = m_dx, dy = m_dy, s = m_s, h = m_h, q = m_q;
    switch (pattern) {
    case Pattern::DiagonalHorizontal:
        tries.push_back(Through({At(xA + dy, yB)}));
        break;
    case Pattern::HorizontalDiagonal:
        tries.push_back(Through({At(xB - dy, yA)}));
        break;
    case Pattern::CentredDiagonalH:
        tries.push_back(Through({At(xA + dx / 2 - dy / 2, yA), At(xB + dy / 2 - dx / 2, yB)}));
        break;
    case Pattern::StepH: {
        const int64_t t = step2 * s;
        tries.push_back(
            Through({At(xA + step1, yA), At(xA + step3, yA + t),
                     At(xB - step1 - std::abs(yB - yA - t), yA + t), At(xB - step1, yB)}));
        break;
    }
    case Pattern::DoubleBendH:
        tries.push_back(Through({At(xA, yA + s * (h - q)), At(xA + q, yA + s * h),
                                 At(xB - q, yA + s * h), At(xB, yB - s * (h - q))}));
        break;
    case Pattern::DiagonalVertical:
        tries.push_back(Through({At(xB, yA + s * dx)}));
        break;
    case Pattern::VerticalDiagonal:
        tries.push_back(Through({At(xA, yB - s * dx)}));
        break;
    case Pattern::CentredDiagonalV:
        tries.push_back(
            Through({At(xA, yA + s * (dy / 2 - dx / 2)), At(xB, yB - s * (dy / 2 - dx / 2))}));
        break;
    case Pattern::DoubleBendV:
        tries.push_back(Through({At(xA + h - q, yA), At(xA + h, yA + s * q), At(xA + h, yB - s * q),
                                 At(xB - h + q, yB)}));
        break;
    case Pattern::SweepV:
        // k swings about h by growing multiples of the route width; with no width it stays put.
        for (int64_t i = 0;; ++i) {
            const int64_t k = h + (i % 2 == 1 ? i : -i) * m_w;
            if (k < 0 || k > dx || (i > 0 && m_w == 0))
                break;
            const int64_t r = (dx - k) / 2;
            tries.push_back(Through({At(xA + k - k / 2, yA), At(xA + k, yA + s * (k / 2)),
                                     At(xA + k, yB - s * r), At(xB - r, yB)}));
        }
        break;
    default:
        break;
    }
}

void CRoutePatterns::Tail(Pattern pattern, std::vector<Path>& tries) const
{
    const int64_t xA = m_a.x, yA = m_a.y, xB = m_b.x, yB = m_b.y;
    const int64_t s = m_s, h = m_h;
    switch (pattern) {
    case Pattern::CornerH:
        tries.push_back(Through({At(xB - h, yA), At(xB, yA + s * h)}));
        break;
    case Pattern::CornerV:
        tries.push_back(Through({At(xA, yB - s * h), At(xA + h, yB)}));
        break;
    case Pattern::Dogleg:
        if (m_dx < doglegMinDx || m_dy < doglegMinDy)
            return;
        tries.push_back(Through({At(xA + step1, yA), At(xA + step3, yA + step2 * s),
                                 At(xB - step4, yA + step2 * s), At(xB - step3, yA + step3 * s),
                                 At(xB - step3, yB - step1 * s), At(xB - step2, yB)}));
        for (int64_t sign : {1, -1}) {
            if (sign == 1 && yB <= yA)
                continue;
            tries.push_back(
                Through({At(xA + step2, yA), At(xA + step3, yA + sign * step2),
                         At(xB - step4, yA + sign * step2), At(xB - step3, yA + sign * step3),
                         At(xB - step3, yB - sign * step1), At(xB - step1, yB)}));
        }
        break;
    case Pattern::LoopBack:
        for (int64_t k = step2; k < loopReach; k += step1)
            tries.push_back(Through({At(xA - k + step1, yA), At(xA - k, yA + step1 * s),
                                     At(xA - k, yB + step1 * s), At(xA - k + step1, yB + step2 * s),
                                     At(xB - step3, yB + step2 * s), At(xB - step1, yB)}));
        break;
    default:
        break;
    }
}
