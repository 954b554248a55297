#pragma once
// The prompts the program puts in front of the operator: message boxes, the
// Yes/No question and the open and save file dialogs. Windows get an
// OperatorDialogs in their services so that tests can answer the prompts
// from a script instead of a person.

#include <QString>

#include <optional>

class QWidget;

enum class MessageIcon { None, Critical, Warning, Information };

// The title every message box carries.
inline const QString ApplicationTitle = QStringLiteral("Ritrax");

// What a file dialog is opened with. filter is written as pairs of
// description and patterns separated by "|", for example
// "File immagine JPG|*.JPG|Tutti i file|*.*"; the first pair is offered first.
struct FileDialogRequest {
    QString startFolder;
    QString filter;
    QString fileName; // proposed name, may be empty
};

class OperatorDialogs {
public:
    virtual ~OperatorDialogs() = default;

    // A modal message box with an OK button.
    virtual void showMessage(QWidget* parent, const QString& text, MessageIcon icon,
                             const QString& title = ApplicationTitle)
        = 0;

    // A modal Yes/No question, No being the default button. True for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& text,
                          const QString& title = ApplicationTitle)
        = 0;

    // The chosen file's full path, or nothing when the operator cancelled.
    virtual std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) = 0;
    // The chosen folder's full path, or nothing when the operator cancelled.
    virtual std::optional<QString> chooseFolder(QWidget* parent, const QString& startFolder) = 0;
};
