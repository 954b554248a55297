#include "ScriptedDialogs.h"

namespace {
// The next queued answer; none queued counts as unanswered and gives a cancel.
std::optional<QString> NextPath(std::deque<std::optional<QString>>& queue, int& unanswered)
{
    std::optional<QString> answer;
    if (queue.empty()) {
        ++unanswered;
    } else {
        answer.swap(queue.front());
        queue.pop_front();
    }
    return answer;
}
} // namespace

void ScriptedDialogs::showMessage(QWidget*, const QString& text, MessageIcon icon, const QString& title)
{
    messages.append({text, icon, title});
    if (onPrompt)
        onPrompt();
}

bool ScriptedDialogs::askYesNo(QWidget*, const QString& text, const QString& title)
{
    questions.append({text, title});
    if (onPrompt)
        onPrompt();
    if (yesNoAnswers_.empty()) {
        ++unanswered;
        return false;
    }
    const bool yes = yesNoAnswers_.front();
    yesNoAnswers_.pop_front();
    return yes;
}

std::optional<QString> ScriptedDialogs::openFile(QWidget*, const FileDialogRequest& request)
{
    fileDialogs.append({RecordedFileDialog::Open, request});
    if (onPrompt)
        onPrompt();
    return NextPath(openAnswers_, unanswered);
}

std::optional<QString> ScriptedDialogs::saveFile(QWidget*, const FileDialogRequest& request)
{
    fileDialogs.append({RecordedFileDialog::Save, request});
    if (onPrompt)
        onPrompt();
    return NextPath(saveAnswers_, unanswered);
}

std::optional<QString> ScriptedDialogs::chooseFolder(QWidget*, const QString& startFolder)
{
    fileDialogs.append({RecordedFileDialog::Folder, {startFolder, QString(), QString()}});
    if (onPrompt)
        onPrompt();
    return NextPath(folderAnswers_, unanswered);
}
