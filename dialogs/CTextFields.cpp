#include "dialogs/CTextFields.h"

#include <QFormLayout>
#include <QLineEdit>

#include "dialogs/CWevraDialog.h"
#include "framework/qt/CQtText.h"

QLineEdit* CTextFields::Add(QWidget& dialog, QFormLayout& form, const char* label, int32_t id,
                            std::string& value)
{
    auto* edit = CWevraDialog::WithId(new QLineEdit(CQtText::FromDesignText(value), &dialog), id);
    form.addRow(QString::fromLatin1(label), edit);
    m_fields.emplace_back(edit, &value);
    return edit;
}

void CTextFields::Store() const
{
    for (const auto& [edit, value] : m_fields)
        *value = CQtText::ToDesignText(edit->text());
}
