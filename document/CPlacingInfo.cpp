#include "document/CPlacingInfo.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>

#include "document/CDesign.h"
#include "document/CEditSession.h"
#include "framework/CDeviceContext.h"
#include "framework/CLauncher.h"
#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CPathHelper.h"
#include "framework/CPrintJob.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/CWindows1252.h"
#include "model/CComponentArray.h"
#include "model/CLengthText.h"
#include "resources/StringIds.h"

namespace {

constexpr char lineEnd[] = "\r\n";

std::string Upper(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return text;
}

// printf "%W.Ws": at most `width` characters, right-aligned in `width`.
std::string Field(const std::string& text, size_t width)
{
    const std::string cut = text.substr(0, width);
    return std::string(width - cut.size(), ' ') + cut;
}

// The language pack's "YES" or "NO".
std::string YesNo(bool flag)
{
    return CResString::Load(flag ? IDS_YES : IDS_NO);
}

std::string TwoDigits(int value)
{
    return CNumberText::FormatInt(value / 10 % 10) + CNumberText::FormatInt(value % 10);
}

std::string HeaderLine()
{
    return Field("Nr", 4) + " " + Field("Reference", 10) + " " + Field("Type", 10) + " " +
           Field("Shape", 10) + " " + Field("X-Pos.", 14) + " " + Field("Y-Pos.", 14) + " " +
           Field("Rotation", 10) + " " + Field("Mirror", 8);
}

std::string ComponentLine(const CDesign& design, const CEditSession& session, int32_t i)
{
    const CComponentArray& components = design.GetComponents();
    const int32_t unit = session.GetUnit();
    const CPoint position = components.GetPosition(i);
    return CNumberText::FormatInt(int64_t(i) + 1, 4) + " " + Field(components.GetReference(i), 10) +
           " " + Field(components.GetType(i), 10) + " " + Field(components.GetShapeName(i), 10) +
           " " + Field(CLengthText::FormatLength(unit, position.x), 14) + " " +
           Field(CLengthText::FormatLength(unit, position.y), 14) + " " +
           CNumberText::FormatFixed(components.GetRotation(i) * 0.001, 3, 10) + " " +
           Field(YesNo(components.IsMirrored(i)), 8);
}

// One printed page, laid out in twips (1/1440 inch) from the top left of the printable area
// and drawn in device pixels.
class CPrintedPage {
public:
    static constexpr int32_t twipsPerInch = 1440;
    static constexpr int32_t fontTwips = 180;

    CPrintedPage(CDeviceContext& dc, int32_t dpiX, int32_t dpiY) : m_dc(dc), m_dpiX(dpiX)
    {
        const int32_t fontPixels = std::max(fontTwips * dpiY / twipsPerInch, 1);
        m_dc.SelectFont(CFontDesc{"Verdana", -fontPixels, CFontDesc::normalWeight, false});
        m_dc.SetBkMode(CDeviceContext::BkMode::Transparent);
        m_dc.SetTextColor(RGB(0, 0, 0));
        m_lineHeight = std::max(m_dc.GetTextExtent("Xg").cy, 1);
    }

    // Text on a line (0 at the top) from x, or ending at x.
    void Left(int32_t line, int32_t xTwips, const std::string& text)
    {
        m_dc.TextOut(CPoint(X(xTwips), line * m_lineHeight), text);
    }
    void Right(int32_t line, int32_t xTwips, const std::string& text)
    {
        m_dc.TextOut(CPoint(X(xTwips) - m_dc.GetTextExtent(text).cx, line * m_lineHeight), text);
    }

private:
    int32_t X(int32_t twips) const { return int32_t(int64_t(twips) * m_dpiX / twipsPerInch); }

    CDeviceContext& m_dc;
    int32_t m_dpiX;
    int32_t m_lineHeight = 1;
};

void PrintListPage(CPrintedPage& page, const CDesign& design, const CEditSession& session,
                   const std::string& designName, int32_t number, int32_t pages,
                   const std::string& timeStamp, const std::string& productVersion)
{
    page.Left(0, 720, "Placing Info:");
    page.Left(0, 2880, designName + ".PCB");
    page.Right(0, 10800, "Page " + std::to_string(number) + " of " + std::to_string(pages));
    page.Left(1, 720, "TimeStamp: " + timeStamp);
    page.Right(1, 10800, "Wevra PCB " + productVersion + " ");

    constexpr int32_t titleLine = 2;
    page.Left(titleLine, 720, "Nr.");
    page.Left(titleLine, 1440, "Reference");
    page.Left(titleLine, 2880, "Type");
    page.Left(titleLine, 4320, "Shape");
    page.Right(titleLine, 7200, "Position X");
    page.Right(titleLine, 8640, "Position Y");
    page.Right(titleLine, 9720, "Rotation");
    page.Left(titleLine, 10008, "Mirror");

    const CComponentArray& components = design.GetComponents();
    const int32_t unit = session.GetUnit();
    const int32_t first = (number - 1) * CPlacingInfo::rowsPerPage;
    const int32_t last = std::min(first + CPlacingInfo::rowsPerPage, components.GetCount());
    for (int32_t i = first; i < last; ++i) {
        const int32_t line = 4 + i - first;
        const CPoint position = components.GetPosition(i);
        page.Left(line, 720, std::to_string(i + 1));
        page.Left(line, 1440, components.GetReference(i));
        page.Left(line, 2880, components.GetType(i));
        page.Left(line, 4320, components.GetShapeName(i));
        page.Right(line, 7200, CLengthText::FormatLength(unit, position.x));
        page.Right(line, 8640, CLengthText::FormatLength(unit, position.y));
        page.Right(line, 9720, CNumberText::FormatFixed(components.GetRotation(i) * 0.001, 3, 9));
        page.Left(line, 10008, YesNo(components.IsMirrored(i)));
    }
}

} // namespace

std::filesystem::path CPlacingInfo::FilePath(const std::string& designFolder,
                                             const std::string& designName)
{
    return std::filesystem::path(designFolder) / Upper(designName + " Placing Info.TXT");
}

std::string CPlacingInfo::Text(const CDesign& design, const CEditSession& session,
                               const std::string& designName, const std::string& timeStamp)
{
    std::string text = "Placing Info: " + designName + ".PCB" + lineEnd + lineEnd;
    text += "TimeStamp: " + timeStamp + lineEnd + lineEnd;
    text += HeaderLine() + lineEnd + lineEnd;
    for (int32_t i = 0; i < design.GetComponents().GetCount(); ++i)
        text += ComponentLine(design, session, i) + lineEnd;
    return text;
}

bool CPlacingInfo::Write(const CDesign& design, const CEditSession& session,
                         const std::string& designFolder, const std::string& designName)
{
    const std::filesystem::path path = FilePath(designFolder, designName);
    if (!CPathHelper::WriteFileAtomically(path,
                                          Text(design, session, designName, CurrentTimeStamp()))) {
        CServices::Messages().FileMessageBox(
            CWindows1252::ToUtf8(CResString::Load(IDS_REPORT_NOT_WRITTEN)) + "\n" + path.string(),
            CWindows1252::ToUtf8(CResString::Load(IDS_ERROR)), MB_OK, MB_ICONERROR);
        return false;
    }
    CServices::Launcher().ShowTextFile(path);
    return true;
}

std::string CPlacingInfo::FormatTimeStamp(const std::tm& time)
{
    static constexpr std::array<const char*, 7> days = {
        "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    static constexpr std::array<const char*, 12> months = {
        "January", "February", "March",     "April",   "May",      "June",
        "July",    "August",   "September", "October", "November", "December"};
    const size_t day = size_t(std::clamp(time.tm_wday, 0, 6));
    const size_t month = size_t(std::clamp(time.tm_mon, 0, 11));
    return std::string(days[day]) + ", " + months[month] + " " + TwoDigits(time.tm_mday) + ", " +
           CNumberText::FormatInt(int64_t(time.tm_year) + 1900) + "  " + TwoDigits(time.tm_hour) +
           ":" + TwoDigits(time.tm_min) + ":" + TwoDigits(time.tm_sec);
}

std::string CPlacingInfo::CurrentTimeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return FormatTimeStamp(local);
}

int32_t CPlacingInfo::PageCount(int32_t components)
{
    if (components <= 0)
        return 1;
    return int32_t((int64_t(components) + rowsPerPage - 1) / rowsPerPage);
}

void CPlacingInfo::PrintPage(const CDesign& design, const CEditSession& session,
                             const std::string& designName, CPrintJob& job, int32_t number,
                             const std::string& timeStamp, const std::string& productVersion)
{
    CPrintedPage page(job.GetDC(), job.GetPixelsPerInchX(), job.GetPixelsPerInchY());
    PrintListPage(page, design, session, designName, number,
                  PageCount(design.GetComponents().GetCount()), timeStamp, productVersion);
}
