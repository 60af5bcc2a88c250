#include "dialogs/CTextFileWindow.h"

#include <fstream>
#include <iterator>
#include <string>

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "framework/qt/CQtText.h"

namespace {

constexpr int defaultWidth = 760;
constexpr int defaultHeight = 560;

} // namespace

CTextFileWindow* CTextFileWindow::Open(const std::filesystem::path& file, QWidget* parent)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return nullptr;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return nullptr;
    QString text = CQtText::FromDesignText(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    auto* window = new CTextFileWindow(file, text, parent);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

CTextFileWindow::CTextFileWindow(const std::filesystem::path& file, const QString& text,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(CQtText::FromPath(file.filename().string()));
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The reports line their columns up with spaces and tabs.
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setPlainText(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    resize(defaultWidth, defaultHeight);
}

QString CTextFileWindow::GetText() const
{
    return m_text->toPlainText();
}

void CTextFileWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
