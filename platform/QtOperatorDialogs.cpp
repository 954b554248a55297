#include "QtOperatorDialogs.h"

#include "FileFilter.h"
#include "LineBreaks.h"
#include "PathText.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

std::optional<QString> RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                                     QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent);
    // Qt's own dialog behaves the same on every desktop and under test.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    // The program asks about overwriting itself, with its own words.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(FileFilter::ToNameFilters(request.filter));
    dialog.setDirectory(UsableFolder(request.startFolder));
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return std::nullopt;
    return files.first();
}

} // namespace

void QtOperatorDialogs::showMessage(QWidget* parent, const QString& text, MessageIcon icon,
                                    const QString& title)
{
    QMessageBox box(ToQtIcon(icon), title, WithLineFeeds(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
}

bool QtOperatorDialogs::askYesNo(QWidget* parent, const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::NoIcon, title, WithLineFeeds(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Sì"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&No"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtOperatorDialogs::openFile(QWidget* parent, const FileDialogRequest& request)
{
    return RunFileDialog(parent, request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtOperatorDialogs::saveFile(QWidget* parent, const FileDialogRequest& request)
{
    return RunFileDialog(parent, request, QFileDialog::AcceptSave);
}

std::optional<QString> QtOperatorDialogs::chooseFolder(QWidget* parent, const QString& startFolder)
{
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setDirectory(UsableFolder(startFolder));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}
