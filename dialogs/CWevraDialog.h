#pragma once

#include <cstdint>

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

// The base of the program's modal dialogs. Every control carries its control id as its object
// name, so that a test or a help request finds it by the id of the dialog's table; F1 opens the
// help page of the dialog's help context (none when it is 0).
class CWevraDialog : public QDialog {
    Q_OBJECT

public:
    // The ids of the buttons that end a dialog with OK and with Cancel.
    static constexpr int32_t idOk = 1;
    static constexpr int32_t idCancel = 2;

    explicit CWevraDialog(uint32_t helpContext = 0, QWidget* parent = nullptr);

    void SetHelpContext(uint32_t helpContext) { m_helpContext = helpContext; }
    uint32_t GetHelpContext() const { return m_helpContext; }

    // Gives `widget` the control id `id` and returns it.
    template <class Widget> static Widget* WithId(Widget* widget, int32_t id)
    {
        SetId(*widget, id);
        return widget;
    }
    static void SetId(QWidget& widget, int32_t id);
    // Widens the window, if need be, so that the title bar shows its whole title.
    static void FitWidthToTitle(QWidget& window);

    // Lengths as the dialogs show and take them: length texts in `unit`.
    static void ShowLength(QLineEdit& edit, int32_t unit, int32_t length);
    static int32_t ParseLength(const QLineEdit& edit, int32_t unit);

    // exec() mapped onto the results callers compare: OK 1, Cancel 2, or the id given to done().
    int32_t Run();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

    // A label whose mnemonic ("&Type") moves the focus to `buddy`.
    QLabel* NewLabel(const QString& text, QWidget* buddy);

    // A line edit with the control id.
    QLineEdit* NewEdit(int32_t id);
    // OK (id 1) and, unless `withCancel` is false, Cancel (id 2), wired to accept and reject.
    QDialogButtonBox* NewButtons(bool withCancel = true);

private:
    uint32_t m_helpContext = 0;
};
