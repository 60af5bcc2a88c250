#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QPointer>

class CCommandTarget;
class CDocCommandMap;
class CWevraDoc;
class QMdiArea;
class QMdiSubWindow;
class QWidget;

// The one document template of the program: it makes a design document with its child frame
// as a window of the main frame's MDI area, keeps every open document, and opens, saves and
// closes them. A document lives exactly as long as its window.
class CDocTemplate : public QObject {
    Q_OBJECT

public:
    explicit CDocTemplate(QMdiArea& area);
    ~CDocTemplate() override;

    // File New: a document after the new-design dialog; nullptr when it was cancelled.
    CWevraDoc* NewDocument();
    // File Open: the document of that path, activated when it is open already; nullptr when
    // the file cannot be read (the document shows why).
    CWevraDoc* OpenDocumentFile(const std::string& path);
    // Save (to its own path, asking for one when it has none or is not a design file) or Save
    // As (always asking). False when not saved.
    bool SaveDocument(CWevraDoc& document, bool saveAs);
    // Asks to save a modified design first; false when the user keeps it open.
    bool CloseDocument(CWevraDoc& document);
    // Closes every document; false (with the rest still open) when the user keeps one.
    bool CloseAll();

    int GetCount() const { return int(m_entries.size()); }
    CWevraDoc* GetDocument(int index) const;
    CWevraDoc* GetActiveDocument() const;
    // The command map of the active document; nullptr without one.
    const CCommandTarget* GetActiveCommands() const;
    // The child frame of the active document; nullptr without one.
    QWidget* GetActiveFrame() const;
    QWidget* GetFrame(const CWevraDoc& document) const;

    // Shows the document's title in its window: the framework's brackets around it.
    void UpdateTitle(CWevraDoc& document);

signals:
    // The active document changed, or the last one closed.
    void ActiveDocumentChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry;

    CWevraDoc* Show(std::unique_ptr<CWevraDoc> document);
    Entry* Find(const CWevraDoc& document) const;
    Entry* FindWindow(const QObject* window) const;
    // Notes how the document's file looks on disk now.
    void Stamp(const CWevraDoc& document);
    // A netlist given where a design was asked for: says so and offers to load it into the
    // active design as Netlist > Load does.
    void OfferNetlistLoad(const std::string& path);
    // True unless the file at the document's own path changed on disk since it was opened or
    // saved here and the user keeps it.
    bool MayOverwrite(const CWevraDoc& document, const std::string& path) const;
    void Destroy(const CWevraDoc& document);

    QMdiArea& m_area;
    std::vector<std::unique_ptr<Entry>> m_entries;
};
