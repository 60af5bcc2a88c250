#pragma once

#include <cstdint>
#include <string>

// Button sets, icons and answers of a message box, numbered as the program compares them.
enum MessageButtons : int32_t {
    MB_OK = 0,
    MB_OKCANCEL = 1,
    MB_ABORTRETRYIGNORE = 2,
    MB_YESNOCANCEL = 3,
    MB_YESNO = 4,
    MB_RETRYCANCEL = 5,
    // Yes and No with No as the default: for a question whose Yes may cost the user data.
    MB_YESNO_DEFAULTNO = 6,
    // OK and Cancel with Cancel as the default: for a confirmation whose OK deletes.
    MB_OKCANCEL_DEFAULTCANCEL = 7
};

enum MessageIcon : int32_t {
    MB_ICONNONE = 0,
    MB_ICONERROR = 0x10,
    MB_ICONSTOP = MB_ICONERROR,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONEXCLAMATION = MB_ICONWARNING,
    MB_ICONINFORMATION = 0x40
};

inline constexpr int32_t IDOK = 1;
inline constexpr int32_t IDCANCEL = 2;
inline constexpr int32_t IDABORT = 3;
inline constexpr int32_t IDRETRY = 4;
inline constexpr int32_t IDIGNORE = 5;
inline constexpr int32_t IDYES = 6;
inline constexpr int32_t IDNO = 7;

// Shows a message to the user and waits for the answer. Model code never opens a window
// itself; it asks the service installed in CServices.
class CMessageService {
public:
    virtual ~CMessageService();

    // Texts are Windows-1252. Returns the answer (IDOK ... IDNO) of the button chosen. A button
    // set outside the list above shows OK alone.
    virtual int32_t MessageBox(const std::string& text, const std::string& caption,
                               MessageButtons buttons = MB_OK, MessageIcon icon = MB_ICONNONE) = 0;
    // A message that names a file: its texts are in the file system's encoding (UTF-8), as file
    // names are, so that no name is garbled; Windows-1252 texts go into it through
    // CWindows1252::ToUtf8. This default shows what Windows-1252 can hold of them.
    virtual int32_t FileMessageBox(const std::string& text, const std::string& caption,
                                   MessageButtons buttons = MB_OK, MessageIcon icon = MB_ICONNONE);

    // The answer of the set's default button: its first, but No for MB_YESNO_DEFAULTNO and
    // Cancel for MB_OKCANCEL_DEFAULTCANCEL.
    static int32_t FirstButtonAnswer(MessageButtons buttons);
    // Whether the set has a button giving this answer.
    static bool OffersAnswer(MessageButtons buttons, int32_t answer);
};
