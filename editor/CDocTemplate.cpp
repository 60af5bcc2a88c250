#include "editor/CDocTemplate.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMetaObject>
#include <QWidget>

#include <filesystem>
#include <optional>

#include "document/CDocCommandMap.h"
#include "document/CWevraDoc.h"
#include "editor/CChildFrame.h"
#include "editor/CWevraView.h"
#include "framework/CBackgroundRelease.h"
#include "framework/CFileDialogService.h"
#include "framework/CFileStamp.h"
#include "framework/CMessageService.h"
#include "framework/CPathHelper.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/CWindows1252.h"
#include "framework/qt/CQtText.h"
#include "resources/StringIds.h"

struct CDocTemplate::Entry {
    std::unique_ptr<CWevraDoc> document;
    std::unique_ptr<CDocCommandMap> commands;
    QPointer<QMdiSubWindow> window;
    // The design file as it was when it was last opened or saved here.
    std::string stampedPath;
    std::optional<CFileStamp> stamp;
};

namespace {

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return text;
}

} // namespace

CDocTemplate::CDocTemplate(QMdiArea& area) : m_area(area)
{
    connect(&m_area, &QMdiArea::subWindowActivated, this, [this] { emit ActiveDocumentChanged(); });
}

CDocTemplate::~CDocTemplate()
{
    // The windows go first, so that no window outlives its document; nobody hears of it.
    disconnect(&m_area, nullptr, this, nullptr);
    blockSignals(true);
    for (auto& entry : m_entries)
        if (entry->window) {
            entry->window->removeEventFilter(this);
            delete entry->window.data();
        }
}

CWevraDoc* CDocTemplate::NewDocument()
{
    auto document = std::make_unique<CWevraDoc>();
    if (!document->OnNewDocument())
        return nullptr;
    return Show(std::move(document));
}

CWevraDoc* CDocTemplate::OpenDocumentFile(const std::string& named)
{
    // Every road in (command line, File > Open, recent list, dropped file) comes here.
    const std::string path = CPathHelper::AbsolutePath(named);
    // One window per file, however the path reaches it: two would overwrite each other.
    for (auto& entry : m_entries)
        if (!entry->document->IsShapeDocument() &&
            CPathHelper::IsSameFile(entry->document->GetPathNameRef(), path)) {
            m_area.setActiveSubWindow(entry->window);
            return entry->document.get();
        }
    const std::string extension = UpperAscii(CPathHelper::GetExtension(path));
    if (extension == ".NET") {
        OfferNetlistLoad(path);
        return nullptr;
    }
    if (extension != ".PCB" && extension != ".PLY") {
        CServices::Messages().FileMessageBox(
            CWindows1252::ToUtf8(CResString::Load(IDS_NOT_SUPPORTED_FILEFORMAT)) + ":\n" + path,
            CWindows1252::ToUtf8(CResString::Load(IDS_APP_TITLE)), MB_OK, MB_ICONEXCLAMATION);
        return nullptr;
    }
    auto document = std::make_unique<CWevraDoc>();
    if (!document->OnOpenDocument(path))
        return nullptr;
    CWevraDoc* shown = Show(std::move(document));
    Stamp(*shown);
    return shown;
}

void CDocTemplate::OfferNetlistLoad(const std::string& path)
{
    const std::string file = "\"" + std::filesystem::path(path).filename().string() + "\"";
    auto* frame = dynamic_cast<CChildFrame*>(GetActiveFrame());
    CWevraView* view = frame != nullptr ? frame->GetBoardView() : nullptr;
    const std::string caption = CWindows1252::ToUtf8(CResString::Load(IDS_APP_TITLE));
    if (view == nullptr || view->GetDocument().IsShapeDocument()) {
        CServices::Messages().FileMessageBox(
            file + " is a netlist, not a design. Open or make a design first, then load the "
                   "netlist into it with Netlist > Load.",
            caption, MB_OK, MB_ICONEXCLAMATION);
        return;
    }
    if (CServices::Messages().FileMessageBox(file + " is a netlist, not a design. Load it into " +
                                                 view->GetDocument().GetDesignName() +
                                                 " as Netlist > Load does?",
                                             caption, MB_YESNO, MB_ICONQUESTION) == IDYES)
        view->LoadNetlist(path);
}

void CDocTemplate::Stamp(const CWevraDoc& document)
{
    if (Entry* entry = Find(document)) {
        entry->stampedPath = document.GetPathNameRef();
        entry->stamp = CFileStamp::Of(entry->stampedPath);
    }
}

bool CDocTemplate::MayOverwrite(const CWevraDoc& document, const std::string& path) const
{
    const Entry* entry = Find(document);
    if (entry == nullptr || !entry->stamp || entry->stampedPath != path)
        return true;
    // A file removed since holds nothing to lose.
    const std::optional<CFileStamp> now = CFileStamp::Of(path);
    if (!now || now == entry->stamp)
        return true;
    return CServices::Messages().FileMessageBox(CResString::LoadWithFile(IDS_CHANGED_ON_DISK, path),
                                                CPathHelper::GetFileTitle(path), MB_YESNO_DEFAULTNO,
                                                MB_ICONEXCLAMATION) == IDYES;
}

CWevraDoc* CDocTemplate::Show(std::unique_ptr<CWevraDoc> document)
{
    auto entry = std::make_unique<Entry>();
    entry->commands = std::make_unique<CDocCommandMap>(*document);
    // The frame makes its panes itself and becomes the document's link to its windows.
    auto* frame = new CChildFrame(*document);
    CWevraDoc* saved = document.get();
    frame->SetSaveHandler([this, saved] { return SaveDocument(*saved, false); });
    entry->window = m_area.addSubWindow(frame);
    entry->window->setAttribute(Qt::WA_DeleteOnClose, false);
    entry->window->installEventFilter(this);
    entry->document = std::move(document);
    CWevraDoc* shown = entry->document.get();
    m_entries.push_back(std::move(entry));
    UpdateTitle(*shown);
    m_entries.back()->window->showMaximized();
    m_area.setActiveSubWindow(m_entries.back()->window);
    emit ActiveDocumentChanged();
    return shown;
}

bool CDocTemplate::SaveDocument(CWevraDoc& document, bool saveAs)
{
    std::string path = document.GetPathNameRef();
    const bool designFile = UpperAscii(CPathHelper::GetExtension(path)) == ".PCB";
    if (!saveAs && designFile && CPathHelper::IsReadOnlyFile(path)) {
        // The read-only file stays as it is; the design may still be kept under another name.
        if (CServices::Messages().MessageBox(CResString::LoadWith(IDS_SAVE_READ_ONLY_AS, path),
                                             CPathHelper::GetFileTitle(path), MB_YESNO,
                                             MB_ICONEXCLAMATION) != IDYES)
            return false;
        saveAs = true;
    }
    for (;;) {
        if (saveAs || path.empty() || !designFile) {
            // The chooser proposes the design's own name in its folder.
            const std::optional<std::string> chosen = CServices::FileDialogs().ChooseSaveFile(
                std::string(), path, "Wevra PCB Design (*.PCB)", ".PCB");
            if (!chosen)
                return false;
            path = *chosen;
            if (UpperAscii(CPathHelper::GetExtension(path)) != ".PCB")
                path += ".PCB";
        }
        const std::string folder = CPathHelper::FollowLinks(path).parent_path().string();
        if (!CPathHelper::IsReadOnlyFolder(folder))
            break;
        // Nothing can be written there; another folder may take the design.
        if (CServices::Messages().FileMessageBox(
                CResString::LoadWithFile(IDS_FOLDER_READ_ONLY_SAVE_AS, folder),
                CPathHelper::GetFileTitle(path), MB_YESNO, MB_ICONEXCLAMATION) != IDYES)
            return false;
        saveAs = true;
    }
    if (!MayOverwrite(document, path) || !document.OnSaveDocument(path))
        return false;
    if (path != document.GetPathNameRef())
        document.SetDesignPath(path);
    Stamp(document);
    UpdateTitle(document);
    return true;
}

bool CDocTemplate::CloseDocument(CWevraDoc& document)
{
    if (!document.SaveModified())
        return false;
    document.OnCloseDocument();
    Destroy(document);
    return true;
}

bool CDocTemplate::CloseAll()
{
    while (!m_entries.empty())
        if (!CloseDocument(*m_entries.back()->document))
            return false;
    return true;
}

void CDocTemplate::Destroy(const CWevraDoc& document)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if ((*it)->document.get() != &document)
            continue;
        std::unique_ptr<Entry> entry = std::move(*it);
        m_entries.erase(it);
        const bool maximized = entry->window && entry->window->isMaximized();
        if (entry->window) {
            entry->window->removeEventFilter(this);
            delete entry->window.data();
        }
        // The area hands the maximised state on only to a window it activates itself; the
        // window left after a delete would keep just its title bar.
        if (maximized && !m_entries.empty()) {
            QMdiSubWindow* next = m_area.currentSubWindow();
            if (next == nullptr)
                next = m_entries.back()->window;
            if (next != nullptr)
                next->showMaximized();
        }
        break;
    }
    // The closed design's pages go back to the system instead of waiting for the next design.
    CBackgroundRelease::Shared().ReturnFreedMemory();
    emit ActiveDocumentChanged();
}

CWevraDoc* CDocTemplate::GetDocument(int index) const
{
    return index >= 0 && index < GetCount() ? m_entries[size_t(index)]->document.get() : nullptr;
}

CWevraDoc* CDocTemplate::GetActiveDocument() const
{
    Entry* entry = FindWindow(m_area.activeSubWindow());
    if (entry == nullptr && m_area.activeSubWindow() == nullptr && !m_entries.empty()) {
        // No window is active while the main window itself lacks the focus: the current
        // window of the area is still the one the user works in.
        entry = FindWindow(m_area.currentSubWindow());
    }
    return entry ? entry->document.get() : nullptr;
}

const CCommandTarget* CDocTemplate::GetActiveCommands() const
{
    CWevraDoc* document = GetActiveDocument();
    Entry* entry = document ? Find(*document) : nullptr;
    return entry ? entry->commands.get() : nullptr;
}

QWidget* CDocTemplate::GetActiveFrame() const
{
    CWevraDoc* document = GetActiveDocument();
    return document ? GetFrame(*document) : nullptr;
}

QWidget* CDocTemplate::GetFrame(const CWevraDoc& document) const
{
    Entry* entry = Find(document);
    return entry && entry->window ? entry->window->widget() : nullptr;
}

void CDocTemplate::UpdateTitle(CWevraDoc& document)
{
    Entry* entry = Find(document);
    if (entry == nullptr || !entry->window)
        return;
    QString title =
        QStringLiteral("[") + CQtText::FromPath(document.GetTitle()) + QStringLiteral("]");
    if (entry->window->windowTitle() != title)
        entry->window->setWindowTitle(title);
}

CDocTemplate::Entry* CDocTemplate::Find(const CWevraDoc& document) const
{
    for (const auto& entry : m_entries)
        if (entry->document.get() == &document)
            return entry.get();
    return nullptr;
}

CDocTemplate::Entry* CDocTemplate::FindWindow(const QObject* window) const
{
    if (window == nullptr)
        return nullptr;
    for (const auto& entry : m_entries)
        if (entry->window == window)
            return entry.get();
    return nullptr;
}

bool CDocTemplate::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close) {
        // The window's close box closes the document, which may ask to save first.
        // It runs after the event, as the window may not be deleted while it is delivered.
        if (Entry* entry = FindWindow(watched)) {
            event->ignore();
            const CWevraDoc* document = entry->document.get();
            QMetaObject::invokeMethod(
                this,
                [this, document] {
                    if (Entry* still = Find(*document))
                        CloseDocument(*still->document);
                },
                Qt::QueuedConnection);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
