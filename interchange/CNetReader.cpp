#include "interchange/CNetReader.h"

#include <vector>

#include "interchange/CNetlistLines.h"
#include "interchange/NetlistText.h"

namespace {

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// Blank-separated words.
std::vector<std::string_view> Words(std::string_view text)
{
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsNetlistBlank(text[i]))
            ++i;
        const size_t start = i;
        while (i < text.size() && !IsNetlistBlank(text[i]))
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    return words;
}

// Only separators between Calay pins are left over: commas, a closing semicolon, blanks.
bool IsCalaySeparators(std::string_view text)
{
    for (char c : text) {
        if (!IsNetlistBlank(c) && c != ',' && c != ';')
            return false;
    }
    return true;
}

// A pin is a pad number: text after it, or a second pin run into it, would be dropped unseen.
bool IsPinNumber(std::string_view pin)
{
    pin = TrimView(pin);
    if (!pin.empty() && (pin[0] == '+' || pin[0] == '-'))
        pin.remove_prefix(1);
    return !pin.empty() && pin.find_first_not_of("0123456789") == std::string_view::npos;
}

constexpr std::string_view protelHeader = "PROTEL NETLIST 2.0";

constexpr char headerRefused[] = " (a net header: the net's pins are left out)";

} // namespace

CNetReader::CNetReader(NetlistFormat format, CNetlistLines& lines, CNetReaderSink& sink)
    : m_format(format), m_lines(lines), m_sink(sink)
{
}

bool CNetReader::Read()
{
    switch (m_format) {
    case NETLIST_CALAY:
        ReadCalayNets();
        return true;
    case NETLIST_MENTOR:
        ReadMentorNets();
        return true;
    case NETLIST_MULTISIM:
        ReadMultiSimNets();
        return true;
    case NETLIST_PROTEL:
    case NETLIST_TANGO:
        ReadBlockNets();
        return true;
    default:
        return false;
    }
}

bool CNetReader::Refused(std::string_view line, bool header)
{
    const std::string why = RefusedLineReason(line);
    if (why.empty())
        return false;
    RefuseLine(header ? why + headerRefused : why);
    if (header)
        m_skipPins = true;
    return true;
}

bool CNetReader::RefusedName(std::string_view name, bool header)
{
    const std::string why = RefusedNameReason(name);
    if (why.empty())
        return false;
    RefuseLine(header ? why + headerRefused : why);
    return true;
}

void CNetReader::RefuseLine(const std::string& why)
{
    m_refusedLine = m_lines.GetLineNumber();
    m_sink.OnRefusedLine(m_refusedLine, why);
}

void CNetReader::RefuseHeader(const std::string& why)
{
    RefuseLine(why + headerRefused);
    m_headerRead = true;
    m_skipPins = true;
}

void CNetReader::Pin(const std::string& reference, const std::string& pin)
{
    // A line refused for one of its names says nothing more.
    if (m_skipPins || m_refusedLine == m_lines.GetLineNumber())
        return;
    // Before any header a pin has no net of the file to go to.
    if (!m_headerRead) {
        RefuseLine("a pin before the first net header: " +
                   VisibleText(TrimView(m_lines.CurrentLine())));
        return;
    }
    if (RefusedName(reference, false) || RefusedName(pin, false))
        return;
    if (!IsPinNumber(pin)) {
        RefuseLine("the pin of " + VisibleText(reference) + " is no number: " + VisibleText(pin));
        return;
    }
    m_sink.OnPin(reference, pin, m_lines.GetLineNumber());
}

void CNetReader::Header(std::string_view name)
{
    m_skipPins = false;
    m_headerRead = true;
    std::string trimmed(TrimRightView(name));
    if (RefusedName(trimmed, true)) {
        m_skipPins = true;
        return;
    }
    if (trimmed == reservedNetName) {
        m_sink.OnReservedNetName(m_lines.GetLineNumber());
        trimmed = reservedNetReplacement;
    }
    m_sink.OnNet(trimmed, m_lines.GetLineNumber());
}

void CNetReader::ReadCalayNets()
{
    std::string raw;
    while (m_lines.Next(raw)) {
        if (Refused(raw, StartsWith(raw, "/")))
            continue;
        const std::string line = ToUpperAscii(raw);
        std::string_view rest = line;
        if (StartsWith(line, "/")) {
            const size_t blank = line.find_first_of(" \t");
            const std::string_view name =
                std::string_view(line).substr(1, blank == std::string::npos ? blank : blank - 1);
            // Pins run into the name ("/GND,R1(1)") would be lost with it.
            if (name.find_first_of("()") != std::string_view::npos) {
                RefuseHeader("a net name holds a bracket: " + VisibleText(TrimView(raw)));
                continue;
            }
            Header(name);
            rest = blank == std::string::npos ? std::string_view() : rest.substr(blank);
        }
        // Pins "R(P)", separated by blanks or commas.
        size_t close;
        while ((close = rest.find(')')) != std::string_view::npos) {
            const std::string_view token = rest.substr(0, close + 1);
            rest = rest.substr(close + 1);
            const std::string trimmed = Trim(token);
            size_t start = 0;
            while (start < trimmed.size() && trimmed[start] == ',')
                ++start;
            const std::string_view pin = std::string_view(trimmed).substr(start);
            const size_t open = pin.find('(');
            const std::string reference =
                open == std::string_view::npos ? std::string() : Trim(pin.substr(0, open));
            if (reference.empty()) {
                m_sink.OnUnreadable(m_lines.GetLineNumber(), trimmed);
                continue;
            }
            Pin(reference, Trim(pin.substr(open + 1, pin.size() - open - 2)));
        }
        if (!IsCalaySeparators(rest))
            m_sink.OnUnreadable(m_lines.GetLineNumber(), Trim(rest));
    }
}

void CNetReader::ReadMentorNets()
{
    std::string raw;
    while (m_lines.Next(raw)) {
        const std::string line = ToUpperAscii(TrimLeft(raw));
        const bool net = StartsWith(line, "NET ") || StartsWith(line, "NET\t");
        if (Refused(raw, net))
            continue;
        if (!net) {
            // Comments aside, a line that is no net line may be one spelled otherwise, whose
            // pins would be lost.
            if (!line.empty() && line[0] != '#')
                RefuseLine("it is no net line: " + VisibleText(TrimView(raw)));
            continue;
        }
        const size_t first = line.find('\'');
        const size_t last = line.rfind('\'');
        if (first == std::string::npos || first < 4 || last <= first) {
            m_sink.OnUnreadable(m_lines.GetLineNumber(), TrimRight(raw));
            continue;
        }
        Header(std::string_view(line).substr(first + 1, last - first - 1));
        for (std::string_view word : Words(std::string_view(line).substr(last + 1))) {
            const size_t dash = word.find('-');
            if (dash == std::string_view::npos || dash == 0) {
                m_sink.OnUnreadable(m_lines.GetLineNumber(), std::string(word));
                continue;
            }
            Pin(std::string(word.substr(0, dash)), std::string(word.substr(dash + 1)));
        }
    }
}

void CNetReader::ReadMultiSimNets()
{
    std::string raw;
    while (m_lines.Next(raw)) {
        if (Refused(raw, StartsWith(raw, "*")))
            continue;
        const std::string line = TrimRight(ToUpperAscii(raw));
        if (StartsWith(line, "*")) {
            const std::string name = TrimLeft(std::string_view(line).substr(1));
            // A name cut at its first blank would make "*NET A" and "*NET B" one net.
            if (name.find_first_of(" \t") != std::string::npos)
                RefuseHeader("a net header holds more than a name: " +
                             VisibleText(TrimRightView(raw)));
            else
                Header(name);
            continue;
        }
        // Pins "R-P,": each closed by a comma.
        std::string_view rest = line;
        size_t comma;
        while ((comma = rest.find(',')) != std::string_view::npos) {
            const std::string token = Trim(rest.substr(0, comma));
            rest = rest.substr(comma + 1);
            if (token.empty())
                continue;
            const size_t dash = token.find('-');
            if (dash == std::string::npos || dash == 0) {
                m_sink.OnUnreadable(m_lines.GetLineNumber(), token);
                continue;
            }
            Pin(token.substr(0, dash), token.substr(dash + 1));
        }
        // A pin that no comma closes is not taken, but it is not passed over in silence.
        if (rest.find('-') != std::string_view::npos)
            m_sink.OnUnreadable(m_lines.GetLineNumber(), Trim(rest));
    }
}

void CNetReader::BlockPin(std::string_view token)
{
    size_t separator = token.find('-');
    if (separator == std::string_view::npos)
        separator = token.find(',');
    const std::string_view reference = separator == std::string_view::npos
                                           ? std::string_view()
                                           : TrimView(token.substr(0, separator));
    if (reference.empty()) {
        m_sink.OnUnreadable(m_lines.GetLineNumber(), std::string(token));
        return;
    }
    // References are compared with the component list's, which is in upper case.
    Pin(ToUpperAscii(reference), std::string(TrimView(token.substr(separator + 1))));
}

void CNetReader::ReadBlockNets()
{
    std::string_view raw;
    bool inBlock = false;
    bool inComponent = false;
    while (m_lines.Next(raw)) {
        const std::string_view line = TrimView(raw);
        if (inComponent) {
            // The component reader takes these lines, and refuses what it cannot.
            if (line == "(" || line == "[")
                m_lines.Unread();
            inComponent = line != "]" && line != "(" && line != "[";
            continue;
        }
        if (!inBlock) {
            if (Refused(raw, false) || line.empty() ||
                (m_format == NETLIST_PROTEL && line.find(protelHeader) != std::string_view::npos))
                continue;
            // The component reader opens a block only on a "[" at the line's start.
            if (TrimRightView(raw) == "[") {
                inComponent = true;
                continue;
            }
            // Any other line here may be a net or a pin whose block lost its bracket.
            if (line != "(") {
                RefuseLine("it stands outside the net and component blocks: " + VisibleText(line));
                continue;
            }
            if (!m_lines.Next(raw))
                break;
            if (TrimView(raw) == ")")
                continue;
            if (!Refused(raw, true))
                Header(raw);
            inBlock = true;
            continue;
        }
        if (Refused(raw, false))
            continue;
        if (line == ")") {
            inBlock = false;
        } else if (line == "(" || line == "[") {
            // A block left open ends where the next one starts.
            inBlock = false;
            m_lines.Unread();
        } else if (!line.empty()) {
            BlockPin(line);
        }
    }
}

int32_t CNetReader::UnclosedBlockLine(CNetlistLines& lines)
{
    lines.Rewind();
    int32_t open = 0;
    std::string_view line;
    while (lines.Next(line)) {
        line = TrimView(line);
        if (line == "[" || line == "(")
            open = lines.GetLineNumber();
        else if (line == "]" || line == ")")
            open = 0;
    }
    return open;
}
