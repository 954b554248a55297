#include "Cascades.h"

#include <QDir>
#include <QFile>

#include <opencv2/core.hpp>
#include <opencv2/core/utils/logger.hpp>
#include <opencv2/objdetect.hpp>

namespace {

// A missing file leaves the classifier empty, which is what loaded() reads.
void Read(cv::CascadeClassifier& classifier, const QString& folder, const char* name)
{
    const QString path = QDir(folder).filePath(QString::fromLatin1(name));
    if (!QFile::exists(path))
        return;
    try {
        classifier.load(QFile::encodeName(path).toStdString());
    } catch (const cv::Exception&) {
        classifier = cv::CascadeClassifier();
    }
}

} // namespace

void OpenCvOnCallingThread()
{
    static const bool done = [] {
        // A damaged file is our note to the operator, not lines on the
        // terminal.
        cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
        // The program does its work on the one thread that runs the
        // windows; OpenCV is kept to it rather than starting a pool of its
        // own.
        cv::setNumThreads(0);
        return true;
    }();
    (void)done;
}

Cascades::Cascades(const QString& folder)
    : search_(std::make_unique<cv::CascadeClassifier>())
    , face_(std::make_unique<cv::CascadeClassifier>())
    , eyes_(std::make_unique<cv::CascadeClassifier>())
    , glasses_(std::make_unique<cv::CascadeClassifier>())
{
    OpenCvOnCallingThread();
    Read(*search_, folder, "haarcascade_frontalface_default.xml");
    Read(*face_, folder, "haarcascade_frontalface_alt2.xml");
    Read(*eyes_, folder, "haarcascade_eye.xml");
    Read(*glasses_, folder, "haarcascade_eye_tree_eyeglasses.xml");
}

Cascades::~Cascades() = default;

QString Cascades::DefaultFolder()
{
    return QStringLiteral(RITRAX_HAARCASCADE_DIR);
}

Cascades& Cascades::Default()
{
    static Cascades cascades(DefaultFolder());
    return cascades;
}

bool Cascades::loaded() const
{
    return !face_->empty() && !eyes_->empty();
}

cv::CascadeClassifier& Cascades::search() const
{
    return search_->empty() ? *face_ : *search_;
}
