#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class QFormLayout;
class QLineEdit;
class QWidget;

// The line edits of a dialog that each show one text of the caller's and give it back on OK:
// each row is a label and an edit with its control id, filled from the text it stands for.
class CTextFields {
public:
    // Adds the row to `form`; the edit belongs to `dialog`.
    QLineEdit* Add(QWidget& dialog, QFormLayout& form, const char* label, int32_t id,
                   std::string& value);
    // Every text takes what its edit holds.
    void Store() const;

private:
    std::vector<std::pair<QLineEdit*, std::string*>> m_fields;
};
