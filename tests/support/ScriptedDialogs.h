#pragma once
// Operator prompts answered from a script: queued answers for the file
// dialogs and the Yes/No questions, and a record of every prompt shown.

#include "OperatorDialogs.h"

#include <QList>

#include <deque>
#include <functional>

struct RecordedMessage {
    QString text;
    MessageIcon icon;
    QString title;
};

struct RecordedQuestion {
    QString text;
    QString title;
};

struct RecordedFileDialog {
    enum Kind { Open, Save, Folder } kind;
    FileDialogRequest request;
};

class ScriptedDialogs final : public OperatorDialogs {
public:
    // nullopt answers as a cancel.
    void queueOpen(std::optional<QString> answer) { openAnswers_.push_back(std::move(answer)); }
    void queueSave(std::optional<QString> answer) { saveAnswers_.push_back(std::move(answer)); }
    void queueYesNo(bool yes) { yesNoAnswers_.push_back(yes); }
    void queueFolder(std::optional<QString> answer) { folderAnswers_.push_back(std::move(answer)); }

    // Called whenever a prompt is shown, before it is answered: lets a test
    // look at the program while the prompt would be on screen.
    std::function<void()> onPrompt;

    QList<RecordedMessage> messages;
    QList<RecordedQuestion> questions;
    QList<RecordedFileDialog> fileDialogs;
    // Prompts that found no queued answer (answered as a cancel or No).
    int unanswered = 0;

    void showMessage(QWidget* parent, const QString& text, MessageIcon icon,
                     const QString& title = ApplicationTitle) override;
    bool askYesNo(QWidget* parent, const QString& text,
                  const QString& title = ApplicationTitle) override;
    std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> chooseFolder(QWidget* parent, const QString& startFolder) override;

private:
    std::deque<std::optional<QString>> openAnswers_;
    std::deque<std::optional<QString>> saveAnswers_;
    std::deque<std::optional<QString>> folderAnswers_;
    std::deque<bool> yesNoAnswers_;
};
