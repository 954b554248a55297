#pragma once
// One applicant's form made into its two files, photo and signature, as
// "foto --auto" and "firma --auto" make them, and the pool of workers that
// does many forms at once for "modulo".

#include "PhotoCheck.h"

#include <QString>

#include <functional>

namespace FormWork {

struct Settings {
    QString photoFolder;
    QString signatureFolder;
    bool dpi200 = false;
    bool blackAndWhite = false; // the 1-bit BMP beside the signature's JPEG
};

// The files a form's base name gives in the two folders.
QString PhotoPath(const Settings& settings, const QString& baseName);
QString SignaturePath(const Settings& settings, const QString& baseName);

// The name the form's files take: the source's name without its last
// extension ("modulo.2.jpg" gives "modulo.2").
QString BaseName(const QString& source);

// The check's verdict as the form's line ends: "; controllo superato", or
// each value out of its range with the range.
QString CheckVerdict(const PhotoCheck::Report& report);

struct Outcome {
    QString line;          // what became of the form, without its name
    bool complete = false; // both files written and the check passed
};

// Loads the form, finds both crops, writes both files (or neither) and
// checks the photo. Never throws: a failure is told in the line.
Outcome Make(const QString& source, const Settings& settings);

// Calls work(0) … work(count - 1), each once, on workers threads (this one
// among them), each taking the next index as soon as it is free; returns
// when all are done.
void RunPool(int count, int workers, const std::function<void(int)>& work);

} // namespace FormWork
