#pragma once
// Where the program's own files live. The program folder is the folder of the
// executable; it is made the current directory so that relative names such
// as formati.txt resolve against it. Working files (FILE.BMP, _foto_.jpg) go
// to the program folder when it is writable, otherwise to the per-user data
// folder Kelm/; WorkFolder is the one place that decides.

#include <QString>

struct ProgramFolders {
    QString programFolder;
    QString workFolder;

    // The folders of the running executable.
    static ProgramFolders ForApplication();
    // The folders for a program living in programFolder.
    static ProgramFolders For(const QString& programFolder);

    // Full path of a working file, for example WorkFile("FILE.BMP").
    QString WorkFile(const QString& name) const;
};

// programFolder when a file can be created in it and it is not a system
// folder (/usr, /opt, ...), else <user data>/Kelm (created when missing).
QString WorkFolder(const QString& programFolder);

// Makes the folder the current directory; false when it cannot be done.
bool MakeFolderCurrent(const QString& folder);
