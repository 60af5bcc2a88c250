#pragma once

#include <filesystem>

#include <QString>
#include <QWidget>

class QPlainTextEdit;

// A text file shown read-only in a window of the program: the reports and the readme go here
// when the desktop has no text viewer to take them. The window deletes itself when closed.
class CTextFileWindow : public QWidget {
    Q_OBJECT

public:
    // Opens a window on the file's text (Windows-1252, as the program writes its reports),
    // titled with the file's name. nullptr, and no window, when the file cannot be read.
    static CTextFileWindow* Open(const std::filesystem::path& file, QWidget* parent);

    QString GetText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    CTextFileWindow(const std::filesystem::path& file, const QString& text, QWidget* parent);

    QPlainTextEdit* m_text = nullptr;
};
