#pragma once
// The operator's prompts as real Qt dialogs: QMessageBox for messages and
// questions, Qt's own file dialog for opening and saving.

#include "OperatorDialogs.h"

class QtOperatorDialogs final : public OperatorDialogs {
public:
    void showMessage(QWidget* parent, const QString& text, MessageIcon icon,
                     const QString& title = ApplicationTitle) override;
    bool askYesNo(QWidget* parent, const QString& text,
                  const QString& title = ApplicationTitle) override;
    std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> chooseFolder(QWidget* parent, const QString& startFolder) override;
};
