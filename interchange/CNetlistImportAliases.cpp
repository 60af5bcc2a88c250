#include "interchange/CNetlistImport.h"

#include <algorithm>
#include <string_view>

#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "interchange/CImportProgress.h"
#include "interchange/CNetReader.h"
#include "interchange/CNetlistLines.h"
#include "interchange/NetlistText.h"

namespace {

// The reference and pin fields of an alias entry "REFERENCE,PIN,NET...".
struct AliasKey {
    std::string_view reference;
    std::string_view pin;
};

AliasKey KeyOf(std::string_view entry)
{
    const size_t first = entry.find(',');
    if (first == std::string_view::npos)
        return {entry, {}};
    const size_t second = entry.find(',', first + 1);
    const size_t pinEnd = second == std::string_view::npos ? entry.size() : second;
    return {entry.substr(0, first), entry.substr(first + 1, pinEnd - first - 1)};
}

std::string JoinKey(std::string_view reference, std::string_view pin)
{
    std::string key(reference);
    key += ',';
    key += pin;
    return key;
}

// Appends each pin's net to its entry; the first entry of a reference and pin takes it, as
// AddNetAlias does, found through an index so that large boards are not searched once per pin.
class CAliasSink : public CNetReaderSink {
public:
    CAliasSink(std::vector<std::string>& aliases, CImportProgress* progress, int64_t from,
               int64_t to, int64_t lineCount)
        : m_aliases(aliases), m_progress(progress), m_from(from), m_share(to - from),
          m_lineCount(std::max<int64_t>(lineCount, 1))
    {
        m_entries.Reserve(aliases.size());
        for (size_t i = 0; i < aliases.size(); ++i) {
            if (aliases[i].find(',') == std::string::npos)
                continue;
            const AliasKey key = KeyOf(aliases[i]);
            m_entries.Add(JoinKey(key.reference, key.pin), int32_t(i));
        }
    }

    void OnNet(const std::string& name, int32_t line) override
    {
        if (!Cancelled(line))
            m_net = name;
    }

    void OnPin(const std::string& reference, const std::string& pin, int32_t line) override
    {
        if (Cancelled(line))
            return;
        const int32_t found = m_entries.Find(JoinKey(ToUpperAscii(Trim(reference)), Trim(pin)));
        if (found >= 0)
            m_aliases[size_t(found)] += "," + ToUpperAscii(Trim(m_net));
    }

    void OnUnreadable(int32_t /*line*/, const std::string& /*text*/) override {}

    void OnReservedNetName(int32_t /*line*/) override
    {
        CServices::Messages().MessageBox("Warning! NET 0 is Reserved by Wevra. Changed to NET00000",
                                         "Load NET File", MB_OK);
    }

private:
    bool Cancelled(int32_t line)
    {
        return m_progress &&
               m_progress->Advance(m_from +
                                   m_share * std::min<int64_t>(line, m_lineCount) / m_lineCount);
    }

    std::vector<std::string>& m_aliases;
    CImportProgress* m_progress;
    int64_t m_from;
    int64_t m_share;
    int64_t m_lineCount;
    CNameIndex m_entries;
    std::string m_net;
};

} // namespace

bool CNetlistImport::LoadNetsOnly(CNetlistDocument& document, const std::filesystem::path& path,
                                  std::vector<std::string>& aliases, CImportProgress* progress,
                                  int64_t from, int64_t to)
{
    m_document = &document;
    m_format = DetectFormat(path);
    if (m_format == NETLIST_NONE)
        return false;
    const std::filesystem::path netPath = SiblingPath(path, ".NET");
    CNetlistLines lines;
    std::string reason;
    if (!lines.Open(netPath, &reason)) {
        ShowOpenFailure("NET", "Load NET File", netPath, reason);
        return false;
    }
    CAliasSink sink(aliases, progress, from, to, progress ? lines.CountLines() : 0);
    return CNetReader(m_format, lines, sink).Read();
}

void CNetlistImport::AddNetAlias(const std::string& netName, const std::string& reference,
                                 const std::string& pin, std::vector<std::string>& aliases)
{
    const std::string wantedReference = ToUpperAscii(Trim(reference));
    const std::string wantedPin = Trim(pin);
    for (std::string& entry : aliases) {
        if (entry.find(',') == std::string::npos)
            continue;
        const AliasKey key = KeyOf(entry);
        if (key.reference == wantedReference && key.pin == wantedPin) {
            entry += "," + ToUpperAscii(Trim(netName));
            return;
        }
    }
}
